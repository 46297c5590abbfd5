// The mixer rendered into a buffer: timing, restart, slides, pause and stream ends.
#include "AudioBuilders.h"

#include "Platform/Audio/Mixer.h"

#include <gtest/gtest.h>

#include <memory>

using namespace audio;

namespace
{
// A mono sample whose frame i holds (i + 1) / 1024.
std::shared_ptr<Pcm> Ramp(u32 frames, u32 channels = 1)
{
    auto pcm = std::make_shared<Pcm>();
    pcm->rate = kOutputRate;
    pcm->channels = channels;
    for (u32 i = 0; i < frames; ++i)
        for (u32 c = 0; c < channels; ++c)
            pcm->samples.push_back((i + 1) / 1024.0f * (c ? -1.0f : 1.0f));
    return pcm;
}

std::shared_ptr<Pcm> Constant(u32 frames, float value)
{
    return std::make_shared<Pcm>(Pcm{kOutputRate, 1, std::vector<float>(frames, value)});
}

std::vector<float> Render(Mixer& mixer, u32 frames)
{
    std::vector<float> out(frames * 2, 99.0f);
    mixer.Render(out.data(), frames);
    return out;
}

bool Silent(const std::vector<float>& v)
{
    for (float s : v)
        if (s != 0.0f)
            return false;
    return true;
}
} // namespace

TEST(Mixer, SamplesPlayFromTheirFirstFrameRestartPauseAddUpAndClip)
{
    Mixer mixer;
    ChannelId ch = mixer.AddSample(Ramp(100));
    ASSERT_NE(ch, 0u);
    EXPECT_TRUE(Silent(Render(mixer, 64))) << "a channel is stopped until played";
    EXPECT_FALSE(mixer.IsPlaying(ch));

    ASSERT_TRUE(mixer.Play(ch, true));
    EXPECT_TRUE(mixer.IsPlaying(ch));
    auto out = Render(mixer, 128);
    for (u32 i = 0; i < 100; ++i)
    {
        ASSERT_FLOAT_EQ(out[2 * i], (i + 1) / 1024.0f) << "frame " << i;
        ASSERT_FLOAT_EQ(out[2 * i + 1], (i + 1) / 1024.0f) << "mono goes to both sides";
    }
    for (u32 i = 100; i < 128; ++i)
        ASSERT_EQ(out[2 * i], 0.0f);
    EXPECT_FALSE(mixer.IsPlaying(ch)) << "a finished sample reports stopped";

    // A stereo sample keeps its sides.
    mixer.Play(mixer.AddSample(Ramp(10, 2)), true);
    out = Render(mixer, 10);
    EXPECT_EQ((std::vector<float>{1 / 1024.0f, -1 / 1024.0f}), std::vector<float>(out.begin(), out.begin() + 2));
    EXPECT_EQ((std::vector<float>{10 / 1024.0f, -10 / 1024.0f}),
              std::vector<float>(out.begin() + 18, out.begin() + 20));

    // Restart begins again from the first frame.
    ch = mixer.AddSample(Ramp(1000));
    mixer.Play(ch, true);
    Render(mixer, 300);
    mixer.Play(ch, true);
    out = Render(mixer, 2);
    EXPECT_FLOAT_EQ(out[0], 1 / 1024.0f);
    EXPECT_FLOAT_EQ(out[2], 2 / 1024.0f);

    // Playing without restart resumes a stopped channel where it was.
    mixer.Stop(ch);
    EXPECT_FALSE(mixer.IsPlaying(ch));
    EXPECT_TRUE(Silent(Render(mixer, 50)));
    mixer.Play(ch, false);
    EXPECT_FLOAT_EQ(Render(mixer, 1)[0], 3 / 1024.0f);

    // After the end, a plain play starts over.
    Render(mixer, 2000);
    mixer.Play(ch, false);
    EXPECT_FLOAT_EQ(Render(mixer, 1)[0], 1 / 1024.0f);

    // Pause freezes every voice and its slide; resume continues.
    Render(mixer, 9);
    mixer.SlideVolume(ch, 0.5f, 1000);
    mixer.SetPaused(true);
    EXPECT_TRUE(Silent(Render(mixer, 50000)));
    EXPECT_TRUE(mixer.IsPlaying(ch)) << "paused output keeps the channel playing";
    EXPECT_FLOAT_EQ(mixer.GetVolume(ch), 1.0f) << "slides wait too";
    mixer.SetPaused(false);
    EXPECT_NEAR(Render(mixer, 1)[0], 11 / 1024.0f, 1e-5f);
    mixer.Remove(ch);

    // Voices add up, a volume scales at once, and 16-bit output is clipped.
    ChannelId a = mixer.AddSample(Constant(100, 0.25f));
    ChannelId b = mixer.AddSample(Constant(100, 0.5f));
    mixer.Play(a, true);
    mixer.Play(b, true);
    EXPECT_FLOAT_EQ(Render(mixer, 1)[0], 0.75f);
    mixer.SetVolume(b, 0.5f);
    EXPECT_FLOAT_EQ(mixer.GetVolume(b), 0.5f);
    EXPECT_FLOAT_EQ(Render(mixer, 1)[0], 0.5f);
    mixer.SetVolume(a, 7.0f);
    EXPECT_FLOAT_EQ(mixer.GetVolume(a), 1.0f) << "volumes are kept within [0, 1]";
    mixer.Play(mixer.AddSample(Constant(4, 0.75f)), true);
    std::vector<i16> s16(8);
    mixer.RenderS16(s16.data(), 4);
    EXPECT_EQ(s16[0], 32767);
}

