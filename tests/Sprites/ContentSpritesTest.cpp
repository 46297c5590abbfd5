// Every sprite the game's sheets name, loaded from the committed PSD files through the PSD reader
// and the file manager: lists, counts, points, sizes and a few pixels.
#include "SpriteFakes.h"

#include "Core/Base/Stream.h"
#include "Core/File/FileManager.h"
#include "Source/TD/Sprites/TDAnimation.h"
#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDPsdSheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace spritetest;

namespace
{
// One sheet row as column name -> cell.
using Row = std::map<std::string, std::string>;

std::vector<Row> ReadSheet(const std::string& name)
{
    std::ifstream in(std::string(QL_CONTENT_DIR) + "td/" + name);
    std::vector<Row> rows;
    std::vector<std::string> header;
    std::string line;
    while (std::getline(in, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> cells;
        std::stringstream ss(line);
        std::string cell;
        while (std::getline(ss, cell, ';'))
            cells.push_back(cell);
        if (header.empty())
        {
            header = cells;
            continue;
        }
        Row row;
        for (size_t i = 0; i < header.size() && i < cells.size(); ++i)
            row[header[i]] = cells[i];
        rows.push_back(row);
    }
    return rows;
}

float Number(const Row& row, const std::string& key)
{
    auto it = row.find(key);
    if (it == row.end() || it->second.empty())
        return 0.0f;
    std::string text = it->second;
    for (char& c : text)
        if (c == ',')
            c = '.';
    return std::stof(text);
}

std::string Cell(const Row& row, const std::string& key)
{
    auto it = row.find(key);
    return it == row.end() ? std::string() : it->second;
}

// Keeps pixels and hands out textures that remember them, so frames can be looked at.
struct PixelTexture : TDTexture
{
    i32 width() const override { return w; }
    i32 height() const override { return h; }
    u32 at(i32 x, i32 y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : px[size_t(y) * w + x]; }
    i32 w = 0, h = 0;
    std::vector<u32> px;
};

struct PixelLoader : TDTextureLoader
{
    bool wantsPixels() const override { return true; }
    std::unique_ptr<TDTexture> load(const TDImageSheet& sheet, size_t i) override
    {
        auto t = std::make_unique<PixelTexture>();
        t->w = i32(sheet.image(i).mWidth);
        t->h = i32(sheet.image(i).mHeight);
        if (const u32* p = sheet.pixels(i))
            t->px.assign(p, p + size_t(t->w) * t->h);
        return t;
    }
    std::unique_ptr<TDTexture> loadPicture(const std::wstring&) override { return nullptr; }
};

class ContentSprites : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        sOldDir = std::filesystem::current_path();
        std::filesystem::current_path(QL_CONTENT_DIR);
    }
    static void TearDownTestSuite() { std::filesystem::current_path(sOldDir); }

    void SetUp() override
    {
        res = FreshResources();
        res->setTextureLoader(&pixels);
        // PSD files through the file manager, counting what gets opened.
        res->setSheetOpener([this](const std::wstring& path, bool keep) -> std::shared_ptr<TDImageSheet> {
            opened.push_back(path);
            return TDPsdSheet::open(path, keep);
        });
        for (const std::wstring& path : TDResources::battleSheets())
            res->loadContainer(path);
        loadedGraphics = res->graphics().size();
        opened.clear();
    }
    void TearDown() override { base::SingletoneBase::DestroyAll(); }

    // The prototype's graphic, which must be one of the battle sheets' groups.
    const TDGraphic* Graphic(const Row& row)
    {
        std::string id = Cell(row, "id");
        TDGraphic* g = res->getGraphic(Cell(row, "psd"), Cell(row, "img"), std::atoi(id.c_str()));
        EXPECT_NE(g, nullptr) << "id " << id;
        EXPECT_EQ(res->graphics().size(), loadedGraphics) << "id " << id << " has no group in the battle sheets";
        return g;
    }

    static bool Opaque(const TDFrameEntry* frame)
    {
        auto* t = static_cast<const PixelTexture*>(frame->mImage);
        if (!t)
            return false;
        for (u32 p : t->px)
            if ((p >> 24) >= 128)
                return true;
        return false;
    }

    static bool InsideGraphic(const TDGraphic& g, const std::string& list)
    {
        float w = 0, h = 0, x = 0, y = 0;
        g.size(w, h);
        for (i32 i = 0; g.point(list, i, x, y); ++i)
            if (x < 0 || y < 0 || x >= w || y >= h)
                return false;
        return g.frameCount(list) > 0;
    }

    static inline std::filesystem::path sOldDir;
    PixelLoader pixels;
    TDResources* res = nullptr;
    size_t loadedGraphics = 0;
    std::vector<std::wstring> opened;
};
} // namespace

