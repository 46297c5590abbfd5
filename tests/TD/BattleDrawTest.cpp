// The battle's drawing seen through a recording canvas: what each screen shows, the depth order of
// spots, shadows, towers and units, frames, bars, stars, texts, the road glow and the ring menu.
#include "BattleFixture.h"
#include "DrawRecorder.h"

#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Draw/TDBattleDrawer.h"
#include "Source/TD/Level/TDWaveEntry.h"
#include "Source/TD/Seams/TDUiPainter.h"
#include "Source/TD/Sprites/TDResources.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDSpriteEffect.h"

#include <algorithm>
#include <cmath>

using namespace tdtest;

namespace
{
const char* kGrunts = "<wave spawn=\"1\"><e id=\"1\" y=\"-65\"/><e id=\"1\" x=\"45\" y=\"-65\"/></wave>"
                      "<wave spawn=\"1\"><e id=\"1\"/></wave>";

struct BattleDraw : BattleFixture
{
    NamedTextureLoader loader;
    RecordingCanvas canvas;
    std::unique_ptr<TDBattleDrawer> drawer;

    void SetUp() override
    {
        BattleFixture::SetUp();
        TDResources* resources = TDResources::Instance();
        resources->setTextureLoader(&loader);
        resources->setSheetOpener(
            [](const std::wstring& path, bool) -> std::shared_ptr<TDImageSheet>
            {
                if (path == L"td/ui")
                    return makeSheet(path, {{L"ui/bar", 0, 0, 40, 6},
                                            {L"ui/brush", 0, 0, 12, 12},
                                            {L"ui/power_buff", 0, 0, 20, 20},
                                            {L"ui/l1", 0, 0, 10, 10},
                                            {L"ui/l2", 0, 0, 10, 10},
                                            {L"ui/l3", 0, 0, 10, 10},
                                            {L"ui/radius", 0, 0, 100, 100},
                                            {L"ui/wave_hint", 0, 0, 40, 40},
                                            {L"ui/context_gem", 0, 0, 16, 16},
                                            {L"ui/money", 0, 0, 20, 20},
                                            {L"ui/immune", 0, 0, 20, 20}});
                if (path == L"td/spots")
                    return makeSheet(
                        path, {{L"spots/s", 0, 0, 60, 40}, {L"spots/g", 0, 0, 60, 40}, {L"spots/p", 0, 0, 60, 40}});
                if (path == L"td/data/ui_parts")
                    return makeSheet(path, {{L"shadows/dragon_shadow", 0, 0, 20, 10},
                                            {L"shadows/wywern_shadow", 0, 0, 20, 10},
                                            {L"shadows/money_shadow", 0, 0, 20, 8}});
                if (path == L"td/enemy_spot" || path == L"td/mob_heal")
                    return makeSheet(path,
                                     {{L"00", 0, 0, 20, 10}, {L"01", 0, 0, 20, 10}, {L"s_point/00", 10, 8, 1, 1}});
                if (path == L"td/crystall")
                    return makeSheet(path,
                                     {{L"00", 0, 0, 24, 24}, {L"01", 0, 0, 24, 24}, {L"s_point/00", 12, 12, 1, 1}});
                if (path == L"td/data/levels/bgtest")
                    return makeSheet(
                        path,
                        {{L"ground", 0, 0, 1024, 768}, {L"fx/01", 10, 10, 16, 16}, {L"trees/01", 100, 50, 60, 80}});
                if (path == L"td/mobs")
                    return makeSheet(path, {{L"walk/00", 0, 0, 40, 50},
                                            {L"walk/01", 0, 0, 40, 50},
                                            {L"walk/02", 0, 0, 40, 50},
                                            {L"death/00", 0, 0, 40, 50},
                                            {L"death/01", 0, 0, 40, 50},
                                            {L"special/00", 0, 0, 40, 50},
                                            {L"base", 20, 50, 1, 1}});
                if (path == L"td/turrets")
                    return makeSheet(path, {{L"idle/00", 10, 0, 60, 80}, {L"base_point/00", 40, 70, 1, 1}});
                return nullptr;
            });
        for (i32 id : {100, 101, 200, 300, 400})
            sprites.counts[{id, "idle"}] = 1;
    }
    void TearDown() override
    {
        drawer.reset();
        BattleFixture::TearDown();
    }
    TDMap& begin(const std::string& waves)
    {
        TDMap& m = start(waves);
        for (TDPrototype* p : m.mPrototypes.all)
            p->graphic = TDResources::Instance()->findGraphic(p->id < 100 ? L"td/mobs" : L"td/turrets");
        drawer = std::make_unique<TDBattleDrawer>(m, *TDResources::Instance());
        drawer->loadUiImages();
        return m;
    }
    void frame()
    {
        canvas.drawn.clear();
        canvas.calls.clear();
        drawer->draw(canvas);
    }
    std::vector<Drawn> texts() const
    {
        std::vector<Drawn> out;
        for (const Drawn& d : canvas.drawn)
            if (d.kind == Drawn::Text)
                out.push_back(d);
        return out;
    }
    // The frame of the first unit drawn, "" when none.
    std::wstring unitFrame() const
    {
        const int i = canvas.find(L"td/mobs:");
        return i < 0 ? L"" : canvas.drawn[static_cast<size_t>(i)].name;
    }
    // Indices of the drawn images of units (the mob sheet's frames) in drawing order.
    std::vector<int> unitImages() const
    {
        std::vector<int> out;
        for (size_t i = 0; i < canvas.drawn.size(); ++i)
            if (canvas.drawn[i].name.find(L"td/mobs:") == 0)
                out.push_back(static_cast<int>(i));
        return out;
    }
};

// Interface calls with the depth of the canvas's transform stack when each was made.
struct DepthUiPainter : TDNullUiPainter
{
    RecordingCanvas& canvas;
    std::vector<std::pair<std::wstring, size_t>> calls;
    explicit DepthUiPainter(RecordingCanvas& c) : canvas(c) {}
    void drawUiImage(const std::wstring& name, float, float, float, const TDColor&) override
    {
        calls.emplace_back(name, canvas.stack.size());
    }
    void drawText(const std::wstring& text, float, float, const TDColor&) override
    {
        calls.emplace_back(L"text:" + text, canvas.stack.size());
    }
};
} // namespace