TEST(Mixer, SlidesAndStreamEndsNotifyOnceWhenAskedAndUnknownChannelsAreRefused)
{
    Mixer mixer;
    ChannelId ch = mixer.AddSample(Constant(100000, 1.0f));
    mixer.SetNotify(ch, EventKind::SlideEnd, true);
    mixer.Play(ch, true);
    mixer.SlideVolume(ch, 0.0f, 1000);

    auto out = Render(mixer, 44099);
    for (u32 i = 1; i < 44099; ++i)
        ASSERT_LT(out[2 * i], out[2 * (i - 1)]) << "falls at every frame " << i;
    EXPECT_GT(out[2 * 44098], 0.0f);
    EXPECT_NEAR(out[2 * 22049], 0.5f, 1e-4f);
    EXPECT_TRUE(mixer.TakeEvents().empty()) << "one frame short of the end";

    auto last = Render(mixer, 10);
    EXPECT_EQ(last[0], 0.0f) << "frame 44,100 of the slide is at the target";
    EXPECT_FLOAT_EQ(mixer.GetVolume(ch), 0.0f);
    EXPECT_TRUE(mixer.IsPlaying(ch)) << "a slide to 0 does not stop the channel";
    auto events = mixer.TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (Event{ch, EventKind::SlideEnd}));
    Render(mixer, 1000);
    EXPECT_TRUE(mixer.TakeEvents().empty());

    // Up from the current volume, and setting a volume cancels a slide.
    mixer.SetVolume(ch, 0.2f);
    mixer.SlideVolume(ch, 0.6f, 100); // 4410 frames
    out = Render(mixer, 4410);
    EXPECT_FLOAT_EQ(out[2 * 4409], 0.6f);
    EXPECT_NEAR(out[2 * 2204], 0.4f, 1e-4f);
    mixer.SlideVolume(ch, 0.0f, 100);
    mixer.SetVolume(ch, 0.3f);
    Render(mixer, 5000);
    EXPECT_FLOAT_EQ(mixer.GetVolume(ch), 0.3f);
    EXPECT_EQ(mixer.TakeEvents().size(), 1u) << "the finished slide up notifies, the cancelled one not";

    // A slide outlives a voice that stops, and notifies only when asked.
    mixer.Remove(ch);
    ch = mixer.AddSample(Constant(1000, 1.0f));
    mixer.SetNotify(ch, EventKind::SlideEnd, true);
    mixer.Play(ch, true);
    mixer.SlideVolume(ch, 0.0f, 1000);
    Render(mixer, 40000);
    EXPECT_FALSE(mixer.IsPlaying(ch));
    EXPECT_TRUE(mixer.TakeEvents().empty());
    Render(mixer, 4100);
    EXPECT_EQ(mixer.TakeEvents().size(), 1u);

    ChannelId quiet = mixer.AddStream(std::make_unique<audiotest::RampSource>(10));
    mixer.Play(quiet, true);
    mixer.SlideVolume(quiet, 0.0f, 1);
    Render(mixer, 100);
    EXPECT_TRUE(mixer.TakeEvents().empty()) << "events are queued only when asked for";

    // A stream's end stops the voice and notifies.
    mixer.Remove(ch);
    mixer.Remove(quiet);
    auto source = std::make_unique<audiotest::RampSource>(500);
    audiotest::RampSource* raw = source.get();
    ch = mixer.AddStream(std::move(source));
    mixer.SetNotify(ch, EventKind::StreamEnd, true);
    mixer.Play(ch, true);
    EXPECT_EQ(raw->mRewinds, 0) << "a stream that was never read needs no rewind";
    out = Render(mixer, 600);
    EXPECT_FLOAT_EQ(out[2 * 499], raw->Value(499));
    EXPECT_EQ(out[2 * 500], 0.0f);
    EXPECT_FALSE(mixer.IsPlaying(ch));
    events = mixer.TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (Event{ch, EventKind::StreamEnd}));

    // Playing an ended stream again rewinds it.
    mixer.Play(ch, false);
    EXPECT_EQ(raw->mRewinds, 1);
    EXPECT_FLOAT_EQ(Render(mixer, 1)[0], raw->Value(0));

    EXPECT_TRUE(mixer.Remove(ch));
    EXPECT_EQ(mixer.AddSample(nullptr), 0u);
    EXPECT_EQ(mixer.AddStream(nullptr), 0u);
    EXPECT_FALSE(mixer.Play(42, true));
    ch = mixer.AddSample(Ramp(10));
    EXPECT_TRUE(mixer.Remove(ch));
    EXPECT_FALSE(mixer.Remove(ch));
    EXPECT_FALSE(mixer.Play(ch, true));
    EXPECT_FALSE(mixer.IsPlaying(ch));
    EXPECT_FALSE(mixer.SlideVolume(ch, 0.0f, 10));
    EXPECT_EQ(mixer.VoiceCount(), 0u);
}
