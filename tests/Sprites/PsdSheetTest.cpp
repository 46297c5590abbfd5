// A PSD sprite sheet: its pictures by group path, the lists of a group, and their pixels.
#include "Source/TD/Sprites/TDPsdSheet.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{
std::vector<std::wstring> Names(const TDImageSheet& sheet)
{
    std::vector<std::wstring> out;
    for (size_t i = 0; i < sheet.imageCount(); ++i)
        out.push_back(sheet.image(i).mName);
    return out;
}
} // namespace

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