TEST_F(BattleDraw, OtherScreensLoadingBarsStarsBoostTheButtonGlowAndTheRingMenu)
{
    TDMap& m = begin(kGrunts);
    TDTower* tower = m.buildTower(0, 100);
    ASSERT_NE(tower, nullptr);
    run(1.0f);
    // The field's effects lie under the HUD and the screens.
    ASSERT_NE(nullptr, m.startEffect(m.mEffects, L"hammer", tower->mX, tower->mY, true));
    frame();
    std::vector<std::string> field{"emitter", "pop", "hud", "windows0", "windows1"};
    EXPECT_EQ(std::vector<std::string>(canvas.calls.end() - 5, canvas.calls.end()), field);
    // Another screen hides the battle and its effects but keeps the HUD and windows.
    m.mScreen = kScreenEpisodes;
    frame();
    EXPECT_EQ(canvas.count(L"td/turrets:") + canvas.count(L"td/mobs:") + canvas.count(L"spots/"), 0);
    EXPECT_TRUE(canvas.drawn.empty());
    EXPECT_EQ(canvas.calls, (std::vector<std::string>{"hud", "windows0", "windows1"}));
    m.mScreen = kScreenBattle;
    frame();
    EXPECT_EQ(canvas.count(L"td/turrets:idle/00"), 1);
    EXPECT_EQ(canvas.count(L"td/mobs:walk/"), 1);
    // Stars and the boost sign.
    const_cast<TDPrototype*>(tower->currentProto())->stars = 2;
    tower->mBoosted = false;
    frame();
    EXPECT_EQ(canvas.count(L"ui/l2"), 2);
    EXPECT_EQ(canvas.count(L"ui/power_buff"), 0);
    tower->mBoosted = true;
    const_cast<TDPrototype*>(tower->currentProto())->stars = 40;
    frame();
    EXPECT_EQ(canvas.count(L"ui/l3"), 12);
    ASSERT_GE(canvas.find(L"ui/power_buff"), 0);
    EXPECT_FLOAT_EQ(canvas.drawn[canvas.find(L"ui/power_buff")].y, tower->mY - 50.0f);
    // Health bars only over hurt living units.
    TDUnit* u = unit(0);
    ASSERT_NE(u, nullptr);
    place(u, 300.0f, 200.0f);
    const float max = u->maxHealth();
    // None at full health, when dead, or when the bar's time is over.
    for (auto [health, time] : {std::pair{max, 1.0f}, {0.0f, 0.2f}, {1.0f, 0.0f}})
    {
        u->mHealth = health;
        u->mHealthBarTime = time;
        frame();
        EXPECT_EQ(canvas.count(L"ui/bar"), 0) << health << " " << time;
    }
    u->mHealthBarTime = 1.0f;
    u->mHealth = max * 0.25f;
    frame();
    ASSERT_EQ(canvas.count(L"ui/bar"), 2);
    int red = canvas.find(L"ui/bar");
    int green = canvas.find(L"ui/bar", red + 1);
    EXPECT_EQ(canvas.drawn[red].color.r, 1.0f);
    EXPECT_EQ(canvas.drawn[green].color.g, 1.0f);
    EXPECT_FLOAT_EQ(canvas.drawn[green].scaleX, 0.25f);
    // Left edges meet: the green centre sits 3/8 of the bar's 40 left of the red one.
    EXPECT_FLOAT_EQ(canvas.drawn[red].x - canvas.drawn[green].x, 15.0f);

    u->mHealthBarTime = 0.2f; // fading out
    u->mHealth = -5.0f;
    frame();
    EXPECT_FLOAT_EQ(canvas.drawn[canvas.find(L"ui/bar")].color.a, 0.4f);
    EXPECT_FLOAT_EQ(canvas.drawn[canvas.find(L"ui/bar", canvas.find(L"ui/bar") + 1)].scaleX, 0.0f);
    // The button glow needs a button; an open ring menu draws in battle space.
    auto emitters = [&]
    {
        frame();
        return std::count_if(canvas.drawn.begin(), canvas.drawn.end(),
                             [](const Drawn& d) { return d.kind == Drawn::Emitter; });
    };
    ASSERT_FALSE(m.mActiveButtonPlaced); // the test HUD has no control buttons
    const long unplaced = emitters();
    m.mActiveButtonPlaced = true;
    EXPECT_EQ(emitters(), unplaced + 1);
    // The glow belongs to the HUD: over it, under the screens.
    const std::vector<std::string> hud{"hud", "emitter", "windows0", "windows1"};
    EXPECT_EQ(std::vector<std::string>(canvas.calls.end() - 4, canvas.calls.end()), hud);

    m.mContextMenu = std::make_unique<TDContextMenu>(m);
    m.mContextMenu->openTower(tower);
    m.mContextMenu->centreX = tower->mX;
    m.mContextMenu->centreY = tower->mY;
    DepthUiPainter ui(canvas);
    canvas.ui = &ui;
    frame();
    ASSERT_FALSE(ui.calls.empty());
    for (const auto& [what, depth] : ui.calls)
        EXPECT_EQ(depth, 1u) << std::string(what.begin(), what.end());
    EXPECT_EQ(canvas.count(L"td/turrets:idle/00"), 2) << "the menu's tower again, over the battle";

    canvas.ui = nullptr;
    frame(); // no interface painter: nothing of the menu, and it stays
    EXPECT_EQ(canvas.count(L"td/turrets:idle/00"), 1);
    ASSERT_NE(m.mContextMenu, nullptr);

    m.mContextMenu->visible = 0;
    frame();
    EXPECT_EQ(m.mContextMenu, nullptr);
    // A reload shows only the loading picture; an inactive level nothing.
    m.mReloadState = kReloadRequested;
    frame();
    ASSERT_EQ(canvas.drawn.size(), 1u);
    EXPECT_EQ(canvas.drawn[0].name, L"td/data/loading.jpg");
    EXPECT_FLOAT_EQ(canvas.drawn[0].x, 512.0f); // its corner at the origin
    EXPECT_TRUE(canvas.calls.empty());
    EXPECT_EQ(m.mReloadState, kReloadShown);
    m.mReloadState = kReloadNone;
    m.mLevelActive = false;
    frame();
    EXPECT_TRUE(canvas.drawn.empty());
}

