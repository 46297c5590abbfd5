// Image folders described by "layers.xml": loose and packed, scales, atlases, damage; the layout scale
// (folders only) and the media layer's image scale (every rectangle, PSD files too).
#include "ContainerTestSupport.h"

#include "Core/Base/Stream.h"
#include "Core/Media/Container/PsdFolder.h"
#include "Core/Media/Image/MediaScale.h"

#include <memory>

using namespace containertest;
using psdtest::PsdBuilder;

namespace
{
const char kSides[] = "<?xml version='1.0' encoding='utf-8'?>\n<Document>\n  <Layers>\n"
                      "    <Layer name='l' x='0' y='0' width='171' height='768' opacity='255' ind='0'/>\n"
                      "    <Layer name='r' x='1195' y='0' width='171' height='768' opacity='200' ind='1'/>\n"
                      "    <Layer name='icons/star' x='10' y='20' width='30' height='40' ind='2'/>\n"
                      "  </Layers>\n</Document>\n";

using PsdFolderTest = ContainerTest;

// The image scale for one test.
struct ScopedImageScale
{
    explicit ScopedImageScale(float scale) { render::SetMediaScale({scale, 1.0f}); }
    ~ScopedImageScale() { render::SetMediaScale({}); }
};
} // namespace

TEST_F(PsdFolderTest, ListsItsImagesWithTheirPositionsInFileOrderAndFindsTheirFiles)
{
    Write("ui/sides/layers.xml", kSides);
    file::PsdFolder* folder = OpenAs<file::PsdFolder>(L"ui/sides");
    ASSERT_NE(folder, nullptr);
    ASSERT_EQ(3u, folder->GetImageCount());
    const base::ImageInfo* r = folder->GetImage(1);
    EXPECT_EQ(L"r", r->mName);
    EXPECT_EQ(BoxOf(r), (Box{1195, 0, 171, 768}));
    EXPECT_EQ(200u, r->mOpacity);
    EXPECT_EQ(1u, r->mIndex);
    EXPECT_EQ(1, r->mHasPixels);
    EXPECT_EQ(0, r->mRawPixels);
    EXPECT_EQ(r, folder->FindImage(L"r"));
    EXPECT_EQ(nullptr, folder->FindImage(L"R"));
    EXPECT_EQ(nullptr, folder->GetImage(3));
    EXPECT_EQ(L"ui/sides/", folder->GetRootPath());

    std::vector<std::wstring> names;
    EXPECT_EQ(QL_OK, folder->ListImages(L"", true, names, false));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"l", L"r", L"icons/star"}));
    // Folders and names beyond the order are the shared index's (ImageIndexTest).
    // Image files are found with the texture extensions.
    Write("ui/sides/l.png", "png bytes");
    Write("ui/sides/r.dds", "dds bytes");
    Write("ui/sides/r.png", "later");
    folder = OpenAs<file::PsdFolder>(L"ui/sides/");
    ASSERT_NE(folder, nullptr);
    const std::wstring extensions[] = {L"", L".dds", L".jpg", L".gif", L".png", L".tga"};
    u32 index = 99;
    std::unique_ptr<file::ImageFileInfo> rFile(folder->FindFile(L"r", extensions, 6, &index));
    ASSERT_NE(rFile, nullptr);
    EXPECT_EQ(1u, index);
    EXPECT_EQ(L"r.dds", rFile->mPath);
    EXPECT_EQ(L"r", rFile->file::FileInfo::mName);
    EXPECT_EQ(1195.0f, rFile->mX);
    std::unique_ptr<base::Stream> stream(rFile->Open());
    ASSERT_NE(stream, nullptr);
    std::string bytes(stream->GetSize(), '\0');
    bytes.resize(stream->Read(bytes.data(), static_cast<u32>(bytes.size())));
    EXPECT_EQ("dds bytes", bytes);

    EXPECT_EQ(nullptr, folder->FindFile(L"icons/star", extensions, 6, &index)) << "no file on disk";
    EXPECT_EQ(nullptr, folder->FindFile(L"missing", extensions, 6, &index));
    std::unique_ptr<file::ImageFileInfo> bare(folder->FindFile(L"icons/star", nullptr, 0, nullptr));
    ASSERT_NE(bare, nullptr) << "without extensions the name is taken as it is";
    EXPECT_EQ(L"icons/star", bare->mPath);
    EXPECT_EQ(L"star", bare->file::FileInfo::mName);
    EXPECT_TRUE(folder->HasImageFile(L"l"));
    EXPECT_FALSE(folder->HasImageFile(L"icons/star"));
}

