// The game's battle sheets, loaded from the committed PSD files through the PSD reader and the file
// manager: every sheet reads, rotating towers shoot from their drawn muzzle, damaged sheets are refused.
#include "SpriteFakes.h"

#include "Core/Base/Stream.h"
#include "Core/File/FileManager.h"
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
        for (const std::wstring& path : TDResources::battleSheets())
            res->loadContainer(path);
        loadedGraphics = res->graphics().size();
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

    static inline std::filesystem::path sOldDir;
    PixelLoader pixels;
    TDResources* res = nullptr;
    size_t loadedGraphics = 0;
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
