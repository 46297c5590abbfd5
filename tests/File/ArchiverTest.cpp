// Packs: the index format as written and read, listings, and damaged or missing packs.
#include "Core/Base/Stream.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "FileTestSupport.h"

#include <memory>
#include <vector>

using namespace file;
using Names = std::vector<std::wstring>;
using filetest::StreamText;

namespace
{
std::string U32(u32 v)
{
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

// One index entry written by hand, as the format describes it.
std::string Entry(const std::string& asciiName, u32 size, u32 offset)
{
    std::string out = U32(static_cast<u32>(asciiName.size()));
    for (char c : asciiName)
        out += std::string{c, '\0'};
    return out + U32(size) + U32(offset) + std::string(1, '\0') + U32(0);
}

std::string ExamplePack()
{
    return U32(6) + "qlpack" + U32(2) + Entry("a/c.txt", 5, 72) + Entry("b.txt", 3, 77) + "ccccc" + "bbb";
}

// Reads the index at the start of `bytes` into `entries`.
QLResultEnum ReadIndex(const std::string& bytes, ArchiveEntries& entries)
{
    base::MemoryStream stream(bytes.data(), static_cast<u32>(bytes.size()));
    return Archiver::ReadIndex(entries, stream);
}

class ArchiverTest : public filetest::FileTest
{
protected:
    std::unique_ptr<Archiver> Open(const std::string& bytes)
    {
        Write("test.dat", bytes);
        return std::make_unique<Archiver>(L"td/", L"test.dat", FileManager::Instance());
    }
};
} // namespace

TEST_F(ArchiverTest, ExampleFolderPacksToEightyBytesServedAsWindowsListedEvenWhenCutOrRefused)
{
    Write("src/b.txt", "bbb");
    Write("src/a/c.txt", "ccccc");
    ASSERT_EQ(BuildPack(L"src", L"out.dat"), QL_OK);
    EXPECT_EQ(Read("out.dat").size(), 80u);
    EXPECT_EQ(Read("out.dat"), ExamplePack());
    EXPECT_FALSE(OnDisk("out.dat.tmp"));

    auto pack = Open(ExamplePack());
    ASSERT_EQ(pack->GetEntries().size(), 2u);
    EXPECT_EQ(pack->GetEntries().at(L"a/c.txt").mOffset, 72u);
    EXPECT_EQ(StreamText(pack->OpenStream(L"a/c.txt")), "ccccc");
    EXPECT_EQ(StreamText(pack->OpenStream(L"b.txt")), "bbb");
    EXPECT_EQ(pack->OpenStream(L"A/C.TXT"), nullptr);
    EXPECT_FALSE(pack->Exists(L"A/C.TXT"));
    EXPECT_TRUE(pack->Exists(L"a/c.txt"));
    EXPECT_EQ(pack->GetRootPath(), L"td/");

    // A pack removed after loading gives no streams.
    std::filesystem::remove(mDir.Path() / "test.dat");
    EXPECT_EQ(pack->OpenStream(L"b.txt"), nullptr);

    // Listings of the pack, even when it is cut, and what is missing refused.
    std::string bytes = U32(6) + "qlpack" + U32(3);
    std::string index = Entry("a/c.txt", 1, 0) + Entry("a/d/e.txt", 1, 0) + Entry("b.txt", 1, 0);
    pack = Open(bytes + index);
    Names names;
    EXPECT_EQ(QL_OK, pack->ListFolders(L"", names, true));
    EXPECT_EQ(QL_OK, pack->ListFiles(L"", false, names, true));
    EXPECT_EQ(QL_OK, pack->ListFiles(L"", true, names, true));
    EXPECT_EQ(QL_OK, pack->ListFiles(L"a", false, names, false));
    EXPECT_EQ(QL_OK, pack->ListFolders(L"a\\", names, false));
    EXPECT_EQ(names, (Names{L"a", L"b.txt", L"a/c.txt", L"a/d/e.txt", L"b.txt", L"a/c.txt", L"a/d"}));
    EXPECT_TRUE(pack->IsFolder(L"a"));
    EXPECT_TRUE(pack->IsFolder(L"a/d/"));
    EXPECT_FALSE(pack->IsFolder(L"a/c.txt"));
    EXPECT_FALSE(pack->IsFolder(L"A"));

    const std::string whole = ExamplePack(); // a/c.txt at 72 (5 bytes), b.txt at 77 (3 bytes)
    // Cut inside b.txt's bytes: both listed, only a/c.txt whole.
    pack = Open(whole.substr(0, 78));
    names.clear();
    EXPECT_EQ(QL_OK, pack->ListFiles(L"", true, names, true));
    EXPECT_EQ((Names{L"a/c.txt", L"b.txt"}), names);
    EXPECT_EQ(StreamText(pack->OpenStream(L"a/c.txt")), "ccccc");
    EXPECT_EQ(pack->OpenStream(L"b.txt"), nullptr);
    // Cut inside the second entry of the index: the first stays listed, its bytes are gone.
    pack = Open(whole.substr(0, 60));
    names.clear();
    EXPECT_EQ(QL_OK, pack->ListFiles(L"", true, names, true));
    EXPECT_EQ((Names{L"a/c.txt"}), names);
    EXPECT_EQ(pack->OpenStream(L"a/c.txt"), nullptr);

    // Wrong magic, a missing file and entries outside the file give no bytes and a log line.
    bytes = ExamplePack();
    bytes[6] = 'X'; // "qlXack"
    pack = Open(bytes);
    EXPECT_TRUE(pack->GetEntries().empty());
    EXPECT_FALSE(pack->Exists(L"b.txt"));
    EXPECT_TRUE(LogHas("test.dat"));

    Archiver absent(L"td/", L"absent.dat", FileManager::Instance());
    EXPECT_TRUE(absent.GetEntries().empty());
    EXPECT_EQ(absent.OpenStream(L"b.txt"), nullptr);
    EXPECT_TRUE(LogHas("absent.dat"));

    pack = Open(U32(6) + "qlpack" + U32(2) + Entry("in.txt", 2, 74) + Entry("out.txt", 100, 50) + "ok");
    EXPECT_EQ(StreamText(pack->OpenStream(L"in.txt")), "ok");
    EXPECT_TRUE(pack->Exists(L"out.txt"));
    EXPECT_EQ(pack->OpenStream(L"out.txt"), nullptr);
    EXPECT_EQ(pack->CreateStreamCreator(L"out.txt"), nullptr);
    EXPECT_TRUE(LogHas("out.txt"));
    // An empty entry whose offset points past the end has no bytes outside the pack: it opens empty.
    pack = Open(U32(6) + "qlpack" + U32(2) + Entry("empty.txt", 0, 5000) + Entry("in.txt", 2, 78) + "ok");
    std::unique_ptr<base::Stream> empty(pack->OpenStream(L"empty.txt"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetSize(), 0u);
    char byte = 0;
    EXPECT_EQ(empty->Read(&byte, 1), 0u);
    std::unique_ptr<base::StreamCreator> creator(pack->CreateStreamCreator(L"empty.txt"));
    ASSERT_NE(creator, nullptr);
    base::Stream* made = nullptr;
    ASSERT_EQ(QL_OK, creator->Create(made));
    std::unique_ptr<base::Stream> created(made);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->GetSize(), 0u);
    EXPECT_EQ(StreamText(pack->OpenStream(L"in.txt")), "ok") << "its neighbour is served as before";

    // A repeated name keeps the first entry; huge counts are refused; flags, extras and UTF-16 names are kept.
    bytes = U32(6) + "qlpack" + U32(2) + Entry("b.txt", 1, 0) + Entry("b.txt", 2, 1);
    ArchiveEntries entries;
    EXPECT_EQ(ReadIndex(bytes, entries), QL_OK);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.at(L"b.txt").mSize, 1u);

