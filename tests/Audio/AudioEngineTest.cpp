// The audio layer: samples, rate conversion, channels, notifications on the main thread, and the
// null device's pace.
#include "AudioBuilders.h"
#include "LogCapture.h"

#include "Platform/Audio/AudioEngine.h"
#include "Platform/Audio/NullDevice.h"

#include <gtest/gtest.h>

using namespace audio;

TEST(AudioEngine, LoadsConvertsAndRefusesSamplesNotifiesOnTheMainThreadAndKeepsTheDevicesPace)
{
    audiotest::LogCapture log;
    // A device without a clock: the test renders on the mixing side by hand.
    AudioEngine engine(std::make_unique<NullDevice>(NullDevice::Clock()));
    const auto render = [&](u32 frames)
    {
        std::vector<float> out(frames * 2);
        engine.GetMixer().Render(out.data(), frames);
        return out;
    };
    std::string ogg = audiotest::ReadTrack("stereo500.ogg");
    std::string wav = audiotest::MakeWav16({1, 2, 3}, 1, 44100);
    EXPECT_NE(engine.LoadSample(ogg.data(), static_cast<u32>(ogg.size())), 0u);
    EXPECT_NE(engine.LoadSample(wav.data(), static_cast<u32>(wav.size())), 0u);
    EXPECT_EQ(engine.LoadSample("MThd....", 8, "tune.mid"), 0u);
    EXPECT_EQ(engine.LoadSample(nullptr, 0, "empty"), 0u);
    EXPECT_EQ(engine.SampleCount(), 2u);
    EXPECT_EQ(log.Count("Cannot decode sound 'tune.mid'"), 1);
    EXPECT_EQ(engine.CreateSampleChannel(0), 0u);

    // 1000 frames claiming 1 Hz: over 44 million frames once converted.
    std::string tiny = audiotest::MakeWav16(std::vector<i16>(1000, 100), 1, 1);
    EXPECT_EQ(engine.LoadSample(tiny.data(), static_cast<u32>(tiny.size()), "slow.wav"), 0u);
    EXPECT_EQ(log.Count("Cannot decode sound 'slow.wav': longer than ten minutes"), 1) << log.Text();
    EXPECT_EQ(engine.SampleCount(), 2u);
    // The same frames at a plain low rate load.
    std::string low = audiotest::MakeWav16(std::vector<i16>(1000, 100), 1, 8000);
    EXPECT_NE(engine.LoadSample(low.data(), static_cast<u32>(low.size()), "low.wav"), 0u);

    // Samples of other rates are converted at load.
    wav = audiotest::MakeWav16(std::vector<i16>(22050, 8192), 1, 22050);
    SampleId sample = engine.LoadSample(wav.data(), static_cast<u32>(wav.size()));
    ChannelId ch = engine.CreateSampleChannel(sample);
    engine.Play(ch, true);
    render(44099);
    EXPECT_TRUE(engine.IsActive(ch)) << "half a second at 22050 Hz lasts 44100 output frames";
    auto out = render(2);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_EQ(out[2], 0.0f);
    EXPECT_FALSE(engine.IsActive(ch));

    // Notifications run only when the main thread updates, and never for freed channels.
    engine.FreeChannel(ch);
    ch = engine.CreateStream(std::make_unique<audiotest::RampSource>(1000));
    std::vector<std::pair<ChannelId, EventKind>> seen;
    engine.SetSync(ch, EventKind::StreamEnd, [&](ChannelId c, EventKind k) { seen.emplace_back(c, k); });
    engine.SetSync(ch, EventKind::SlideEnd, [&](ChannelId c, EventKind k) { seen.emplace_back(c, k); });
    engine.Play(ch, true);
    engine.SlideVolume(ch, 0.5f, 10);
    render(2000);
    EXPECT_TRUE(seen.empty()) << "nothing runs on the mixing side";
    engine.Update();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(ch, EventKind::SlideEnd));
    EXPECT_EQ(seen[1], std::make_pair(ch, EventKind::StreamEnd));
    engine.Update();
    EXPECT_EQ(seen.size(), 2u);
    engine.FreeChannel(ch);

    wav = audiotest::MakeWav16({1, 2, 3}, 1, 44100);
    sample = engine.LoadSample(wav.data(), static_cast<u32>(wav.size()));
    ChannelId a = engine.CreateSampleChannel(sample);
    ChannelId b = engine.CreateSampleChannel(sample);
    EXPECT_NE(a, b);
    EXPECT_EQ(engine.GetMixer().VoiceCount(), 2u);
    engine.FreeSample(sample);
    EXPECT_EQ(engine.GetMixer().VoiceCount(), 0u);
    EXPECT_FALSE(engine.Play(a, true));
    engine.FreeSample(sample); // twice is harmless

    a = engine.CreateStream(std::make_unique<audiotest::RampSource>(10));
    b = engine.CreateStream(std::make_unique<audiotest::RampSource>(10));
    int calls = 0;
    // The first handler frees the other channel, whose event is already queued.
    engine.SetSync(a, EventKind::StreamEnd,
                   [&](ChannelId, EventKind)
                   {
                       ++calls;
                       engine.FreeChannel(b);
                   });
    engine.SetSync(b, EventKind::StreamEnd, [&](ChannelId, EventKind) { ++calls; });
    engine.Play(a, true);
    engine.Play(b, true);
    render(100);
    engine.Update();
    EXPECT_EQ(calls, 1);

    // A null device with a clock renders at its pace.
    double now = 0.0;
    AudioEngine paced(std::make_unique<NullDevice>([&now] { return now; }));
    wav = audiotest::MakeWav16(std::vector<i16>(4410, 1000), 1, 44100); // 0.1 s
    ch = paced.CreateSampleChannel(paced.LoadSample(wav.data(), static_cast<u32>(wav.size())));
    paced.Play(ch, true);
    now = 0.05;
    paced.Update();
    EXPECT_TRUE(paced.IsActive(ch));
    paced.Pause();
    now = 10.0;
    paced.Update();
    EXPECT_TRUE(paced.IsActive(ch)) << "a paused device does not advance";
    paced.Start();
    now = 10.06;
    paced.Update();
    EXPECT_FALSE(paced.IsActive(ch));
}
