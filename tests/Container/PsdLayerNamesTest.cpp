// Naming a PSD document's layers by their group path.
#include "Core/Media/Container/PsdLayerNames.h"
#include "Core/Psd/Document.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
psd::LayerRecord Record(const char* name, u32 type = psd::kLayerPixels)
{
    psd::LayerRecord record;
    std::strncpy(record.mName, name, sizeof record.mName - 1);
    record.mType = type;
    return record;
}

// Records given bottom to top, as the document stores them.
psd::Document Document(std::vector<psd::LayerRecord> bottomUp)
{
    psd::Document document;
    document.mLayers = std::move(bottomUp);
    return document;
}

std::vector<std::wstring> Names(const psd::Document& document)
{
    std::vector<std::wstring> names;
    for (const file::PsdNamedLayer& layer : file::NamePsdLayers(document))
        names.push_back(layer.mName);
    return names;
}
} // namespace

TEST(PsdLayerNames, NestedGroupsJoinAndStrayGroupEndsAreIgnored)
{
    std::vector<psd::LayerRecord> records;
    records.push_back(Record("bottom"));
    records.push_back(Record("after"));
    records.push_back(Record("</Layer group>", psd::kLayerGroupEnd)); // closes nothing
    records.push_back(Record("</Layer group>", psd::kLayerGroupEnd));
    records.push_back(Record("base"));
    records.push_back(Record("</Layer group>", psd::kLayerGroupEnd));
    records.push_back(Record("00"));
    records.push_back(Record("walk", psd::kLayerGroupStart));
    records.push_back(Record("imp", psd::kLayerGroupStart));
    records.push_back(Record("open", psd::kLayerGroupStart)); // never closed: its layers are above
    EXPECT_EQ(Names(Document(std::move(records))),
              (std::vector<std::wstring>{L"open/imp/walk/00", L"open/imp/base", L"after"}));
}

TEST(PsdLayerNames, UnicodeNamesWinAndEightBitNamesReadAsLatin1)
{
    psd::LayerRecord latin = Record("caf\xe9");
    psd::LayerRecord unicode = Record("ignored");
    // "Gr" + U+00FC + "n" + U+1F600 (a surrogate pair) and a stored terminator.
    unicode.mUnicodeName = {u'G', u'r', 0x00FC, u'n', 0xD83D, 0xDE00, 0};
    std::vector<psd::LayerRecord> records;
    records.push_back(Record("bottom"));
    records.push_back(std::move(latin));
    records.push_back(std::move(unicode));
    EXPECT_EQ(Names(Document(std::move(records))),
              (std::vector<std::wstring>{std::wstring(L"Gr\u00fcn") + wchar_t(0x1F600), L"caf\u00e9"}));
}

TEST(PsdLayerNames, DocumentsWithoutLayersNameNothing)
{
    EXPECT_TRUE(Names(Document({})).empty());
    std::vector<psd::LayerRecord> flat;
    flat.push_back(Record("merged"));
    EXPECT_TRUE(Names(Document(std::move(flat))).empty());
}
