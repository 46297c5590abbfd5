// Effect instances and the library: play, finish and stop as the game uses them, loading
// through the file manager, damaged and missing libraries, and the game's own effects.
#include "ParticleFixture.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ptctest;
using render::ParticleEmitter;

namespace
{
class ParticleEffects : public LoggedTest
{
protected:
    static QLResultEnum Load(const std::string& body) { return ptctest::Load(body, nullptr); }
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
};

const char* kStream = "<emitter name=\"stream\"><particles texture=\"white\" rate=\"100\" life=\"0.5\"/></emitter>";
const char* kOnce = "<emitter name=\"once\" duration=\"0.2\"><particles texture=\"white\" rate=\"50\" life=\"0.3\"/>"
                    "</emitter>";
} // namespace

TEST_F(ParticleEffects, PlayFinishStopLoopModesStepsLibrariesAndTheGamesEffectsAsTheGameUsesThem)
{
    ASSERT_EQ(QL_OK, Load(kStream));
    auto e = Create("stream");
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(ParticleEmitter::STOPPED, e->GetState()) << "new instances wait to be played";
    e->Update(1.0);
    EXPECT_EQ(0u, Count(*e));
    e->SetState(ParticleEmitter::PLAYING);
    e->Update(0.1);
    EXPECT_NEAR(10.0, Count(*e), 1.0);

    // Finishing then playing again keeps the place in the timeline.
    e->Update(0.4);
    e->SetState(ParticleEmitter::FINISHING);
    EXPECT_TRUE(e->GetEmitter()->IsInterrupted());
    e->Update(0.1);
    u32 left = Count(*e);
    const double time = e->GetEmitter()->TimelineSeconds();
    EXPECT_GT(left, 0u);
    e->SetState(ParticleEmitter::PLAYING);
    EXPECT_FALSE(e->GetEmitter()->IsInterrupted());
    EXPECT_EQ(left, Count(*e)); // not started over
    EXPECT_EQ(time, e->GetEmitter()->TimelineSeconds());
    e->Update(0.6);
    EXPECT_NEAR(50.0, Count(*e), 2.0); // emitting again: a full stream

    // Stopping a finishing effect leaves it alone; stopping a playing one empties it.
    e->SetState(ParticleEmitter::FINISHING);
    left = Count(*e);
    e->SetState(ParticleEmitter::STOPPED);
    EXPECT_EQ(left, Count(*e));
    EXPECT_TRUE(e->GetEmitter()->InInterval());
    e->SetState(ParticleEmitter::PLAYING);
    e->Update(0.2);
    e->SetState(ParticleEmitter::STOPPED);
    EXPECT_EQ(0u, Count(*e));
    EXPECT_FALSE(e->GetEmitter()->InInterval());

    // Playing after the finished effect died starts it over.
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

    // Instances end by themselves, move apart, and take the caller's loop mode and step.
    ASSERT_EQ(QL_OK, Load("<emitter name=\"fixed\" step=\"20\"><particles texture=\"white\" rate=\"1\" "
                          "life=\"9\"/></emitter>"));
    auto fixed = Create("fixed");
    fixed->GetEmitter()->SetInterpolation(false);
    fixed->SetState(ParticleEmitter::PLAYING);
    fixed->Update(5.0);
    EXPECT_NEAR(0.02, fixed->GetEmitter()->TimelineSeconds(), 1e-9);

    ASSERT_EQ(QL_OK, Load(kOnce));
    auto a = Create("once");
    auto b = Create("once");
    EXPECT_EQ(particles::LOOP_ONCE, b->GetEmitter()->GetLoopMode()); // as loaded
    a->SetPosition(10.0f, 20.0f, 1);
    b->SetPosition(-5.0f, 0.0f, 0);
    float x = 0.0f, y = 0.0f;
    a->GetPosition(x, y);
    EXPECT_EQ(std::make_pair(10.0f, 20.0f), std::make_pair(x, y));
    b->GetPosition(x, y);
    EXPECT_EQ(-5.0f, x);
    a->SetState(ParticleEmitter::PLAYING);
    b->SetLoopMode(1);
    EXPECT_EQ(particles::LOOP_REPEAT, b->GetEmitter()->GetLoopMode());
    b->SetState(ParticleEmitter::PLAYING);
    EXPECT_EQ(0u, Count(*b));

    // A one-shot ends while playing and is stopped after that update; the repeating one goes on.
    const double once = SecondsToStop(*a, 5.0);
    EXPECT_GT(once, 0.45);
    EXPECT_LT(once, 0.55);
    EXPECT_EQ(0u, Count(*a));
    EXPECT_FALSE(a->GetEmitter()->InInterval());
    EXPECT_EQ(-1.0, SecondsToStop(*b, 5.0));
    EXPECT_GT(Count(*b), 0u);
    // Played again, the one-shot runs its whole timeline once more: the same stream, the same end.
    a->SetState(ParticleEmitter::PLAYING);
    EXPECT_EQ(ParticleEmitter::PLAYING, a->GetState());
    a->Update(0.1);
    EXPECT_NEAR(5.0, Count(*a), 1.0); // 50 a second
    EXPECT_NEAR(once - 0.1, SecondsToStop(*a, 5.0), 1.5 / 60.0);
    EXPECT_EQ(0u, Count(*a));
    b->SetLoopMode(2);
    EXPECT_EQ(particles::LOOP_FOREVER, b->GetEmitter()->GetLoopMode());
    b->SetLoopMode(7);
    EXPECT_EQ(particles::LOOP_ONCE, b->GetEmitter()->GetLoopMode());
    EXPECT_GT(SecondsToStop(*b, 5.0), 0.0);

    // Libraries load through the file manager; a missing or damaged one keeps what was loaded.
    mDir.Write("lib.ptc", Library(StillEmitter("a", 1) + "<folder name=\"f\">" + StillEmitter("b", 2) + "</folder>"));
    ASSERT_EQ(QL_OK, System()->Load("lib", nullptr));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), System()->GetEmitterNames());
    std::unique_ptr<ParticleEmitter> fromFile(System()->CreateEmitter(std::wstring(L"b")));
    ASSERT_NE(nullptr, fromFile);
    // The library has textures, so the template keeps the file's name.
    EXPECT_NE(std::string::npos, fromFile->GetName().find("lib.ptc"));
    EXPECT_EQ(1u, System()->GetAtlasCount());
    EXPECT_EQ(nullptr, System()->GetAtlas(0)); // no render to make images with
    EXPECT_EQ(nullptr, Create("c"));
    ASSERT_EQ(QL_OK, System()->Load("lib.ptc", nullptr));
    EXPECT_EQ(2u, System()->GetEmitterNames().size());
    // A second load replaces the first; a later emitter of a name replaces an earlier one.
    ASSERT_EQ(QL_OK, Load(StillEmitter("x", 1) + "<folder>" + StillEmitter("x", 3) + "</folder>"));
    EXPECT_EQ(nullptr, Create("a"));
    EXPECT_EQ(1u, System()->GetAtlasCount());
    auto replaced = Create("x");
    replaced->SetState(ParticleEmitter::PLAYING);
    replaced->Update(0.0);
    EXPECT_EQ(3u, Count(*replaced));

    // A missing or damaged library is logged and keeps what an earlier load kept.
    EXPECT_EQ(QL_FAIL, System()->Load("nothing", nullptr));
    EXPECT_TRUE(Logged("nothing' not found")) << mLog->Text();
    mDir.Write("broken.ptc", std::string("\x89PNG\r\n\x1a\n\0\0garbage", 18));
    mLog = std::make_unique<audiotest::LogCapture>();
    EXPECT_EQ(QL_FAIL, System()->Load("broken.ptc", nullptr));
    EXPECT_TRUE(Logged("broken.ptc")) << mLog->Text();
    EXPECT_NE(nullptr, Create("x"));
    EXPECT_EQ(1u, System()->GetAtlasCount());

    // The game's library: effects started one-shot by the battle and the screens end by themselves;
    // those played for as long as their owner shows them keep playing. Either way they stay bounded.
    mLog = std::make_unique<audiotest::LogCapture>();
    System()->SetFolder(std::string(QL_SOURCE_DIR) + "/content/td/fx/");
    ASSERT_EQ(QL_OK, System()->Load("fx2", nullptr));
    EXPECT_FALSE(Logged("Particle file")) << mLog->Text();
    EXPECT_EQ(1u, System()->GetAtlasCount());
    for (const auto& [name, lasting, seconds, scale] : kGameEffects)
    {
        auto e = Create(name);
        ASSERT_NE(nullptr, e) << name;
        e->SetPosition(100.0f, 100.0f, 1);
        e->SetState(ParticleEmitter::PLAYING);
        u32 most = 0;
        for (int frames = 0; frames < 60 * 20 && e->GetState() != ParticleEmitter::STOPPED; ++frames)
        {
            e->Update(1.0 / 60.0);
            most = std::max(most, Count(*e));
        }
        EXPECT_EQ(lasting ? ParticleEmitter::PLAYING : ParticleEmitter::STOPPED, e->GetState()) << name;
        EXPECT_EQ(lasting, Count(*e) > 0) << name;
        EXPECT_GT(most, 0u) << name;
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
