// The level selection screen.
#include "Source/TD/Shell/HUDLevelSelect.h"

#include "Core/Base/Transform2D.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Media/Particles/ParticleSystem.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Shell/TDScreenDraw.h"

#include <cmath>

namespace
{
std::wstring localised(const std::wstring& key) { return LocalStrings::Instance()->get(key); }

// "New!" is drawn at full size, centred on its badge and wrapped at this width.
constexpr float kNewWrap = 80.0f;

// A point of a plate's picture (relative to its top-left corner) under the plate's zoom about
// its centre.
void zoomed(const LevelPlate& p, float rx, float ry, float& x, float& y)
{
    const float hw = static_cast<float>(p.width) * 0.5f, hh = static_cast<float>(p.height) * 0.5f;
    x = static_cast<float>(p.x) + hw + (rx - hw) * p.scale;
    y = static_cast<float>(p.y) + hh + (ry - hh) * p.scale;
}
// The next level's mark, looping at the plate's centre; none when the effect library lacks it.
std::unique_ptr<render::ParticleEmitter> startParticles(float x, float y)
{
    if (!render::ParticleSystem::Exists())
        return nullptr;
    std::unique_ptr<render::ParticleEmitter> emitter(render::ParticleSystem::Instance()->CreateEmitter("active_lvl"));
    if (!emitter)
        return nullptr;
    emitter->SetPosition(x, y, 1);
    emitter->SetLoopMode(1);
    emitter->SetState(render::ParticleEmitter::PLAYING);
    return emitter;
}
} // namespace

HUDLevelSelect::HUDLevelSelect(TDMap& map, const std::wstring& layout) : mMap(map)
{
    buildFromLayout(layout);
    map.mSounds->playMusic(L"td/data/music/main_menu.ogg");
    const i32 e = map.mEpisode;
    const bool hardcore = map.mMode == kDifficultyHardcore;
    mEpisodeText = localised((hardcore ? L"episodeHardcore" : L"episode") + std::to_wstring(e));
    TDButtonFrame* locked = findButton(L"locked_d");
    TDButtonFrame* unlocked = findButton(L"unlocked_d");
    if (!hardcore)
    {
        const i32 hardLevels = map.getHardcoreLevelCount(e);
        const bool open = map.isHardcoreUnlocked(e);
        for (TDButtonFrame* button : {locked, unlocked})
        {
            if (!button)
                continue;
            button->mVisible = hardLevels > 0 && (button == unlocked) == open ? 1 : 0;
            button->mX = 857.0f;
            button->mY = 448.0f;
        }
        // "New" while the Ordeal holds levels not yet seen, open or locked.
        mHardcoreNew = hardLevels > 0 && map.mProgress->getEpisodeVisited(e, kDifficultyHardcore) < hardLevels;
        setFrameVisible(L"skulls", false);
        mTabBar = std::make_unique<ShopTabBar>(
            mLayout.get(), std::vector<std::wstring>{L"level_tab_0", L"level_tab_1", L"level_tab_2"},
            std::vector<bool>{true, true, true});
        mTabBar->select(static_cast<i32>(map.mMode));
    }
    else
    {
        for (const wchar_t* name : {L"locked_d", L"unlocked_d", L"upgrade"})
            if (TDButtonFrame* button = findButton(name))
                button->mVisible = 0;
        mTabBar = std::make_unique<ShopTabBar>(mLayout.get(), std::vector<std::wstring>{}, std::vector<bool>{});
    }
    setText(L"gems", std::to_wstring(map.mProgress->getGems()));
    buildPlates();
    map.mProgress->setEpisodeVisited(e, map.mMode, hardcore ? map.getHardcoreLevelCount(e) : map.getLevelCount(e));
}

HUDLevelSelect::~HUDLevelSelect() { mFrames.clear(); }

const TDFrameEntry* HUDLevelSelect::frame(const std::wstring& name)
{
    auto found = mFrames.find(name);
    if (found != mFrames.end())
        return found->second.get();
    return mFrames.emplace(name, tdscreen::makeFrame(mLayout.get(), name)).first->second.get();
}

void HUDLevelSelect::buildPlates()
{
    mPlates.clear();
    const i32 e = mMap.mEpisode;
    const TDDifficulty mode = mMap.mMode;
    const i32 count = mode == kDifficultyHardcore ? mMap.getHardcoreLevelCount(e) : mMap.getLevelCount(e);
    const i32 next = count > 0 ? mMap.mProgress->getNextLevel(e, mode) : -1;
    const i32 seen = mMap.mProgress->getEpisodeVisited(e, mode);
    for (i32 level = 0; level < count; ++level)
    {
        LevelPlate p;
        p.episode = e;
        p.level = level;
        p.open = mMap.mProgress->isLevelOpen(e, level, mode);
        p.stars = mMap.mProgress->getLevelResult(e, level, mode).stars;
        p.played = p.stars > 0;
        const wchar_t* picture = p.played ? (p.stars == 3 ? L"plate/super" : L"plate/complete")
                                          : (p.open ? L"plate/incomplete" : L"plate/locked");
        const TDFrameEntry* plateFrame = frame(picture);
        p.plateImage = imageOf(*plateFrame);
        p.showStars = p.played;
        p.width = static_cast<i32>(plateFrame->mWidth);
        p.height = static_cast<i32>(plateFrame->mHeight);
        p.x = 80 + 125 * (level % 7);
        p.y = 220 + 125 * (level / 7);
        p.next = level == next && !p.played;
        if (p.next)
            p.particles = startParticles(static_cast<float>(p.x) + static_cast<float>(p.width) * 0.5f,
                                         static_cast<float>(p.y) + static_cast<float>(p.height) * 0.5f);
        p.showNew = seen < level + 1 && p.open;
        p.showNumber = p.open && p.stars != 3;
        mPlates.push_back(std::move(p));
    }
}

