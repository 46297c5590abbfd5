// Memory, file and frame streams, their creators, and the free stream operations.
#include "Core/Base/Stream.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace
{
std::vector<u8> Iota(size_t count)
{
    std::vector<u8> bytes(count);
    std::iota(bytes.begin(), bytes.end(), static_cast<u8>(0));
    return bytes;
}

std::string IotaText(size_t count)
{
    const std::vector<u8> bytes = Iota(count);
    return std::string(bytes.begin(), bytes.end());
}

// A destination that accepts at most `limit` bytes in all.
class LimitedStream : public base::MemoryStream
{
public:
    explicit LimitedStream(u32 limit) : mLimit(limit) {}
    u32 Write(const void* src, u32 count) override
    {
        const u32 n = std::min(count, mLimit - GetSize());
        return base::MemoryStream::Write(src, n);
    }

private:
    u32 mLimit;
};

// A source that announces more bytes than it delivers.
class ShortSource : public base::MemoryStream
{
public:
    using base::MemoryStream::MemoryStream;
    u32 GetSize() override { return base::MemoryStream::GetSize() + 100; }
};
} // namespace

TEST(MemoryStream, SeekClampsToTheBuffer)
{
    const std::vector<u8> bytes = Iota(10);
    base::MemoryStream stream(bytes.data(), 10);
    EXPECT_EQ(stream.Seek(-5, 0), 0u);
    EXPECT_EQ(stream.Seek(20, 0), 10u);
    EXPECT_EQ(stream.Seek(-3, 1), 7u);
    EXPECT_EQ(stream.Seek(-4, 2), 6u);
    EXPECT_EQ(stream.Seek(5, 2), 10u);
    EXPECT_EQ(stream.Seek(-0x7FFFFFFF, 1), 0u);
    EXPECT_EQ(stream.Seek(0x7FFFFFFF, 1), 10u);
    EXPECT_EQ(stream.Seek(99, 7), 10u) << "an unknown origin only clamps";
}

TEST(MemoryStream, ReadPastTheEndGivesNothingAndStaysAtTheEnd)
{
    const std::vector<u8> bytes = Iota(10);
    base::MemoryStream stream(bytes.data(), 10);
    stream.Seek(8, 0);
    u8 out[16] = {};
    EXPECT_EQ(stream.Read(out, 16), 2u);
    EXPECT_EQ(out[0], 8);
    EXPECT_EQ(stream.Read(out, 16), 0u);
    EXPECT_EQ(stream.GetPosition(), 10u);
}

TEST(MemoryStream, WritingPastTheEndGrowsExactlyAndKeepsTheStart)
{
    const std::vector<u8> bytes = Iota(10);
    base::MemoryStream stream(bytes.data(), 10);
    stream.Seek(8, 0);
    const u8 more[4] = {0xA0, 0xA1, 0xA2, 0xA3};
    EXPECT_EQ(stream.Write(more, 4), 4u);
    ASSERT_EQ(stream.GetSize(), 12u);
    EXPECT_EQ(stream.GetPosition(), 12u);
    const std::vector<u8> expected = {0, 1, 2, 3, 4, 5, 6, 7, 0xA0, 0xA1, 0xA2, 0xA3};
    EXPECT_EQ(std::vector<u8>(stream.GetBuffer(), stream.GetBuffer() + 12), expected);
}

TEST(MemoryStream, StartsEmptyAndResizeClampsThePosition)
{
    base::MemoryStream stream;
    EXPECT_EQ(stream.GetSize(), 0u);
    EXPECT_TRUE(stream.IsEof());
    u8 byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1), 0u);
    EXPECT_EQ(stream.Write(nullptr, 0), 0u);

    const std::vector<u8> bytes = Iota(10);
    stream.Write(bytes.data(), 10);
    stream.Resize(4, true);
    EXPECT_EQ(stream.GetSize(), 4u);
    EXPECT_EQ(stream.GetPosition(), 4u);
    EXPECT_EQ(stream.GetBuffer()[3], 3);
}

TEST(MemoryStream, WriteU32IsLittleEndianAndReportsShortWrites)
{
    base::MemoryStream stream;
    const u32 value = 0x11223344;
    EXPECT_FALSE(base::Stream::WriteU32(stream, &value));
    const std::vector<u8> expected = {0x44, 0x33, 0x22, 0x11};
    EXPECT_EQ(std::vector<u8>(stream.GetBuffer(), stream.GetBuffer() + 4), expected);

    LimitedStream full(2);
    EXPECT_TRUE(base::Stream::WriteU32(full, &value));
}

class FileStreamTest : public ::testing::Test
{
protected:
    testsupport::TempDir mDir;
};

