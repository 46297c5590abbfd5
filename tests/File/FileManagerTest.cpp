// The file manager: mounted packs over loose folders, lookups, listings, reading and folders; the
// path helpers (separators of either kind, drives, extensions, base names) and UTF-16 names.
#include "Core/File/FileManager.h"
#include "Core/Base/Stream.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileSystem.h"
#include "Core/File/Path.h"
#include "Core/File/ReadFile.h"
#include "Core/File/Utf16.h"
#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace file;
using Names = std::vector<std::wstring>;

namespace
{
class FileManagerTest : public filetest::FileTest
{
protected:
    FileManager* Files() { return FileManager::Instance(); }

    // The bytes of a file opened through its file info.
    std::string ReadThrough(const std::wstring& path)
    {
        std::unique_ptr<FileInfo> info(Files()->GetFileInfo(path));
        return info ? filetest::StreamText(info->Open()) : "<missing>";
    }
};

std::vector<std::wstring> gMade;
file::ImageContainer* RecordFolder(const std::wstring& path, FileContainer*)
{
    gMade.push_back(L"folder:" + path);
    return nullptr;
}
file::ImageContainer* RecordPsd(const std::wstring& path, FileContainer* owner)
{
    gMade.push_back(std::wstring(owner->mIsPack ? L"packed " : L"") + L"psd:" + path);
    return nullptr;
}
} // namespace

TEST_F(FileManagerTest, AMountWhosePackIsMissingServesTheLooseFolder)
{
    Write("td/levels/a.xml", "loose");
    Files()->mMounts[L"td/"] = L"data.dat";
    EXPECT_EQ(ReadThrough(L"td/levels/a.xml"), "loose");
    EXPECT_TRUE(Files()->mPacks.empty());
}

TEST_F(FileManagerTest, AMountedPackServesItsPrefixAndOtherSpellingsOfThePathStayLoose)
{
    // "pack/" holds the packed versions, the loose trees hold different bytes.
    Write("td/levels/a.xml", "loose");
    Write("TD/levels/a.xml", "upper");
    Write("pack/levels/a.xml", "packed");
    ASSERT_EQ(BuildPack(L"pack", L"data.dat"), QL_OK);
    Files()->mMounts[L"td/"] = L"data.dat";
    std::unique_ptr<FileInfo> info(Files()->GetFileInfo(L"td/levels/a.xml"));
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->mIsPack);
    EXPECT_EQ(info->mPath, L"levels/a.xml");
    EXPECT_EQ(info->mName, L"a.xml");
    EXPECT_EQ(ReadThrough(L"td/levels/a.xml"), "packed");
    EXPECT_EQ(ReadFile(L"td/levels/a.xml"), "packed");

    EXPECT_EQ(ReadThrough(L"TD/levels/a.xml"), "upper");
    info.reset(Files()->GetFileInfo(L"td\\levels\\a.xml"));
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->mIsPack);
    EXPECT_EQ(ReadThrough(L"td\\levels\\a.xml"), "loose");
}

TEST_F(FileManagerTest, TheFirstMountWhosePackExistsTakesThePath)
{
    Write("one/x.txt", "one");
    Write("two/x.txt", "two");
    ASSERT_EQ(BuildPack(L"one", L"one.dat"), QL_OK);
    ASSERT_EQ(BuildPack(L"two", L"two.dat"), QL_OK);
    Files()->mMounts[L"td/"] = L"one.dat";
    Files()->mMounts[L"td/sub/"] = L"two.dat";
    EXPECT_EQ(ReadFile(L"td/x.txt"), "one");
    EXPECT_EQ(ReadFile(L"td/sub/x.txt"), ""); // "td/" sorts first and takes the path
    Files()->mMounts[L"td/"] = L"gone.dat";   // re-assigning replaces; a missing pack is skipped
    EXPECT_EQ(ReadFile(L"td/sub/x.txt"), "two");
}

