// Texture resources on the recording device: file lookup, sharing, atlases and hit masks.
#include "ImageBuilders.h"
#include "Render/RenderTestSupport.h"

#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Image/ImageLoader.h"
#include "Core/Media/Image/ResourceTexture.h"
#include "Core/Render/Texture.h"
#include "Core/Resource/ResourceManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

using namespace imagetest;

namespace
{
std::vector<u32> Solid(u32 w, u32 h, u32 argb)
{
    return std::vector<u32>(w * h, argb);
}

class Textures : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(mHarness.Ok()); }

    std::unique_ptr<render::Image> Load(const std::wstring& path, file::ImageContainer* container = nullptr)
    {
        render::Image* image = nullptr;
        if (render::LoadImage(mHarness.mRender.get(), path, container, &image, nullptr) != QL_OK)
            return nullptr;
        return std::unique_ptr<render::Image>(image);
    }

    rendertest::Harness mHarness{render::HeadlessWindow::Backend::Recording};
    testsupport::TempDir mDir;
};

// An image container over a map of descriptions whose files live in a folder on disk.
class MapContainer : public file::ImageContainer
{
public:
    explicit MapContainer(const std::wstring& folder) : file::ImageContainer(L"map", nullptr), mFolder(folder)
    {
    }

    file::ImageFileInfo* FindFile(const std::wstring& name, const std::wstring* extensions, u32 count,
                                  u32* index) override
    {
        auto found = mImages.find(name);
        if (found == mImages.end())
            return nullptr;
        for (u32 i = 0; i < count; ++i)
            if (std::filesystem::exists(base::WStringToString(mFolder + name + extensions[i])))
            {
                if (index)
                    *index = i;
                return new file::ImageFileInfo(name, mFolder + name + extensions[i], this, false,
                                               found->second);
            }
        if (found->second.mInAtlas)
            return new file::ImageFileInfo(name, L"", this, false, found->second);
        return nullptr;
    }
    const base::ImageInfo* FindImage(const std::wstring& name) override
    {
        auto found = mImages.find(name);
        return found == mImages.end() ? nullptr : &found->second;
    }
    u32 GetImageCount() override { return static_cast<u32>(mImages.size()); }
    const base::ImageInfo* GetImage(u32) override { return nullptr; }
    base::Stream* OpenStream(const std::wstring& path) override
    {
        return file::FileManager::Instance()->OpenStream(path);
    }
    base::StreamCreator* CreateStreamCreator(const std::wstring&) override { return nullptr; }

    std::wstring mFolder;
    std::map<std::wstring, base::ImageInfo> mImages;
};
} // namespace