void HUDLevelSelect::Update(float dt)
{
    HUDWindow::Update(dt);
    for (LevelPlate& plate : mPlates)
        plate.update(dt);
    mTabBar->update(dt);
    if (mMap.mMode == kDifficultyHardcore && !mMap.mProgress->isEventSeen(0))
    {
        mMap.mProgress->setEventSeen(0);
        mMap.mHud->showMessage(localised(L"HardcoreTitle"), localised(L"HardcoreDescMessage"), kScreenLevels);
    }
}

void HUDLevelSelect::MouseMove(int x, int y)
{
    HUDWindow::MouseMove(x, y);
    for (LevelPlate& plate : mPlates)
        plate.hover = plate.open && plate.contains(x, y) ? 1 : 0;
    mTabBar->hover(x, y);
}

void HUDLevelSelect::Press(int x, int y)
{
    const int tab = mMap.mMode == kDifficultyHardcore ? -1 : mTabBar->click(x, y);
    if (tab < 0)
        return;
    mMap.mMode = static_cast<TDDifficulty>(tab);
    mMap.mProgress->setMode(mMap.mMode);
    if (auto play = HUDWindowContext::Get().playSound)
        play(L"simple");
    buildPlates();
}

int HUDLevelSelect::ButtonAt(int x, int y)
{
    for (const LevelPlate& plate : mPlates)
        if (plate.contains(x, y))
            return plate.level;
    return -1;
}

void HUDLevelSelect::drawPlate(render::Graphics* graphics, const LevelPlate& p)
{
    const HUDWindowContext& c = HUDWindowContext::Get();
    const float w = static_cast<float>(p.width), h = static_cast<float>(p.height);
    float x = 0.0f, y = 0.0f;
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    zoomed(p, w * 0.5f, h * 0.5f, x, y);
    tdscreen::drawImageCentred(graphics, p.plateImage, x, y, p.scale);
    if (p.particles)
        graphics->DrawParticles(p.particles.get());
    if (p.showStars)
    {
        const TDFrameEntry* plate = frame(L"stars_plate/plate");
        const TDFrameEntry* star = frame(L"stars_plate/star");
        const float px = (w - plate->mWidth) * 0.5f, py = h - plate->mHeight + 16.0f;
        zoomed(p, px + plate->mWidth * 0.5f, py + plate->mHeight * 0.5f, x, y);
        tdscreen::drawImageCentred(graphics, imageOf(*plate), x, y, p.scale);
        // Star s stands at (32 x s, 0) on the stars plate.
        for (i32 s = 0; s < p.stars; ++s)
        {
            zoomed(p, px + 32.0f * static_cast<float>(s) + star->mWidth * 0.5f, py + star->mHeight * 0.5f, x, y);
            tdscreen::drawImageCentred(graphics, imageOf(*star), x, y, p.scale);
        }
    }
    if (p.showNumber)
    {
        if (p.next)
            graphics->SetColorRGBA(0.0f, 1.0f, 0.0f, 1.0f);
        zoomed(p, w * 0.5f - 3.0f, h * 0.5f - 3.0f, x, y);
        tdscreen::drawTextCentred(graphics, c.captionFont.Get(), std::to_wstring(p.level + 1), x, y, p.scale, 170.0f);
        graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    }
    if (p.showNew)
    {
        const TDFrameEntry* badge = frame(L"plate/new");
        zoomed(p, 50.0f + badge->mWidth * 0.5f, -20.0f + badge->mHeight * 0.5f, x, y);
        tdscreen::drawImageCentred(graphics, imageOf(*badge), x, y, p.scale);
        tdscreen::drawTextCentred(graphics, c.windowFont.Get(), localised(L"episodeSelectNew"), x, y, p.scale,
                                  kNewWrap);
    }
}

void HUDLevelSelect::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    HUDWindow::Draw(graphics);
    const HUDWindowContext& c = HUDWindowContext::Get();
    render::Font* previous = graphics->mFont;
    for (const LevelPlate& plate : mPlates)
        drawPlate(graphics, plate);
    mTabBar->draw(graphics);
    auto area = mTextAreas.find(L"episode");
    if (area != mTextAreas.end())
    {
        const TDFrameEntry& a = *area->second;
        graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
        render::BMFont* font = mMap.mMode == kDifficultyHardcore ? c.windowFont.Get() : c.captionFont.Get();
        // A name wider than its place (which keeps a margin inside the header) is drawn smaller.
        float width = 0.0f, height = 0.0f;
        tdscreen::measureWrapped(font, mEpisodeText, 1024.0f, width, height);
        const float scale = width > a.mWidth ? a.mWidth / width : 1.0f;
        tdscreen::drawTextCentred(graphics, font, mEpisodeText, a.mX + a.mWidth * 0.5f, a.mY + a.mHeight * 0.5f, scale,
                                  1024.0f);
    }
    if (mHardcoreNew)
        if (const TDButtonFrame* locked = findButton(L"locked_d"))
        {
            const TDFrameEntry* badge = frame(L"plate/new");
            const float x = locked->mX + 50.0f + badge->mWidth * 0.5f, y = locked->mY - 20.0f + badge->mHeight * 0.5f;
            graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
            tdscreen::drawImageCentred(graphics, imageOf(*badge), x, y, 1.0f);
            tdscreen::drawTextCentred(graphics, c.windowFont.Get(), localised(L"episodeSelectNew"), x, y, 1.0f,
                                      kNewWrap);
        }
    graphics->mFont = previous;
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
}