TEST_F(BattleDraw, SpotsGroundShadowsGroundObjectsAirShadowsAndFlyersInThatOrder)
{
    TDMap& m = begin("<wave spawn=\"1\"><e id=\"3\" y=\"-65\"/><e id=\"1\" x=\"10\" y=\"-65\"/></wave>"
                     "<wave spawn=\"1\"><e id=\"1\"/></wave>");
    run(0.5f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 2u);
    frame();
    // Free spots lie under everything, the last spot (x 750) first.
    ASSERT_EQ(canvas.find(L"spots/"), 0);
    ASSERT_EQ(canvas.find(L"spots/", 1), 1);
    EXPECT_GT(canvas.drawn[0].x, canvas.drawn[1].x);

    TDTower* tower = m.buildTower(0, 100);
    ASSERT_NE(tower, nullptr);
    TDUnit* flyer = unit(0)->protoId() == 3 ? unit(0) : unit(1);
    TDUnit* walker = flyer == unit(0) ? unit(1) : unit(0);
    place(flyer, 250.0f, 50.0f);
    place(walker, 250.0f, tower->mBaseY - 30.0f); // above the tower's base: behind it
    frame();
    EXPECT_EQ(canvas.count(L"spots/"), 1);
    EXPECT_EQ(canvas.find(L"spots/"), 0);
    EXPECT_LT(unitImages()[0], canvas.find(L"td/turrets:"));

    place(walker, 250.0f, tower->mBaseY + 100.0f); // lower on the screen: in front
    frame();
    const int towerAt = canvas.find(L"td/turrets:");
    const int airShadow = canvas.find(L"wywern_shadow");
    const int groundShadow = canvas.find(L"dragon_shadow");
    const std::vector<int> units = unitImages();
    ASSERT_EQ(units.size(), 2u);
    ASSERT_GE(airShadow, 0);
    ASSERT_GE(groundShadow, 0);
    EXPECT_LT(groundShadow, towerAt);
    EXPECT_LT(towerAt, units[0]);
    EXPECT_LT(units[0], airShadow);
    EXPECT_LT(airShadow, units[1]);
    // The flyer's shadow falls 15 below it, a walker's 5; both scaled to the frame (40 over 20).
    EXPECT_FLOAT_EQ(canvas.drawn[airShadow].x, 255.0f);
    EXPECT_FLOAT_EQ(canvas.drawn[airShadow].y, 65.0f);
    EXPECT_FLOAT_EQ(canvas.drawn[groundShadow].y, tower->mBaseY + 105.0f);
    EXPECT_FLOAT_EQ(canvas.drawn[airShadow].scaleX, 2.0f);

    // Battle items go through the battle transform, pushes and pops paired.
    m.mScale = 0.5f;
    m.mOffsetX = 100.0f;
    m.mOffsetY = 10.0f;
    frame();
    const Drawn& t = canvas.drawn[canvas.find(L"td/turrets:idle/00")];
    EXPECT_EQ(t.depth, 1);
    // The base point (40, 70) of an 80-high tower graphic at (10, 0) lands on the tower's base.
    EXPECT_FLOAT_EQ(t.x, (tower->mBaseX - 40.0f + 10.0f + 30.0f) * 0.5f + 100.0f);
    EXPECT_FLOAT_EQ(t.y, (tower->mBaseY - 70.0f + 40.0f) * 0.5f + 10.0f);
    EXPECT_EQ(std::count(canvas.calls.begin(), canvas.calls.end(), "push"),
              std::count(canvas.calls.begin(), canvas.calls.end(), "pop"));
}

