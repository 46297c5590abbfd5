// Textures: hit masks, the three kinds, locking, and what survives a device loss.
#include "RecordingFixture.h"

#include "Core/Render/DX9/TextureDX9.h"
#include "Platform/Gpu/Dxt.h"

#include <gtest/gtest.h>

using namespace rendertest;

namespace
{
class Textures : public RecordingFixture
{
protected:
    render::TextureDX9* Make()
    {
        render::Texture* texture = nullptr;
        EXPECT_EQ(QL_OK, mRender->CreateTexture(&texture));
        mOwned.emplace_back(texture);
        return static_cast<render::TextureDX9*>(texture);
    }
    std::vector<std::unique_ptr<render::Texture>> mOwned;
};

// DXT1 data as stored: the texture shows it decoded.
class Dxt1Image : public render::ImageData
{
public:
    Dxt1Image()
    {
        mWidth = 4;
        mHeight = 4;
    }
    QLResultEnum Load(base::Stream*, const std::wstring&) override { return QL_OK; }
    u32 GetCompression() const override { return 1; }
    QLResultEnum CopyPixels(u32 pitch, u8* destination, render::HitMask& mask) override
    {
        // c0 = pure red, c1 = pure blue; all indices 0 except the last pixel (index 1).
        const u8 block[8] = {0x00, 0xF8, 0x1F, 0x00, 0x00, 0x00, 0x00, 0x40};
        EXPECT_EQ(8u, pitch);
        std::copy(block, block + 8, destination);
        mask[0] = true;
        return QL_OK;
    }
};

TEST_F(Textures, ImageTexturesKeepTheirPixelsAndAHitMaskAndCompressedOnesAreDecodedOnUpload)
{
    render::TextureDX9* texture = Make();
    PixelImage image(3, 2, {0xFF010203, 0x00FFFFFF, 0x80000000, 0x09000000, 0x0A000000, 0xFFFFFFFF});
    ASSERT_EQ(QL_OK, texture->CreateFromImage(image));
    EXPECT_EQ(3u, texture->GetWidth());
    EXPECT_EQ(2u, texture->GetHeight());
    // Opaque where alpha is 10 or more (not at alpha 9), nothing outside the image.
    const int at[][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {3, 0}, {-1, 0}, {0, 2}};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(i == 0 || i == 3, texture->IsOpaqueAt(at[i][0], at[i][1])) << at[i][0] << "," << at[i][1];
    const std::vector<u8>* data = mDevice->TextureData(texture->GetDeviceTexture());
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(0xFF010203u, reinterpret_cast<const u32*>(data->data())[0]);
    EXPECT_EQ(QL_FAIL, texture->Lock(nullptr, nullptr, nullptr)); // image textures cannot be locked
    EXPECT_EQ(QL_FAIL, texture->Unlock());
    // A loss leaves image textures untouched.
    const gpu::TextureId id = texture->GetDeviceTexture();
    ASSERT_EQ(QL_OK, mRender->LostDevice());
    EXPECT_EQ(id, texture->GetDeviceTexture());
    // Empty images and zero sizes make no texture.
    PixelImage empty(0, 0, {});
    EXPECT_EQ(QL_FAIL, Make()->CreateFromImage(empty));
    EXPECT_EQ(QL_FAIL, Make()->CreateRenderTarget(0, 16));
    EXPECT_EQ(QL_FAIL, Make()->CreateDynamic(16, 0));
    // Compressed data is decoded on upload.
    texture = Make();
    Dxt1Image compressed;
    ASSERT_EQ(QL_OK, texture->CreateFromImage(compressed));
    const auto* pixels = reinterpret_cast<const u32*>(mDevice->TextureData(texture->GetDeviceTexture())->data());
    EXPECT_EQ(0xFFFF0000u, pixels[0]);
    EXPECT_EQ(0xFF0000FFu, pixels[15]);
    EXPECT_TRUE(texture->IsOpaqueAt(0, 0));

    // Targets come back at their size after a reset; dynamic textures upload on unlock.
    render::TextureDX9* target = Make();
    ASSERT_EQ(QL_OK, target->CreateRenderTarget(40, 30));
    EXPECT_TRUE(target->IsRenderTarget());
    EXPECT_FALSE(target->IsOpaqueAt(0, 0));
    const gpu::TextureId before = target->GetDeviceTexture();
    ASSERT_EQ(QL_OK, mRender->ReleaseRender());
    EXPECT_EQ(0u, target->GetDeviceTexture());
    render::RenderInitParam param;
    param.mWidth = 64;
    param.mHeight = 64;
    ASSERT_EQ(QL_OK, mRender->ResetRender(param));
    EXPECT_NE(0u, target->GetDeviceTexture());
    EXPECT_NE(before, target->GetDeviceTexture());
    EXPECT_EQ(40u, target->GetWidth());
    EXPECT_EQ(30u, target->GetHeight());
    // Dynamic textures hand out their pixels and upload on unlock.
    render::TextureDX9* dynamic = Make();
    ASSERT_EQ(QL_OK, dynamic->CreateDynamic(5, 3));
    EXPECT_TRUE(dynamic->CanLock());
    u32 count = 0, pitch = 0;
    void* bits = nullptr;
    ASSERT_EQ(QL_OK, dynamic->Lock(&count, &pitch, &bits));
    EXPECT_EQ(15u, count);
    EXPECT_EQ(20u, pitch);
    EXPECT_EQ(QL_FAIL, dynamic->Lock(&count, &pitch, &bits)); // already locked
    static_cast<u32*>(bits)[14] = 0x12345678;
    ASSERT_EQ(QL_OK, dynamic->Unlock());
    const std::vector<u8>* dynamicData = mDevice->TextureData(dynamic->GetDeviceTexture());
    ASSERT_NE(nullptr, dynamicData);
    EXPECT_EQ(0x12345678u, reinterpret_cast<const u32*>(dynamicData->data())[14]);
    EXPECT_EQ(QL_FAIL, dynamic->Update(bits));
}
} // namespace
