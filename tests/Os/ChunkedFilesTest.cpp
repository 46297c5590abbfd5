// Whole-file reads and copies go through a 64 KiB buffer: sizes around and across it come through
// byte for byte. (A pipe is refused before any read: OpenFileTest.)
#include "Platform/Os/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
constexpr size_t kBuffer = 65536;

// Bytes that differ from their neighbours and from the same place one buffer on.
std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / kBuffer * 7 + 3) & 0xFF);
    return bytes;
}
} // namespace

TEST(ChunkedFiles, ReadsAndCopiesAroundAndAcrossTheBufferKeepEveryByte)
{
    testsupport::TempDir dir;
    for (size_t size : {size_t{0}, size_t{1}, kBuffer - 1, kBuffer, kBuffer + 1, 2 * kBuffer, 3 * kBuffer + 7})
    {
        SCOPED_TRACE(size);
        const std::string bytes = Pattern(size);
        const std::string from = dir.Write("in.bin", bytes).string();
        std::string read = "stale";
        ASSERT_TRUE(os::ReadAll(from, read));
        EXPECT_EQ(read.size(), size);
        EXPECT_TRUE(read == bytes) << "a byte lost, doubled or changed";

        const std::string to = (dir.Path() / "out.bin").string();
        ASSERT_TRUE(os::Copy(from, to));
        EXPECT_TRUE(dir.Read("out.bin") == bytes);
    }
}