TEST_F(BattleDraw, UnitsPickTheirFrameFlipAndTint)
{
    begin(kGrunts);
    run(0.2f);
    TDUnit* u = unit(0);
    ASSERT_NE(u, nullptr);
    const_cast<TDPrototype*>(u->proto())->fillColor = 0xFF336699u;
    place(u, 300.0f, 200.0f);
    u->mSize[0] = 40.0f;
    u->mSize[1] = 50.0f;
    u->mAnimTime = 0.15f; // fps 10: frame 1
    u->mFacingLeft = false;
    u->mFade = 1.0f;
    u->mAlpha = 0.5f;
    frame();
    const Drawn& d = canvas.drawn[canvas.find(L"td/mobs:")];
    EXPECT_EQ(d.name, L"td/mobs:walk/01");
    EXPECT_EQ(std::tuple(d.flipH, d.shaded, d.fill), std::tuple(false, true, 0xFF336699u));
    EXPECT_FLOAT_EQ(d.color.a, 0.5f);
    // The base picture (20, 50) stands on the drawn position.
    EXPECT_FLOAT_EQ(d.x, 300.0f);
    EXPECT_FLOAT_EQ(d.y, 175.0f);

    u->mFacingLeft = true;
    // Beyond the list: its last frame; being teleported: the second death frame, held.
    const struct
    {
        TDUnitState state;
        float time;
        const wchar_t* frame;
    } kFrames[] = {{kUnitWalking, 99.0f, L"walk/02"},
                   {kUnitDying, 0.0f, L"death/00"},
                   {kUnitSpecial, 0.0f, L"special/00"},
                   {kUnitBeamed, 0.7f, L"death/01"}};
    for (const auto& k : kFrames)
    {
        u->mState = k.state;
        u->mAnimTime = k.time;
        frame();
        EXPECT_EQ(unitFrame(), std::wstring(L"td/mobs:") + k.frame) << static_cast<i32>(k.state);
        EXPECT_TRUE(canvas.drawn[canvas.find(L"td/mobs:")].flipH);
    }
    EXPECT_EQ(u->mAnimTime, 0.0f);
    const_cast<TDPrototype*>(u->proto())->ice = true; // an icy kind keeps walking
    frame();
    EXPECT_EQ(unitFrame(), L"td/mobs:walk/00");
    u->mState = static_cast<TDUnitState>(3); // no state has that number: nothing is drawn
    frame();
    EXPECT_EQ(unitFrame(), L"");
    u->mState = kUnitWalking;
    TDWaveEntry* entry = u->mEntry;
    u->mEntry = nullptr; // a unit whose wave entry is gone is not drawn
    frame();
    EXPECT_EQ(unitFrame(), L"");
    u->mEntry = entry;
}

