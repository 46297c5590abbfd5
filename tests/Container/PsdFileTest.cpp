// Layered PSD files as image containers: names, rectangles, pixels, packs, damage.
#include "ContainerTestSupport.h"

#include "Core/Base/Stream.h"
#include "Core/Media/Container/PsdFile.h"

#include <memory>

using namespace containertest;
using psdtest::PsdBuilder;

namespace
{
psdtest::LayerSpec GroupStart(const std::string& name)
{
    psdtest::LayerSpec layer;
    layer.mName = name;
    layer.mExtra = psdtest::Divider(1, "pass");
    return layer;
}

psdtest::LayerSpec GroupEnd()
{
    psdtest::LayerSpec layer;
    layer.mName = "</Layer group>";
    layer.mExtra = psdtest::Divider(3);
    return layer;
}

// Bottom to top: bg, ok|box, [menu: play], anchor|center, and a second "play" at the top level.
std::string MenuPsd()
{
    return PsdBuilder(64, 48)
        .Layer(Solid("bg", 0, 0, 64, 48, 0xFF000000))
        .Layer(Solid("ok|box", 4, 6, 8, 10, 0xFF00FF00))
        .Layer(GroupEnd())
        .Layer(Solid("play", 10, 20, 3, 2, 0x80FF0000))
        .Layer(GroupStart("menu"))
        .Layer(Solid("anchor|center", 10, 20, 5, 7, 0xFFFFFFFF))
        .Build();
}

using PsdFileTest = ContainerTest;

std::vector<u32> Pixels(base::Stream& stream)
{
    std::vector<u32> pixels(stream.GetSize() / 4);
    stream.Read(pixels.data(), static_cast<u32>(pixels.size() * 4));
    return pixels;
}
} // namespace