TEST_F(ContentSprites, EveryBattleSheetReadsThroughTheFileManager)
{
    for (const std::wstring& path : TDResources::battleSheets())
    {
        std::unique_ptr<TDPsdSheet> sheet = TDPsdSheet::open(path, false);
        ASSERT_NE(sheet, nullptr) << std::string(path.begin(), path.end());
        EXPECT_GT(sheet->groups().size(), 0u);
        EXPECT_EQ(sheet->findImage(L"background"), nullptr); // the bottom-most layer is never a picture
        for (size_t i = 0; i < sheet->imageCount(); ++i)
            EXPECT_NE(sheet->image(i).mName.find(L'/'), std::wstring::npos);
        EXPECT_EQ(sheet->pixels(0), nullptr); // names and rectangles only
    }
    EXPECT_GE(loadedGraphics, 50u);
}

TEST_F(ContentSprites, UnitsWalkDieAndStandOnTheirBasePoint)
{
    for (const Row& row : ReadSheet("units_sheet.csv"))
    {
        SCOPED_TRACE("unit " + Cell(row, "id") + " " + Cell(row, "psd"));
        const TDGraphic* g = Graphic(row);
        if (!g)
            continue;
        EXPECT_GT(Number(row, "fps"), 0.0f);
        EXPECT_GE(g->frameCount("walk"), 4);
        EXPECT_GE(g->frameCount("death"), 3);
        bool special = !Cell(row, "special").empty() || Number(row, "healer") != 0 || Number(row, "summon") != 0 ||
                       Number(row, "raiseDead") != 0;
        if (special)
        {
            EXPECT_GE(g->frameCount("special"), 2);
        }
        // The unnamed list's first entry is the base the unit stands on; the pivot places its rectangle.
        ASSERT_EQ(g->frameCount(""), 1);
        EXPECT_TRUE(InsideGraphic(*g, ""));
        EXPECT_TRUE(InsideGraphic(*g, "pivot"));
        // Frames are cropped to their pixels, as editors store layers; each stands over the base.
        float bx = 0, by = 0;
        g->point("", 0, bx, by);
        for (const TDFrameEntry* f : g->frames("walk"))
        {
            EXPECT_LE(f->mX, bx);
            EXPECT_GE(f->mX + f->mWidth, bx);
            EXPECT_LE(f->mY, by);
            EXPECT_TRUE(Opaque(f)) << std::string(f->mName.begin(), f->mName.end());
        }
        EXPECT_TRUE(Opaque(g->frames("death")[0]));
        if (Number(row, "air") == 0)
        {
            // A walker's feet touch its base point: some pixel of the first frame lies just above it.
            const TDFrameEntry* f = g->frames("walk")[0];
            auto* t = static_cast<const PixelTexture*>(f->mImage);
            bool feet = false;
            for (i32 y = i32(by) - 6; y <= i32(by); ++y)
                for (i32 x = i32(bx) - 6; x <= i32(bx) + 6; ++x)
                    feet = feet || (t->at(x - i32(f->mX), y - i32(f->mY)) >> 24) >= 128;
            EXPECT_TRUE(feet);
        }
    }
}

TEST_F(ContentSprites, TowersHaveTheirFiringFramesAndPoints)
{
    int rotating = 0;
    for (const Row& row : ReadSheet("towers_sheet.csv"))
    {
        SCOPED_TRACE("tower " + Cell(row, "id") + " " + Cell(row, "psd"));
        const TDGraphic* g = Graphic(row);
        if (!g)
            continue;
        EXPECT_GT(Number(row, "fps"), 0.0f);
        EXPECT_EQ(g->frameCount("base_point"), 1);
        EXPECT_TRUE(InsideGraphic(*g, "base_point"));
        EXPECT_TRUE(InsideGraphic(*g, "s_point"));
        if (Number(row, "rotating") != 0)
        {
            ++rotating;
            EXPECT_EQ(g->frameCount(""), 128); // 32 directions x 4 firing frames
            EXPECT_EQ(g->frameCount("s_point"), 32);
        }
        else
        {
            EXPECT_GE(g->frameCount("idle"), 2);
            EXPECT_GE(g->frameCount("blast"), 2);
            for (const TDFrameEntry* f : g->frames("blast"))
                EXPECT_TRUE(Opaque(f));
        }
    }
    EXPECT_GT(rotating, 0);
}

