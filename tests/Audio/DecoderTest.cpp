// WAV and Ogg Vorbis decoding, streaming over the engine's streams, and rate conversion.
#include "AudioBuilders.h"

#include "Platform/Audio/OggDecoder.h"
#include "Platform/Audio/Resampler.h"
#include "Platform/Audio/WavReader.h"

#include "Core/Base/Stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace audio;

namespace
{
// The committed mono track with its last page's granule position and end-of-stream flag
// rewritten, and the page's checksum mended so that libogg takes it.
std::string WithLastPage(u64 granule, bool endOfStream)
{
    std::string ogg = audiotest::ReadTrack("half330.ogg");
    const size_t at = ogg.rfind("OggS");
    auto* page = reinterpret_cast<u8*>(ogg.data() + at);
    page[5] = static_cast<u8>(endOfStream ? (page[5] | 4) : (page[5] & ~4));
    for (int i = 0; i < 8; ++i)
        page[6 + i] = static_cast<u8>(granule >> (8 * i));
    for (int i = 22; i < 26; ++i)
        page[i] = 0;
    u32 crc = 0;
    for (size_t i = at; i < ogg.size(); ++i)
    {
        crc ^= static_cast<u32>(static_cast<u8>(ogg[i])) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    for (int i = 0; i < 4; ++i)
        page[22 + i] = static_cast<u8>(crc >> (8 * i));
    return ogg;
}
} // namespace

TEST(Decoders, ReadEveryWavLayoutAndWholeOggFilesStreamAndRefuseDamage)
{
    Pcm pcm;
    std::string error;
    const auto read = [&](const std::string& wav) { return ReadWav(wav.data(), wav.size(), pcm, error); };
    ASSERT_TRUE(read(audiotest::MakeWav16({0, 16384, -32768, 32767}, 1, 44100))) << error;
    EXPECT_EQ(std::make_tuple(44100u, 1u, 4u), std::make_tuple(pcm.rate, pcm.channels, pcm.Frames()));
    EXPECT_EQ((std::vector<float>{0.0f, 0.5f, -1.0f}), std::vector<float>(pcm.samples.begin(), pcm.samples.end() - 1));
    EXPECT_NEAR(pcm.samples.back(), 1.0f, 1e-4f);
    // 8-bit unsigned, stereo.
    ASSERT_TRUE(read(audiotest::MakeWavRaw(std::string("\x80\xC0\x00\xFF", 4), 1, 2, 22050, 8))) << error;
    EXPECT_EQ(std::make_tuple(2u, 22050u), std::make_tuple(pcm.channels, pcm.rate));
    EXPECT_EQ(pcm.samples, (std::vector<float>{0.0f, 0.5f, -1.0f, 127 / 128.0f}));
    // 24-bit.
    ASSERT_TRUE(read(audiotest::MakeWavRaw(std::string("\x00\x00\x40\x00\x00\xC0", 6), 1, 1, 8000, 24))) << error;
    EXPECT_EQ(pcm.samples, (std::vector<float>{0.5f, -0.5f}));
    // 32-bit float through the extensible header, clamped.
    float floats[3] = {0.25f, -2.0f, 1.0f};
    ASSERT_TRUE(read(audiotest::MakeWavRaw(std::string(reinterpret_cast<char*>(floats), 12), 3, 1, 48000, 32, true)))
        << error;
    EXPECT_EQ(pcm.samples, (std::vector<float>{0.25f, -1.0f, 1.0f}));
    // Four channels keep the first two.
    ASSERT_TRUE(read(audiotest::MakeWav16({100, 200, 300, 400}, 4, 44100))) << error;
    EXPECT_EQ(pcm.channels, 2u);
    EXPECT_EQ(pcm.samples, (std::vector<float>{100 / 32768.0f, 200 / 32768.0f}));

    // An odd-sized "LIST" chunk (padded to even) before "fmt " is skipped.
    std::string wav = audiotest::MakeWav16({1000, 2000}, 1, 44100);
    wav.insert(12, std::string("LIST\x03\x00\x00\x00"
                               "abc\x00",
                               12));
    ASSERT_TRUE(read(wav)) << error;
    EXPECT_EQ(pcm.Frames(), 2u);

    // A cut into the third sample gives the whole frames that are present.
    wav = audiotest::MakeWav16({1, 2, 3, 4}, 1, 44100);
    wav.resize(wav.size() - 3);
    ASSERT_TRUE(read(wav)) << error;
    EXPECT_EQ(pcm.Frames(), 2u);

    // 32,769 channels of 16 bits: a frame is 65,538 bytes, more than a 16-bit block size holds.
    ASSERT_TRUE(read(audiotest::MakeWavRaw(std::string(70000, '\x10'), 1, 0x8001, 44100, 16))) << error;
    EXPECT_EQ(pcm.Frames(), 1u);
    EXPECT_EQ(pcm.channels, 2u);

    // Damaged files are refused with a reason: a bare "RIFF", a cut inside "fmt ", ADPCM, no channels.
    const std::string good = audiotest::MakeWav16({1, 2}, 1, 44100);
    for (const std::string& bad :
         {std::string("RIFF"), good.substr(0, 20), audiotest::MakeWavRaw("abcd", 2, 1, 44100, 4),
          audiotest::MakeWavRaw("abcd", 1, 0, 44100, 16)})
    {
        error.clear();
        EXPECT_FALSE(read(bad)) << bad.size();
        EXPECT_FALSE(error.empty()) << bad.size();
    }
    EXPECT_FALSE(ReadWav(good.data(), 36, pcm, error));
    EXPECT_EQ(error, "no data chunk");

    // Ogg Vorbis: a whole file decoded, streamed over the engine's streams, and damaged data refused.
    std::string ogg = audiotest::ReadTrack("half330.ogg");
    ASSERT_TRUE(IsOgg(ogg.data(), ogg.size()));
    ASSERT_TRUE(DecodeOgg(ogg.data(), ogg.size(), pcm, error)) << error;
    EXPECT_EQ(pcm.rate, 44100u);
    EXPECT_EQ(pcm.channels, 1u);
    EXPECT_EQ(pcm.Frames(), 22050u);
    float peak = 0;
    for (float s : pcm.samples)
        peak = std::max(peak, std::fabs(s));
    EXPECT_NEAR(peak, 0.5f, 0.1f);

    EXPECT_FALSE(DecodeOgg("OggS garbage", 12, pcm, error));
    EXPECT_FALSE(error.empty());
    const std::string cut = ogg.substr(0, 60);
    EXPECT_FALSE(DecodeOgg(cut.data(), cut.size(), pcm, error));

    // A mono stream is spread to both sides.
    base::MemoryStream memory(ogg.data(), static_cast<u32>(ogg.size()));
    auto stream = VorbisStream::Open(&memory, error);
    ASSERT_TRUE(stream) << error;
    std::vector<float> out(200);
    ASSERT_EQ(stream->Read(out.data(), 100), 100u);
    for (u32 i = 0; i < 100; ++i)
        ASSERT_EQ(out[2 * i], out[2 * i + 1]);

    std::string text = "just some text, not a sound";
    base::MemoryStream notVorbis(text.data(), static_cast<u32>(text.size()));
    EXPECT_FALSE(VorbisStream::Open(&notVorbis, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(VorbisStream::Open(nullptr, error));

    // A stereo track streamed over the engine's streams, and rewound.
    const std::string stereo = audiotest::ReadTrack("stereo500.ogg");
    Pcm whole;
    ASSERT_TRUE(DecodeOgg(stereo.data(), stereo.size(), whole, error));

    // A frame stream puts the file at an offset inside a larger stream, as a pack does, so seeks
    // and the end of the file must be computed within the window.
    std::string pack = std::string(100, 'x') + stereo + std::string(50, 'y');
    auto* packed = new base::MemoryStream(pack.data(), static_cast<u32>(pack.size()));
    base::FrameStream frame(packed, true, 100, static_cast<u32>(stereo.size()));
    stream = VorbisStream::Open(&frame, error);
    ASSERT_TRUE(stream) << error;
    EXPECT_EQ(stream->SampleRate(), 22050u);
    EXPECT_EQ(stream->Channels(), 2u);
    EXPECT_EQ(stream->LengthFrames(), 22050u);

    out.assign(30000 * 2, 0.0f);
    u32 got = stream->Read(out.data(), 30000);
    ASSERT_EQ(got, 22050u);
    for (u32 i = 0; i < got * 2; i += 997)
        ASSERT_FLOAT_EQ(out[i], whole.samples[i]);

    ASSERT_TRUE(stream->Rewind());
    std::vector<float> again(100);
    ASSERT_EQ(stream->Read(again.data(), 50), 50u);
    EXPECT_EQ(again, std::vector<float>(whole.samples.begin(), whole.samples.begin() + 100));
}

TEST(Decoders, AnOggStreamDecodesNoFurtherThanOneLongBlockPastTheLengthItsPagesDeclare)
{
    // The track holds 22,050 frames in one page; its granule position declares the length.
    Pcm pcm;
    std::string error;
    for (bool endOfStream : {false, true})
    {
        for (u64 declared : {22050u, 18000u})
        {
            const std::string ogg = WithLastPage(declared, endOfStream);
            EXPECT_TRUE(DecodeOgg(ogg.data(), ogg.size(), pcm, error)) << declared << ": " << error;
            EXPECT_LE(pcm.Frames(), declared + 8192) << declared;
            EXPECT_GT(pcm.Frames(), 10000u) << declared;
        }
        for (u64 declared : {10000u, 100u})
        {
            const std::string ogg = WithLastPage(declared, endOfStream);
            EXPECT_FALSE(DecodeOgg(ogg.data(), ogg.size(), pcm, error)) << declared;
            EXPECT_EQ("runs past the length its pages declare", error) << declared;
        }
    }
}

TEST(Resampler, InterpolatesPredictsItsLengthStreamsInChunksAndLeavesOutputRateSourcesAlone)
{
    Pcm pcm{22050, 1, {0.0f, 1.0f, 0.5f}};
    Resample(pcm, 44100);
    EXPECT_EQ(pcm.rate, 44100u);
    EXPECT_EQ(pcm.samples, (std::vector<float>{0.0f, 0.5f, 1.0f, 0.75f, 0.5f, 0.5f}));

    const u32 rates[] = {8000, 11025, 22050, 32000, 44100, 48000, 96000};
    for (u32 rate : rates)
        for (u32 frames : {1u, 7u, 1000u, 4321u})
        {
            Pcm flat{rate, 1, std::vector<float>(frames, 0.25f)};
            Resample(flat, kOutputRate);
            EXPECT_EQ(ResampledFrames(frames, rate, kOutputRate), flat.Frames()) << rate << " Hz, " << frames;
        }
    EXPECT_EQ(ResampledFrames(0, 1, kOutputRate), 0u);
    EXPECT_GE(ResampledFrames(1000, 1, kOutputRate), 44100000u) << "over the sample limit";
    EXPECT_GT(ResampledFrames(0xFFFFFFFFu, 1, kOutputRate), 0xFFFFFFFFull * 44100) << "no wrap-around";

    // The streaming wrapper refills in chunks; the result must not depend on the chunking.
    const u32 length = 10000;
    pcm = Pcm{32000, 2, {}};
    audiotest::RampSource reference(length, 32000, 1.0f / 16384.0f);
    for (u32 i = 0; i < length; ++i)
        pcm.samples.insert(pcm.samples.end(), {reference.Value(i), reference.Value(i)});
    Resample(pcm, kOutputRate);

    auto source = AtOutputRate(std::make_unique<audiotest::RampSource>(length, 32000, 1.0f / 16384.0f));
    EXPECT_EQ(source->SampleRate(), kOutputRate);
    std::vector<float> out;
    std::vector<float> block(2 * 333);
    for (;;)
    {
        u32 got = source->Read(block.data(), 333);
        out.insert(out.end(), block.begin(), block.begin() + got * 2);
        if (got < 333)
            break;
    }
    ASSERT_EQ(out.size(), pcm.samples.size());
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_FLOAT_EQ(out[i], pcm.samples[i]) << i;

    ASSERT_TRUE(source->Rewind());
    ASSERT_EQ(source->Read(block.data(), 1), 1u);
    EXPECT_FLOAT_EQ(block[0], pcm.samples[0]);

    // Output-rate sources are left alone.
    auto ramp = std::make_unique<audiotest::RampSource>(10);
    FrameSource* raw = ramp.get();
    EXPECT_EQ(AtOutputRate(std::move(ramp)).get(), raw);
}
