// Sheet lines ended by LF or by CR LF read alike: blank lines of either kind are no rows, so no
// empty header, prototype or spell (of id 0) stands in front of the sheet's real row 0.
#include "Source/TD/Data/TDPrototypes.h"
#include "Source/TD/Data/TDSheetReader.h"
#include "Source/TD/Data/TDSpellSheet.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <string>
#include <vector>

namespace
{
// The top-level "id" attributes of a units section read from text, and the prototype store over it.
struct UnitsSheet
{
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* data = nullptr;
    tinyxml2::XMLElement* units = nullptr;
    explicit UnitsSheet(const std::string& text)
    {
        data = document.NewElement("data");
        document.InsertEndChild(data);
        units = document.NewElement("units");
        data->InsertEndChild(units);
        TDSheetReader::readText(text, units, document);
    }
    std::vector<std::string> ids() const
    {
        std::vector<std::string> out;
        for (auto* e = units->FirstChildElement(); e; e = e->NextSiblingElement())
            out.push_back(e->Attribute("id") ? e->Attribute("id") : "<none>");
        return out;
    }
};

std::string WithLineEnd(const std::string& lfText, const std::string& end)
{
    std::string out;
    for (char c : lfText)
        out += c == '\n' ? end : std::string(1, c);
    return out;
}
} // namespace

TEST(SheetLines, BlankLinesEndedByCrLfAreNoRowsAndRowZeroStaysTheSheetsOwn)
{
    // Blank lines before the header, between rows and at the end, some with blanks in them.
    const std::string lf = "\nid;health;speed\n0;12;38\n\n \t\n1;20;32\n2;30,5;10\n\n\n";
    for (const std::string& end : {std::string("\n"), std::string("\r\n")})
    {
        SCOPED_TRACE(end.size() == 2 ? "CR LF" : "LF");
        UnitsSheet sheet(WithLineEnd(lf, end));
        EXPECT_EQ(sheet.ids(), (std::vector<std::string>{"2", "1", "0"}));
        const TDPrototypes store(sheet.data);
        ASSERT_EQ(store.all.size(), 3u);
        const TDPrototype* zero = store.findById(0);
        ASSERT_NE(zero, nullptr);
        EXPECT_EQ(zero->health, 12.0f) << "row 0 as written, not an empty row";
        EXPECT_EQ(zero->speed, 38.0f);
        ASSERT_NE(store.findById(2), nullptr);
        EXPECT_EQ(store.findById(2)->health, 30.5f) << "the CR is gone before the cells are read";
        EXPECT_EQ(store.findById(2)->speed, 10.0f);
    }

    // A row of empty cells is still a row: only lines with nothing on them are skipped.
    UnitsSheet cells("id;health\r\n;\r\n5;1\r\n");
    EXPECT_EQ(cells.ids(), (std::vector<std::string>{"5", ""}));
    // A header alone, or nothing but line ends, gives no rows.
    EXPECT_TRUE(UnitsSheet("id;health\r\n\r\n").ids().empty());
    EXPECT_TRUE(UnitsSheet("\r\n\r\n\r\n").ids().empty());
}

TEST(SheetLines, BlankCrLfLinesOfTheSpellSheetAreNoSpells)
{
    // Blank lines before, between and after the rows; spell 0 is the sheet's own.
    const std::string lf = "\n#;p;i;i2;id;x\n\n;3000;a;b;0;0\n \t\n;3001;c;d;1;0\n\n";
    for (const std::string& end : {std::string("\n"), std::string("\r\n")})
    {
        SCOPED_TRACE(end.size() == 2 ? "CR LF" : "LF");
        TDSpellSheet sheet;
        sheet.readText(WithLineEnd(lf, end), nullptr);
        ASSERT_EQ(sheet.spells.size(), 2u);
        ASSERT_NE(sheet.findById(0), nullptr);
        EXPECT_EQ(sheet.findById(0)->protoId, 3000);
        EXPECT_EQ(sheet.findById(0)->image, "a");
        EXPECT_EQ(sheet.spells[1]->image2, "d");
    }
}
