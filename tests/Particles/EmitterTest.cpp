// The particle simulation: seeded determinism, timelines (once, repeat, forever, endless),
// interruption, restart and stop, placing, emission counts and the quads handed out.
#include "ParticleFixture.h"

#include "Platform/Particles/EffectParser.h"
#include "Platform/Particles/Emitter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <tuple>
#include <vector>

using namespace particles;

namespace
{
// One emitter description from the body of a particle type.
std::shared_ptr<const EmitterDesc> Describe(const std::string& emitterAttrs, const std::string& typeAttrs,
                                            const std::string& colours = "")
{
    const std::string texture = typeAttrs.find("texture=") == std::string::npos ? "texture=\"white\" " : "";
    const std::string text = ptctest::Library("<emitter name=\"e\" " + emitterAttrs + "><particles " + texture +
                                              typeAttrs + ">" + colours + "</particles></emitter>");
    auto file = ParseEffectFile(text.data(), text.size(), "test.ptc");
    return file && !file->root.entries.empty() ? file->root.entries[0].emitter : nullptr;
}

const char* kFountain = "rate=\"60\" burst=\"5\" life=\"0.5 1.5\" speed=\"20 80\" direction=\"90\" spread=\"90\" "
                        "gravity=\"0 50\" drag=\"0.5\" area=\"5 3\" size=\"4 12\" grow=\"0.5\" angle=\"0 360\" "
                        "spin=\"-90 90\"";

std::unique_ptr<Emitter> Start(std::shared_ptr<const EmitterDesc> desc, i32 loop = LOOP_ONCE, u32 seed = 5)
{
    if (!desc)
        throw std::runtime_error("the test's emitter was refused");
    auto e = std::make_unique<Emitter>(std::move(desc), seed);
    e->SetLoopMode(loop);
    e->Restart();
    return e;
}

// Steps of 1/60 s until the effect ends; the seconds it took, or -1 when it still runs after `limit`.
double SecondsToEnd(Emitter& e, double limit)
{
    for (int i = 1; i <= static_cast<int>(limit * 60.0); ++i)
        if (!e.Update(1000.0 / 60.0))
            return i / 60.0;
    return -1.0;
}

std::vector<Quad> Quads(const Emitter& e, u32 listIndex = 0)
{
    RenderList list;
    if (!e.GetList(listIndex, list))
        return {};
    std::vector<Quad> quads(list.count);
    e.WriteQuads(list, 0, list.count, quads.data());
    return quads;
}

using EmitterTest = ptctest::LoggedTest;
} // namespace

TEST_F(EmitterTest, TheSameSeedAndStepsGiveTheSameParticles)
{
    auto desc =
        Describe("duration=\"2\"", kFountain, "<color t=\"0\" argb=\"ffffffff\"/><color t=\"1\" argb=\"00000000\"/>");
    ASSERT_NE(nullptr, desc);
    auto a = Start(desc, LOOP_REPEAT, 42);
    auto b = Start(desc, LOOP_REPEAT, 42);
    auto c = Start(desc, LOOP_REPEAT, 43);
    std::vector<u64> hashes;
    for (int i = 0; i < 300; ++i)
    {
        const double ms = 10.0 + (i % 7) * 3.0; // uneven frames
        a->Update(ms);
        b->Update(ms);
        c->Update(ms);
        ASSERT_EQ(a->StateHash(), b->StateHash()) << "step " << i;
        hashes.push_back(a->StateHash());
    }
    EXPECT_NE(a->StateHash(), c->StateHash());
    EXPECT_GT(a->ParticleCount(), 30u);
    // Pinned: a change to the simulation or the random numbers changes this on purpose only.
    EXPECT_EQ(0x94a7114b6ee2a828ull, a->StateHash()) << std::hex << a->StateHash();

    // Copies of one emitter get their own seeds.
    auto first = a->Duplicate();
    auto second = a->Duplicate();
    first->Restart();
    second->Restart();
    for (int i = 0; i < 20; ++i)
    {
        first->Update(16.0);
        second->Update(16.0);
    }
    EXPECT_EQ(first->ParticleCount(), second->ParticleCount());
    EXPECT_NE(first->StateHash(), second->StateHash());
}

