// Build spots' prices, the spell sheet and the unlock lists.
#include "Source/TD/Data/TDSpellSheet.h"
#include "Source/TD/Data/TDUnlocks.h"
#include "Source/TD/Level/TDBuildSpot.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <tuple>

namespace
{
TDBuildSpot spotFrom(const char* xml)
{
    tinyxml2::XMLDocument document;
    document.Parse(xml);
    return TDBuildSpot(document.FirstChildElement());
}

struct SizedImage : TDImage
{
    i32 width() const override { return 140; }
    i32 height() const override { return 100; }
};

struct OnlyIconsLoader : TDNullImageLoader
{
    std::vector<std::wstring> asked;
    std::unique_ptr<TDImage> loadImage(const std::wstring& name) override
    {
        asked.push_back(name);
        if (name.find(L"icon") == std::wstring::npos)
            return nullptr;
        return std::make_unique<SizedImage>();
    }
};
} // namespace

TEST(BuildSpot, PricesTruncateTowardZeroAndFreeNeedsBothZero)
{
    TDBuildSpot priced = spotFrom(R"(<spot x="10" y="20"><p name="cost_gold" value="12.9"/>
        <p name="cost_real" value="-0.5"/><p name="type" value="1.7"/></spot>)");
    EXPECT_EQ(std::tuple(priced.costGold, priced.costReal, priced.type), std::tuple(12, 0, 1));
    EXPECT_EQ(priced.x, 10.0f);
    EXPECT_FALSE(priced.open);

    TDBuildSpot free = spotFrom(R"(<spot x="1"><p name="cost_gold" value="0"/></spot>)");
    EXPECT_TRUE(free.open);
    EXPECT_EQ(free.y, 0.0f);
}

TEST(SpellSheet, OnlyAnExactHashSkipsARowDuplicatesFindTheEarlierAndMissingPicturesStayNull)
{
    TDSpellSheet sheet;
    sheet.readText("#;proto;image;image2;id;x\n#x;3001;a;b;7;0\n;3002;c;d;7;0\n# ;3003;e;f;3;0\n;4\r\n", nullptr);
    ASSERT_EQ(sheet.spells.size(), 3u);
    EXPECT_EQ(sheet.findById(7)->protoId, 3001);
    EXPECT_EQ(sheet.spells[1]->image, "c");
    EXPECT_EQ(sheet.findById(3), nullptr);
    EXPECT_EQ(std::pair(sheet.spells[2]->image, sheet.spells[2]->id),
              std::pair(std::string(), 0)); // a short row reads empty

    // Missing pictures stay null.
    OnlyIconsLoader loader;
    TDSpellSheet pictured;
    pictured.readText(";3001;ui/icon_fire;ui/shade_fire;0;0\n", &loader);
    ASSERT_EQ(pictured.spells.size(), 1u);
    ASSERT_NE(pictured.spells[0]->imageTexture, nullptr);
    EXPECT_EQ(pictured.spells[0]->imageTexture->width(), 140);
    EXPECT_EQ(pictured.spells[0]->image2Texture, nullptr);
    EXPECT_EQ(loader.asked, (std::vector<std::wstring>{L"ui/icon_fire", L"ui/shade_fire"}));
}

TEST(Unlocks, RunningListNewUnlocksEverythingFromAMinusOneAndTheHardcoreStart)
{
    TDUnlocks unlocks;
    unlocks.readText("0;0;1,2\r\n\r\n0;0;1,2,4\n0;2;3\n0;3;-1\n1;0;\r\n1;1\r\n");
    EXPECT_TRUE(unlocks.isUnlocked(1, 0, 2) && unlocks.isUnlocked(3, 0, 2));
    EXPECT_EQ(unlocks.newUnlocks[0][0], (std::vector<i32>{1, 2, 4}));
    EXPECT_EQ(unlocks.newUnlocks[0][2], (std::vector<i32>{3}));
    EXPECT_TRUE(unlocks.newUnlocks[1][0].empty() && unlocks.newUnlocks[1][1].empty()); // empty or cut lines give no ids
    EXPECT_TRUE(unlocks.isUnlocked(4, 0, 0));                                          // a later line replaces
    EXPECT_TRUE(unlocks.isUnlocked(2, 0, 1)); // a level without a line uses the nearest earlier one
    EXPECT_FALSE(unlocks.isUnlocked(3, 0, 1));
    EXPECT_FALSE(unlocks.isUnlocked(999, 0, 2));
    EXPECT_TRUE(unlocks.isUnlocked(999, 0, 3));
    EXPECT_TRUE(unlocks.isUnlocked(999, 1, 0));
    EXPECT_FALSE(unlocks.isUnlocked(1, -1, 0));
    std::vector<i32> none{42};
    unlocks.getNewUnlocks(0, 1, kDifficultyNormal, none);
    EXPECT_TRUE(none.empty());

    // A hardcore start adds its own ids.
    TDUnlocks hardcore;
    hardcore.readText("0;0;1,2\n");
    std::vector<i32> out;
    hardcore.getNewUnlocks(0, 0, kDifficultyHardcore, out);
    EXPECT_EQ(out, (std::vector<i32>{36, 37, 38}));
    std::vector<i32> other{9};
    hardcore.getNewUnlocks(0, 1, kDifficultyHardcore, other);
    EXPECT_EQ(other, (std::vector<i32>{9}));
    hardcore.getNewUnlocks(0, 0, kDifficultyNormal, out);
    EXPECT_EQ(out, (std::vector<i32>{1, 2}));
}
