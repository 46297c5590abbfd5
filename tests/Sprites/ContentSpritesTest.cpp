// The game's battle sheets, loaded from the committed PSD files through the PSD reader and the file
// manager and from a mounted pack: every sheet reads, rotating towers shoot from their drawn muzzle, damaged
// sheets are refused; a GIMP sheet names its grouped layers by path.
#include "SpriteFakes.h"

#include "Core/Base/Stream.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Source/TD/Data/TDSheetReader.h"
#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDPsdSheet.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <filesystem>
#include <functional>
#include <optional>

using namespace spritetest;

namespace
{
std::vector<std::wstring> Names(const TDImageSheet& sheet)
{
    std::vector<std::wstring> out;
    for (size_t i = 0; i < sheet.imageCount(); ++i)
        out.push_back(sheet.image(i).mName);
    return out;
}

// Each row of a sheet as the game reads it: "unit" elements, tiers nested under their base row.
void ForEachRow(const tinyxml2::XMLElement* parent, const std::function<void(const tinyxml2::XMLElement&)>& visit)
{
    for (const tinyxml2::XMLElement* row = parent->FirstChildElement("unit"); row;
         row = row->NextSiblingElement("unit"))
    {
        visit(*row);
        ForEachRow(row, visit);
    }
}

class ContentSprites : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { sInContent.emplace(QL_CONTENT_DIR); }
    static void TearDownTestSuite() { sInContent.reset(); }

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

    static inline std::optional<testsupport::InFolder> sInContent;
    CountingLoader pixels;
    TDResources* res = nullptr;
    size_t loadedGraphics = 0;
};
} // namespace

TEST_F(ContentSprites, EveryBattleSheetReadsADamagedOneIsRefusedAndRotatingTowersShootFromTheDrawnMuzzle)
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

    // A damaged sheet is refused without crashing.
    const std::string bytes = testsupport::ReadBytes(std::string(QL_CONTENT_DIR) + "td/units/t1units.psd");
    ASSERT_GT(bytes.size(), 1000u);
    base::MemoryStream cut(bytes.data(), u32(bytes.size() / 2)); // the PSD tests cut real files at every byte
    EXPECT_EQ(TDPsdSheet::read(L"td/units/t1units", cut, true), nullptr);
    std::string flipped = bytes;
    flipped[0] = 'X';
    base::MemoryStream bad(flipped.data(), u32(flipped.size()));
    EXPECT_EQ(TDPsdSheet::read(L"td/units/t1units", bad, false), nullptr);
    EXPECT_EQ(TDPsdSheet::open(L"td/units/none", false), nullptr);

    // Rotating tower shots leave from the drawn muzzle. The shot starts at the tower + (w/2 - base x)
    // + (w/2 - s x), - (h/2 - s y) + (h/2 - base y),
    // with s the "s_point" at 32 - direction; the tower is drawn with its base point on the tower.
    // So pixel (w - s x, s y) of the direction's first frame must be the glowing tip.
    const std::string text = testsupport::ReadBytes(std::string(QL_CONTENT_DIR) + "td/towers_sheet.csv");
    tinyxml2::XMLDocument sheet;
    tinyxml2::XMLElement* towers = sheet.NewElement("towers");
    sheet.InsertEndChild(towers);
    TDSheetReader::readText(text, towers, sheet);
    int rotating = 0;
    ForEachRow(towers,
               [&](const tinyxml2::XMLElement& row)
               {
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

TEST(PackedSheet, UnitSheetLoadsFromTheMountedPackAsFromLooseFiles)
{
    testsupport::TempDir dir;
    testsupport::InFolder here(dir.Path());
    std::filesystem::create_directories("src/units");
    std::filesystem::copy_file(std::string(QL_CONTENT_DIR) + "td/units/t1units.psd", "src/units/t1units.psd");
    ASSERT_EQ(file::BuildPack(L"src", L"data.dat"), QL_OK);

    TDResources* res = FreshResources();
    file::FileManager::Instance()->mMounts[L"td/"] = L"data.dat";
    res->loadContainer(L"td/units/t1units");
    const size_t packed = res->graphics().size();
    TDGraphic* imp = res->getGraphic("imp", "imp", 0);

    file::FileManager::Instance()->mMounts.clear();
    std::filesystem::rename("src", "td");
    std::unique_ptr<TDPsdSheet> loose = TDPsdSheet::open(L"td/units/t1units", false);

    EXPECT_GT(packed, 5u);
    ASSERT_EQ(res->graphics().size(), packed); // the prototype found its packed group
    ASSERT_NE(loose, nullptr);
    ASSERT_EQ(imp->mContainer->imageCount(), loose->imageCount());
    for (size_t i = 0; i < loose->imageCount(); ++i)
    {
        EXPECT_EQ(imp->mContainer->image(i).mName, loose->image(i).mName);
        EXPECT_EQ(imp->mContainer->image(i).mX, loose->image(i).mX);
    }
    EXPECT_GE(imp->frameCount("walk"), 4);
    base::SingletoneBase::DestroyAll();
}

TEST(PsdSheet, GimpFileNamesItsGroupedLayersByPathAndListsMatchWholeGroupNames)
{
    std::filesystem::path file = testsupport::RepoTestData("psd/gimp_rle.psd");
    std::wstring path = file.wstring();
    path.resize(path.size() - 4); // found again with the ".psd" the opener tries first
    std::unique_ptr<TDPsdSheet> sheet = TDPsdSheet::open(path, true);
    ASSERT_NE(sheet, nullptr);
    // GIMP stored "masked" inside the group, between its start and end records.
    EXPECT_EQ(Names(*sheet), (std::vector<std::wstring>{L"button/masked", L"button/b1_over", L"button/b1_normal",
                                                        L"hidden_layer", L"shadow", L"tower_base"}));
    EXPECT_EQ(sheet->groups(), std::vector<std::wstring>{L"button"});
    EXPECT_EQ(sheet->list(L"button"), (std::vector<size_t>{0, 1, 2}));
    EXPECT_EQ(sheet->list(L""), (std::vector<size_t>{3, 4, 5}));
    const TDSheetImage* base = sheet->findImage(L"tower_base");
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(base->mX, 10.0f);
    EXPECT_EQ(base->mY, 20.0f);
    EXPECT_NE(sheet->pixels(5), nullptr);
    // Lists match whole group names only.
    TDImageSheet names(L"td/s");
    for (const wchar_t* n : {L"walk/00", L"walker/00", L"walk", L"a/walk/00", L"walk/x/00"})
        names.add({n});
    EXPECT_EQ(names.list(L"walk"), std::vector<size_t>{0});
    EXPECT_EQ(names.list(L"walk/"), std::vector<size_t>{0});
    EXPECT_EQ(names.list(L""), std::vector<size_t>{2});
    EXPECT_EQ(names.groups(), (std::vector<std::wstring>{L"a", L"walk", L"walker"}));
    EXPECT_EQ(names.findImage(L"walk")->mName, L"walk");
    EXPECT_EQ(names.findImage(L"none"), nullptr);
}
