// The pack index read in 64 KiB blocks: records and UTF-16 names cut by a block boundary, short reads
// and indexes cut exactly at a boundary.
#include "Core/Base/Stream.h"
#include "Core/File/Archiver.h"
#include "FileTestSupport.h"
#include "support/TrickleStream.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

using namespace file;

namespace
{
constexpr u32 kBlock = 64 * 1024;
constexpr u32 kHeader = 4 + 6 + 4;
constexpr u32 kEntryUnits = 10; // every entry but the first
constexpr u32 kEntryBytes = 4 + 2 * kEntryUnits + 13;

void PutU32(std::string& out, u32 v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutEntry(std::string& out, const std::u16string& name, u32 i)
{
    PutU32(out, static_cast<u32>(name.size()));
    for (char16_t unit : name)
    {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    }
    PutU32(out, i * 7 + 1);
    PutU32(out, i * 13);
    out.push_back(static_cast<char>(i & 1));
    PutU32(out, i * 3 + 0x01020300u);
}

std::wstring WideName(u32 i)
{
    wchar_t digits[8];
    std::swprintf(digits, 8, L"%05u", i);
    return L"n" + std::wstring(digits) + L"\u00e9\U0001F600z";
}

// 10 units: "n", five digits, e-acute, a surrogate pair, "z".
std::u16string Utf16Name(u32 i)
{
    const std::wstring wide = WideName(i);
    std::u16string units(wide.begin(), wide.begin() + 7);
    units += u"\U0001F600z";
    return units;
}

// A first entry of firstUnits units ("f" then "x"s) shifts where the block boundaries fall in the
// records that follow it; then count - 1 entries of kEntryBytes each.
std::string Index(u32 firstUnits, u32 count)
{
    std::string out;
    PutU32(out, 6);
    out += "qlpack";
    PutU32(out, count);
    PutEntry(out, u"f" + std::u16string(firstUnits - 1, u'x'), 0);
    for (u32 i = 1; i < count; ++i)
        PutEntry(out, Utf16Name(i), i);
    return out;
}

// Every entry from 1 to count - 1 is present with the fields it was written with.
::testing::AssertionResult HoldsEntries(const ArchiveEntries& entries, u32 from, u32 to)
{
    for (u32 i = from; i < to; ++i)
    {
        auto it = entries.find(WideName(i));
        if (it == entries.end())
            return ::testing::AssertionFailure() << "entry " << i << " missing";
        const ArchiveRecord& r = it->second;
        if (r.mSize != i * 7 + 1 || r.mOffset != i * 13 || r.mFlag != (i & 1) || r.mExtra != i * 3 + 0x01020300u)
            return ::testing::AssertionFailure() << "entry " << i << " read wrong: size " << r.mSize << " offset "
                                                 << r.mOffset << " flag " << int(r.mFlag) << " extra " << r.mExtra;
    }
    return ::testing::AssertionSuccess();
}

class PackIndexBlocks : public filetest::FileTest
{
};
} // namespace

TEST_F(PackIndexBlocks, RecordsCutByEveryBlockBoundaryReadWholeEvenFromShortReads)
{
    // Two boundaries (64 and 128 KiB) fall inside the index; the first entry's length moves them
    // through every byte of a record: its unit count, the name (and the surrogate pair), the
    // fixed fields.
    const u32 count = (2 * kBlock) / kEntryBytes + 40;
    for (u32 firstUnits = 1; firstUnits <= kEntryBytes; ++firstUnits)
    {
        const std::string index = Index(firstUnits, count);
        ASSERT_GT(index.size(), 2u * kBlock);
        ArchiveEntries entries;
        base::MemoryStream stream(index.data(), static_cast<u32>(index.size()));
        ASSERT_EQ(QL_OK, Archiver::ReadIndex(entries, stream)) << "first entry of " << firstUnits << " units";
        ASSERT_EQ(entries.size(), count);
        ASSERT_TRUE(HoldsEntries(entries, 1, count)) << "first entry of " << firstUnits << " units";
        ASSERT_EQ(entries.count(L"f" + std::wstring(firstUnits - 1, L'x')), 1u);
    }

    // A source that hands over fewer bytes than asked, and an odd number of them.
    const std::string index = Index(5, count);
    for (u32 most : {1u, 999u, kBlock - 1})
    {
        TrickleStream stream(index, most);
        ArchiveEntries entries;
        ASSERT_EQ(QL_OK, Archiver::ReadIndex(entries, stream)) << most;
        EXPECT_EQ(entries.size(), count) << most;
        EXPECT_TRUE(HoldsEntries(entries, 1, count)) << most;
    }

    // The index after bytes that do not belong to it (a pack inside a pack): the reader starts at
    // the stream's position, so its blocks are not aligned to the stream's start.
    std::string framed = std::string(333, '#') + index;
    base::MemoryStream outer(framed.data(), static_cast<u32>(framed.size()));
    outer.Seek(333, 0);
    ArchiveEntries entries;
    ASSERT_EQ(QL_OK, Archiver::ReadIndex(entries, outer));
    EXPECT_EQ(entries.size(), count);
    EXPECT_TRUE(HoldsEntries(entries, 1, count));
}

TEST_F(PackIndexBlocks, AnIndexCutAtOrNearABlockBoundaryKeepsExactlyTheWholeRecordsBeforeIt)
{
    const u32 count = (2 * kBlock) / kEntryBytes + 40;
    const u32 firstUnits = 3;
    const std::string index = Index(firstUnits, count);
    const u32 firstBytes = 4 + 2 * firstUnits + 13;
    // The entries wholly inside `length` bytes: the first one, then whole records of kEntryBytes.
    auto whole = [&](u32 length) { return 1 + (length - kHeader - firstBytes) / kEntryBytes; };
    for (u32 length :
         {kBlock - 1, kBlock, kBlock + 1, kBlock + 2, 2 * kBlock, 2 * kBlock + 5, static_cast<u32>(index.size()) - 1})
    {
        const int logged = mLog->Count("cut short");
        const std::string cut = index.substr(0, length);
        base::MemoryStream stream(cut.data(), length);
        ArchiveEntries entries;
        std::wstring why;
        EXPECT_EQ(QL_FAIL, Archiver::ReadIndex(entries, stream, &why)) << length;
        EXPECT_EQ(entries.size(), whole(length)) << length;
        EXPECT_TRUE(HoldsEntries(entries, 1, whole(length))) << length;
        EXPECT_NE(why.find(L"cut short at entry " + std::to_wstring(whole(length))), std::wstring::npos)
            << length << ": " << std::string(why.begin(), why.end());
        EXPECT_EQ(mLog->Count("cut short"), logged + 1) << length;
    }
}
