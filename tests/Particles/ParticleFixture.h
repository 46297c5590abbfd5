// Small effect libraries (one 8 x 8 white atlas, emitters whose particles stand still); a drawing
// context (recording or headless OpenGL) with the particle system pointed at a temporary folder
// that holds the test atlas, and helpers to load libraries and start effects; and for the tests
// that draw nothing, fresh singletons, the log captured and a temporary folder.
#pragma once

#include "Audio/LogCapture.h"
#include "Graphics/GraphicsFixture.h"
#include "Image/ImageBuilders.h"

#include "Core/Base/Singletone.h"
#include "Core/Base/StringConvert.h"
#include "Core/Media/Particles/ParticleSystem.h"
#include "Platform/Particles/Emitter.h"
#include "support/TempDir.h"

#include <memory>
#include <string>

namespace ptctest
{
// An atlas "atlas.png" of 8 x 8 pixels: "white" is the whole of it, "left" its left half.
inline std::string Atlas()
{
    return "<atlas file=\"atlas.png\" width=\"8\" height=\"8\">"
           "<frame name=\"white\" x=\"0\" y=\"0\" w=\"8\" h=\"8\"/>"
           "<frame name=\"left\" x=\"0\" y=\"0\" w=\"4\" h=\"8\"/></atlas>";
}

// A library holding the atlas and the given emitters at the top level.
inline std::string Library(const std::string& body)
{
    return "<?xml version=\"1.0\"?><effects version=\"1\">" + Atlas() + body + "</effects>";
}

// An emitter whose particles do not move: `burst` of them at the emitter, size 10 unless `extra`
// gives one, living 5 seconds, in one colour.
inline std::string StillEmitter(const std::string& name, int burst, const std::string& argb = "ffffffff",
                                const std::string& extra = "")
{
    const std::string size = extra.find("size=") == std::string::npos ? "size=\"10\" " : "";
    return "<emitter name=\"" + name + "\" duration=\"0.1\"><particles texture=\"white\" burst=\"" +
           std::to_string(burst) + "\" max=\"100000\" life=\"5\" " + size + extra + "><color t=\"0\" argb=\"" + argb +
           "\"/></particles></emitter>";
}

// The game's effects in the order of their reference picture: the lasting ones play for as long
// as their owner shows them, the others end by themselves; each is pictured after `seconds`,
// drawn at `scale`.
struct GameEffect
{
    const char* name;
    bool lasting;
    double seconds;
    float scale;
};
inline constexpr GameEffect kGameEffects[] = {
    {"build", false, 0.12, 1.0f}, {"upgrade", false, 0.4, 1.0f},   {"damage_h", false, 0.08, 2.0f},
    {"mg_00", false, 0.08, 2.0f}, {"blow_bub", false, 0.3, 1.5f},  {"hammer", false, 0.12, 1.0f},
    {"t_line", false, 0.5, 1.0f}, {"portal_1", false, 1.5, 1.0f},  {"blik_6", false, 0.25, 1.5f},
    {"active", true, 1.5, 1.0f},  {"active_btn", true, 1.5, 1.0f}, {"active_lvl", true, 1.5, 1.0f},
    {"blik_1", true, 2.0, 1.5f},  {"blik_2", true, 2.0, 1.0f},     {"blik_4", true, 2.0, 1.0f},
    {"tr1", false, 1.5, 1.0f},    {"bird", false, 1.0, 1.0f},      {"fog_01", true, 1.0, 0.3f}};

inline render::ParticleSystem* System() { return render::ParticleSystem::Instance(); }

// Loads a library of the test atlas and the given emitters as "test.ptc".
inline QLResultEnum Load(const std::string& body, render::Render* render)
{
    const std::string text = Library(body);
    return System()->LoadFromMemory(text.data(), text.size(), "test.ptc", render);
}

class LoggedTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        mLog = std::make_unique<audiotest::LogCapture>();
        System()->SetFolder(base::WideToUtf8(mDir.WPath()) + "/");
    }
    void TearDown() override { base::SingletoneBase::DestroyAll(); }
    bool Logged(const std::string& part) const { return mLog->Count(part) > 0; }

    std::unique_ptr<audiotest::LogCapture> mLog;
    testsupport::TempDir mDir;
};

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

    QLResultEnum Load(const std::string& body) { return ptctest::Load(body, mRender); }
    // A new instance of the effect placed at (x, y), playing, with its first step (bursts) done.
    std::unique_ptr<render::ParticleEmitter> Play(const std::string& name, float x = 0.0f, float y = 0.0f)
    {
        std::unique_ptr<render::ParticleEmitter> e(System()->CreateEmitter(name));
        if (!e)
            return nullptr;
        e->SetPosition(x, y, 1);
        e->SetState(render::ParticleEmitter::PLAYING);
        e->Update(0.0);
        return e;
    }

    testsupport::TempDir mDir;
};
} // namespace ptctest
