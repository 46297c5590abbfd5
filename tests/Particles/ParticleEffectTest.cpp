// Effect instances and the library: play, finish and stop as the game uses them, loading
// through the file manager, damaged and missing libraries, and the game's own effects.
#include "PtcBuilders.h"

#include "Core/Base/Singletone.h"
#include "Core/Base/StringConvert.h"
#include "Core/Media/Particles/ParticleSystem.h"
#include "Platform/Particles/Emitter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ptctest;
using render::ParticleEmitter;

namespace
{
class ParticleEffects : public ::testing::Test
{
protected:
    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        mLog = CaptureLog();
        System()->SetFolder(base::WideToUtf8(mDir.WPath()) + "/");
    }
    void TearDown() override { base::SingletoneBase::DestroyAll(); }

    static render::ParticleSystem* System() { return render::ParticleSystem::Instance(); }
    QLResultEnum Load(const std::string& body)
    {
        const std::string text = Library(body);
        return System()->LoadFromMemory(text.data(), text.size(), "test.ptc", nullptr);
    }
    std::unique_ptr<ParticleEmitter> Create(const std::string& name)
    {
        return std::unique_ptr<ParticleEmitter>(System()->CreateEmitter(name));
    }
    static u32 Count(const ParticleEmitter& e) { return e.GetEmitter()->ParticleCount(); }
    // Frames of 1/60 s until the effect leaves the playing and finishing states; -1 past `limit`.
    static double SecondsToStop(ParticleEmitter& e, double limit)
    {
        for (int i = 1; i <= static_cast<int>(limit * 60.0); ++i)
        {
            e.Update(1.0 / 60.0);
            if (e.GetState() == ParticleEmitter::STOPPED)
                return i / 60.0;
        }
        return -1.0;
    }
    bool Logged(const std::wstring& part) const { return mLog->find(part) != std::wstring::npos; }

    testsupport::TempDir mDir;
    std::shared_ptr<std::wstring> mLog;
};

const char* kStream = "<emitter name=\"stream\"><particles texture=\"white\" rate=\"100\" life=\"0.5\"/></emitter>";
const char* kOnce = "<emitter name=\"once\" duration=\"0.2\"><particles texture=\"white\" rate=\"50\" life=\"0.3\"/>"
                    "</emitter>";
} // namespace

TEST_F(ParticleEffects, NewInstancesAreStoppedAndShowNothingUntilPlayed)
{
    ASSERT_EQ(QL_OK, Load(kStream));
    auto e = Create("stream");
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(ParticleEmitter::STOPPED, e->GetState());
    e->Update(1.0);
    EXPECT_EQ(0u, Count(*e));
    e->SetState(ParticleEmitter::PLAYING);
    e->Update(0.1);
    EXPECT_NEAR(10.0, Count(*e), 1.0);
}

TEST_F(ParticleEffects, FinishingThenPlayingAgainKeepsThePlaceInTheTimeline)
{
    ASSERT_EQ(QL_OK, Load(kStream));
    auto e = Create("stream");
    e->SetState(ParticleEmitter::PLAYING);
    for (int i = 0; i < 30; ++i)
        e->Update(1.0 / 60.0);
    e->SetState(ParticleEmitter::FINISHING);
    EXPECT_TRUE(e->GetEmitter()->IsInterrupted());
    e->Update(0.1);
    const u32 left = Count(*e);
    const double time = e->GetEmitter()->TimelineSeconds();
    EXPECT_GT(left, 0u);
    e->SetState(ParticleEmitter::PLAYING);
    EXPECT_FALSE(e->GetEmitter()->IsInterrupted());
    EXPECT_EQ(left, Count(*e)); // not started over
    EXPECT_EQ(time, e->GetEmitter()->TimelineSeconds());
    e->Update(0.6);
    EXPECT_NEAR(50.0, Count(*e), 2.0); // emitting again: a full stream
}

TEST_F(ParticleEffects, PlayingAfterTheFinishedEffectDiedStartsItOver)
{
    ASSERT_EQ(QL_OK, Load(kStream));
    auto e = Create("stream");
    e->SetState(ParticleEmitter::PLAYING);
    e->Update(0.5);
    e->SetState(ParticleEmitter::FINISHING);
    const double seconds = SecondsToStop(*e, 2.0);
    EXPECT_GT(seconds, 0.0);
    EXPECT_LE(seconds, 0.55);
    EXPECT_FALSE(e->GetEmitter()->InInterval());
    e->SetState(ParticleEmitter::PLAYING);
    EXPECT_TRUE(e->GetEmitter()->InInterval());
    EXPECT_EQ(0.0, e->GetEmitter()->TimelineSeconds());
}