TEST_F(BattleDraw, WaveTextsIndicatorsTheRoadGlowOfAWaitingSpellAndMarkerSpritesGemsAndTheBackgroundInTheirPlaces)
{
    TDMap& m = begin(kGrunts);
    run(0.5f);
    // Wave texts count down beside their buttons; indicators show icon and text.
    m.mNextWave.buttons = {{900, 300, 40, 40}, {900, 400, 40, 40}};
    m.mNextWave.firstSpawnTime = m.mWaves.mClock + 12.9f;
    frame();
    std::vector<Drawn> shown = texts();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].name, LocalStrings::Instance()->get(L"game_nextwave") + L" 12"); // never "Next wave12"
    EXPECT_EQ(shown[0].hAlign, 1); // right of the screen: the text ends left of it
    EXPECT_FLOAT_EQ(shown[1].y - shown[0].y, 100.0f - 25.0f) << "the second text is raised by 25";
    EXPECT_EQ(canvas.count(L"ui/wave_hint"), 2);

    m.mNextWave.buttons = {{100, 300, 40, 40}};
    m.mNextWave.firstSpawnTime = m.mWaves.mClock + 0.4f;
    frame();
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_EQ(texts()[0].name, LocalStrings::Instance()->get(L"game_incoming"));
    EXPECT_EQ(texts()[0].hAlign, 0);
    // They stand over the towers and walking units, and stay, under it, while the ring menu is
    // open...
    TDTower* tower = m.buildTower(0, 100);
    ASSERT_NE(tower, nullptr);
    m.mContextMenu = std::make_unique<TDContextMenu>(m);
    m.mContextMenu->openTower(tower);
    m.mContextMenu->centreX = tower->mX;
    m.mContextMenu->centreY = tower->mY;
    InlineUiPainter ring(canvas);
    canvas.ui = &ring;
    frame();
    canvas.ui = nullptr;
    const int hint = static_cast<int>(
        std::find_if(canvas.drawn.begin(), canvas.drawn.end(), [](const Drawn& d) { return d.kind == Drawn::Text; }) -
        canvas.drawn.begin());
    ASSERT_LT(hint, static_cast<int>(canvas.drawn.size()));
    EXPECT_EQ(canvas.drawn[hint].name, LocalStrings::Instance()->get(L"game_incoming"));
    const int ringAt = canvas.find(L"ring:");
    ASSERT_GE(ringAt, 0);
    EXPECT_GT(hint, canvas.find(L"td/turrets:"));
    EXPECT_LT(hint, ringAt);
    EXPECT_GT(canvas.find(L"td/turrets:", ringAt), ringAt) << "only the ring's own tower after it";
    ASSERT_FALSE(unitImages().empty());
    EXPECT_GT(hint, unitImages().back());
    m.mContextMenu.reset();
    m.sellTower(tower);

    m.mNextWave.buttons.clear();
    m.addIndicator(100.0f, 200.0f, kIndicatorGold, L"+5");
    m.addIndicator(300.0f, 200.0f, kIndicatorImmune, L"");
    frame();
    const int money = canvas.find(L"ui/money"), immune = canvas.find(L"ui/immune");
    ASSERT_GE(money, 0);
    ASSERT_GE(immune, 0);
    EXPECT_FLOAT_EQ(canvas.drawn[money].x, 100.0f * m.mScale + m.mOffsetX);
    EXPECT_FLOAT_EQ(canvas.drawn[immune].x, 300.0f * m.mScale + m.mOffsetX);
    // A smaller text right after its icon.
    const Drawn& text = canvas.drawn[money + 1];
    EXPECT_EQ(text.kind, Drawn::Text);
    EXPECT_EQ(text.name, L"+5");
    EXPECT_FLOAT_EQ(text.x, (100.0f + 14.0f) * m.mScale + m.mOffsetX);
    EXPECT_FLOAT_EQ(text.scaleX, 0.75f);
    EXPECT_EQ(canvas.count(L"ui/brush"), 0);

    // A waiting spell makes the roads glow under everything.
    m.mSelectedSpell = 0;
    m.mTime = 0.0f;
    frame();
    // Two links of 500 along y = 100: dots 25 apart from each start, the end left out.
    const int dots = canvas.count(L"ui/brush");
    EXPECT_EQ(dots, 40);
    EXPECT_EQ(canvas.find(L"ui/brush"), 0);
    EXPECT_FLOAT_EQ(canvas.drawn[0].y, 100.0f);
    EXPECT_NEAR(canvas.drawn[1].x - canvas.drawn[0].x, 25.0f, 0.6f);
    EXPECT_EQ(canvas.drawn[0].blend, kBlendAdditive);
    EXPECT_FLOAT_EQ(canvas.drawn[0].color.a, 0.3f);
    EXPECT_EQ(canvas.find(L"spots/"), dots) << "the spots come after the glow";

    m.mTime = 3.14159265f / 10.0f; // sin = 1: the brightest
    frame();
    EXPECT_NEAR(canvas.drawn[0].color.a, 0.4f, 1e-5f);
    EXPECT_EQ(canvas.drawn[canvas.find(L"spots/")].blend, kBlendAlpha);

    // On a canvas with off-screen pictures the glow is one picture of the roads over the
    // battle's view (here the whole 1366-wide layout, 171 left of the core), rendered once per
    // level and again when the view changes.
    struct PictureCanvas : RecordingCanvas
    {
        int renders = 0;
        i32 width = 0, height = 0;
        RecordingCanvas inside;
        std::unique_ptr<TDTexture> renderPicture(i32 w, i32 h,
                                                 const std::function<void(TDBattleCanvas&)>& paint) override
        {
            ++renders;
            width = w;
            height = h;
            inside = RecordingCanvas();
            paint(inside);
            return std::make_unique<NamedTexture>(L"roads", w, h);
        }
    } pictures;
    struct View : TDNullScreenMode
    {
        TDViewRect rect{-171.0f, 0.0f, 1366.0f, 768.0f};
        TDViewRect battleViewRect() const override { return rect; }
    } view;
    TDScreenMode* const window = m.mScreenMode;
    m.mScreenMode = &view;
    m.mTime = 0.0f;
    m.mPathPictureDirty = true; // a level parse
    for (int i = 0; i < 3; ++i)
    {
        pictures.drawn.clear();
        drawer->draw(pictures);
    }
    EXPECT_EQ(pictures.renders, 1);
    EXPECT_EQ(std::make_pair(pictures.width, pictures.height), std::make_pair(1366, 768));
    ASSERT_EQ(pictures.inside.count(L"ui/brush"), 40);
    EXPECT_FLOAT_EQ(pictures.inside.drawn[0].x, 171.0f) << "the road's start, at core x 0";
    EXPECT_FLOAT_EQ(pictures.inside.drawn[0].y, 100.0f);
    EXPECT_EQ(pictures.count(L"ui/brush"), 0) << "no dots drawn frame by frame";
    ASSERT_EQ(pictures.find(L"roads"), 0);
    EXPECT_EQ(pictures.drawn[0].blend, kBlendAdditive);
    EXPECT_FLOAT_EQ(pictures.drawn[0].x, 512.0f * m.mScale + m.mOffsetX) << "the view's centre";
    EXPECT_FLOAT_EQ(pictures.drawn[0].y, 384.0f * m.mScale + m.mOffsetY);

    m.mPathPictureDirty = true;
    drawer->draw(pictures);
    EXPECT_EQ(pictures.renders, 2);
    view.rect = {-128.0f, 0.0f, 1280.0f, 768.0f}; // another display mode
    drawer->draw(pictures);
    drawer->draw(pictures);
    EXPECT_EQ(pictures.renders, 3);
    EXPECT_EQ(pictures.width, 1280);
    m.mScreenMode = window;

    m.mSelectedSpell = -1;
    ASSERT_NE(unit(0), nullptr);
    // The picked unit carries the marker; sprites stand on their anchor.
    place(unit(0), 300.0f, 200.0f);
    m.mHovered = unit(0);
    m.mEnemySpotTime = 0.04f; // frame 1 at 30 a second
    frame();
    int marker = canvas.find(L"td/enemy_spot:01");
    ASSERT_GE(marker, 0);
    // The anchor (10, 8) on the unit, raised by the height of its graphic's base picture (1).
    EXPECT_FLOAT_EQ(canvas.drawn[marker].x, 300.0f);
    EXPECT_FLOAT_EQ(canvas.drawn[marker].y, 200.0f - 1.0f - 8.0f + 5.0f);
    EXPECT_GT(marker, canvas.find(L"td/mobs:"));

    m.mHovered = nullptr;
    auto* sprite = new TDSpriteEffect(L"td/mob_heal", 50.0f, 60.0f, 2);
    sprite->mDelay = -1.0f;
    m.addSprite(sprite);
    frame();
    int s = canvas.find(L"td/mob_heal:00");
    ASSERT_GE(s, 0);
    EXPECT_FLOAT_EQ(canvas.drawn[s].x, 50.0f);
    EXPECT_FLOAT_EQ(canvas.drawn[s].y, 57.0f);
    EXPECT_EQ(canvas.find(L"td/enemy_spot"), -1);
    // Gems spin on their spot with a shadow that fades in as they land.
    auto* gem = new TDCrystallSpecial(m, *unit(0));
    m.mDrops.push_back(gem);
    gem->mState = kDropArriving;
    gem->mTime = 0.9f;      // late in its fall
    gem->mSpinTime = 0.13f; // its second frame at 8 a second
    frame();
    int shadow = canvas.find(L"money_shadow");
    int spin = canvas.find(L"td/crystall:01");
    ASSERT_GE(shadow, 0);
    ASSERT_GE(spin, 0);
    EXPECT_LT(shadow, spin);
    EXPECT_NEAR(canvas.drawn[shadow].color.a, 0.5f, 1e-4f);
    EXPECT_FLOAT_EQ(canvas.drawn[shadow].y, gem->mEndY + 5.0f);

    gem->mTime = 0.5f; // still high up: no shadow yet
    frame();
    EXPECT_EQ(canvas.find(L"money_shadow"), -1);
    gem->mState = kDropLying;
    gem->mTime = 2.0f;
    frame();
    EXPECT_FLOAT_EQ(canvas.drawn[canvas.find(L"money_shadow")].color.a, 1.0f);
    // The level's background lies under the battle, its effect places left out.
    m.mScenery->folder = "td/data/levels/bgtest";
    m.mScenery->layers = {{L"ground", 0, 0, 1024, 768, 0, 768},
                          {L"fx/01", 10, 10, 16, 16, 1, 26},
                          {L"trees/01", 100, 50, 60, 80, 2, 130}};
    frame();
    ASSERT_GE(canvas.drawn.size(), 3u);
    EXPECT_EQ(canvas.drawn[0].name, L"td/data/levels/bgtest:ground");
    EXPECT_FLOAT_EQ(canvas.drawn[0].x, 512.0f);
    EXPECT_EQ(canvas.drawn[1].name, L"td/data/levels/bgtest:trees/01");
    EXPECT_FLOAT_EQ(canvas.drawn[1].y, 90.0f);
    EXPECT_EQ(canvas.find(L"fx/01"), -1);
    EXPECT_EQ(canvas.find(L"spots/"), 2);

    m.mScreen = kScreenEpisodes;
    frame();
    EXPECT_EQ(canvas.find(L"bgtest"), -1);
}

