// Sheets: rows, commas and cells, tower tiers and the store's order, cell rules, the episode table.
#include "Source/TD/Data/TDEpisodeTable.h"
#include "Source/TD/Data/TDPrototypes.h"
#include "Source/TD/Data/TDSheetReader.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <tuple>
#include <vector>

namespace
{
struct Sheet
{
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* section = nullptr;
    explicit Sheet(const std::string& text)
    {
        section = document.NewElement("towers");
        document.InsertEndChild(section);
        TDSheetReader::readText(text, section, document);
    }
    std::vector<std::string> topIds() const
    {
        std::vector<std::string> ids;
        for (auto* e = section->FirstChildElement(); e; e = e->NextSiblingElement())
            ids.push_back(e->Attribute("id") ? e->Attribute("id") : "");
        return ids;
    }
};

TDPrototype readRow(const std::string& header, const std::string& row)
{
    Sheet sheet(header + "\n" + row + "\n");
    return TDPrototype(sheet.section->FirstChildElement(), true);
}
} // namespace

TEST(SheetReader, RowsCommasAndCells)
{
    // Decimal commas become points in the data but not in the header.
    Sheet commas("id;spe,ed\n1;1,5\n");
    EXPECT_STREQ(commas.section->FirstChildElement()->Attribute("spe,ed"), "1.5");
    // Top-level rows reverse; children keep the file's order.
    Sheet sheet("id;parent\r\n10;-1\r\n20;\r\n11;10\r\n12;10\r\n13;11\r\n99;77\r\n");
    EXPECT_EQ(sheet.topIds(), (std::vector<std::string>{"99", "13", "20", "10"}));
    const tinyxml2::XMLElement* ten = sheet.section->LastChildElement();
    EXPECT_STREQ(ten->FirstChildElement()->Attribute("id"), "11");
    EXPECT_STREQ(ten->LastChildElement()->Attribute("id"), "12");
    // Extra cells are ignored, missing cells leave no attribute.
    Sheet cells("id;cost\n1;5;7;8\n2\n");
    const tinyxml2::XMLElement* two = cells.section->FirstChildElement();
    EXPECT_STREQ(two->NextSiblingElement()->Attribute("cost"), "5");
    EXPECT_EQ(two->NextSiblingElement()->Attribute("7"), nullptr);
    EXPECT_EQ(TDPrototype(two, true).cost, 0.0f);
    EXPECT_EQ(Sheet("").section->FirstChildElement(), nullptr);
}

TEST(Prototype, TiersAreReadOnceAndNotInTheStoreWhoseOrderIsUnitsTowersAmmo)
{
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* data = document.NewElement("data");
    document.InsertEndChild(data);
    tinyxml2::XMLElement* towers = document.NewElement("towers");
    data->InsertEndChild(towers);
    TDSheetReader::readText("id;parent;levelid;cost\n10;-1;1;50\n11;10;2;70\n12;10;3;90\n", towers, document);
    // A grandchild placed by hand must not be read as a tier of a tier.
    towers->FirstChildElement()->FirstChildElement()->InsertEndChild(document.NewElement("unit"));
    TDPrototypes store(data);
    ASSERT_EQ(store.all.size(), 1u);
    TDPrototype* base = store.findById(10);
    ASSERT_NE(base, nullptr);
    ASSERT_EQ(base->tiers.size(), 2u);
    EXPECT_TRUE(base->tiers[0]->tiers.empty());
    EXPECT_EQ(base->findTier(3)->cost, 90.0f);
    EXPECT_EQ(store.findById(11), nullptr);
    EXPECT_EQ(store.findById(12345), nullptr);

    TDPrototype copy = *base;
    ASSERT_EQ(copy.tiers.size(), 2u);
    EXPECT_NE(copy.tiers[0], base->tiers[0]);

    // The store keeps units, then towers, then ammunition.
    TDPrototypes sheets;
    tdLoadPrototypeSheets(sheets, "id\n100\n101\n", "id\n1\n", "id\n2001\n");
    std::vector<i32> ids;
    for (auto* p : sheets.all)
        ids.push_back(p->id);
    EXPECT_EQ(ids, (std::vector<i32>{1, 101, 100, 2001}));
}

TEST(Prototype, CellsReadWithTheirOwnRules)
{
    EXPECT_EQ(readRow("id", "1").fillColor, 0xFFFFFFFFu);
    EXPECT_EQ(readRow("id;fillColor", "1;ff00ff").fillColor, 0x00FF00FFu);
    EXPECT_EQ(readRow("id;fillColor", "1;zz").fillColor, 0u);
    // Air needs the integer 1; the other flags take "true" or a non-zero number.
    for (auto [text, air] : {std::pair{"true", false}, {"1", true}, {"2", false}})
        EXPECT_EQ(readRow("air", text).air, air) << text;
    TDPrototype flags = readRow("splash;dot;stun;debufftower", "true;3;0;0,5");
    EXPECT_TRUE(flags.splash && flags.dot && flags.debuffTower);
    EXPECT_FALSE(flags.stun);
    TDPrototype p = readRow("id;parent;cost;strength;addons", "7;;abc;2,5;dot/ splash //air");
    EXPECT_EQ(std::tuple(p.parent, p.cost, p.strength), std::tuple(-1, 0.0f, 2.5f));
    EXPECT_EQ(p.addonList, (std::vector<std::string>{"dot", "splash", "air"}));
}

TEST(EpisodeTable, FiveCellLinesLaterLinesReplaceAndTheTotalStopsAtAGap)
{
    TDEpisodeTable table;
    table.readText(" 0 ; 5 ;5;0;0\n1;2;1;6\n-1;9;9;9;9\n2;x;3;4;0\r\n");
    EXPECT_EQ(table.getLevelCount(0), 5);
    EXPECT_EQ(table.getHardcoreLevelCount(0), 5);
    EXPECT_EQ(std::tuple(table.getLevelCount(1), table.getLevelCount(-1), table.getLevelCount(2)),
              std::tuple(-1, -1, 0));
    EXPECT_EQ(table.getEpisodeCount(), 2);
    table.readText("1;0;4;9;0\n4;9;9;0;0\n");
    EXPECT_EQ(table.getLevelCount(0), 5);
    EXPECT_EQ(table.getStarsToUnlock(1), 9);
    EXPECT_EQ(table.getTotalLevelCount(), 5 + 5); // 1 and 2 have no normal levels; 3 is missing
}

// A damaged sheet's counts: the total stops at the end of the i32 range instead of wrapping.
TEST(EpisodeTable, TheTotalOfHugeCountsStopsAtTheLargestI32)
{
    TDEpisodeTable table;
    table.readText("0;2147483647;2;0;0\n1;1000;7;0;0\n");
    EXPECT_EQ(table.getTotalLevelCount(), 2147483647);
    table.readText("0;2000000000;200000000;0;0\n");
    EXPECT_EQ(table.getTotalLevelCount(), 2147483647);
    table.readText("0;2000000000;-2000000000;0;0\n1;40;2;0;0\n");
    EXPECT_EQ(table.getTotalLevelCount(), 42);
}