TEST_F(PsdFolderTest, AtlasEntriesDefaultsClampsDamageAndScalesOfTheDescriptions)
{
    Write("f/layers.xml", "<Document><Layers>"
                          "<Layer name='a' atlas='sheet.png' tu1='0.25' tv1='0.5' tu2='0.75' tv2='1.0'/>"
                          "<Layer name='b' x='1'/>"
                          "<Layer name='b' x='2' atlas='sheet.png' tu2='1' tv2='0.5'/>"
                          "</Layers></Document>");
    file::PsdFolder* folder = OpenAs<file::PsdFolder>(L"f");
    ASSERT_NE(folder, nullptr);
    const base::ImageInfo* a = folder->FindImage(L"a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(1, a->mInAtlas);
    EXPECT_EQ(L"f/sheet.png", a->mAtlasPath);
    EXPECT_EQ(0.25f, a->mTextureOriginU);
    EXPECT_EQ(0.0f, a->mTextureOriginV);
    EXPECT_EQ(0.5f, a->mTextureExtentU);
    EXPECT_EQ(0.5f, a->mTextureExtentV);
    const std::wstring extensions[] = {L"", L".png"};
    std::unique_ptr<file::ImageFileInfo> atlased(folder->FindFile(L"a", extensions, 2, nullptr));
    ASSERT_NE(atlased, nullptr) << "an atlas entry has no file of its own";
    EXPECT_EQ(L"a", atlased->mPath);

    // The repeated name keeps its first description, takes the later atlas place, counts twice.
    ASSERT_EQ(3u, folder->GetImageCount());
    const base::ImageInfo* b = folder->FindImage(L"b");
    EXPECT_EQ(1.0f, b->mX);
    EXPECT_EQ(1, b->mInAtlas);
    EXPECT_EQ(0.5f, b->mTextureOriginV);
    EXPECT_EQ(b, folder->GetImage(2));
    // Absent values take defaults, what does not fit is clamped, a nameless layer ends the list.
    Write("d/layers.xml", "<Document><Layers>"
                          "<Layer name='b' x='-3' y='4' width='5' height='6' opacity='128' ind='7'/>"
                          "<Other name='skipped'/>"
                          "<Layer name='a' opacity='300' ind='-2' x='99999999999' width='abc'/>"
                          "<Layer name='\xc3\xa9t\xc3\xa9'/>"
                          "<Layer x='1'/><Layer name='after'/>"
                          "</Layers></Document>");
    file::PsdFolder* described = OpenAs<file::PsdFolder>(L"d");
    ASSERT_NE(described, nullptr);
    ASSERT_EQ(3u, described->GetImageCount()) << "a layer without a name ends the list";
    const base::ImageInfo* first = described->GetImage(0);
    EXPECT_EQ(-3.0f, first->mX);
    EXPECT_EQ(6.0f, first->mHeight);
    EXPECT_EQ(128u, first->mOpacity);
    EXPECT_EQ(7u, first->mIndex);
    // Out of range: clamped or no number, never wrapped.
    const base::ImageInfo* clamped = described->GetImage(1);
    EXPECT_EQ(255u, clamped->mOpacity);
    EXPECT_EQ(0u, clamped->mIndex);
    EXPECT_EQ(0.0f, clamped->mX) << "a number beyond 32 bits is no number";
    EXPECT_EQ(0.0f, clamped->mWidth);
    const base::ImageInfo* named = described->GetImage(2);
    EXPECT_EQ(L"\u00e9t\u00e9", named->mName);
    EXPECT_EQ(255u, named->mOpacity) << "absent opacity is opaque";
    EXPECT_EQ(2u, named->mIndex) << "absent order is the place in the file";

    // Damaged or missing descriptions leave an empty folder and a log line.
    Write("empty/layers.xml", "");
    ASSERT_NE(OpenAs<file::PsdFolder>(L"empty"), nullptr);
    EXPECT_EQ(0u, mContainer->GetImageCount());
    Write("broken/layers.xml", "<Document><Layers><Layer name='a'");
    file::PsdFolder* broken = OpenAs<file::PsdFolder>(L"broken");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(0u, broken->GetImageCount());
    EXPECT_TRUE(LogHas("broken/layers.xml' is damaged"));

    std::filesystem::create_directories("bare");
    file::PsdFolder* bare = OpenAs<file::PsdFolder>(L"bare");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(0u, bare->GetImageCount());
    EXPECT_TRUE(LogHas("'bare' has no readable layers.xml"));

    Write("nolayers/layers.xml", "<Document/>");
    ASSERT_NE(OpenAs<file::PsdFolder>(L"nolayers"), nullptr);
    EXPECT_EQ(0u, mContainer->GetImageCount());
    EXPECT_TRUE(LogHas("no \"Layers\" element"));

    // Folder positions take the layout scale, then the image scale; PSD rectangles only the image scale.
    ScopedImageScale scale(2.0f);
    Files()->mPsdFolderScale = 1.5f;
    Write("scaled/layers.xml", "<Layers><Layer name='a' x='3' y='-3' width='5' height='2'/></Layers>");
    auto scaled = Open(L"scaled");
    ASSERT_NE(scaled, nullptr);
    a = scaled->FindImage(L"a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(BoxOf(a), (Box{8, -8, 14, 6})); // x: trunc(4.5) x 2, y: trunc(-4.5) x 2
    EXPECT_EQ(2.0f, a->mScale);
    // PSD rectangles take only the image scale.
    render::SetMediaScale({0.5f, 1.0f});
    Files()->mPsdFolderScale = 3.0f;
    Write("s.psd", PsdBuilder(32, 32)
                       .Layer(Solid("bg", 0, 0, 32, 32, 0xFF000000))
                       .Layer(Solid("mark|center", 10, 20, 5, 7, 0xFFFFFFFF))
                       .Layer(Solid("a", 4, 6, 8, 10, 0xFFFFFFFF))
                       .Build());
    auto psd = Open(L"s");
    ASSERT_NE(psd, nullptr);
    a = psd->FindImage(L"a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(BoxOf(a), (Box{2, 3, 4, 5}));
    EXPECT_EQ(0.5f, a->mScale);
    const base::ImageInfo* mark = psd->FindImage(L"mark|center");
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(BoxOf(mark), (Box{6, 11.5f, 0, 0})); // (10 + 5 / 2, 20 + 7 / 2) x 0.5
}
