// The battle's engine services: sheet pictures on the recording device, the drawing canvas and
// interface painter, the effect library, sounds and the volumes read from the progress.
#include "BattleFixture.h"
#include "Graphics/GraphicsFixture.h"

#include "Core/Media/Particles/ParticleEmitter.h"
#include "Core/Media/Particles/ParticleSystem.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Platform/Audio/NullDevice.h"
#include "Source/TD/Services/TDEngineParticles.h"
#include "Source/TD/Services/TDEngineSound.h"
#include "Source/TD/Services/TDGraphicsCanvas.h"
#include "Source/TD/Services/TDGraphicsUiPainter.h"
#include "Source/TD/Services/TDRenderImages.h"
#include "Source/TD/Services/TDRenderTexture.h"
#include "Source/TD/Sprites/TDImageSheet.h"
#include "Source/TD/Sprites/TDResources.h"
#include "support/TempDir.h"

#include <cmath>
#include <filesystem>
#include <limits>

namespace
{
// A sheet whose pictures keep solid pixels of one colour.
struct PixelSheet : TDImageSheet
{
    std::vector<std::vector<u32>> data;
    PixelSheet() : TDImageSheet(L"td/test") {}
    void addPicture(const std::wstring& name, float w, float h, u32 argb)
    {
        TDSheetImage image;
        image.mName = name;
        image.mWidth = w;
        image.mHeight = h;
        image.mIndex = static_cast<u32>(imageCount());
        add(image);
        const size_t n = std::isfinite(w) && std::isfinite(h) && w > 0 && h > 0 ? static_cast<size_t>(w * h) : 0;
        data.emplace_back(n, argb);
    }
    const u32* pixels(size_t i) const override { return data[i].empty() ? nullptr : data[i].data(); }
};

class Services : public graphicstest::GraphicsFixture
{
protected:
    void TearDown() override
    {
        mCanvas.reset();
        GraphicsFixture::TearDown();
        base::SingletoneBase::DestroyAll();
    }
    std::unique_ptr<TDGraphicsCanvas> mCanvas;
};
} // namespace

TEST_F(Services, SheetPicturesBecomeImagesThatGoBeforeTheRenderer)
{
    PixelSheet sheet;
    sheet.addPicture(L"a", 8, 4, 0xFF00FF00u);
    sheet.addPicture(L"empty", 0, 4, 0);
    sheet.addPicture(L"nan", std::numeric_limits<float>::quiet_NaN(), 4, 0);
    auto loader = std::make_unique<TDRenderTextureLoader>(mRender);
    EXPECT_TRUE(loader->wantsPixels());
    std::unique_ptr<TDTexture> a = loader->load(sheet, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->width(), 8);
    EXPECT_EQ(a->height(), 4);
    auto* texture = dynamic_cast<TDRenderTexture*>(a.get());
    ASSERT_NE(texture, nullptr);
    ASSERT_NE(texture->image(), nullptr);
    EXPECT_TRUE(texture->image()->IsOpaqueAt(1, 1));
    EXPECT_EQ(loader->load(sheet, 1), nullptr);
    EXPECT_EQ(loader->load(sheet, 2), nullptr);
    EXPECT_EQ(loader->load(sheet, 9), nullptr);
    EXPECT_EQ(loader->loadPicture(L"td/no/such/picture.png"), nullptr);
    EXPECT_EQ(loader->liveCount(), 1u);

    // Released, the loader makes no more textures.
    auto second = loader->load(sheet, 0);
    loader->releaseAll();
    EXPECT_EQ(loader->liveCount(), 0u);
    EXPECT_FALSE(loader->wantsPixels());
    EXPECT_EQ(loader->load(sheet, 0), nullptr);

    // The loader goes first (as it does before the renderer): the texture keeps its size only.
    loader.reset();
    EXPECT_EQ(texture->image(), nullptr);
    EXPECT_EQ(texture->width(), 8);
    a.reset();
}

