// The game's battle sheets, loaded from the committed PSD files through the PSD reader and the file
// manager: every sheet reads, rotating towers shoot from their drawn muzzle, damaged sheets are refused.
#include "SpriteFakes.h"

#include "Core/Base/Stream.h"
#include "Core/File/FileManager.h"
#include "Source/TD/Data/TDSheetReader.h"
#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDPsdSheet.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace spritetest;

namespace
{
// Each row of a sheet as the game reads it: "unit" elements, tiers nested under their base row.
void ForEachRow(const tinyxml2::XMLElement* parent, const std::function<void(const tinyxml2::XMLElement&)>& visit)
{
    for (const tinyxml2::XMLElement* row = parent->FirstChildElement("unit"); row; row = row->NextSiblingElement("unit"))
    {
        visit(*row);
        ForEachRow(row, visit);
    }
}

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
    const TDGraphic* Graphic(const tinyxml2::XMLElement& row)
    {
        TDGraphic* g = res->getGraphic(&row);
        EXPECT_NE(g, nullptr) << "id " << row.IntAttribute("id");
        EXPECT_EQ(res->graphics().size(), loadedGraphics) << "id " << row.IntAttribute("id") << " has no group";
        return g;
    }

    static inline std::filesystem::path sOldDir;
    CountingLoader pixels;
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
    std::ifstream in(std::string(QL_CONTENT_DIR) + "td/towers_sheet.csv", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    tinyxml2::XMLDocument sheet;
    tinyxml2::XMLElement* towers = sheet.NewElement("towers");
    sheet.InsertEndChild(towers);
    TDSheetReader::readText(text, towers, sheet);
    int rotating = 0;
    ForEachRow(towers, [&](const tinyxml2::XMLElement& row) {
        if (!row.BoolAttribute("rotating"))
            return;
        ++rotating;
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
            auto* t = static_cast<const FakeTexture*>(frame->mImage);
            i32 px = i32(w - sx - frame->mX), py = i32(sy - frame->mY);
            EXPECT_GE(t->at(px, py) >> 24, 128u) << "direction " << d << " at " << px << "," << py;
        }
    });
    EXPECT_GE(rotating, 3);
}

TEST_F(ContentSprites, DamagedSheetIsRefusedWithoutCrashing)
{
    std::ifstream in(std::string(QL_CONTENT_DIR) + "td/units/t1units.psd", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 1000u);
    base::MemoryStream cut(bytes.data(), u32(bytes.size() / 2)); // the PSD tests cut real files at every byte
    EXPECT_EQ(TDPsdSheet::read(L"td/units/t1units", cut, true), nullptr);
    std::string flipped = bytes;
    flipped[0] = 'X';
    base::MemoryStream bad(flipped.data(), u32(flipped.size()));
    EXPECT_EQ(TDPsdSheet::read(L"td/units/t1units", bad, false), nullptr);
    EXPECT_EQ(TDPsdSheet::open(L"td/units/none", false), nullptr);
}
