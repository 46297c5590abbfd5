// Ogg Vorbis streamed in pieces: reads that cross the decoder's 4096-frame steps and its pages,
// sources that deliver a few bytes at a time, and a second pass after a rewind.
#include "AudioBuilders.h"

#include "Platform/Audio/OggDecoder.h"

#include "Core/Base/Stream.h"
#include "support/TrickleStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace audio;

namespace
{
// Reads the whole stream in pieces of the given sizes, taken in turn; stereo frames.
std::vector<float> ReadInPieces(VorbisStream& stream, const std::vector<u32>& sizes)
{
    std::vector<float> all;
    std::vector<float> piece;
    for (size_t turn = 0;; ++turn)
    {
        const u32 want = sizes[turn % sizes.size()];
        piece.assign(static_cast<size_t>(want) * 2, -7.0f);
        const u32 got = stream.Read(piece.data(), want);
        EXPECT_LE(got, want);
        all.insert(all.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got) * 2);
        if (got < want)
            return all;
    }
}

// The whole-file decode as stereo frames (mono spread to both sides).
std::vector<float> WholeStereo(const Pcm& pcm)
{
    if (pcm.channels == 2)
        return pcm.samples;
    std::vector<float> out;
    for (float s : pcm.samples)
        out.insert(out.end(), {s, s});
    return out;
}

::testing::AssertionResult SameSamples(const std::vector<float>& got, const std::vector<float>& expected)
{
    if (got.size() != expected.size())
        return ::testing::AssertionFailure() << got.size() << " samples instead of " << expected.size();
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != expected[i])
            return ::testing::AssertionFailure()
                   << "sample " << i << " (frame " << i / 2 << "): " << got[i] << " instead of " << expected[i];
    return ::testing::AssertionSuccess();
}
} // namespace

TEST(VorbisChunks, PiecesAcrossDecoderStepsAndTrickledBytesGiveTheWholeDecodeTwice)
{
    // Piece sizes below, at and just past the decoder's 4096-frame step, and odd ones between.
    const std::vector<u32> sizes = {1, 4095, 4096, 4097, 333, 8193, 2};
    const std::vector<u32> other = {4097, 7, 12000, 4096, 1};
    for (const char* name : {"stereo500.ogg", "half330.ogg"})
    {
        const std::string ogg = audiotest::ReadTrack(name);
        Pcm pcm;
        std::string error;
        ASSERT_TRUE(DecodeOgg(ogg.data(), ogg.size(), pcm, error)) << name << ": " << error;
        const std::vector<float> whole = WholeStereo(pcm);
        ASSERT_GT(whole.size() / 2, 3u * 4096u) << name << ": long enough to need several steps";

        // Whole bytes, a few bytes at a time, and one byte at a time through a pack-like window.
        for (u32 most : {0xFFFFFFFFu, 13u, 1u})
        {
            const std::string pack = std::string(77, 'p') + ogg + std::string(5, 'q');
            auto* source = new TrickleStream(pack, most);
            base::FrameStream frame(source, true, 77, static_cast<u32>(ogg.size()));
            auto stream = VorbisStream::Open(&frame, error);
            ASSERT_TRUE(stream) << name << " " << most << ": " << error;
            EXPECT_EQ(stream->LengthFrames(), pcm.Frames()) << name;

            EXPECT_TRUE(SameSamples(ReadInPieces(*stream, sizes), whole)) << name << ", at most " << most;
            EXPECT_EQ(stream->Read(std::vector<float>(8).data(), 4), 0u) << "stays at the end";

            // The second pass after a rewind, in other pieces, is the same again.
            ASSERT_TRUE(stream->Rewind()) << name;
            EXPECT_TRUE(SameSamples(ReadInPieces(*stream, other), whole)) << name << " again, at most " << most;
        }
    }
}