TEST_F(ContentSprites, RotatingTowerShotsLeaveFromTheDrawnMuzzle)
{
    // The shot starts at the tower + (w/2 - base x) + (w/2 - s x), - (h/2 - s y) + (h/2 - base y),
    // with s the "s_point" at 32 - direction; the tower is drawn with its base point on the tower.
    // So pixel (w - s x, s y) of the direction's first frame must be the glowing tip.
    for (const Row& row : ReadSheet("towers_sheet.csv"))
    {
        if (Number(row, "rotating") == 0)
            continue;
        const TDGraphic* g = Graphic(row);
        ASSERT_NE(g, nullptr);
        float w = 0, h = 0;
        g->size(w, h);
        for (i32 d = 0; d < 32; ++d)
        {
            i32 m = 32 - d > 31 ? 0 : 32 - d;
            float sx = 0, sy = 0;
            ASSERT_TRUE(g->point("s_point", m, sx, sy));
            const TDFrameEntry* frame = g->frames("")[4 * d];
            auto* t = static_cast<const PixelTexture*>(frame->mImage);
            i32 px = i32(w - sx - frame->mX), py = i32(sy - frame->mY);
            EXPECT_GE(t->at(px, py) >> 24, 128u) << "direction " << d << " at " << px << "," << py;
        }
    }
}

TEST_F(ContentSprites, EveryAmmoAndSpellHasAPicture)
{
    for (const Row& row : ReadSheet("ammo_sheet.csv"))
    {
        SCOPED_TRACE("ammo " + Cell(row, "id") + " " + Cell(row, "psd"));
        const TDGraphic* g = Graphic(row);
        if (!g)
            continue;
        EXPECT_EQ(g->mAnimated, 1);
        ASSERT_GE(g->frameCount(""), 1);
        EXPECT_TRUE(Opaque(g->frames("")[0]));
        if (Number(row, "type") == 4) // spells play their frames as effect sprites
        {
            EXPECT_GE(g->frameCount(""), 6);
        }
    }
}

TEST_F(ContentSprites, NamedEffectSpritesAreInTheBattleSheets)
{
    for (const wchar_t* name : {L"td/disabletower", L"td/tower_debuff", L"td/mob_dot", L"td/mob_heal", L"td/crystall",
                                L"td/enemy_spot"})
    {
        const TDGraphic* g = res->findGraphic(name);
        EXPECT_GE(g->frameCount(""), 4) << std::wstring(name).size();
        EXPECT_EQ(g->frameCount("s_point"), 1);
    }
    TDAnimation flame(L"td/tower3_1b", "fire");
    EXPECT_GE(flame.frameCount(), 2);
    EXPECT_NE(flame.mAnchorX, 50.0f); // its own anchor, not the default
    for (const wchar_t* shadow : {L"shadows/money_shadow", L"shadows/wywern_shadow", L"shadows/dragon_shadow"})
    {
        const TDFrameEntry* e = res->getImage(L"td/shadows", shadow);
        ASSERT_NE(e, nullptr);
        EXPECT_GT(e->mWidth, e->mHeight); // a flat ellipse
        EXPECT_TRUE(Opaque(e) || static_cast<const PixelTexture*>(e->mImage)->px.size() > 0);
    }
    EXPECT_TRUE(opened.empty()) << "a named sprite was looked for outside the battle sheets";
}

TEST_F(ContentSprites, InterfaceSheetHoldsEveryPictureTheBattleAsksFor)
{
    std::vector<std::wstring> names = {
        L"brush", L"bar", L"radius", L"power_buff", L"power_boost", L"power_unboost", L"radius_boost",
        L"radius_unboost", L"lvl2", L"lvl3", L"l1", L"l2", L"l3", L"sell", L"buy", L"context_money",
        L"context_gem", L"money", L"immune", L"wave_hint", L"acid_01", L"beam_01", L"aoe_01", L"burn_01",
        L"dazed_01", L"hammer_01", L"showInvisible_01", L"money_01", L"portal_01", L"wing_01", L"might_01",
        L"might_02"};
    for (int i = 1; i <= 12; ++i)
        names.push_back(std::wstring(L"tower_") + (i < 10 ? L"0" : L"") + std::to_wstring(i));
    for (const std::wstring& name : names)
    {
        const TDFrameEntry* e = res->getImage(L"td/ui", L"ui/" + name);
        ASSERT_NE(e, nullptr) << std::string(name.begin(), name.end());
        EXPECT_TRUE(Opaque(e) || name == L"radius" || name == L"brush") << std::string(name.begin(), name.end());
        EXPECT_GT(e->mWidth, 0.0f);
    }
}

TEST_F(ContentSprites, DamagedSheetIsRefusedWithoutCrashing)
{
    std::ifstream in(std::string(QL_CONTENT_DIR) + "td/units/t1units.psd", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 1000u);
    for (size_t cut : {size_t(10), size_t(200), bytes.size() / 2, bytes.size() - 3})
    {
        base::MemoryStream stream(bytes.data(), u32(cut));
        EXPECT_EQ(TDPsdSheet::read(L"td/units/t1units", stream, true), nullptr) << cut;
    }
    std::string flipped = bytes;
    flipped[0] = 'X';
    base::MemoryStream bad(flipped.data(), u32(flipped.size()));
    EXPECT_EQ(TDPsdSheet::read(L"td/units/t1units", bad, false), nullptr);
    EXPECT_EQ(TDPsdSheet::open(L"td/units/none", false), nullptr);
}