TEST_F(EmitterTest, TimelinesPlacesRatesAndCapsDecideWhenWhereAndHowManyParticlesAre)
{
    auto e = Start(Describe("duration=\"0.2\"", "rate=\"50\" burst=\"3\" life=\"0.5\""));
    EXPECT_TRUE(e->InInterval());
    const double seconds = SecondsToEnd(*e, 5.0);
    // Emission stops at 0.2 s; the last particles live 0.5 s.
    EXPECT_GT(seconds, 0.65);
    EXPECT_LT(seconds, 0.75);
    EXPECT_EQ(0u, e->ParticleCount());
    EXPECT_FALSE(e->InInterval());
    EXPECT_FALSE(e->Update(16.0)); // stays ended

    e = Start(Describe("duration=\"0.5\"", "burst=\"7\" rate=\"10\" life=\"3\""));
    for (int i = 0; i < 60; ++i)
        e->Update(16.0);
    EXPECT_NEAR(12.0, e->ParticleCount(), 1.0); // 7 + 10 per second for 0.5 s
    e->Restart();
    EXPECT_EQ(0u, e->ParticleCount());
    EXPECT_EQ(0.0, e->TimelineSeconds());
    e->Update(16.0);
    EXPECT_EQ(7u, e->ParticleCount());
    e->Stop();
    EXPECT_FALSE(e->InInterval());
    EXPECT_EQ(0u, e->ParticleCount());
    EXPECT_FALSE(e->Update(16.0));
    EXPECT_EQ(0u, e->ParticleCount());
    // Started again after the stop, it runs its timeline as the first time: burst, stream, end.
    e->Restart();
    EXPECT_TRUE(e->InInterval());
    e->Update(16.0);
    EXPECT_EQ(7u, e->ParticleCount());
    for (int i = 1; i < 60; ++i)
        e->Update(16.0);
    EXPECT_NEAR(12.0, e->ParticleCount(), 1.0);
    EXPECT_NEAR(3.5 - 0.96, SecondsToEnd(*e, 5.0), 0.05); // the last, born at 0.5 s, lives 3 s
    EXPECT_FALSE(e->InInterval());

    // A repeating timeline fires its burst each pass.
    e = Start(Describe("duration=\"1\"", "burst=\"10\" life=\"0.5\""), LOOP_REPEAT);
    std::vector<u32> counts;
    for (int i = 0; i < 40; ++i)
    {
        e->Update(100.0);
        counts.push_back(e->ParticleCount());
    }
    // A pass: ten particles for half a second, then none until the next pass.
    EXPECT_EQ(10u, counts[0]);
    EXPECT_EQ(0u, counts[7]);
    EXPECT_EQ(10u, counts[10]);
    EXPECT_EQ(10u, counts[30]);
    EXPECT_EQ(0u, counts[37]);

    // Repeating, forever and endless effects keep going.
    for (i32 mode : {LOOP_REPEAT, LOOP_FOREVER})
    {
        auto stream = Start(Describe("duration=\"0.2\"", "rate=\"50\" life=\"0.5\""), mode);
        EXPECT_EQ(-1.0, SecondsToEnd(*stream, 10.0)) << mode;
        EXPECT_GT(stream->ParticleCount(), 15u) << mode;
    }
    auto endless = Start(Describe("", "rate=\"50\" life=\"0.5\""));
    EXPECT_EQ(-1.0, SecondsToEnd(*endless, 10.0));

    // Placing, turning, rates and caps decide where and how many particles are.
    auto desc = Describe("", "burst=\"1\" life=\"5\" size=\"2\"");
    auto follow = Start(desc);
    auto stay = Start(desc);
    follow->Update(0.0);
    stay->Update(0.0);
    follow->SetPositionMode(MOVE_WITH_PARTICLES);
    follow->SetPosition(100.0f, 50.0f);
    stay->SetPositionMode(MOVE_EMITTER);
    stay->SetPosition(100.0f, 50.0f);
    float x = 0.0f, y = 0.0f;
    stay->GetPosition(x, y);
    EXPECT_EQ(std::make_pair(100.0f, 50.0f), std::make_pair(x, y));
    EXPECT_EQ(std::make_pair(99.0f, 49.0f), std::make_pair(Quads(*follow)[0].x[0], Quads(*follow)[0].y[0]));
    EXPECT_FLOAT_EQ(-1.0f, Quads(*stay)[0].x[0]);
    // Trail particles stay behind even when particles follow.
    auto trail = Start(Describe("", "burst=\"1\" life=\"5\" size=\"2\" trail=\"1\""));
    trail->Update(0.0);
    trail->SetPositionMode(MOVE_WITH_PARTICLES);
    trail->SetPosition(30.0f, 0.0f);
    EXPECT_FLOAT_EQ(-1.0f, Quads(*trail)[0].x[0]);
    // New particles are born at the new place.
    stay->Restart();
    stay->Update(0.0);
    EXPECT_FLOAT_EQ(99.0f, Quads(*stay)[0].x[0]);
    // Non-finite places are ignored.
    stay->SetPosition(NAN, 3.0f);
    stay->GetPosition(x, y);
    EXPECT_EQ(100.0f, x);

    // A moved trail is born along the way, a placed one at its new place.
    desc = Describe("", "rate=\"100\" life=\"5\" size=\"2\" trail=\"1\"");
    for (i32 mode : {MOVE_WITH_PARTICLES, MOVE_EMITTER})
    {
        auto moved = Start(desc);
        moved->SetPositionMode(mode);
        moved->SetPosition(100.0f, 0.0f);
        moved->Update(100.0);
        const std::vector<Quad> quads = Quads(*moved);
        ASSERT_NEAR(10.0, quads.size(), 1.0);
        float lowest = 1000.0f;
        for (const Quad& q : quads)
            lowest = std::min(lowest, q.x[0] + 1.0f);
        if (mode == MOVE_WITH_PARTICLES)
            EXPECT_LT(lowest, 20.0f); // the first is born a tenth of the way along
        else
            EXPECT_FLOAT_EQ(100.0f, lowest);
        EXPECT_FLOAT_EQ(100.0f, quads.back().x[0] + 1.0f);
    }

    // Particles move along the turned direction.
    desc = Describe("", "burst=\"1\" life=\"5\" speed=\"100\" direction=\"0\" size=\"2\"");
    auto right = Start(desc);
    auto up = Start(desc);
    up->SetDirection(90.0f);
    right->Update(0.0);
    up->Update(0.0);
    for (int i = 0; i < 10; ++i)
    {
        right->Update(50.0);
        up->Update(50.0);
    }
    const Quad r = Quads(*right)[0];
    const Quad u = Quads(*up)[0];
    EXPECT_NEAR(49.0f, r.x[0], 1e-3f); // 100 px/s for 0.5 s, minus the half size
    EXPECT_NEAR(-1.0f, r.y[0], 1e-3f);
    EXPECT_NEAR(-1.0f, u.x[0], 1e-3f);
    EXPECT_NEAR(-51.0f, u.y[0], 1e-3f); // up is -y

    e = Start(Describe("", "rate=\"100\" life=\"10\""));
    for (int i = 0; i < 100; ++i)
        e->Update(10.0);
    EXPECT_NEAR(100.0, e->ParticleCount(), 1.0);
    auto capped = Start(Describe("", "rate=\"100\" life=\"10\" max=\"25\""));
    for (int i = 0; i < 100; ++i)
        capped->Update(10.0);
    EXPECT_EQ(25u, capped->ParticleCount());
    auto warm = Start(Describe("prewarm=\"2\"", "rate=\"10\" life=\"1\""));
    EXPECT_NEAR(10.0, warm->ParticleCount(), 1.0);
    EXPECT_NEAR(2.0, warm->TimelineSeconds(), 1e-9);

    auto tamed = Start(Describe("", "rate=\"10\" life=\"100\""));
    tamed->Update(NAN);
    tamed->Update(-500.0);
    tamed->Update(INFINITY);
    EXPECT_NEAR(10.0, tamed->TimelineSeconds(), 1e-6); // the infinite step counts as 10 s
    EXPECT_NEAR(100.0, tamed->ParticleCount(), 1.0);

    // Quads carry size, texture and colour, in lists of the types that have particles.
    e = Start(Describe("", "texture=\"left\" burst=\"1\" life=\"1\" size=\"10\" grow=\"2\" angle=\"90\"",
                       "<color t=\"0\" argb=\"ff000000\"/><color t=\"1\" argb=\"00ffffff\"/>"));
    e->Update(0.0);
    Quad q = Quads(*e)[0];
    // Turned a quarter: the top-left corner lands at (+5, -5).
    EXPECT_NEAR(5.0f, q.x[0], 1e-4f);
    EXPECT_NEAR(-5.0f, q.y[0], 1e-4f);
    EXPECT_EQ(0xFF000000u, q.color);
    EXPECT_EQ((std::vector<float>{0.0f, 0.5f, 0.5f, 0.0f, 0.0f, 1.0f}),
              (std::vector<float>{q.u[0], q.u[1], q.u[2], q.u[3], q.v[0], q.v[2]}));
    e->Update(500.0);
    q = Quads(*e)[0];
    EXPECT_NEAR(7.5f, q.x[0], 1e-4f); // 1.5 times the size at half its life
    EXPECT_EQ(0x7F7F7F7Fu, q.color);

    const std::string text =
        ptctest::Library("<emitter name=\"e\"><particles texture=\"white\" delay=\"1\" burst=\"2\" life=\"5\"/>"
                         "<particles texture=\"white\" blend=\"add\" burst=\"3\" life=\"5\"/></emitter>");
    // Lists follow the particle types that have particles.
    auto file = ParseEffectFile(text.data(), text.size(), "t");
    e = Start(file->root.entries[0].emitter);
    e->Update(16.0);
    ASSERT_EQ(1u, e->ListCount());
    RenderList list;
    ASSERT_TRUE(e->GetList(0, list));
    EXPECT_EQ(std::make_tuple(1u, 3u, true), std::make_tuple(list.type, list.count, list.intense));
    EXPECT_FALSE(e->GetList(1, list));
    e->Update(1000.0);
    ASSERT_EQ(2u, e->ListCount());
    ASSERT_TRUE(e->GetList(0, list));
    EXPECT_EQ(0u, list.type);
    EXPECT_EQ(std::make_tuple(0u, 2u, false), std::make_tuple(list.type, list.count, list.intense));
}