TEST_F(Textures, ANameWithItsExtensionLoadsAsGiven)
{
    WriteFile(mDir.WPath("a.png"), EncodePng(2, 3, Solid(2, 3, 0xFFFFFFFF), true));
    auto image = Load(mDir.WPath("a.png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(2, image->GetWidth());
    EXPECT_EQ(3, image->GetHeight());
    EXPECT_TRUE(image->IsValid());
}

TEST_F(Textures, ABareNameTriesDdsJpgGifPngTgaInOrder)
{
    WriteFile(mDir.WPath("b.dds"), EncodeDds(4, 4, nullptr, ArgbBytes(Solid(4, 4, 0xFF000000))));
    WriteFile(mDir.WPath("b.png"), EncodePng(2, 2, Solid(2, 2, 0xFFFFFFFF), true));
    {
        auto image = Load(mDir.WPath("b"));
        ASSERT_TRUE(image);
        EXPECT_EQ(4, image->GetWidth()) << "the DDS file first";
    }
    WriteFile(mDir.WPath("c.tga"), EncodeTga(3, 3, Solid(3, 3, 0xFFFFFFFF), true));
    WriteFile(mDir.WPath("c.png"), EncodePng(2, 2, Solid(2, 2, 0xFFFFFFFF), true));
    auto image = Load(mDir.WPath("c"));
    ASSERT_TRUE(image);
    EXPECT_EQ(2, image->GetWidth()) << "PNG before TGA";
}

TEST_F(Textures, MissingOrBrokenFilesMakeNoTexture)
{
    EXPECT_FALSE(Load(mDir.WPath("nothing")));
    WriteFile(mDir.WPath("broken.png"), Bytes(100, 0x42));
    EXPECT_FALSE(Load(mDir.WPath("broken.png")));
    auto texture =
        resource::ResourceManager::Instance()->Get<resource::ResourceTexture>(mDir.WPath("broken.png"));
    EXPECT_FALSE(texture->IsLoaded());
    EXPECT_EQ(nullptr, texture->GetTexture());
}

TEST_F(Textures, ImagesOfOneNameShareTheirTexture)
{
    WriteFile(mDir.WPath("shared.png"), EncodePng(2, 2, Solid(2, 2, 0xFFFFFFFF), true));
    auto& map = resource::ResourceManager::Instance()->GetMap<resource::ResourceTexture>();
    const size_t before = map.size();
    {
        auto first = Load(mDir.WPath("shared.png"));
        auto second = Load(mDir.WPath("shared.png"));
        ASSERT_TRUE(first && second);
        EXPECT_EQ(first->GetTexture(), second->GetTexture());
        EXPECT_EQ(2, first->GetResourceTexture().UseCount());
        EXPECT_EQ(before + 1, map.size());
    }
    EXPECT_EQ(before, map.size()) << "the last image hands the texture back";
}

TEST_F(Textures, HitMasksMatchAcrossFormatsAndOrientations)
{
    const std::string folder = std::string(QL_SOURCE_DIR) + "/content/td/data/images/";
    auto reference = Load(base::StringToWString(folder + "badge.png"));
    ASSERT_TRUE(reference);
    EXPECT_TRUE(reference->IsOpaqueAt(32, 32));
    EXPECT_FALSE(reference->IsOpaqueAt(0, 0));
    EXPECT_FALSE(reference->IsOpaqueAt(64, 0)) << "x = width";
    EXPECT_FALSE(reference->IsOpaqueAt(-1, 5));

    // The PNG's alpha, to apply each decoder's own threshold to.
    std::ifstream file(folder + "badge.png", std::ios::binary);
    const Bytes png((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    base::MemoryStream stream(png.data(), static_cast<u32>(png.size()));
    std::unique_ptr<render::ImageData> data(render::ImageLoader::Instance()->Load(&stream, L".png", nullptr));
    ASSERT_TRUE(data);
    std::vector<u32> pixels(64 * 64);
    render::HitMask mask;
    ASSERT_EQ(QL_OK, data->CopyPixels(64 * 4, reinterpret_cast<u8*>(pixels.data()), mask));

    const struct
    {
        const char* name;
        u32 threshold;
        int tolerance; // compressed alpha moves the soft edge a little
    } cases[] = {{"badge.tga", 50, 0},
                 {"badge.dds", 11, 0},
                 {"badge_dxt1.dds", 128, 0} /* the generator keys alpha below 128 out */,
                 {"badge_dxt3.dds", 11, 200},
                 {"badge_dxt5.dds", 11, 200}};
    for (const auto& c : cases)
    {
        auto image = Load(base::StringToWString(folder + c.name));
        ASSERT_TRUE(image) << c.name;
        int differences = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                differences += image->IsOpaqueAt(x, y) != ((pixels[y * 64 + x] >> 24) >= c.threshold);
        EXPECT_LE(differences, c.tolerance) << c.name;
        EXPECT_TRUE(image->IsOpaqueAt(32, 40)) << c.name;
        EXPECT_FALSE(image->IsOpaqueAt(1, 62)) << c.name;
    }
}

TEST_F(Textures, AtlasImagesDrawAndHitTestThroughTheAtlasTexture)
{
    // Left half opaque, right half clear.
    std::vector<u32> atlas(8 * 8);
    for (u32 y = 0; y < 8; ++y)
        for (u32 x = 0; x < 8; ++x)
            atlas[y * 8 + x] = x < 4 ? 0xFFFFFFFF : 0x00000000;
    WriteFile(mDir.WPath("atlas.png"), EncodePng(8, 8, atlas, true));
    MapContainer container(mDir.WPath());
    base::ImageInfo right(L"right", 0, 0, 4, 8, 255, 0, 1, 0, 1.0f);
    right.mInAtlas = 1;
    right.mAtlasPath = mDir.WPath("atlas.png");
    right.mTextureOriginU = 0.5f;
    right.mTextureExtentU = 0.5f;
    base::ImageInfo left = right;
    left.mName = L"left";
    left.mTextureOriginU = 0.0f;
    container.mImages[L"right"] = right;
    container.mImages[L"left"] = left;

    auto rightImage = Load(L"right", &container);
    auto leftImage = Load(L"left", &container);
    ASSERT_TRUE(rightImage && leftImage);
    EXPECT_EQ(rightImage->GetTexture(), leftImage->GetTexture());
    EXPECT_EQ(nullptr, rightImage->GetResourceTexture()->GetOwnTexture());
    EXPECT_EQ(4, rightImage->GetAtlasOffsetX());
    EXPECT_FLOAT_EQ(1.0f, rightImage->GetAtlasScaleX());
    EXPECT_FALSE(rightImage->IsOpaqueAt(0, 0));
    EXPECT_TRUE(leftImage->IsOpaqueAt(3, 7));

    // Texture coordinates go into the atlas region.
    render::SVertex2D quad[2] = {};
    quad[1].u = 1.0f;
    quad[1].v = 1.0f;
    ASSERT_EQ(QL_OK, rightImage->MapTextureCoords(quad, render::GetVertexFormat<render::SVertex2D>(), 2));
    EXPECT_FLOAT_EQ(0.5f, quad[0].u);
    EXPECT_FLOAT_EQ(1.0f, quad[1].u);
    EXPECT_FLOAT_EQ(1.0f, quad[1].v);
    render::SVertexGeom geom[1] = {};
    EXPECT_EQ(QL_FAIL, rightImage->MapTextureCoords(geom, render::GetVertexFormat<render::SVertexGeom>(), 1));

    base::ImageInfo lost = right;
    lost.mName = L"lost";
    lost.mAtlasPath = mDir.WPath("no_atlas.png");
    container.mImages[L"lost"] = lost;
    EXPECT_FALSE(Load(L"lost", &container)) << "an atlas that does not load";
}

TEST_F(Textures, ContainerImagesKeepTheirDescriptionAndRawPixelsLoad)
{
    const std::vector<u32> pixels = {0x05FFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0x09000000};
    WriteFile(mDir.WPath("layer"), Bytes(reinterpret_cast<const u8*>(pixels.data()),
                                         reinterpret_cast<const u8*>(pixels.data()) + 16));
    MapContainer container(mDir.WPath());
    container.mImages[L"layer"] = base::ImageInfo(L"layer", 10, 20, 2, 2, 255, 3, 1, 1, 1.0f);
    base::ImageInfo info;
    render::Image* raw = nullptr;
    ASSERT_EQ(QL_OK, render::LoadImage(mHarness.mRender.get(), L"layer", &container, &raw, &info));
    std::unique_ptr<render::Image> owner(raw);
    EXPECT_FLOAT_EQ(10.0f, info.mX);
    EXPECT_EQ(3u, info.mIndex);
    EXPECT_FALSE(raw->IsOpaqueAt(0, 0));
    EXPECT_TRUE(raw->IsOpaqueAt(1, 0));
    EXPECT_FALSE(raw->IsOpaqueAt(1, 1));
}

TEST_F(Textures, DynamicImagesAndRenderTargetsOwnTheirTextures)
{
    render::Image* dynamic = nullptr;
    ASSERT_EQ(QL_OK, render::CreateImage(mHarness.mRender.get(), 8, 4, &dynamic));
    std::unique_ptr<render::Image> owner(dynamic);
    EXPECT_EQ(8, dynamic->GetWidth());
    u32 count = 0, pitch = 0;
    void* bits = nullptr;
    EXPECT_EQ(QL_OK, dynamic->Lock(&count, &pitch, &bits));
    EXPECT_EQ(QL_OK, dynamic->Unlock());
    EXPECT_FALSE(dynamic->IsOpaqueAt(0, 0)) << "no mask";
    EXPECT_EQ(QL_FAIL, render::CreateImage(mHarness.mRender.get(), 0, 4, &dynamic));
}

TEST(TexturesAtExit, AnImageThatOutlivesTheRenderReleasesItsTextureSafely)
{
    testsupport::TempDir dir;
    WriteFile(dir.WPath("late.png"), EncodePng(2, 2, Solid(2, 2, 0xFFFFFFFF), true));
    auto harness = std::make_unique<rendertest::Harness>(render::HeadlessWindow::Backend::Recording);
    ASSERT_TRUE(harness->Ok());
    render::Image* image = nullptr;
    ASSERT_EQ(QL_OK, render::LoadImage(harness->mRender.get(), dir.WPath("late.png"), nullptr, &image, nullptr));
    harness.reset(); // images and their texture resources may be released after the render
    EXPECT_EQ(nullptr, image->GetTexture()->GetRender());
    delete image; // the last reference unloads the resource
}