TEST_F(FileStreamTest, WritesThenReadsAFile)
{
    base::FileStream out;
    ASSERT_EQ(out.Handle().Open(mDir.WPath("a.bin"), 1, 0), QL_OK);
    EXPECT_EQ(out.Write("hello", 5), 5u);
    EXPECT_EQ(out.GetSize(), 5u);
    EXPECT_EQ(out.Handle().Close(), QL_OK);
    EXPECT_EQ(out.Handle().Close(), QL_FAIL) << "closing twice";
    EXPECT_TRUE(out.Handle().GetPath().empty());

    base::FileStream in;
    ASSERT_EQ(in.Handle().Open(mDir.WPath("a.bin"), 0, 2), QL_OK);
    EXPECT_FALSE(in.IsEof());
    char text[8] = {};
    EXPECT_EQ(in.Read(text, 8), 5u);
    EXPECT_STREQ(text, "hello");
    EXPECT_EQ(in.Read(text, 8), 0u);
    EXPECT_FALSE(in.IsEof()) << "a file stream never reports its end";
    EXPECT_EQ(in.Write("x", 1), 0u) << "opened for reading only";
}

TEST_F(FileStreamTest, CreationModes)
{
    base::FileStream stream;
    EXPECT_EQ(stream.Handle().Open(mDir.WPath("missing.bin"), 0, 2), QL_FAIL);
    EXPECT_EQ(stream.Handle().Open(mDir.WPath("new.bin"), 2, 1), QL_OK);
    stream.Write("abc", 3);
    EXPECT_EQ(QL_OK, stream.Handle().Close());
    EXPECT_EQ(stream.Handle().Open(mDir.WPath("new.bin"), 2, 1), QL_FAIL) << "new-only on an existing file";
    EXPECT_EQ(stream.Handle().Open(mDir.WPath("new.bin"), 2, 9), QL_FAIL) << "unknown creation mode";
    EXPECT_EQ(stream.Handle().Open(mDir.WPath("new.bin"), 2, 0), QL_OK);
    EXPECT_EQ(stream.GetSize(), 0u) << "always-create truncates";
    EXPECT_EQ(stream.Handle().Open(mDir.WPath(""), 0, 2), QL_FAIL) << "a folder is not a file";
}

TEST_F(FileStreamTest, OpensNonAsciiPaths)
{
    base::FileStream stream;
    ASSERT_EQ(stream.Handle().Open(mDir.WPath("") + L"\u00e9t\u00e9 \u65e5.bin", 1, 0), QL_OK);
    stream.Write("z", 1);
    EXPECT_EQ(QL_OK, stream.Handle().Close());
    EXPECT_EQ(mDir.Read("\xc3\xa9t\xc3\xa9 \xe6\x97\xa5.bin"), "z");
}

TEST_F(FileStreamTest, SeekReturnsTheNewPositionOrKeepsTheOldOne)
{
    mDir.Write("s.bin", IotaText(100));
    base::FileStream stream;
    ASSERT_EQ(stream.Handle().Open(mDir.WPath("s.bin"), 0, 2), QL_OK);
    EXPECT_EQ(stream.Seek(40, 0), 40u);
    EXPECT_EQ(stream.Seek(5, 1), 45u);
    EXPECT_EQ(stream.Seek(-10, 2), 90u);
    EXPECT_EQ(stream.Seek(-1000, 0), 90u) << "a failed seek leaves the position";
    u8 byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1), 1u);
    EXPECT_EQ(byte, 90);
}

TEST_F(FileStreamTest, ClosedHandleFailsQuietly)
{
    file::FileHandleWin32 handle;
    u32 done = 7;
    u8 byte = 0;
    EXPECT_EQ(handle.Read(&byte, 1, &done), QL_FAIL);
    EXPECT_EQ(handle.Write(&byte, 1, &done), QL_FAIL);
    EXPECT_EQ(handle.GetSize(), 0u);
    EXPECT_EQ(handle.Seek(4, 0), 0u);
    EXPECT_EQ(done, 7u);
}

TEST(FrameStream, TwoFramesOverOneSourceReadIndependently)
{
    const std::vector<u8> bytes = Iota(64);
    base::MemoryStream source(bytes.data(), 64);
    base::FrameStream first(&source, false, 10, 20);
    base::FrameStream second(&source, false, 40, 20);
    u8 a = 0, b = 0;
    for (int i = 0; i < 5; ++i)
    {
        ASSERT_EQ(first.Read(&a, 1), 1u);
        ASSERT_EQ(second.Read(&b, 1), 1u);
        EXPECT_EQ(a, 10 + i);
        EXPECT_EQ(b, 40 + i);
    }
    EXPECT_EQ(first.Seek(-1, 2), 19u);
    EXPECT_EQ(first.Seek(-100, 1), 0u);
    EXPECT_EQ(first.Seek(100, 0), 20u);
}