TEST_F(BattleDraw, DrawingLeavesTheBattleAsItIs)
{
    // The same battle with and without a drawing every frame ends in the same state, and the
    // battle's random numbers are where they would be.
    auto play = [&](bool draw)
    {
        math::SetRandomSeed(31);
        TDMap& m =
            begin("<wave spawn=\"1\"><e id=\"1\" y=\"-65\"/><e id=\"2\" x=\"20\" y=\"-65\"/><e id=\"3\" x=\"40\" "
                  "y=\"-65\"/></wave><wave spawn=\"1\"><e id=\"1\"/></wave>");
        m.buildTower(0, 100);
        for (int i = 0; i < 300; ++i)
        {
            m.update(1.0f / 60.0f);
            if (draw)
                frame();
        }
        std::vector<float> state;
        for (TDUnit* u : m.mWaves.mUnits)
            state.insert(state.end(), {u->mPos[0], u->mPos[1], u->mHealth, u->mAnimTime});
        state.push_back(math::Random());
        drawer.reset();
        map.reset();
        return state;
    };
    const std::vector<float> drawn = play(true);
    const std::vector<float> plain = play(false);
    ASSERT_GT(drawn.size(), 1u);
    EXPECT_EQ(drawn, plain);
}

TEST_F(BattleDraw, ABoostIconStandsAmongTheWalkingUnitsByDepth)
{
    TDMap& m = begin(kGrunts);
    if (!m.mScenery)
        m.mScenery = std::make_unique<TDMapScene>();
    TDSpotFrame spot;
    spot.name = "#0";
    TDBoostIcon icon;
    icon.sheet = L"td/ui";
    icon.image = L"ui/power_buff"; // any picture of the sheet
    icon.x = 300;
    icon.y = 200.0f;
    icon.depth = 230.0f;
    spot.boosts.push_back(icon);
    m.mScenery->spotFrames.push_back(spot);
    run(1.0f);
    TDUnit* u = unit(0);
    ASSERT_NE(u, nullptr);
    place(u, 300.0f, 260.0f); // in front of the icon: over it
    frame();
    ASSERT_GE(canvas.find(L"ui/power_buff"), 0);
    ASSERT_FALSE(unitImages().empty());
    EXPECT_LT(canvas.find(L"ui/power_buff"), unitImages().front());
    place(u, 300.0f, 200.0f); // behind it: under it
    frame();
    EXPECT_GT(canvas.find(L"ui/power_buff"), unitImages().front());
}

