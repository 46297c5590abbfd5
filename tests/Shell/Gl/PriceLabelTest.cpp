// The ring menu's price labels through the game's own painter on real OpenGL (headless EGL): "$"
// and "#" become the coin and crystal pictures of "td/ui", in one row centred on its point.
#include "Graphics/GraphicsFixture.h"

#include "Core/Base/Singletone.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Resource/ResourceManager.h"
#include "Source/TD/Services/TDRenderImages.h"
#include "Source/TD/Services/TDRenderTexture.h"
#include "Source/TD/Shell/TDShellPainter.h"
#include "Source/TD/Sprites/TDImageSheet.h"
#include "Source/TD/Sprites/TDResources.h"
#include "support/GlReadback.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>

namespace
{
// "td/ui" with the coin a yellow and the crystal a cyan square of 12 pixels.
struct IconSheet : TDImageSheet
{
    std::vector<std::vector<u32>> data;
    IconSheet() : TDImageSheet(L"td/ui")
    {
        addPicture(L"ui/context_money", 0xFFFFFF00u);
        addPicture(L"ui/context_gem", 0xFF00FFFFu);
    }
    void addPicture(const std::wstring& name, u32 argb)
    {
        TDSheetImage image;
        image.mName = name;
        image.mWidth = image.mHeight = 12.0f;
        image.mIndex = static_cast<u32>(imageCount());
        add(image);
        data.emplace_back(144, argb);
    }
    const u32* pixels(size_t i) const override { return data[i].data(); }
};

// The pixels of one colour: their bounding box, empty when there are none.
struct Box
{
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    bool empty() const { return right < left; }
};

class PriceLabel : public graphicstest::GraphicsFixture
{
protected:
    static constexpr u32 kWidth = 256, kHeight = 64;
    PriceLabel() : GraphicsFixture(render::HeadlessWindow::Backend::Gl, kWidth, kHeight) {}
    void TearDown() override
    {
        TDResources::Instance()->setTextureLoader(nullptr);
        mFont = base::CountedPtr<render::BMFont>();
        GraphicsFixture::TearDown();
        base::SingletoneBase::DestroyAll();
    }

    // The label drawn white on black at the middle of the frame; the frame read back.
    std::vector<u32> Draw(const std::wstring& text)
    {
        testsupport::InFolder here(QL_CONTENT_DIR); // where "td/..." resolves
        if (!mRender->IsInScene())
        {
            EXPECT_EQ(QL_OK, mRender->BeginScene());
        }
        mFont = resource::ResourceManager::Instance()->Get<render::BMFont>(L"td/data/fonts/main_32_1");
        mFont->SetRender(mRender);
        if (!mFont->IsLoaded())
        {
            EXPECT_EQ(QL_OK, mFont->Load());
        }
        TDRenderTextureLoader loader(mRender);
        TDResources& resources = *TDResources::Instance();
        resources.setTextureLoader(&loader);
        resources.setSheetOpener([](const std::wstring& path, bool) -> std::shared_ptr<TDImageSheet>
                                 { return path == L"td/ui" ? std::make_shared<IconSheet>() : nullptr; });
        TDRenderImages images(loader, resources);
        TDShellPainter painter(*mGraphics, images, [this](const std::wstring&) { return mFont.Get(); });
        EXPECT_EQ(QL_OK, mGraphics->Clear(1, 0xFF000000u, 1.0f, 0));
        mGraphics->mFont = mFont.Get();
        painter.drawText(text, 128.0f, 32.0f, TDColor{1.0f, 1.0f, 1.0f, 1.0f});
        mGraphics.reset();
        std::vector<u32> pixels = testsupport::ReadFrame(mRender, kWidth, kHeight);
        mGraphics = std::make_unique<render::Graphics>(mRender);
        resources.setTextureLoader(nullptr);
        return pixels;
    }
    static Box Find(const std::vector<u32>& pixels, u32 argb)
    {
        Box box;
        for (int y = 0; y < static_cast<int>(kHeight); ++y)
            for (int x = 0; x < static_cast<int>(kWidth); ++x)
                if (testsupport::Near(
                        argb, pixels[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)] | 0xFF000000u, 8))
                {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
        return box;
    }
    // Columns holding some of the white text, within [from, to].
    static int TextColumns(const std::vector<u32>& pixels, int from, int to)
    {
        int columns = 0;
        for (int x = std::max(from, 0); x <= std::min(to, static_cast<int>(kWidth) - 1); ++x)
            for (u32 y = 0; y < kHeight; ++y)
            {
                const u32 p = pixels[y * kWidth + static_cast<u32>(x)];
                if ((p & 0xFF) > 160 && (p >> 8 & 0xFF) > 160 && (p >> 16 & 0xFF) > 160)
                {
                    ++columns;
                    break;
                }
            }
        return columns;
    }

    base::CountedPtr<render::BMFont> mFont;
};
} // namespace

TEST_F(PriceLabel, CoinAndCrystalPicturesStandForTheirCharactersInARowCentredOnItsPoint)
{
    const std::vector<u32> pixels = Draw(L"$50; #2");
    const Box coin = Find(pixels, 0xFFFFFF00u), gem = Find(pixels, 0xFF00FFFFu);
    ASSERT_FALSE(coin.empty()) << "the coin picture";
    ASSERT_FALSE(gem.empty()) << "the crystal picture";
    // Whole pictures, 12 pixels square, centred on the row's line.
    EXPECT_EQ(std::pair(coin.right - coin.left, coin.bottom - coin.top), std::pair(11, 11));
    EXPECT_EQ(std::pair(gem.right - gem.left, gem.bottom - gem.top), std::pair(11, 11));
    EXPECT_NEAR(coin.top, 26, 1);
    EXPECT_NEAR(gem.top, 26, 1);
    // "$" first, then "50; " between the pictures, "#" and "2" after it; nothing before the coin.
    EXPECT_LT(coin.right, gem.left);
    EXPECT_EQ(0, TextColumns(pixels, 0, coin.left - 1));
    EXPECT_GT(TextColumns(pixels, coin.right + 1, gem.left - 1), 20) << "50;";
    const int after = TextColumns(pixels, gem.right + 1, static_cast<int>(kWidth) - 1);
    EXPECT_GT(after, 5) << "2";
    // The row is centred on x 128: the coin starts as far left of it as the text ends right.
    int end = gem.right;
    while (end + 1 < static_cast<int>(kWidth) && TextColumns(pixels, end + 1, static_cast<int>(kWidth) - 1) > 0)
        ++end;
    EXPECT_NEAR((coin.left + end) * 0.5, 128.0, 3.0) << coin.left << ".." << end;

    // A label without either character is plain text: no pictures.
    const std::vector<u32> plain = Draw(L"50");
    EXPECT_TRUE(Find(plain, 0xFFFFFF00u).empty());
    EXPECT_GT(TextColumns(plain, 0, static_cast<int>(kWidth) - 1), 10);
}