TEST(FrameStream, WindowBeyondTheSourceEndsAtTheSource)
{
    const std::vector<u8> bytes = Iota(16);
    base::MemoryStream source(bytes.data(), 16);
    base::FrameStream frame(&source, false, 10, 50);
    u8 out[64];
    EXPECT_EQ(frame.Read(out, 64), 6u);
    EXPECT_EQ(frame.Read(out, 64), 0u);

    base::FrameStream empty;
    EXPECT_EQ(empty.Read(out, 4), 0u);
    EXPECT_TRUE(empty.IsEof());
}

TEST_F(FileStreamTest, FrameStreamCreatorWrapsTheInnerStream)
{
    mDir.Write("p.bin", IotaText(32));
    base::FrameStreamCreator creator(new base::FileStreamCreator(mDir.WPath("p.bin"), 0, 2), true, 8, 4);
    base::Stream* out = nullptr;
    ASSERT_EQ(creator.Create(out), QL_OK);
    std::unique_ptr<base::Stream> stream(out);
    u8 bytes[8] = {};
    EXPECT_EQ(stream->Read(bytes, 8), 4u);
    EXPECT_EQ(bytes[0], 8);
    EXPECT_EQ(bytes[3], 11);

    base::FrameStreamCreator orphan(nullptr, false, 0, 4);
    base::Stream* none = nullptr;
    EXPECT_EQ(orphan.Create(none), QL_FAIL);
    EXPECT_EQ(none, nullptr);

    base::FrameStreamCreator missing(new base::FileStreamCreator(mDir.WPath("nope.bin"), 0, 2), true, 0, 4);
    EXPECT_EQ(missing.Create(none), QL_FAIL);
    EXPECT_EQ(none, nullptr);
}

TEST(ReadString, ReadsALengthThenTheBytes)
{
    base::MemoryStream stream;
    const u32 length = 5;
    base::Stream::WriteU32(stream, &length);
    stream.Write("hello!", 6);
    stream.Seek(0, 0);
    std::string out;
    EXPECT_EQ(base::ReadString(stream, out), QL_OK);
    EXPECT_EQ(out, "hello");
    EXPECT_EQ(stream.GetPosition(), 9u);
}

TEST(ReadString, ShortStreamsFail)
{
    const u8 lengthSixButThreeBytes[] = {6, 0, 0, 0, 'a', 'b', 'c'};
    base::MemoryStream stream(lengthSixButThreeBytes, sizeof(lengthSixButThreeBytes));
    std::string out;
    EXPECT_EQ(base::ReadString(stream, out), QL_FAIL);

    const u8 hugeLength[] = {0xFF, 0xFF, 0xFF, 0xFF, 'a'};
    base::MemoryStream huge(hugeLength, sizeof(hugeLength));
    EXPECT_EQ(base::ReadString(huge, out), QL_FAIL) << "must not try to allocate 4 GiB";

    const u8 partialLength[] = {1, 0};
    base::MemoryStream partial(partialLength, sizeof(partialLength));
    EXPECT_EQ(base::ReadString(partial, out), QL_FAIL);

    const u8 emptyString[] = {0, 0, 0, 0};
    base::MemoryStream empty(emptyString, sizeof(emptyString));
    out = "stale";
    EXPECT_EQ(base::ReadString(empty, out), QL_OK);
    EXPECT_EQ(out, "");
}

TEST(CopyStream, AllBitsCopiesTheWholeSourceFromItsStart)
{
    const std::vector<u8> bytes = Iota(100);
    base::MemoryStream source(bytes.data(), 100);
    source.Seek(60, 0);
    base::MemoryStream destination;
    EXPECT_EQ(base::CopyStream(destination, source, 0xFFFFFFFFu), 100u);
    ASSERT_EQ(destination.GetSize(), 100u);
    EXPECT_EQ(std::vector<u8>(destination.GetBuffer(), destination.GetBuffer() + 100), bytes);
}

TEST(CopyStream, CopiesLargeSourcesInChunks)
{
    std::vector<u8> bytes(3 * (1u << 20) + 17);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<u8>(i * 7 + (i >> 20));
    base::MemoryStream source(bytes.data(), static_cast<u32>(bytes.size()));
    base::MemoryStream destination;
    EXPECT_EQ(base::CopyStream(destination, source, 0xFFFFFFFFu), bytes.size());
    EXPECT_EQ(std::vector<u8>(destination.GetBuffer(), destination.GetBuffer() + destination.GetSize()), bytes);
}

TEST(CopyStream, StopsWhenTheSourceRunsDryOrTheDestinationIsFull)
{
    const std::vector<u8> bytes = Iota(50);
    ShortSource liar(bytes.data(), 50);
    base::MemoryStream destination;
    EXPECT_EQ(base::CopyStream(destination, liar, 0xFFFFFFFFu), 50u) << "ends instead of looping";

    base::MemoryStream source(bytes.data(), 50);
    LimitedStream small(20);
    EXPECT_EQ(base::CopyStream(small, source, 0xFFFFFFFFu), 20u);
}
