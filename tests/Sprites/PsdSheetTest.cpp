// Naming a PSD document's layers by their groups: nesting, unbalanced groups, names, pixels.
#include "Core/Psd/Document.h"
#include "Source/TD/Sprites/TDPsdSheet.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace
{
// Layers are given top-most first, as a layers panel lists them; the document stores them reversed.
struct Layers
{
    psd::Document* doc = new psd::Document();
    std::vector<psd::LayerRecord> topDown;

    Layers& Pixels(const char* name, i32 left = 0, i32 top = 0, i32 w = 2, i32 h = 1)
    {
        psd::LayerRecord r;
        std::strncpy(r.mName, name, sizeof r.mName - 1);
        r.mLeft = left;
        r.mTop = top;
        r.mWidth = w;
        r.mHeight = h;
        r.mPixels.assign(size_t(w) * h, 0xFF112233u);
        topDown.push_back(std::move(r));
        return *this;
    }
    Layers& Start(const char* name)
    {
        psd::LayerRecord r;
        std::strncpy(r.mName, name, sizeof r.mName - 1);
        r.mType = psd::kLayerGroupStart;
        topDown.push_back(std::move(r));
        return *this;
    }
    Layers& End()
    {
        psd::LayerRecord r;
        std::strcpy(r.mName, "</Layer group>");
        r.mType = psd::kLayerGroupEnd;
        topDown.push_back(std::move(r));
        return *this;
    }
    psd::Document* Build()
    {
        for (auto it = topDown.rbegin(); it != topDown.rend(); ++it)
            doc->mLayers.push_back(std::move(*it));
        return doc;
    }
};

std::vector<std::wstring> Names(const TDImageSheet& sheet)
{
    std::vector<std::wstring> out;
    for (size_t i = 0; i < sheet.imageCount(); ++i)
        out.push_back(sheet.image(i).mName);
    return out;
}
} // namespace

TEST(PsdSheet, NestedGroupsNameLayersByTheirPathTopMostFirst)
{
    Layers l;
    l.Start("imp").Start("walk").Pixels("00", 1, 2, 3, 4).Pixels("01").End().Pixels("base").End();
    l.Pixels("loose").Pixels("bottom");
    TDPsdSheet sheet(L"td/x", l.Build(), true);
    EXPECT_EQ(Names(sheet), (std::vector<std::wstring>{L"imp/walk/00", L"imp/walk/01", L"imp/base", L"loose"}));
    EXPECT_EQ(sheet.image(0).mX, 1.0f);
    EXPECT_EQ(sheet.image(0).mY, 2.0f);
    EXPECT_EQ(sheet.image(0).mWidth, 3.0f);
    EXPECT_EQ(sheet.image(0).mHeight, 4.0f);
    EXPECT_EQ(sheet.image(0).mIndex, 6u); // its index in the document (nine layers, third from the top)
    EXPECT_EQ(sheet.groups(), std::vector<std::wstring>{L"imp"});
    EXPECT_EQ(sheet.list(L"imp/walk").size(), 2u);
    EXPECT_EQ(sheet.list(L"imp"), std::vector<size_t>{2});
    EXPECT_EQ(sheet.list(L""), std::vector<size_t>{3});
    ASSERT_NE(sheet.pixels(0), nullptr);
    EXPECT_EQ(sheet.pixels(0)[0], 0xFF112233u);
    EXPECT_EQ(sheet.pixels(99), nullptr);
}

TEST(PsdSheet, UnbalancedGroupEndsAreHarmless)
{
    Layers l;
    l.End().End().Pixels("a").Start("g").Pixels("b").Pixels("bottom"); // the group never ends
    TDPsdSheet sheet(L"td/x", l.Build(), false);
    EXPECT_EQ(Names(sheet), (std::vector<std::wstring>{L"a", L"g/b"}));
    EXPECT_EQ(sheet.pixels(0), nullptr); // freed after reading
}

TEST(PsdSheet, UnicodeNameWinsOverTheEightBitOne)
{
    Layers l;
    l.Pixels("?").Pixels("bottom");
    l.topDown[0].mUnicodeName = {0x0436, 0x0443, 0x043A}; // a Cyrillic name
    TDPsdSheet sheet(L"td/x", l.Build(), false);
    ASSERT_EQ(sheet.imageCount(), 1u);
    EXPECT_EQ(sheet.image(0).mName, std::wstring(L"\u0436\u0443\u043a"));
}

TEST(PsdSheet, OnlyTheBottomLayerGivesNoPictures)
{
    Layers l;
    l.Pixels("only");
    TDPsdSheet sheet(L"td/x", l.Build(), true);
    EXPECT_EQ(sheet.imageCount(), 0u);
    EXPECT_TRUE(sheet.groups().empty());
    Layers empty;
    TDPsdSheet none(L"td/y", empty.Build(), true);
    EXPECT_EQ(none.imageCount(), 0u);
}

TEST(PsdSheet, ListMatchesWholeGroupNamesOnly)
{
    TDImageSheet sheet(L"td/s");
    for (const wchar_t* n : {L"walk/00", L"walker/00", L"walk", L"a/walk/00", L"walk/x/00"})
    {
        TDSheetImage image;
        image.mName = n;
        sheet.add(image);
    }
    EXPECT_EQ(sheet.list(L"walk"), std::vector<size_t>{0});
    EXPECT_EQ(sheet.list(L"walk/"), std::vector<size_t>{0});
    EXPECT_EQ(sheet.list(L""), std::vector<size_t>{2});
    EXPECT_EQ(sheet.groups(), (std::vector<std::wstring>{L"a", L"walk", L"walker"}));
    EXPECT_EQ(sheet.findImage(L"walk")->mName, L"walk");
    EXPECT_EQ(sheet.findImage(L"none"), nullptr);
}

TEST(PsdSheet, GimpFileNamesItsGroupedLayersByPath)
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
}
