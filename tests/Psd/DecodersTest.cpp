// The channel decoders on their own: PackBits rows against a plain reference decoder, and
// whole-stream inflation.
#include "Core/Psd/Channels.h"
#include "Core/Psd/Status.h"
#include "PsdBuilder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
// Byte by byte, bounded by the input and the row.
std::vector<u8> ReferenceUnpack(const std::vector<u8>& in, size_t width)
{
    std::vector<u8> out;
    size_t i = 0;
    while (i < in.size() && out.size() < width)
    {
        const u32 n = in[i++];
        if (n < 128)
        {
            for (u32 k = 0; k <= n && i < in.size(); ++k, ++i)
                if (out.size() < width)
                    out.push_back(in[i]);
        }
        else if (n > 128)
        {
            if (i >= in.size())
                break;
            const u8 value = in[i++];
            for (u32 k = 0; k < 257 - n && out.size() < width; ++k)
                out.push_back(value);
        }
    }
    out.resize(width, 0);
    return out;
}

// Random runs of every kind, long and short, including no-op headers.
std::vector<u8> RandomPackBits(std::mt19937& rng, size_t runs)
{
    std::vector<u8> out;
    for (size_t r = 0; r < runs; ++r)
    {
        const u32 kind = rng() % 5;
        const u32 length = kind < 2 ? 128 : 1 + rng() % 128;
        if (kind == 4)
            out.push_back(128);
        else if (kind % 2 == 0)
        {
            out.push_back(static_cast<u8>(length - 1));
            for (u32 k = 0; k < length; ++k)
                out.push_back(static_cast<u8>(rng()));
        }
        else
        {
            out.push_back(static_cast<u8>(257 - std::max<u32>(length, 2)));
            out.push_back(static_cast<u8>(rng()));
        }
    }
    return out;
}

std::vector<u8> Deflate(const std::vector<u8>& raw)
{
    const std::string stream = psdtest::Deflate(std::string(raw.begin(), raw.end()));
    return std::vector<u8>(stream.begin(), stream.end());
}

std::vector<u8> RandomBytes(std::mt19937& rng, size_t count)
{
    std::vector<u8> out(count);
    for (u8& b : out)
        b = static_cast<u8>(rng() % 7); // compressible but not trivial
    return out;
}
} // namespace

TEST(Decoders, PackBitsRowsMatchAReferenceWithoutTouchingPastTheRow)
{
    std::mt19937 rng(7);
    constexpr size_t kGuard = 300;
    for (int trial = 0; trial < 400; ++trial)
    {
        std::vector<u8> packed = RandomPackBits(rng, 1 + rng() % 12);
        // Cut inputs end inside a run.
        if (trial % 3 == 0)
            packed.resize(rng() % (packed.size() + 1));
        const size_t width = rng() % 700;
        std::vector<u8> out(width + kGuard, 0xCD);
        psd::UnpackBitsRow(packed.data(), packed.data() + packed.size(), out.data(), width);
        const std::vector<u8> expected = ReferenceUnpack(packed, width);
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), out.begin())) << "trial " << trial;
        for (size_t i = width; i < out.size(); ++i)
            ASSERT_EQ(0xCD, out[i]) << "trial " << trial << " wrote past the row at " << i;
    }
}

// Whole streams, shorter streams and damage through documents: ChannelData and DamagedInput.
TEST(Decoders, InflaterKeepsThePrefixOfALongerStreamIgnoresTrailingBytesAndRefusesABadChecksum)
{
    std::mt19937 rng(3);
    const std::vector<u8> raw = RandomBytes(rng, 5000);
    const std::vector<u8> stream = Deflate(raw);
    psd::ZipInflater inflater;
    std::vector<u8> part(1000, 0xAA);
    ASSERT_EQ(psd::kOk, inflater.Inflate(stream.data(), stream.size(), part.data(), part.size()));
    EXPECT_TRUE(std::equal(part.begin(), part.end(), raw.begin()));
    std::vector<u8> trailing = stream;
    trailing.insert(trailing.end(), {1, 2, 3, 4});
    std::vector<u8> out(5000, 0xAA);
    ASSERT_EQ(psd::kOk, inflater.Inflate(trailing.data(), trailing.size(), out.data(), out.size()));
    EXPECT_EQ(raw, out);
    std::vector<u8> badSum = stream;
    badSum.back() ^= 0x55;
    EXPECT_EQ(psd::kZipFailed, inflater.Inflate(badSum.data(), badSum.size(), out.data(), out.size()));
}
