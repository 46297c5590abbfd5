// Parsing "layers.xml".
#include "Core/Media/Container/LayersXml.h"

#include <gtest/gtest.h>

namespace
{
QLResultEnum Parse(const std::string& text, std::vector<file::LayersXmlEntry>& out, std::string* error = nullptr)
{
    std::string why;
    const QLResultEnum result = file::ParseLayersXml(text.data(), text.size(), out, why);
    if (error)
        *error = why;
    return result;
}
} // namespace

TEST(LayersXml, ReadsEveryLayerInFileOrderWithDefaults)
{
    std::vector<file::LayersXmlEntry> entries;
    ASSERT_EQ(QL_OK, Parse("<Document><Layers>"
                           "<Layer name='b' x='-3' y='4' width='5' height='6' opacity='128' ind='7'/>"
                           "<Other name='skipped'/>"
                           "<Layer name='\xc3\xa9t\xc3\xa9'/>"
                           "</Layers></Document>",
                           entries));
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(L"b", entries[0].mName);
    EXPECT_EQ(-3, entries[0].mX);
    EXPECT_EQ(4, entries[0].mY);
    EXPECT_EQ(5, entries[0].mWidth);
    EXPECT_EQ(6, entries[0].mHeight);
    EXPECT_EQ(128u, entries[0].mOpacity);
    EXPECT_EQ(7u, entries[0].mIndex);
    EXPECT_FALSE(entries[0].mInAtlas);
    EXPECT_EQ(L"\u00e9t\u00e9", entries[1].mName);
    EXPECT_EQ(0, entries[1].mX);
    EXPECT_EQ(255u, entries[1].mOpacity) << "absent opacity is opaque";
    EXPECT_EQ(1u, entries[1].mIndex) << "absent order is the place in the file";
}

TEST(LayersXml, ALayerWithoutANameEndsTheList)
{
    std::vector<file::LayersXmlEntry> entries;
    ASSERT_EQ(QL_OK, Parse("<Document><Layers><Layer name='a'/><Layer x='1'/><Layer name='c'/></Layers></Document>",
                           entries));
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(L"a", entries[0].mName);
}

TEST(LayersXml, AtlasCornersAndTheLayersRootItself)
{
    std::vector<file::LayersXmlEntry> entries;
    ASSERT_EQ(QL_OK, Parse("<Layers><Layer name='a' atlas='sheet.png' tu1='0.25' tv1='0.5' tu2='0.75' tv2='1.0'/>"
                           "<Layer name='b' atlas='sheet.png'/></Layers>",
                           entries));
    ASSERT_EQ(2u, entries.size());
    EXPECT_TRUE(entries[0].mInAtlas);
    EXPECT_EQ(L"sheet.png", entries[0].mAtlas);
    EXPECT_EQ(0.25f, entries[0].mU1);
    EXPECT_EQ(0.5f, entries[0].mV1);
    EXPECT_EQ(0.75f, entries[0].mU2);
    EXPECT_EQ(1.0f, entries[0].mV2);
    EXPECT_TRUE(entries[1].mInAtlas);
    EXPECT_EQ(0.0f, entries[1].mU2);
}

TEST(LayersXml, OutOfRangeValuesAreClampedOrRefusedNotWrapped)
{
    std::vector<file::LayersXmlEntry> entries;
    ASSERT_EQ(QL_OK, Parse("<Layers><Layer name='a' opacity='300' ind='-2' x='99999999999' width='abc'/></Layers>",
                           entries));
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(255u, entries[0].mOpacity);
    EXPECT_EQ(0u, entries[0].mIndex);
    EXPECT_EQ(0, entries[0].mX) << "a number beyond 32 bits is no number";
    EXPECT_EQ(0, entries[0].mWidth);
}

TEST(LayersXml, DamagedTextIsRefusedWithItsCause)
{
    std::vector<file::LayersXmlEntry> entries;
    std::string error;
    EXPECT_EQ(QL_FAIL, Parse("<Document><Layers><Layer name='a'>", entries, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(QL_FAIL, Parse("", entries, &error));
    EXPECT_EQ(QL_FAIL, Parse("<Document><Images/></Document>", entries, &error));
    EXPECT_NE(std::string::npos, error.find("Layers"));
    EXPECT_TRUE(entries.empty());
}