TEST_F(BattleDraw, TheFieldAndItsEffectsAreClippedToTheFieldWhereverItStandsTheTextsTheDropsAndTheRingAreNot)
{
    TDMap& m = begin(kGrunts);
    TDTower* tower = m.buildTower(0, 100);
    ASSERT_NE(tower, nullptr);
    run(1.0f);
    ASSERT_NE(unit(0), nullptr);
    ASSERT_NE(nullptr, m.startEffect(m.mEffects, L"hammer", tower->mX, tower->mY, true));
    m.mScenery->folder = "td/data/levels/bgtest";
    m.mScenery->layers = {{L"ground", 0, 0, 1024, 768, 0, 768}, {L"trees/01", -9, 344, 60, 80, 2, 424}};
    m.mNextWave.buttons = {{100, 300, 40, 40}};
    m.mNextWave.firstSpawnTime = m.mWaves.mClock + 5.0f;
    m.addIndicator(1000.0f, 200.0f, kIndicatorGold, L"+5");
    auto* gem = new TDCrystallSpecial(m, *unit(0));
    gem->mState = kDropLying;
    m.mDrops.push_back(gem);
    m.mContextMenu = std::make_unique<TDContextMenu>(m);
    m.mContextMenu->openTower(tower);
    m.mContextMenu->centreX = tower->mX;
    m.mContextMenu->centreY = tower->mY;
    InlineUiPainter ring(canvas);
    canvas.ui = &ring;
    // The field at the full view of a 16:9 screen, and zoomed in and moved as the tutorial shows it.
    for (const auto& [scale, x, y] : {std::tuple{1.0f, 0.0f, 0.0f}, std::tuple{1.5f, -200.0f, -40.0f}})
    {
        m.mScale = scale;
        m.mOffsetX = x;
        m.mOffsetY = y;
        frame();
        const std::array<float, 4> field{x, y, 1024.0f * scale, 768.0f * scale};
        const int ringStart = canvas.find(L"ring:");
        ASSERT_GE(ringStart, 0);
        int fieldItems = 0;
        for (int i = 0; i < ringStart; ++i) // the ring's own tower after it stands over the battle
        {
            const Drawn& d = canvas.drawn[static_cast<size_t>(i)];
            const bool isField = d.name.find(L"bgtest:") != std::wstring::npos || d.name.find(L"td/turrets:") == 0 ||
                                 d.name.find(L"td/mobs:") == 0 || d.name.find(L"spots/") != std::wstring::npos ||
                                 d.kind == Drawn::Emitter;
            fieldItems += isField;
            const std::string what = std::string(d.name.begin(), d.name.end()) + " at " + std::to_string(scale);
            if (isField)
            {
                EXPECT_TRUE(d.clipped && d.clip == field) << what;
            }
            const bool isOver = d.kind == Drawn::Text || d.name.find(L"ui/money") != std::wstring::npos ||
                                d.name.find(L"td/crystall:") == 0;
            if (isOver)
            {
                EXPECT_FALSE(d.clipped) << what;
            }
        }
        for (size_t i = static_cast<size_t>(ringStart); i < canvas.drawn.size(); ++i)
            EXPECT_FALSE(canvas.drawn[i].clipped) << "the ring";
        EXPECT_GE(fieldItems, 6) << "ground, tree, spot, tower, unit, effect";
        EXPECT_EQ(canvas.clips, 0) << "every clip ended";
        EXPECT_FALSE(canvas.clipped);
    }
    canvas.ui = nullptr;
}

