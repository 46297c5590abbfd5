// SDL output without a usable driver falls back to the silent null device (the disk driver's
// real-time output is checked end to end in SoundEndToEndTest).
#include "SoxCheck.h"

#include "Platform/Audio/AudioEngine.h"
#include "Platform/Audio/SdlDevice.h"

#include <gtest/gtest.h>

using namespace audio;

TEST(SdlDevice, MissingDriverFallsBackToSilence)
{
    audiotest::ScopedAudioDriver driver("no-such-driver");
    AudioEngine engine(std::make_unique<SdlDevice>());
    EXPECT_FALSE(engine.HasOutput());
    EXPECT_EQ(engine.GetDevice().Name(), "null");
}
