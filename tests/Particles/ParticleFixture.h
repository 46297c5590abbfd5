// A drawing context (recording or headless OpenGL) with the particle system pointed at a
// temporary folder that holds the test atlas, and helpers to load libraries and start effects.
#pragma once

#include "Graphics/GraphicsFixture.h"
#include "Image/ImageBuilders.h"
#include "PtcBuilders.h"

#include "Core/Base/Singletone.h"
#include "Core/Base/StringConvert.h"
#include "Core/Media/Particles/ParticleSystem.h"
#include "Platform/Particles/Emitter.h"
#include "support/TempDir.h"

#include <memory>
#include <string>

namespace ptctest
{
class ParticleFixture : public graphicstest::GraphicsFixture
{
protected:
    explicit ParticleFixture(render::HeadlessWindow::Backend backend = render::HeadlessWindow::Backend::Recording,
                             u32 width = 64, u32 height = 64)
        : GraphicsFixture(backend, width, height)
    {
    }

    void SetUp() override
    {
        GraphicsFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const std::vector<u32> white(64, 0xFFFFFFFFu);
        const imagetest::Bytes png = imagetest::EncodePng(8, 8, white, true);
        mDir.Write("atlas.png", std::string(png.begin(), png.end()));
        System()->SetFolder(base::WideToUtf8(mDir.WPath()) + "/");
    }
    void TearDown() override
    {
        GraphicsFixture::TearDown();
        // The atlas images go while their render is alive; each test loads its own library.
        if (render::ParticleSystem::Exists())
            render::ParticleSystem::Instance()->UnloadAtlases();
    }

    static render::ParticleSystem* System() { return render::ParticleSystem::Instance(); }

    QLResultEnum Load(const std::string& body)
    {
        const std::string text = Library(body);
        return System()->LoadFromMemory(text.data(), text.size(), "test.ptc", mRender);
    }
    // A new instance of the effect placed at (x, y), playing, with its first step (bursts) done.
    std::unique_ptr<render::ParticleEmitter> Play(const std::string& name, float x = 0.0f, float y = 0.0f)
    {
        std::unique_ptr<render::ParticleEmitter> e(System()->CreateEmitter(name));
        if (!e)
            return nullptr;
        e->SetPosition(x, y, 1);
        e->SetState(1);
        e->Update(0.0);
        return e;
    }

    testsupport::TempDir mDir;
};
} // namespace ptctest
