// Texture resources on the recording device: file lookup, sharing and hit masks (atlases and
// container images are loaded through real containers in tests/Container).
#include "ImageBuilders.h"
#include "Render/RenderTestSupport.h"

#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Image/ImageLoader.h"
#include "Core/Media/Image/ResourceTexture.h"
#include "Core/Render/Texture.h"
#include "Core/Resource/ResourceManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace imagetest;

namespace
{
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
} // namespace

TEST_F(Textures, NamesLoadShareTexturesBrokenFilesMakeNoneDynamicOnesOwnTheirsHitMasksMatchImagesMayOutliveTheRender)
{
    WriteFile(mDir.WPath("a.png"), EncodePng(2, 3, std::vector<u32>(2 * 3, 0xFFFFFFFF), true));
    auto image = Load(mDir.WPath("a.png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(3, image->GetHeight());
    EXPECT_TRUE(image->IsValid());
    // A bare name tries .dds, .jpg, .gif, .png and .tga in that order.
    WriteFile(mDir.WPath("b.dds"), ContentImage("badge.dds"));
    WriteFile(mDir.WPath("b.png"), EncodePng(2, 2, std::vector<u32>(2 * 2, 0xFFFFFFFF), true));
    WriteFile(mDir.WPath("c.tga"), ContentImage("badge.tga"));
    WriteFile(mDir.WPath("c.png"), EncodePng(2, 2, std::vector<u32>(2 * 2, 0xFFFFFFFF), true));
    const std::pair<const char*, int> bare[] = {{"b", 64}, {"c", 2}};
    for (auto [name, width] : bare)
    {
        image = Load(mDir.WPath(name));
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(width, image->GetWidth()) << name;
    }
    EXPECT_FALSE(Load(mDir.WPath("nothing")));
    WriteFile(mDir.WPath("broken.png"), Bytes(100, 0x42));
    EXPECT_FALSE(Load(mDir.WPath("broken.png")));
    auto texture = resource::ResourceManager::Instance()->Get<resource::ResourceTexture>(mDir.WPath("broken.png"));
    EXPECT_FALSE(texture->IsLoaded());
    EXPECT_EQ(nullptr, texture->GetTexture());
    // Images of one name share their texture.
    WriteFile(mDir.WPath("shared.png"), EncodePng(2, 2, std::vector<u32>(2 * 2, 0xFFFFFFFF), true));
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
    // Dynamic images own their textures.
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

    // Hit masks match across formats and orientations.
    const std::string folder = std::string(QL_SOURCE_DIR) + "/content/td/data/images/";
    auto reference = Load(base::StringToWString(folder + "badge.png"));
    ASSERT_TRUE(reference);
    EXPECT_TRUE(reference->IsOpaqueAt(32, 32));
    EXPECT_FALSE(reference->IsOpaqueAt(0, 0));
    EXPECT_FALSE(reference->IsOpaqueAt(64, 0)) << "x = width";
    EXPECT_FALSE(reference->IsOpaqueAt(-1, 5));

    // The PNG's alpha, to apply each decoder's own threshold to.
    const Bytes png = ContentImage("badge.png");
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

    // An image that outlives its render releases its texture safely.
    testsupport::TempDir late;
    WriteFile(late.WPath("late.png"), EncodePng(2, 2, std::vector<u32>(2 * 2, 0xFFFFFFFF), true));
    auto harness = std::make_unique<rendertest::Harness>(render::HeadlessWindow::Backend::Recording);
    ASSERT_TRUE(harness->Ok());
    render::Image* outliving = nullptr;
    ASSERT_EQ(QL_OK, render::LoadImage(harness->mRender.get(), late.WPath("late.png"), nullptr, &outliving, nullptr));
    harness.reset(); // images and their texture resources may be released after the render
    EXPECT_EQ(nullptr, outliving->GetTexture()->GetRender());
    delete outliving; // the last reference unloads the resource
}