TEST_F(FileManagerTest, APacksFoldersAreFoldersListedInOrderAndEachOpenGivesAFreshStream)
{
    Write("pack/levels/a.xml", "packed");
    Write("pack/fx/a.ptc", "packed");
    ASSERT_EQ(BuildPack(L"pack", L"data.dat"), QL_OK);
    std::filesystem::remove_all(mDir.Path() / "pack");
    Files()->mMounts[L"td/"] = L"data.dat";
    EXPECT_EQ(ReadFile(L"td/levels/a.xml"), "packed");
    EXPECT_TRUE(Files()->IsFolder(L"td/levels"));
    EXPECT_TRUE(Files()->IsFolder(L"td/levels/"));
    EXPECT_FALSE(Files()->IsFolder(L"td/level"));
    Names names;
    EXPECT_EQ(QL_OK, Files()->ListFiles(L"td/", true, names, false));
    EXPECT_EQ(names, (Names{L"td/fx/a.ptc", L"td/levels/a.xml"}));
    names.clear();
    EXPECT_EQ(QL_OK, Files()->ListFolders(L"td", names, true));
    EXPECT_EQ(names, (Names{L"fx", L"levels"}));

    std::unique_ptr<FileInfo> info(Files()->GetFileInfo(L"td/fx/a.ptc"));
    ASSERT_TRUE(info);
    std::unique_ptr<base::StreamCreator> creator(info->mContainer->CreateStreamCreator(info->mPath));
    ASSERT_TRUE(creator);
    for (int i = 0; i < 2; ++i)
    {
        base::Stream* raw = nullptr;
        ASSERT_EQ(creator->Create(raw), QL_OK);
        std::unique_ptr<base::Stream> stream(raw);
        char bytes[8] = {};
        EXPECT_EQ(stream->Read(bytes, 8), 6u);
        EXPECT_EQ(std::string(bytes), "packed");
    }
    EXPECT_EQ(info->mContainer->CreateStreamCreator(L"absent"), nullptr);
    EXPECT_EQ(info->mContainer->GetRootPath(), L"td/");
}

TEST_F(FileManagerTest, ExistsTriesTheExtensionsInOrderAndAFolderIsNoFile)
{
    Write("td/hud.psd");
    MakeFolder("td/menu");
    const std::wstring exts[] = {L".psd", L""};
    u32 index = 99;
    EXPECT_TRUE(Files()->Exists(L"td/hud", exts, 2, &index));
    EXPECT_EQ(index, 0u);
    index = 99;
    EXPECT_FALSE(Files()->Exists(L"td/menu", exts, 2, &index));
    EXPECT_EQ(index, 99u);
    EXPECT_TRUE(Files()->IsFolder(L"td/menu"));
    EXPECT_TRUE(Files()->IsFolder(L"td/menu/"));
    EXPECT_FALSE(Files()->IsFolder(L"td/hud.psd"));
    EXPECT_FALSE(Files()->Exists(L"td/menu"));
    EXPECT_EQ(Files()->OpenStream(L"td/menu"), nullptr);

    std::unique_ptr<FileInfo> info(Files()->GetFileInfo(L"td/hud", exts, 2, &index));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->mName, L"hud");
    EXPECT_EQ(info->mPath, L"td/hud.psd");
}

TEST_F(FileManagerTest, ImageContainersPreferAFolderThenAPsdLooseOrPacked)
{
    gMade.clear();
    FileContainer::SetImageContainerMakers(RecordFolder, RecordPsd);
    MakeFolder("td/menu");
    Write("td/hud.psd");
    Write("td/hud");
    Write("td/raw");
    Write("pack/packed.psd");
    ASSERT_EQ(BuildPack(L"pack", L"data.dat"), QL_OK);
    Files()->OpenImageContainer(L"td/menu");
    Files()->OpenImageContainer(L"td/hud");
    Files()->OpenImageContainer(L"td/raw");
    Files()->OpenImageContainer(L"td/none");
    Files()->mMounts[L"gfx/"] = L"data.dat";
    Files()->OpenImageContainer(L"gfx/packed");
    FileContainer::SetImageContainerMakers(nullptr, nullptr);
    EXPECT_EQ(gMade, (Names{L"folder:td/menu", L"psd:td/hud.psd", L"psd:td/raw", L"packed psd:packed.psd"}));
}