TEST_F(ParticleEffects, StoppingAFinishingEffectLeavesItAlone)
{
    ASSERT_EQ(QL_OK, Load(kStream));
    auto e = Create("stream");
    e->SetState(ParticleEmitter::PLAYING);
    e->Update(0.2);
    e->SetState(ParticleEmitter::FINISHING);
    const u32 before = Count(*e);
    e->SetState(ParticleEmitter::STOPPED);
    EXPECT_EQ(before, Count(*e));
    EXPECT_TRUE(e->GetEmitter()->InInterval());
    // A playing effect that is stopped is emptied.
    e->SetState(ParticleEmitter::PLAYING);
    e->Update(0.2);
    EXPECT_GT(Count(*e), 0u);
    e->SetState(ParticleEmitter::STOPPED);
    EXPECT_EQ(0u, Count(*e));
    EXPECT_FALSE(e->GetEmitter()->InInterval());
}

TEST_F(ParticleEffects, AnEffectThatEndsWhilePlayingIsStoppedAfterThatUpdate)
{
    ASSERT_EQ(QL_OK, Load(kOnce));
    auto e = Create("once");
    e->SetState(ParticleEmitter::PLAYING);
    const double seconds = SecondsToStop(*e, 5.0);
    EXPECT_GT(seconds, 0.45);
    EXPECT_LT(seconds, 0.55);
    EXPECT_EQ(0u, Count(*e));
    EXPECT_FALSE(e->GetEmitter()->InInterval());
}

TEST_F(ParticleEffects, LoopModesComeFromTheCaller)
{
    ASSERT_EQ(QL_OK, Load(kOnce));
    auto e = Create("once");
    EXPECT_EQ(particles::LOOP_ONCE, e->GetEmitter()->GetLoopMode()); // as loaded
    e->SetLoopMode(1);
    EXPECT_EQ(particles::LOOP_REPEAT, e->GetEmitter()->GetLoopMode());
    e->SetState(ParticleEmitter::PLAYING);
    EXPECT_EQ(-1.0, SecondsToStop(*e, 5.0));
    e->SetLoopMode(2);
    EXPECT_EQ(particles::LOOP_FOREVER, e->GetEmitter()->GetLoopMode());
    e->SetLoopMode(7);
    EXPECT_EQ(particles::LOOP_ONCE, e->GetEmitter()->GetLoopMode());
    EXPECT_GT(SecondsToStop(*e, 5.0), 0.0);
}

TEST_F(ParticleEffects, TwoInstancesOfOneEffectMoveAndEndIndependently)
{
    ASSERT_EQ(QL_OK, Load(kOnce));
    auto a = Create("once");
    auto b = Create("once");
    a->SetPosition(10.0f, 20.0f, 1);
    b->SetPosition(-5.0f, 0.0f, 0);
    float x = 0.0f, y = 0.0f;
    a->GetPosition(x, y);
    EXPECT_EQ(10.0f, x);
    EXPECT_EQ(20.0f, y);
    b->GetPosition(x, y);
    EXPECT_EQ(-5.0f, x);
    a->SetState(ParticleEmitter::PLAYING);
    a->Update(0.1);
    b->SetState(ParticleEmitter::PLAYING);
    EXPECT_EQ(0u, Count(*b));
    b->SetLoopMode(1);
    EXPECT_GT(SecondsToStop(*a, 5.0), 0.0);
    EXPECT_EQ(ParticleEmitter::PLAYING, b->GetState());
    b->Update(0.1);
    EXPECT_GT(Count(*b), 0u);
    EXPECT_EQ(ParticleEmitter::STOPPED, a->GetState());
}

TEST_F(ParticleEffects, WithoutInterpolationEachUpdateIsTheEffectsOwnStep)
{
    ASSERT_EQ(QL_OK, Load("<emitter name=\"fixed\" step=\"20\"><particles texture=\"white\" rate=\"1\" "
                          "life=\"9\"/></emitter>"));
    auto e = Create("fixed");
    e->GetEmitter()->SetInterpolation(false);
    e->SetState(ParticleEmitter::PLAYING);
    e->Update(5.0);
    EXPECT_NEAR(0.02, e->GetEmitter()->TimelineSeconds(), 1e-9);
}

