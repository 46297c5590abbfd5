// The buffered reader gives the same bytes as direct access, across every buffer boundary.
#include "Core/Base/Stream.h"
#include "Core/Psd/Reader.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    return bytes;
}
} // namespace

TEST(Reader, MixedReadsAndSkipsMatchTheReference)
{
    const std::string data = Pattern(40000);
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
}

TEST(Reader, ShortReadsGiveZeroAndSkipsStopAtTheEndMarkingTheOverrun)
{
    const std::string data("\x01\x02\x03", 3);
    base::MemoryStream stream(data.data(), static_cast<u32>(data.size()));
    psd::Reader reader(stream);
    EXPECT_EQ(0u, reader.U32());
    EXPECT_TRUE(reader.Overrun());
    EXPECT_EQ(3u, reader.Position());
    EXPECT_EQ(0u, reader.U8());

    const std::string longer = Pattern(10000);
    base::MemoryStream longStream(longer.data(), static_cast<u32>(longer.size()));
    psd::Reader skipping(longStream);
    skipping.Skip(5000);
    EXPECT_FALSE(skipping.Overrun());
    skipping.Skip(6000);
    EXPECT_TRUE(skipping.Overrun());
    EXPECT_EQ(10000u, skipping.Position());
    skipping.SkipTo(20);
    EXPECT_EQ(10000u, skipping.Position());
}
