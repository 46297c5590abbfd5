// Images of a container become textures through the image loader: folder files, atlas parts
// and PSD layers (raw pixels), loose and packed; every PSD file and "layers.xml" folder of the demo
// content.
#include "ContainerTestSupport.h"

#include "Core/Base/StringConvert.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Image/ResourceTexture.h"
#include "Core/Render/VertexFormat.h"
#include "ImageBuilders.h"
#include "Render/RenderTestSupport.h"

#include <memory>

using namespace containertest;
using psdtest::PsdBuilder;

namespace
{
// Left column opaque, right column clear.
std::vector<u32> HalfClear(u32 width, u32 height)
{
    std::vector<u32> pixels(size_t(width) * height, 0x00000000u);
    for (u32 y = 0; y < height; ++y)
        pixels[size_t(y) * width] = 0xFF336699u;
    return pixels;
}

class ContainerTextures : public ContainerTest
{
protected:
    void SetUp() override
    {
        ContainerTest::SetUp();
        mHarness = std::make_unique<rendertest::Harness>(render::HeadlessWindow::Backend::Recording);
        ASSERT_TRUE(mHarness->Ok());
    }
    void TearDown() override
    {
        mHarness.reset();
        ContainerTest::TearDown();
    }
    std::unique_ptr<render::Image> Load(const std::wstring& name, file::ImageContainer* container,
                                        base::ImageInfo* info = nullptr)
    {
        render::Image* image = nullptr;
        if (render::LoadImage(mHarness->mRender.get(), name, container, &image, info) != QL_OK)
            return nullptr;
        return std::unique_ptr<render::Image>(image);
    }
    void WriteFolder(const std::string& folder) const
    {
        std::filesystem::create_directories(mDir.Path() / folder);
        imagetest::WriteFile(mDir.WPath(folder + "/l.png"), imagetest::EncodePng(2, 3, HalfClear(2, 3), true));
        imagetest::WriteFile(mDir.WPath(folder + "/sheet.png"), imagetest::EncodePng(4, 4, HalfClear(4, 4), true));
        Write(folder + "/layers.xml",
              "<Document><Layers><Layer name='l' x='7' y='9' width='2' height='3'/>"
              "<Layer name='part' x='1' y='1' width='2' height='2' atlas='sheet.png' tu1='0.5' tv1='0' tu2='1' "
              "tv2='0.5'/>"
              "<Layer name='whole' width='4' height='4' atlas='sheet.png' tu1='0' tv1='0' tu2='1' tv2='1'/>"
              "<Layer name='lost' width='2' height='2' atlas='none.png' tu1='0' tv1='0' tu2='1' tv2='1'/>"
              "<Layer name='gone' width='2' height='2'/></Layers></Document>");
    }
    std::string MenuPsd() const
    {
        return PsdBuilder(16, 16)
            .Layer(Solid("bg", 0, 0, 16, 16, 0xFF000000))
            .Layer(Solid("clear", 0, 0, 2, 2, 0x00FFFFFF))
            .Layer(Solid("play", 3, 4, 5, 6, 0xFFFF0000))
            .Build();
    }

    std::unique_ptr<rendertest::Harness> mHarness;
};
} // namespace