TEST_F(FileManagerTest, ListingsAreSortedAndLooseAndPackedOnesComeInTheSameOrder)
{
    for (const char* name : {"td/fx/sub/b.ptc", "td/fx/a.ptc", "td/fx/Z.ptc", "td/fx/c/d.ptc", "td/fx/\xC3\xA9.ptc"})
        Write(name);
    Names names;
    EXPECT_EQ(QL_OK, Files()->ListFiles(L"td\\fx", true, names, true));
    EXPECT_EQ(names, (Names{L"Z.ptc", L"a.ptc", L"c/d.ptc", L"sub/b.ptc", L"\u00E9.ptc"}));
    names.clear();
    EXPECT_EQ(QL_OK, Files()->ListFiles(L"td\\fx", true, names, false));
    EXPECT_EQ(names,
              (Names{L"td/fx/Z.ptc", L"td/fx/a.ptc", L"td/fx/c/d.ptc", L"td/fx/sub/b.ptc", L"td/fx/\u00E9.ptc"}));
    names.clear();
    EXPECT_EQ(QL_OK, Files()->ListFiles(L"td/fx/", false, names, true));
    EXPECT_EQ(names, (Names{L"Z.ptc", L"a.ptc", L"\u00E9.ptc"}));
    (void)Files()->ListFolders(L"td/fx", names, false); // appends, never clears
    EXPECT_EQ(names, (Names{L"Z.ptc", L"a.ptc", L"\u00E9.ptc", L"td/fx/c", L"td/fx/sub"}));
    names.clear();
    EXPECT_EQ(QL_OK, Files()->ListFiles(L"nowhere", true, names, true));
    EXPECT_TRUE(names.empty());

    // Loose and packed listings come in the same order.
    for (const char* name : {"src/a/x.txt", "src/a.txt", "src/a-b/y.txt", "src/B/z.txt", "src/a/\xC3\xA9.txt"})
        Write(name);
    ASSERT_EQ(BuildPack(L"src", L"data.dat"), QL_OK);
    Names loose, packed;
    EXPECT_EQ(QL_OK, Files()->ListFiles(L"src", true, loose, false));
    Files()->mMounts[L"src/"] = L"data.dat";
    EXPECT_EQ(QL_OK, Files()->ListFiles(L"src", true, packed, false));
    EXPECT_EQ(loose, (Names{L"src/B/z.txt", L"src/a-b/y.txt", L"src/a.txt", L"src/a/x.txt", L"src/a/\u00E9.txt"}));
    EXPECT_EQ(packed, loose);
}