TEST_F(Services, CanvasPlacesImagesThroughTheBattleTransformAndTintsUnitsByTheKindsFillColour)
{
    PixelSheet sheet;
    sheet.addPicture(L"a", 8, 4, 0xFFFFFFFFu);
    TDRenderTextureLoader loader(mRender);
    auto texture = loader.load(sheet, 0);
    ASSERT_NE(texture, nullptr);
    mCanvas = std::make_unique<TDGraphicsCanvas>(*mGraphics, nullptr, nullptr);

    graphicstest::CaptureTransformer capture;
    mCanvas->pushTransform(0.5f, 100.0f, 10.0f);
    EXPECT_NE(mGraphics->mTransform, nullptr);
    math::Transform2D t;
    t.Translate(40.0f, 20.0f);
    mCanvas->drawImage(texture.get(), 8, 4, t, false);
    render::SVertex2D* v = CacheVertices<render::SVertex2D>();
    ASSERT_NE(v, nullptr);
    float cx = 0.0f, cy = 0.0f, minX = 1e9f, maxX = -1e9f;
    for (int i = 0; i < 4; ++i)
    {
        cx += v[i].x / 4.0f;
        cy += v[i].y / 4.0f;
        minX = std::min(minX, v[i].x);
        maxX = std::max(maxX, v[i].x);
    }
    // Centred on (40, 20), scaled by 0.5 and moved by the offset; then the half-pixel step.
    EXPECT_NEAR(cx, 120.0f - 0.5f, 1e-3f);
    EXPECT_NEAR(cy, 20.0f - 0.5f, 1e-3f);
    EXPECT_NEAR(maxX - minX, 4.0f, 1e-3f);

    // Nested levels compose; popping returns to the context's own transform.
    mCanvas->pushTransform(2.0f, 10.0f, 0.0f);
    mCanvas->popTransform();
    mCanvas->popTransform();
    EXPECT_EQ(mGraphics->mTransform, nullptr);
    mCanvas->popTransform(); // one too many is harmless
    EXPECT_EQ(mGraphics->mTransform, nullptr);
    mCanvas->drawImage(nullptr, 8, 4, t, false);

    // The unit shader tints by the kind's fill colour.
    mCanvas->setColor({1.0f, 1.0f, 1.0f, 0.5f});
    mCanvas->setUnitShader(0xFF804000u);
    const float* c = mGraphics->GetColor();
    EXPECT_NEAR(c[0], 128.0f / 255.0f, 1e-5f);
    EXPECT_NEAR(c[1], 64.0f / 255.0f, 1e-5f);
    EXPECT_NEAR(c[2], 0.0f, 1e-5f);
    EXPECT_NEAR(c[3], 0.5f, 1e-5f);
    mCanvas->setShaderMode(kShaderMultiply);
    EXPECT_NEAR(mGraphics->GetColor()[1], 1.0f, 1e-5f);
}

TEST_F(Services, EmittersOfTheGamesEffectLibrary)
{
    testsupport::InFolder here(QL_CONTENT_DIR); // where "td/..." resolves
    ASSERT_EQ(TDEngineParticles::load(mRender), QL_OK);
    TDEngineParticles particles;
    EXPECT_EQ(particles.createEmitter(L"no_such_effect"), nullptr);
    std::vector<std::string> names = render::ParticleSystem::Instance()->GetEmitterNames();
    ASSERT_FALSE(names.empty());
    std::unique_ptr<TDEmitter> emitter = particles.createEmitter(std::wstring(names[0].begin(), names[0].end()));
    ASSERT_NE(emitter, nullptr);
    emitter->setLoopMode(1);
    emitter->setAngle(90.0f);
    emitter->setPosition(30.0f, 40.0f);
    emitter->setState(kEmitterPlaying);
    EXPECT_EQ(emitter->state(), kEmitterPlaying);
    emitter->update(0.1);
    float x = 0.0f, y = 0.0f;
    static_cast<TDEngineEmitter&>(*emitter).emitter().GetPosition(x, y);
    EXPECT_FLOAT_EQ(x, 30.0f);
    EXPECT_FLOAT_EQ(y, 40.0f);

    mCanvas = std::make_unique<TDGraphicsCanvas>(*mGraphics, nullptr, nullptr);
    mCanvas->drawEmitter(*emitter);
    emitter.reset();
    TDEngineParticles::unload();
    EXPECT_EQ(render::ParticleSystem::Instance()->GetAtlasCount(), 0u);

    // The service takes the atlases along when it goes.
    ASSERT_EQ(TDEngineParticles::load(mRender), QL_OK);
    ASSERT_GT(render::ParticleSystem::Instance()->GetAtlasCount(), 0u);
    {
        TDEngineParticles service;
    }
    EXPECT_EQ(render::ParticleSystem::Instance()->GetAtlasCount(), 0u);
}

