// The decoders on their own: the buffered reader, PackBits rows against a plain reference
// decoder, and whole-stream inflation.
#include "Core/Base/Stream.h"
#include "Core/Psd/Channels.h"
#include "Core/Psd/Reader.h"
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

// Bytes that differ across every buffer boundary.
std::string Noise(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    return bytes;
}
} // namespace

TEST(Decoders, PackBitsRowsInflationAndBufferedReadsMatchAReferenceWithoutOverrunning)
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

    // The inflater keeps the prefix of a longer stream and ignores trailing bytes. Shorter streams
    // and damage through documents: ChannelData and DamagedInput.
    rng.seed(3);
    std::vector<u8> raw(5000);
    for (u8& b : raw)
        b = static_cast<u8>(rng() % 7); // compressible but not trivial
    const std::string deflated = psdtest::Deflate(std::string(raw.begin(), raw.end()));
    const std::vector<u8> zipped(deflated.begin(), deflated.end());
    psd::ZipInflater inflater;
    std::vector<u8> part(1000, 0xAA);
    ASSERT_EQ(psd::kOk, inflater.Inflate(zipped.data(), zipped.size(), part.data(), part.size()));
    EXPECT_TRUE(std::equal(part.begin(), part.end(), raw.begin()));
    std::vector<u8> trailing = zipped;
    trailing.insert(trailing.end(), {1, 2, 3, 4});
    std::vector<u8> out(5000, 0xAA);
    ASSERT_EQ(psd::kOk, inflater.Inflate(trailing.data(), trailing.size(), out.data(), out.size()));
    EXPECT_EQ(raw, out);
    std::vector<u8> badSum = zipped;
    badSum.back() ^= 0x55;
    // A bad checksum, a cut stream and garbage fail and leave the output cleared; the inflater
    // still works after them.
    const std::vector<u8> cut(zipped.begin(), zipped.begin() + zipped.size() / 2);
    const std::vector<u8> garbage = {'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'};
    for (const std::vector<u8>* bad : std::initializer_list<const std::vector<u8>*>{&badSum, &cut, &garbage})
    {
        std::fill(out.begin(), out.end(), 0xAA);
        EXPECT_EQ(psd::kZipFailed, inflater.Inflate(bad->data(), bad->size(), out.data(), out.size()));
        EXPECT_EQ(std::vector<u8>(out.size(), 0), out);
    }
    ASSERT_EQ(psd::kOk, inflater.Inflate(zipped.data(), zipped.size(), out.data(), out.size()));
    EXPECT_EQ(raw, out);

    // Buffered reads and skips match the bytes across every buffer boundary and stop at the end.
    const std::string data = Noise(40000);
    base::MemoryStream stream(data.data(), static_cast<u32>(data.size()));
    psd::Reader reader(stream);
    std::mt19937 random(7);
    // Sizes straddle the 4096-byte buffer: small, exactly at it, just above it, large.
    const u32 sizes[] = {1, 3, 4095, 4096, 4097, 9000, 17};
    size_t position = 0;
    while (position < data.size())
    {
        u32 size = sizes[random() % 7];
        size = static_cast<u32>(std::min<size_t>(size, data.size() - position));
        if (random() % 2)
        {
            std::string got(size, '\0');
            ASSERT_EQ(size, reader.Read(got.data(), size));
            ASSERT_EQ(data.substr(position, size), got) << position;
        }
        else
            reader.Skip(size);
        position += size;
        ASSERT_EQ(position, reader.Position());
    }
    EXPECT_FALSE(reader.Overrun());
    EXPECT_EQ(0u, reader.Remaining());

    // Short reads give zero; skips stop at the end, marking the overrun.
    EXPECT_EQ(0u, reader.U8());
    EXPECT_TRUE(reader.Overrun());
    base::MemoryStream three(data.data(), 3);
    psd::Reader shortReader(three);
    EXPECT_EQ(0u, shortReader.U32());
    EXPECT_TRUE(shortReader.Overrun());
    EXPECT_EQ(3u, shortReader.Position());
    base::MemoryStream longStream(data.data(), 10000);
    psd::Reader skipping(longStream);
    skipping.Skip(5000);
    EXPECT_FALSE(skipping.Overrun());
    skipping.Skip(6000);
    EXPECT_TRUE(skipping.Overrun());
    EXPECT_EQ(10000u, skipping.Position());
    skipping.SkipTo(20);
    EXPECT_EQ(10000u, skipping.Position());
}