TEST_F(ParticleEffects, LibrariesLoadThroughTheFileManagerAndReplaceWhatWasLoaded)
{
    mDir.Write("lib.ptc", Library(StillEmitter("a", 1) + "<folder name=\"f\">" + StillEmitter("b", 2) + "</folder>"));
    ASSERT_EQ(QL_OK, System()->Load("lib", nullptr));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), System()->GetEmitterNames());
    std::unique_ptr<ParticleEmitter> b(System()->CreateEmitter(std::wstring(L"b")));
    ASSERT_NE(nullptr, b);
    // The library has textures, so the template keeps the file's name.
    EXPECT_NE(std::string::npos, b->GetName().find("lib.ptc"));
    EXPECT_EQ(1u, System()->GetAtlasCount());
    EXPECT_EQ(nullptr, System()->GetAtlas(0)); // no render to make images with
    EXPECT_EQ(nullptr, Create("c"));
    ASSERT_EQ(QL_OK, System()->Load("lib.ptc", nullptr));
    EXPECT_EQ(2u, System()->GetEmitterNames().size());
    // A second load replaces the first; a later emitter of a name replaces an earlier one.
    ASSERT_EQ(QL_OK, Load(StillEmitter("x", 1) + "<folder>" + StillEmitter("x", 3) + "</folder>"));
    EXPECT_EQ(nullptr, Create("a"));
    EXPECT_EQ(1u, System()->GetAtlasCount());
    auto x = Create("x");
    x->SetState(ParticleEmitter::PLAYING);
    x->Update(0.0);
    EXPECT_EQ(3u, Count(*x));
}

TEST_F(ParticleEffects, AMissingOrDamagedLibraryIsLoggedAndGivesNoEffects)
{
    EXPECT_EQ(QL_FAIL, System()->Load("nothing", nullptr));
    EXPECT_TRUE(Logged(L"nothing' not found")) << *mLog;
    EXPECT_EQ(nullptr, Create("build"));
    mDir.Write("broken.ptc", std::string("\x89PNG\r\n\x1a\n\0\0garbage", 18));
    mLog->clear();
    EXPECT_EQ(QL_FAIL, System()->Load("broken.ptc", nullptr));
    EXPECT_TRUE(Logged(L"broken.ptc")) << *mLog;
    // What an earlier load kept stays.
    ASSERT_EQ(QL_OK, Load(StillEmitter("kept", 1)));
    EXPECT_EQ(QL_FAIL, System()->Load("broken.ptc", nullptr));
    EXPECT_EQ(QL_FAIL, System()->Load("nothing", nullptr));
    EXPECT_NE(nullptr, Create("kept"));
    EXPECT_EQ(1u, System()->GetAtlasCount());
}

// --- The game's library ---

class GameEffects : public ParticleEffects
{
protected:
    void SetUp() override
    {
        ParticleEffects::SetUp();
        System()->SetFolder(std::string(QL_SOURCE_DIR) + "/content/td/fx/");
        ASSERT_EQ(QL_OK, System()->Load("fx2", nullptr));
        EXPECT_FALSE(Logged(L"Particle file")) << *mLog;
        EXPECT_EQ(1u, System()->GetAtlasCount());
    }
};

// Effects started one-shot by the battle and the screens.
const char* kOneShot[] = {"build", "upgrade", "damage_h", "mg_00", "blow_bub", "hammer",
                          "portal_1", "blik_6", "t_line", "tr1", "bird"};
// Effects played for as long as their owner shows them.
const char* kLasting[] = {"active", "active_btn", "active_lvl", "blik_1", "blik_2", "blik_4", "fog_01"};

TEST_F(GameEffects, OneShotEffectsEndByThemselves)
{
    for (const char* name : kOneShot)
    {
        auto e = Create(name);
        ASSERT_NE(nullptr, e) << name;
        e->SetPosition(100.0f, 100.0f, 1);
        e->SetState(ParticleEmitter::PLAYING);
        u32 most = 0;
        int frames = 0;
        for (; frames < 60 * 30 && e->GetState() != ParticleEmitter::STOPPED; ++frames)
        {
            e->Update(1.0 / 60.0);
            most = std::max(most, Count(*e));
        }
        EXPECT_EQ(ParticleEmitter::STOPPED, e->GetState()) << name;
        EXPECT_GT(most, 0u) << name;
        EXPECT_LT(most, 200u) << name;
    }
}

TEST_F(GameEffects, LoopedAndLastingEffectsKeepPlayingAndStayBounded)
{
    for (const char* name : kLasting)
    {
        auto e = Create(name);
        ASSERT_NE(nullptr, e) << name;
        e->SetState(ParticleEmitter::PLAYING);
        u32 most = 0;
        for (int i = 0; i < 60 * 20; ++i)
        {
            e->Update(1.0 / 60.0);
            most = std::max(most, Count(*e));
        }
        EXPECT_EQ(ParticleEmitter::PLAYING, e->GetState()) << name;
        EXPECT_GT(Count(*e), 0u) << name;
        EXPECT_LT(most, 200u) << name;
    }
    for (const char* name : {"hammer", "portal_1", "t_line", "tr1"})
    {
        auto e = Create(name);
        e->SetLoopMode(1);
        e->SetState(ParticleEmitter::PLAYING);
        EXPECT_EQ(-1.0, SecondsToStop(*e, 20.0)) << name;
        e->SetState(ParticleEmitter::FINISHING);
        EXPECT_GT(SecondsToStop(*e, 30.0), 0.0) << name;
    }
}