TEST(EngineSound, EmptyMusicStopsTheTrackAndVolumesComeFromTheProgress)
{
    base::SingletoneBase::DestroyAll();
    audio::SetDeviceFactory([]() -> std::unique_ptr<audio::Device> { return audio::NullDevice::Manual(); });
    {
        testsupport::InFolder here(QL_CONTENT_DIR); // where "td/..." resolves
        TDEngineSoundTags tags;
        tags.load(L"td/sounds_sheet.csv");
        EXPECT_FALSE(k2::SoundTags::Instance()->GetEntries().empty());
        tags.playMusic(L"td/data/music/ingame1.ogg");
        EXPECT_FALSE(SoundSystem::Instance()->GetCurrentMusic().empty() &&
                     SoundSystem::Instance()->GetNextMusic().empty());
        tags.playMusic(L"");
        EXPECT_TRUE(SoundSystem::Instance()->GetCurrentMusic().empty());
        EXPECT_FALSE(SoundSystem::Instance()->GetMusicChannel());
        tags.play(L"no_such_tag");
    }
    TDMemoryFileSource files;
    TDFileSource::setCurrent(&files);
    {
        tdtest::TableSprites sprites;
        TDDocumentProfileStore profiles;
        TDBattleServices services;
        services.sprites = &sprites;
        TDMap map(services, profiles);
        TDProgressVolumes volumes(*map.mProgress);
        map.mProgress->setSoundVolume(0.25f);
        map.mProgress->setMusicVolume(0.75f);
        EXPECT_FLOAT_EQ(volumes.GetSoundVolume(), 0.25f);
        EXPECT_FLOAT_EQ(volumes.GetMusicVolume(), 0.75f);
    }
    TDFileSource::setCurrent(nullptr);
    base::SingletoneBase::DestroyAll();
    audio::SetDeviceFactory(nullptr);
}

TEST_F(Services, InterfacePiecesBecomeDrawsOfTheContext)
{
    TDRenderTextureLoader loader(mRender);
    TDResources* resources = TDResources::Instance();
    resources->setTextureLoader(&loader);
    resources->setSheetOpener(
        [](const std::wstring& path, bool) -> std::shared_ptr<TDImageSheet>
        {
            if (path != L"td/ui")
                return nullptr;
            auto sheet = std::make_shared<PixelSheet>();
            sheet->addPicture(L"ui/sell", 6, 6, 0xFFFF0000u);
            return sheet;
        });
    TDGraphicsUiPainter painter(*mGraphics, *resources, nullptr);
    painter.drawUiImage(L"ui/sell", 20.0f, 20.0f, 1.0f, TDColor{});
    painter.drawUiImage(L"ui/missing", 20.0f, 20.0f, 1.0f, TDColor{});
    painter.drawLine(0.0f, 0.0f, 10.0f, 10.0f, TDColor{1.0f, 0.0f, 0.0f, 1.0f});
    painter.drawText(L"no font", 5.0f, 5.0f, TDColor{});
    EXPECT_FALSE(painter.setFont(L"wave"));
    painter.addFont(L"wave", nullptr);
    EXPECT_FALSE(painter.setFont(L"wave"));
    EXPECT_EQ(QL_OK, mGraphics->Flush());
    const auto commands = EndAndDecode();
    EXPECT_EQ(rendertest::Only(commands, render::CMD_DRAW_INDEXED).size(), 1u); // the picture
    EXPECT_EQ(rendertest::Only(commands, render::CMD_DRAW).size(), 1u);         // the line
    // The colour is white again after each piece.
    EXPECT_FLOAT_EQ(mGraphics->GetColor()[1], 1.0f);
    resources->setTextureLoader(nullptr);
}