TEST_F(ContainerTextures, FolderImagesAndPsdLayersLoadLooseOrPackedAndEveryDemoLayoutLoads)
{
    WriteFolder("ui");
    auto folder = Open(L"ui");
    ASSERT_NE(folder, nullptr);
    base::ImageInfo info;
    auto image = Load(L"l", folder.get(), &info);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->IsValid());
    EXPECT_EQ(2, image->GetWidth());
    EXPECT_EQ(3, image->GetHeight());
    EXPECT_EQ(BoxOf(&info), (Box{7, 9, 2, 3}));
    EXPECT_TRUE(image->IsOpaqueAt(0, 2));
    EXPECT_FALSE(image->IsOpaqueAt(1, 2));
    EXPECT_EQ(Load(L"gone", folder.get()), nullptr) << "described, but no file";
    EXPECT_EQ(Load(L"unknown", folder.get()), nullptr);
    // Atlas parts draw from the one atlas texture, their coordinates mapped into their region.
    auto part = Load(L"part", folder.get());
    auto whole = Load(L"whole", folder.get());
    ASSERT_NE(part, nullptr);
    ASSERT_NE(whole, nullptr);
    EXPECT_TRUE(part->IsValid());
    EXPECT_EQ(part->GetTexture(), whole->GetTexture());
    EXPECT_EQ(nullptr, part->GetResourceTexture()->GetOwnTexture());
    EXPECT_EQ(2, part->GetAtlasOffsetX());
    EXPECT_EQ(2, part->GetAtlasOffsetY()); // v counted from the bottom: 1 - 0.5
    EXPECT_FALSE(part->IsOpaqueAt(0, 0)) << "the atlas's right half is clear";
    EXPECT_TRUE(whole->IsOpaqueAt(0, 3));
    render::SVertex2D quad[2] = {};
    quad[1].u = 1.0f;
    ASSERT_EQ(QL_OK, part->MapTextureCoords(quad, render::GetVertexFormat<render::SVertex2D>(), 2));
    EXPECT_FLOAT_EQ(0.5f, quad[0].u);
    EXPECT_FLOAT_EQ(1.0f, quad[1].u);
    render::SVertexGeom geom[1] = {};
    EXPECT_EQ(QL_FAIL, part->MapTextureCoords(geom, render::GetVertexFormat<render::SVertexGeom>(), 1));
    EXPECT_EQ(Load(L"lost", folder.get()), nullptr) << "an atlas that does not load";

    // PSD layers load from their raw pixels, loose or packed.
    Write("menu.psd", MenuPsd());
    auto psd = Open(L"menu");
    ASSERT_NE(psd, nullptr);
    auto play = Load(L"play", psd.get(), &info);
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(std::make_pair(5, 6), std::make_pair(play->GetWidth(), play->GetHeight()));
    EXPECT_EQ(BoxOf(&info), (Box{3, 4, 5, 6}));
    EXPECT_EQ(1, info.mRawPixels);
    EXPECT_TRUE(play->IsOpaqueAt(4, 5));
    auto clear = Load(L"clear", psd.get());
    ASSERT_NE(clear, nullptr);
    EXPECT_FALSE(clear->IsOpaqueAt(0, 0));
    EXPECT_EQ(Load(L"bg", psd.get()), nullptr);
    // The same name in another file is another texture.
    Write("other.psd", PsdBuilder(16, 16)
                           .Layer(Solid("bg", 0, 0, 16, 16, 0xFF000000))
                           .Layer(Solid("play", 0, 0, 1, 1, 0xFFFFFFFF))
                           .Build());
    auto other = Open(L"other");
    auto fromOther = Load(L"play", other.get());
    ASSERT_NE(fromOther, nullptr);
    EXPECT_NE(play->GetTexture(), fromOther->GetTexture());
    EXPECT_EQ(1, fromOther->GetWidth());
    // Packed folders and PSD files make the same textures.
    WriteFolder("src/ui");
    Write("src/menu.psd", MenuPsd());
    ASSERT_EQ(QL_OK, file::BuildPack(L"src", L"data.dat"));
    Files()->mMounts[L"td/"] = L"data.dat";
    auto packedFolder = Open(L"td/ui");
    auto packedPsd = Open(L"td/menu");
    ASSERT_NE(packedFolder, nullptr);
    ASSERT_NE(packedPsd, nullptr);
    auto l = Load(L"l", packedFolder.get());
    auto packedPart = Load(L"part", packedFolder.get());
    auto packedPlay = Load(L"play", packedPsd.get());
    ASSERT_TRUE(l && packedPart && packedPlay);
    EXPECT_TRUE(l->IsOpaqueAt(0, 0));
    EXPECT_TRUE(packedPart->IsValid());
    EXPECT_EQ(5, packedPlay->GetWidth());
    EXPECT_TRUE(packedPlay->IsOpaqueAt(0, 0));

    // Every demo layout opens and every image in it loads.
    std::vector<std::filesystem::path> layouts;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::filesystem::path(QL_SOURCE_DIR) / "content/td"))
    {
        if (entry.path().extension() == ".psd")
            layouts.push_back(entry.path());
        else if (entry.path().filename() == "layers.xml")
            layouts.push_back(entry.path().parent_path());
    }
    ASSERT_FALSE(layouts.empty());
    const std::string startUp = mLog->Text(); // the renderer's start-up lines
    for (const std::filesystem::path& layout : layouts)
    {
        SCOPED_TRACE(layout.string());
        auto container = Open(base::Utf8ToWide(layout.string()));
        ASSERT_NE(container, nullptr);
        EXPECT_GT(container->GetImageCount(), 0u);
        for (u32 i = 0; i < container->GetImageCount(); ++i)
        {
            const base::ImageInfo* info = container->GetImage(i);
            if (!info->mHasPixels || info->mWidth <= 0 || info->mHeight <= 0)
                continue;
            // The tutorial's text places have no picture on purpose: the page's text goes there.
            if (layout.filename() == "tutorial" && info->mName.ends_with(L"/text"))
                continue;
            EXPECT_NE(Load(info->mName, container.get()), nullptr) << base::WideToUtf8(info->mName);
        }
    }
    EXPECT_EQ(startUp, mLog->Text()) << "nothing was refused";
}