TEST_F(BattleDraw, ABeamsLinksAreDrawnAlongTheBeamUnscaledEveryFrameWhileItsUnitHoldsOrMoves)
{
    TDMap& m = begin(kGrunts);
    run(0.5f);
    TDUnit* u = unit(0);
    ASSERT_NE(u, nullptr);
    place(u, 330.0f, 40.0f); // up and to the right of the beam's start: on no axis
    auto* beam = new TDBeamParticle(particles, 250.0f, 120.0f, u, L"t_line"); // a teleport tower's
    m.mParticles.push_back(beam);
    // The field zoomed as the tutorial shows it: the zoom scales the links too.
    m.mScale = 1.5f;
    m.mOffsetX = -200.0f;
    m.mOffsetY = -40.0f;
    for (int f = 0; f < 12; ++f)
    {
        if (f == 6)
            place(u, 180.0f, 130.0f); // down and to the left: the beam turns to it once
        const float ux = u->mDrawPos[0], uy = u->mDrawPos[1];
        m.update(1.0f / 60.0f);
        place(u, ux, uy);   // held where it was put
        beam->update(0.0f); // the beam's end where the unit is held
        frame();
        const float dx = beam->mEndX - beam->mStartX, dy = beam->mEndY - beam->mStartY;
        const float length = std::hypot(dx, dy);
        ASSERT_GT(length, 60.0f);
        std::vector<const Drawn*> links;
        for (const Drawn& d : canvas.drawn)
            for (const auto& emitter : beam->mEmitters)
                if (d.kind == Drawn::Emitter && d.emitter == emitter.get())
                    links.push_back(&d);
        ASSERT_EQ(links.size(), beam->mEmitters.size()) << "frame " << f;
        ASSERT_GE(links.size(), 2u);
        for (size_t i = 0; i < links.size(); ++i)
        {
            const Drawn& d = *links[i];
            const std::string what = "frame " + std::to_string(f) + ", link " + std::to_string(i);
            // Each link points back along the beam to the tower, its y axis square to it, at the
            // zoom's scale and no other.
            const float k = 1.5f / length;
            EXPECT_NEAR(d.axes[0], -dx * k, 1e-4f) << what;
            EXPECT_NEAR(d.axes[1], -dy * k, 1e-4f) << what;
            EXPECT_NEAR(d.axes[2], dy * k, 1e-4f) << what;
            EXPECT_NEAR(d.axes[3], -dx * k, 1e-4f) << what;
            // At its distance along the beam.
            const float along = beam->linkDistance(i) / length;
            EXPECT_NEAR(d.x, (beam->mStartX + dx * along) * 1.5f - 200.0f, 1e-2f) << what;
            EXPECT_NEAR(d.y, (beam->mStartY + dy * along) * 1.5f - 40.0f, 1e-2f) << what;
        }
    }
    EXPECT_FLOAT_EQ(beam->mEndX, 180.0f);
    EXPECT_FLOAT_EQ(beam->mEndY, 130.0f);
}
