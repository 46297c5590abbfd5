// A demo battle with the engine's services: sheets uploaded to the recording device, drawn
// through the drawing context, and everything the renderer made released while it lives.
#include "BattleFixture.h"
#include "Graphics/GraphicsFixture.h"

#include "Core/Media/Particles/ParticleSystem.h"
#include "Source/TD/Services/TDEngineParticles.h"
#include "Source/TD/Services/TDEngineSound.h"
#include "Source/TD/Services/TDGraphicsCanvas.h"
#include "Source/TD/Services/TDRenderImages.h"
#include "Source/TD/Services/TDRenderTexture.h"
#include "Source/TD/Sprites/TDResources.h"
#include "Source/TD/Sprites/TDSpriteTable.h"
#include "Source/TD/Draw/TDBattleDrawer.h"
#include "Source/TD/Draw/TDSpriteTableMetrics.h"

#include <filesystem>

namespace
{
class BattleOnDevice : public graphicstest::GraphicsFixture
{
protected:
    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        GraphicsFixture::SetUp();
        mOld = std::filesystem::current_path();
        std::filesystem::current_path(QL_CONTENT_DIR);
        TDFileSource::setCurrent(&mFiles);
    }
    void TearDown() override
    {
        TDFileSource::setCurrent(nullptr);
        GraphicsFixture::TearDown();
        std::filesystem::current_path(mOld);
        base::SingletoneBase::DestroyAll();
    }
    std::filesystem::path mOld;
    TDFolderFileSource mFiles;
};
} // namespace

TEST_F(BattleOnDevice, TheFordIsDrawnWithItsSpritesAndReleasedBeforeTheRenderer)
{
    auto loader = std::make_unique<TDRenderTextureLoader>(mRender);
    TDResources* resources = TDResources::Instance();
    resources->setTextureLoader(loader.get());
    for (const std::wstring& path : TDResources::battleSheets())
        resources->loadContainer(path);
    TDSpriteTable table(*resources);
    TDSpriteTableMetrics metrics(table, *resources);
    TDRenderImages images(*loader, *resources);
    ASSERT_EQ(TDEngineParticles::load(mRender), QL_OK);
    TDEngineParticles particles;
    TDDocumentProfileStore profiles;
    TDBattleServices services;
    services.images = &images;
    services.particles = &particles;
    services.sprites = &metrics;

    math::SetRandomSeed(77);
    auto map = std::make_unique<TDMap>(services, profiles);
    map->mMode = 1;
    ASSERT_EQ(map->loadLevel(), QL_OK);
    if (map->mScreen == 11)
        map->mScreen = 0;
    // The background's layers and the spot pictures come from the art.
    ASSERT_TRUE(map->mScenery);
    EXPECT_GT(map->mScenery->layers.size(), 3u);
    EXPECT_FALSE(map->mScenery->effectPlaces.empty());
    EXPECT_GT(map->mScenery->spotSizes[0].width, 0);
    ASSERT_NE(map->buildTower(1, 10000), nullptr);
    ASSERT_NE(map->buildTower(4, 10000), nullptr);
    for (int i = 0; i < 60 * 12; ++i)
        map->update(1.0f / 60.0f);
    ASSERT_FALSE(map->mWaves.mUnits.empty());

    TDBattleDrawer drawer(*map, *resources);
    drawer.setSpriteTable(&table);
    drawer.loadUiImages();
    std::vector<std::string> trace;
    drawer.mTrace = &trace;
    {
        TDGraphicsCanvas canvas(*mGraphics, nullptr, nullptr);
        drawer.draw(canvas);
        EXPECT_EQ(mGraphics->mTransform, nullptr);
    }
    const size_t towers = static_cast<size_t>(std::count(trace.begin(), trace.end(), "tower:10000"));
    // The background's pictures come first, the ambient-effect places left out.
    const size_t layers = map->mScenery->layers.size() - map->mScenery->effectPlaces.size();
    ASSERT_GE(trace.size(), layers);
    EXPECT_EQ(static_cast<size_t>(std::count(trace.begin(), trace.begin() + static_cast<long>(layers), "background")),
              layers);
    size_t units = 0;
    for (const std::string& step : trace)
        units += step.rfind("unit:", 0) == 0;
    EXPECT_EQ(towers, 2u);
    EXPECT_GT(units, 0u);
    // Background layers, spots, towers, units and shadows all reach the device as draws.
    const auto draws = rendertest::Only(EndAndDecode(), render::CMD_DRAW_INDEXED);
    EXPECT_GE(draws.size(), map->mScenery->layers.size() - map->mScenery->effectPlaces.size() + towers + units);

    // Exit: the battle, then the textures and atlases while the renderer lives.
    map.reset();
    EXPECT_GT(loader->liveCount(), 10u);
    loader.reset();
    TDEngineParticles::unload();
    resources->setTextureLoader(nullptr);
    EXPECT_EQ(render::ParticleSystem::Instance()->GetAtlasCount(), 0u);
}

TEST(ProgressVolumes, FollowTheStoredSettings)
{
    base::SingletoneBase::DestroyAll();
    tdtest::TableSprites sprites;
    TDDocumentProfileStore profiles;
    TDMemoryFileSource files;
    TDFileSource::setCurrent(&files);
    {
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
}
