// The mixer rendered in pieces of any size gives the frames and events of one long render: slides,
// sample and stream ends and stopped voices that fall inside a piece or on its edge.
#include "AudioBuilders.h"

#include "Platform/Audio/Mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

using namespace audio;

namespace
{
std::shared_ptr<Pcm> Wave(u32 frames, u32 channels, float step)
{
    auto pcm = std::make_shared<Pcm>();
    pcm->rate = kOutputRate;
    pcm->channels = channels;
    for (u32 i = 0; i < frames * channels; ++i)
        pcm->samples.push_back(static_cast<float>((i * 37) % 101) * step - 0.3f);
    return pcm;
}

// Events compared as a set: one long render queues them voice by voice, pieces in time order.
std::vector<Event> Sorted(std::vector<Event> events)
{
    std::sort(events.begin(), events.end(),
              [](const Event& a, const Event& b) { return std::tie(a.channel, a.kind) < std::tie(b.channel, b.kind); });
    return events;
}

struct Voices
{
    ChannelId falling, ending, stream, stopped;
};

// The same voices and slides on every mixer: a long mono sample sliding down over 5000 frames, a
// stereo sample of 3001 frames sliding up, a stream of 7777 frames, and a stopped voice whose
// slide runs on until it is played again.
Voices AddVoices(Mixer& mixer)
{
    Voices v;
    v.falling = mixer.AddSample(Wave(20000, 1, 0.004f));
    v.ending = mixer.AddSample(Wave(3001, 2, 0.003f));
    v.stream = mixer.AddStream(std::make_unique<audiotest::RampSource>(7777));
    v.stopped = mixer.AddSample(Wave(9000, 1, 0.002f));
    for (ChannelId id : {v.falling, v.ending, v.stream, v.stopped})
    {
        mixer.SetNotify(id, EventKind::SlideEnd, true);
        mixer.SetNotify(id, EventKind::StreamEnd, true);
    }
    for (ChannelId id : {v.falling, v.ending, v.stream})
        mixer.Play(id, true);
    mixer.SlideVolume(v.falling, 0.1f, 113); // 4983 frames
    mixer.SetVolume(v.ending, 0.0f);
    mixer.SlideVolume(v.ending, 0.9f, 50);    // 2205 frames
    mixer.SlideVolume(v.stopped, 0.25f, 200); // 8820 frames, while stopped
    return v;
}

// Renders `frames` in pieces of the given sizes in turn; the stopped voice starts at frame 6000
// (a piece edge is made there).
std::vector<float> RenderInPieces(Mixer& mixer, const Voices& v, u32 frames, const std::vector<u32>& sizes,
                                  std::vector<std::pair<u32, Event>>& events)
{
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    u32 done = 0;
    for (size_t turn = 0; done < frames; ++turn)
    {
        u32 n = std::min(sizes[turn % sizes.size()], frames - done);
        if (done < 6000 && done + n > 6000)
            n = 6000 - done;
        if (done == 6000)
            mixer.Play(v.stopped, true);
        mixer.Render(out.data() + static_cast<size_t>(done) * 2, n);
        done += n;
        for (const Event& e : mixer.TakeEvents())
            events.push_back({done, e});
    }
    return out;
}
} // namespace

TEST(MixerPieces, AnyPiecesGiveTheFramesAndEventsOfOneRender)
{
    constexpr u32 kFrames = 12000;
    Mixer whole;
    const Voices wv = AddVoices(whole);
    std::vector<std::pair<u32, Event>> wholeEvents;
    const std::vector<float> expected = RenderInPieces(whole, wv, kFrames, {kFrames}, wholeEvents);
    // The voices did what the test is about: the stereo sample and the stream ended, slides ended.
    std::vector<Event> kinds;
    for (const auto& [at, e] : wholeEvents)
        kinds.push_back(e);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), (Event{wv.ending, EventKind::StreamEnd})), 1);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), (Event{wv.stream, EventKind::StreamEnd})), 1);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), (Event{wv.falling, EventKind::SlideEnd})), 1);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), (Event{wv.ending, EventKind::SlideEnd})), 1);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), (Event{wv.stopped, EventKind::SlideEnd})), 1);

    for (const std::vector<u32>& sizes :
         {std::vector<u32>{1}, {511, 512, 513}, {4096, 4097, 3}, {2205, 1, 2777}, {4983}, {3001, 7777}})
    {
        SCOPED_TRACE(::testing::PrintToString(sizes));
        Mixer pieces;
        const Voices pv = AddVoices(pieces);
        std::vector<std::pair<u32, Event>> events;
        const std::vector<float> got = RenderInPieces(pieces, pv, kFrames, sizes, events);
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(got[i], expected[i]) << "frame " << i / 2 << (i % 2 ? " right" : " left");
        std::vector<Event> order;
        for (const auto& [at, e] : events)
            order.push_back(e);
        EXPECT_EQ(Sorted(order), Sorted(kinds)) << "the same events";
        EXPECT_EQ(pieces.GetVolume(pv.stopped), whole.GetVolume(wv.stopped));
        EXPECT_EQ(pieces.GetVolume(pv.falling), whole.GetVolume(wv.falling));
    }
}