    entries.clear();
    EXPECT_EQ(ReadIndex(U32(6) + "qlpack" + U32(0xFFFFFFFF) + U32(0x7FFFFFFF) + "ab", entries), QL_FAIL);
    EXPECT_TRUE(entries.empty());

    EXPECT_EQ(ReadIndex(U32(0xFFFFFFF0) + "qlpack", entries), QL_FAIL);

    // Flag and extra are kept, names are UTF-16: "é" then U+1F600 as a surrogate pair, 3 units.
    std::string name = std::string("\xE9\x00", 2) + std::string("\x3D\xD8\x00\xDE", 4);
    bytes = U32(6) + "qlpack" + U32(1) + U32(3) + name + U32(0) + U32(0) + "\x07" + U32(42);
    entries.clear();
    ASSERT_EQ(ReadIndex(bytes, entries), QL_OK);
    ASSERT_EQ(entries.size(), 1u);
    const auto& [key, record] = *entries.begin();
    EXPECT_EQ(key, L"\u00E9\U0001F600");
    EXPECT_EQ(record.mFlag, 7);
    EXPECT_EQ(record.mExtra, 42u);

    ArchiveBuilder builder;
    builder.mEntries = entries;
    base::MemoryStream out;
    ASSERT_EQ(builder.Write(out), QL_OK);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.GetBuffer()), out.GetSize()), bytes);

    // A pack naming itself as a nested pack stops at the nesting limit.
    // Every level holds "data.dat" spanning the whole file: the same pack again.
    std::string head = U32(6) + "qlpack" + U32(1);
    u32 total = static_cast<u32>(head.size() + 4 + 16 + 13);
    Write("data.dat", head + Entry("data.dat", total, 0));
    FileManager::Instance()->mMounts[L""] = L"data.dat";
    EXPECT_FALSE(FileManager::Instance()->Exists(L"nothing"));
}
