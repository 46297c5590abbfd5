// battle_shot [out.png] [seconds] [beam]: plays the first demo level on real GL (headless) with a
// few towers built, draws one frame of the battle and writes it as a PNG. With "beam" a portal
// tower stands too, and the frame is the first one after the seconds with a teleport beam.
#include "Core/Base/Random.h"
#include "Core/Base/Singletone.h"
#include "Core/Base/StringConvert.h"
#include "Core/Media/Container/ImageContainers.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Resource/ResourceManager.h"
#include "Platform/Gpu/Device.h"
#include "PngFile.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDProfileStore.h"
#include "Source/TD/Draw/TDBattleDrawer.h"
#include "Source/TD/Draw/TDSpriteTableMetrics.h"
#include "Source/TD/Services/TDEngineParticles.h"
#include "Source/TD/Services/TDGraphicsCanvas.h"
#include "Source/TD/Services/TDRenderImages.h"
#include "Source/TD/Services/TDRenderTexture.h"
#include "Source/TD/Sprites/TDResources.h"
#include "Source/TD/Sprites/TDSpriteTable.h"
#include "Source/TD/Units/TDParticle.h"
#include "support/HeadlessWindow.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
constexpr u32 kWidth = 1024, kHeight = 768;

// Plays the battle and draws its last frame into pixels.
bool shoot(render::RenderDX9& renderer, float seconds, bool beam, std::vector<u32>& pixels)
{
    TDRenderTextureLoader loader(&renderer);
    TDResources* resources = TDResources::Instance();
    resources->setTextureLoader(&loader);
    for (const std::wstring& path : TDResources::battleSheets())
        resources->loadContainer(path);
    TDSpriteTable table(*resources);
    TDSpriteTableMetrics metrics(table, *resources);
    TDRenderImages images(loader, *resources);
    if (TDEngineParticles::load(&renderer) != QL_OK)
        std::fprintf(stderr, "battle_shot: no particle effects\n");
    TDEngineParticles particles;
    TDFolderFileSource files;
    TDFileSource::setCurrent(&files);
    TDDocumentProfileStore profiles;

    TDBattleServices services;
    services.images = &images;
    services.particles = &particles;
    services.sprites = &metrics;
    bool ok = false;
    {
        math::SetRandomSeed(77);
        TDMap map(services, profiles);
        map.mMode = kDifficultyNormal;
        if (map.loadLevel() == QL_OK)
        {
            if (map.mScreen == kScreenUnlockMessage)
                map.mScreen = kScreenBattle;
            map.mStats.mCoins += 1000;
            map.buildTower(1, 10000);
            map.buildTower(4, 10000);
            map.buildTower(2, 30000);
            map.buildTower(5, 20000);
            if (beam)
                map.buildTower(0, 80000);
            auto beamShown = [&map]
            {
                for (const auto& particle : map.mParticles)
                    if (const auto* b = dynamic_cast<const TDBeamParticle*>(&*particle); b && b->mGrow > 0.5f)
                        return true;
                return false;
            };
            const float dt = 1.0f / 60.0f;
            for (float t = 0.0f;
                 (t < seconds || (beam && !beamShown() && t < seconds + 60.0f)) && map.mScreen == kScreenBattle;
                 t += dt)
                map.update(dt);
            const bool shown = !beam || beamShown();
            if (!shown)
                std::fprintf(stderr, "battle_shot: no teleport beam within a minute\n");

            base::CountedPtr<render::BMFont> font =
                resource::ResourceManager::Instance()->Get<render::BMFont>(L"td/data/fonts/main_32_1.fnt");
            font->SetRender(&renderer);
            render::Font* waveFont = font->IsLoaded() || font->Load() == QL_OK ? font.Get() : nullptr;

            TDBattleDrawer drawer(map, *resources);
            drawer.setSpriteTable(&table);
            drawer.loadUiImages();
            std::vector<std::string> trace;
            if (std::getenv("BATTLE_SHOT_TRACE"))
                drawer.mTrace = &trace;
            if (shown && renderer.BeginScene() == QL_OK)
            {
                {
                    render::Graphics graphics(&renderer);
                    (void)graphics.Clear(1, 0xFF000000u, 1.0f, 0);
                    TDGraphicsCanvas canvas(graphics, waveFont, waveFont);
                    drawer.draw(canvas);
                    (void)graphics.Flush();
                }
                ok = renderer.EndScene() == QL_OK && renderer.Present() == QL_OK &&
                     renderer.ExecuteCommands() == QL_OK &&
                     renderer.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, &pixels) == QL_OK;
            }
            if (map.mScenery && !trace.empty())
                for (const TDSceneLayer& layer : map.mScenery->layers)
                {
                    const TDFrameEntry* e =
                        resources->getImage(base::StringToWString(map.mScenery->folder, 1), layer.name);
                    std::printf("layer %ls %.0f,%.0f %.0fx%.0f texture %d\n", layer.name.c_str(), layer.x, layer.y,
                                layer.width, layer.height, e && e->mImage ? 1 : 0);
                }
            for (const std::string& step : trace)
                std::printf("%s\n", step.c_str());
            std::printf("battle_shot: %.1f s, %zu units, %zu towers, health %.0f\n", map.mTime,
                        map.mWaves.mUnits.size(), map.mTowers.size(), map.mHealth);
        }
    }
    TDFileSource::setCurrent(nullptr);
    // Everything made on the renderer goes while it lives.
    loader.releaseAll();
    TDEngineParticles::unload();
    resources->setTextureLoader(nullptr);
    return ok;
}
} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path out = std::filesystem::absolute(argc > 1 ? argv[1] : "battle_shot.png");
    const float seconds = argc > 2 ? static_cast<float>(std::atof(argv[2])) : 20.0f;
    const bool beam = argc > 3 && std::string(argv[3]) == "beam";
    std::filesystem::current_path(QL_CONTENT_DIR);
    file::RegisterImageContainers();

    render::HeadlessWindow window(render::HeadlessWindow::Backend::Gl);
    if (!window.IsAvailable())
    {
        std::fprintf(stderr, "battle_shot: no headless GL: %s\n", window.WhyUnavailable().c_str());
        return 77; // skipped
    }
    auto renderer = std::make_unique<render::RenderDX9>();
    render::RenderInitParam param;
    param.mWidth = kWidth;
    param.mHeight = kHeight;
    if (renderer->InitRender(&window, param) != QL_OK)
    {
        std::fprintf(stderr, "battle_shot: the renderer did not start\n");
        return 1;
    }
    std::vector<u32> pixels;
    const bool ok = shoot(*renderer, seconds, beam, pixels) && writePng(out.string(), kWidth, kHeight, pixels);
    base::SingletoneBase::DestroyAll();
    renderer.reset();
    if (!ok)
    {
        std::fprintf(stderr, "battle_shot: no picture written\n");
        return 1;
    }
    std::printf("battle_shot: wrote %s\n", out.string().c_str());
    return 0;
}
