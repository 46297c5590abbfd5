// SDL output end to end: the disk driver writes what the mixer renders, checked with sox.
#include "AudioBuilders.h"
#include "SoxCheck.h"

#include "Platform/Audio/AudioEngine.h"
#include "Platform/Audio/SdlDevice.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace audio;

TEST(SdlDevice, DiskDriverRecordsTheMixAtRealTimePace)
{
    if (!audiotest::HaveSox())
        GTEST_SKIP() << "sox is not installed";
    testsupport::TempDir dir;
    std::string path = (dir.Path() / "out.raw").string();
    {
        audiotest::ScopedAudioDriver driver("disk", path);
        AudioEngine engine(std::make_unique<SdlDevice>());
        ASSERT_TRUE(engine.HasOutput());
        EXPECT_EQ(engine.GetDevice().Name(), "sdl:disk");
        std::string ogg = audiotest::MakeOggSine(0.3, 44100, 1, 440.0);
        ChannelId ch = engine.CreateSampleChannel(engine.LoadSample(ogg.data(), static_cast<u32>(ogg.size())));
        ASSERT_NE(ch, 0u);
        engine.Play(ch, true);
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
    }
    auto all = audiotest::MeasureRaw(path);
    ASSERT_TRUE(all.ok);
    EXPECT_GT(all.seconds, 0.4);
    EXPECT_LT(all.seconds, 2.0);
    // The device runs before the sample is played: measure from the first sound on.
    auto tone = audiotest::MeasureRaw(path, "silence 1 0.005 1% trim 0 0.25");
    EXPECT_GT(tone.rms, 0.2) << "a 0.5 sine has an RMS of 0.35";
    auto after = audiotest::MeasureRaw(path, "silence 1 0.005 1% trim 0.35");
    EXPECT_LT(after.rms, 0.001) << "silence after the sample";
}

TEST(SdlDevice, MissingDriverFallsBackToSilence)
{
    audiotest::ScopedAudioDriver driver("no-such-driver");
    AudioEngine engine(std::make_unique<SdlDevice>());
    EXPECT_FALSE(engine.HasOutput());
    EXPECT_EQ(engine.GetDevice().Name(), "null");
}