TEST_F(PsdFileTest, ListsItsLayersByGroupPathWithTheirRectanglesStreamsAndNamesAndDamageLeavesItEmpty)
{
    Write("ui/menu.psd", MenuPsd());
    file::PsdFile* psd = OpenAs<file::PsdFile>(L"ui/menu");
    ASSERT_NE(psd, nullptr);
    EXPECT_EQ(L"ui/menu.psd/", psd->GetRootPath());
    ASSERT_EQ(3u, psd->GetImageCount());
    EXPECT_EQ(L"anchor|center", psd->GetImage(0)->mName);
    EXPECT_EQ(L"menu/play", psd->GetImage(1)->mName);
    EXPECT_EQ(L"ok|box", psd->GetImage(2)->mName);
    EXPECT_EQ(nullptr, psd->FindImage(L"bg")) << "the bottom layer is no image";

    const base::ImageInfo* play = psd->FindImage(L"menu/play");
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(BoxOf(play), (Box{10, 20, 3, 2}));
    EXPECT_EQ(255u, play->mOpacity);
    EXPECT_EQ(3u, play->mIndex);
    EXPECT_EQ(1, play->mHasPixels);
    EXPECT_EQ(1, play->mRawPixels);

    const base::ImageInfo* box = psd->FindImage(L"ok|box");
    EXPECT_EQ(0, box->mHasPixels);
    EXPECT_EQ(BoxOf(box), (Box{4, 6, 8, 10}));

    const base::ImageInfo* anchor = psd->FindImage(L"anchor|center");
    EXPECT_EQ(0, anchor->mHasPixels);
    EXPECT_EQ(BoxOf(anchor), (Box{12, 23, 0, 0}));

    std::vector<std::wstring> names;
    EXPECT_EQ(QL_OK, psd->ListImages(L"", true, names, false));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"anchor|center", L"menu/play", L"ok|box"}));
    // Layer streams hold the layers' ARGB pixels.
    const std::wstring extensions[] = {L"", L".dds", L".png", L""};
    u32 index = 99;
    std::unique_ptr<file::ImageFileInfo> playFile(psd->FindFile(L"menu/play", extensions, 4, &index));
    ASSERT_NE(playFile, nullptr);
    EXPECT_EQ(3u, index) << "the last empty extension";
    EXPECT_EQ(L"menu/play", playFile->mPath);
    EXPECT_EQ(L"play", playFile->file::FileInfo::mName);
    EXPECT_TRUE(playFile->mIsPack);
    EXPECT_EQ(1, playFile->mRawPixels);
    std::unique_ptr<base::Stream> stream(playFile->Open());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(std::vector<u32>(6, 0x80FF0000u), Pixels(*stream));

    EXPECT_EQ(nullptr, psd->FindFile(L"play", extensions, 4, &index));
    EXPECT_EQ(nullptr, psd->OpenStream(L"bg"));
    EXPECT_EQ(nullptr, psd->CreateStreamCreator(L"menu/play"));
    EXPECT_FALSE(psd->HasImageFile(L"menu/play"));

    // Names are Unicode or Latin-1, stray group ends close nothing, the upper of two names is kept,
    // damage leaves the file empty.
    // "Gr" + U+00FC + "n" + U+1F600 (a surrogate pair) and a stored terminator.
    psdtest::Bytes units;
    units.U32(7).U16('G').U16('r').U16(0xFC).U16('n').U16(0xD83D).U16(0xDE00).U16(0);
    psdtest::LayerSpec unicode = Solid("ignored", 0, 0, 1, 1, 0xFFFFFFFF);
    unicode.mExtra = psdtest::Tagged("luni", units.Str());
    // Bottom to top: the stray end closes nothing, "open" encloses the unicode layer.
    Write("names.psd", PsdBuilder(8, 8)
                           .Layer(Solid("bg", 0, 0, 8, 8, 0xFF000000))
                           .Layer(Solid("caf\xe9", 0, 0, 1, 1, 0xFFFFFFFF))
                           .Layer(GroupEnd())
                           .Layer(GroupEnd())
                           .Layer(unicode)
                           .Layer(GroupStart("open"))
                           .Build());
    file::PsdFile* named = OpenAs<file::PsdFile>(L"names");
    ASSERT_NE(named, nullptr);
    ASSERT_EQ(2u, named->GetImageCount());
    EXPECT_EQ(std::wstring(L"open/Gr\u00fcn") + wchar_t(0x1F600), named->GetImage(0)->mName);
    EXPECT_EQ(L"caf\u00e9", named->GetImage(1)->mName);
    // A document without layers names nothing: its merged image is no picture.
    Write("flat.psd", PsdBuilder(4, 4).Build());
    ASSERT_NE(OpenAs<file::PsdFile>(L"flat"), nullptr);
    EXPECT_EQ(0u, mContainer->GetImageCount());
    // Of two layers of one name the upper one is kept.
    Write("twice.psd", PsdBuilder(8, 8)
                           .Layer(Solid("bg", 0, 0, 8, 8, 0xFF000000))
                           .Layer(Solid("a", 1, 1, 1, 1, 0xFF000001))
                           .Layer(Solid("a", 2, 2, 1, 1, 0xFF000002))
                           .Build());
    file::PsdFile* twice = OpenAs<file::PsdFile>(L"twice.psd");
    ASSERT_NE(twice, nullptr);
    ASSERT_EQ(1u, twice->GetImageCount());
    EXPECT_EQ(2.0f, twice->FindImage(L"a")->mX);
    std::unique_ptr<base::Stream> upper(twice->OpenStream(L"a"));
    EXPECT_EQ(std::vector<u32>{0xFF000002u}, Pixels(*upper));
    // Damaged files give an empty container and a log line.
    const std::string good = MenuPsd();
    Write("cut.psd", good.substr(0, good.size() / 2));
    file::PsdFile* cut = OpenAs<file::PsdFile>(L"cut");
    ASSERT_NE(cut, nullptr);
    EXPECT_FALSE(cut->IsLoaded());
    EXPECT_EQ(0u, cut->GetImageCount());
    EXPECT_EQ(nullptr, cut->OpenStream(L"menu/play"));
    EXPECT_TRUE(LogHas("PSD file 'cut.psd' is damaged"));

    Write("text", "plain text, no extension");
    file::PsdFile* text = OpenAs<file::PsdFile>(L"text");
    ASSERT_NE(text, nullptr) << "a file of the bare name is taken as a PSD";
    EXPECT_EQ(0u, text->GetImageCount());
    EXPECT_TRUE(LogHas("PSD file 'text' is damaged"));
}