TEST_F(FileManagerTest, ReadFileDropsOnlyAWholeSignature)
{
    Write("bom.txt", std::string("\xEF\xBB\xBF") + "x");
    Write("two.txt", "\xEF\xBB");
    Write("zero.txt", std::string("ab\0cd", 5));
    Write("empty.txt", "");
    bool hadBom = false, ok = false;
    EXPECT_EQ(ReadFile(L"bom.txt", &hadBom, &ok), "x");
    EXPECT_TRUE(hadBom);
    EXPECT_TRUE(ok);
    EXPECT_EQ(ReadFile(L"two.txt", &hadBom, &ok), "\xEF\xBB");
    EXPECT_FALSE(hadBom);
    EXPECT_EQ(ReadTextFile(L"zero.txt"), "ab");
    EXPECT_EQ(ReadFile(L"empty.txt", &hadBom, &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_EQ(ReadFile(L"missing.txt", &hadBom, &ok), "");
    EXPECT_FALSE(ok);
    EXPECT_EQ(ReadTextFile(L"missing.txt"), "");
}

TEST_F(FileManagerTest, CreateFoldersMakesEveryLevelOfEitherSeparatorAndStopsAtAFile)
{
    EXPECT_EQ(CreateFolders(L"A\\B/C//"), QL_OK);
    EXPECT_TRUE(OnDisk("A/B/C"));
    EXPECT_EQ(CreateFolders(L"A/B/C/"), QL_OK); // already there
    std::wstring absolute = mDir.WPath("X/Y");
    EXPECT_EQ(CreateFolders(absolute), QL_OK);
    EXPECT_TRUE(OnDisk("X/Y"));
    Write("file");
    EXPECT_EQ(CreateFolders(L"file/sub"), QL_FAIL); // a file stands in the way
    EXPECT_EQ(CreateFolders(L""), QL_OK);
}

TEST_F(FileManagerTest, FileOperationsReportFailuresAndAtomicWritesLeaveNoTemporaryFile)
{
    Write("a.txt", "a");
    EXPECT_EQ(DeleteFile(L"a.txt"), QL_OK);
    EXPECT_EQ(DeleteFile(L"a.txt"), QL_FAIL);
    EXPECT_EQ(CreateDirectory(L"d"), QL_OK);
    EXPECT_EQ(CreateDirectory(L"d"), QL_FAIL);
    EXPECT_EQ(SetCurrentDirectory(L"missing"), QL_FAIL);
    EXPECT_EQ(WriteFileAtomically(L"d/f.txt", "new"), QL_OK);
    EXPECT_EQ(Read("d/f.txt"), "new");
    EXPECT_FALSE(OnDisk("d/f.txt.tmp"));
    EXPECT_EQ(WriteFileAtomically(L"missing/f.txt", "x"), QL_FAIL);
    EXPECT_TRUE(LogHas("missing/f.txt"));
    EXPECT_EQ(SyncFile(L"d/f.txt"), QL_OK);
    EXPECT_EQ(SyncFile(L"missing/f.txt"), QL_FAIL);
    EXPECT_EQ(SetCurrentDirectory(L"d"), QL_OK);
    EXPECT_EQ(ReadFile(L"f.txt"), "new");
}

TEST(Path, HelpersSplitAtSeparatorsOfEitherKind)
{
    struct Case
    {
        std::wstring (*helper)(const std::wstring&);
        const wchar_t* in;
        const wchar_t* out;
    };
    const Case cases[] = {
        {NormalizeDirectoryPath, L"a\\b//", L"a/b/"},
        {NormalizeDirectoryPath, L"a/b", L"a/b/"},
        {NormalizeDirectoryPath, L"///", L""},
        {NormalizeDirectoryPath, L"", L""},
        {StripTrailingSeparators, L"a/b/\\/", L"a/b"},
        {StripTrailingSeparators, L"\\/", L""},
        {GetDirectory, L"a/b\\c.txt", L"a/b\\"},
        {GetDirectory, L"a\\b/c.txt", L"a\\b/"},
        {GetDirectory, L"c.txt", L""},
        {GetFileName, L"a/b\\c.txt", L"c.txt"},
        {GetFileName, L"a/", L""},
        {ToForwardSlashes, L"a\\b\\c", L"a/b/c"},
        {GetDirectoryWithoutDrive, L"C:/games/x.dat", L"/games/"},
        {GetDirectoryWithoutDrive, L"C:x.dat", L""},
        {GetDirectoryWithoutDrive, L"C:", L""},
        {GetDirectoryWithoutDrive, L"games/x.dat", L"games/"},
        {GetExtension, L"a.b/c", L""},
        {GetExtension, L"a/c.tar.gz", L".gz"},
        {GetExtension, L"a.b\\c", L""},
        {GetBaseName, L"a/c.tar.gz", L"c.tar"},
        {GetBaseName, L"a/.cfg", L".cfg"},
        {GetBaseName, L"x\\y.psd", L"y"},
        // Names without a separator or without a dot.
        {StripTrailingSeparators, L"a/b", L"a/b"},
        {GetFileName, L"c.txt", L"c.txt"},
        {GetDirectoryWithoutDrive, L"x.dat", L""},
        {GetExtension, L"noext", L""},
        {GetBaseName, L"a.b/c", L"c"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.helper(c.in), c.out) << c.in;
}

TEST(Utf16, SurrogatesRoundTripPairedOrNotAndNamesSortByUnits)
{
    std::wstring text = L"a\U0001F600\u00E9\uFFFD";
    std::u16string units = ToUtf16(text);
    EXPECT_EQ(units, (std::u16string{u'a', 0xD83D, 0xDE00, 0xE9, 0xFFFD}));
    EXPECT_EQ(FromUtf16(units), text);
    // Unpaired surrogates survive the round trip.
    const std::u16string unpaired = {u'a', static_cast<char16_t>(0xD800), u'b', static_cast<char16_t>(0xDC00)};
    EXPECT_EQ(ToUtf16(FromUtf16(unpaired)), unpaired);

    // U+FF21 sorts after U+1F600 by code point, but before it by UTF-16 units (0xFF21 > 0xD83D).
    EXPECT_LT(std::wstring(L"\uFF21").compare(L"\U0001F600"), 0);
    EXPECT_GT(CompareUtf16(L"\uFF21", L"\U0001F600"), 0);
    EXPECT_TRUE(Utf16Less()(L"\U0001F600", L"\uFF21"));
    std::vector<std::wstring> names = {L"b.txt", L"a/c.txt", L"B.txt", L"a", L"a/", L"\u00E9"};
    std::sort(names.begin(), names.end(), Utf16Less());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"B.txt", L"a", L"a/", L"a/c.txt", L"b.txt", L"\u00E9"}));
    EXPECT_EQ(CompareUtf16(L"abc", L"abc"), 0);
}
