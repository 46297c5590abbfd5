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

std::vector<u8> Bytes(base::MemoryStream& stream)
{
    return std::vector<u8>(stream.GetBuffer(), stream.GetBuffer() + stream.GetSize());
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

TEST(MemoryAndFrameStream, SeekClampsReadsStopAtTheEndAndWritesGrowExactly)
{
    // Ten readable bytes either way: a whole buffer, or a window at 10 over a larger source.
    const std::vector<u8> bytes = Iota(64);
    base::MemoryStream memory(bytes.data(), 10);
    base::MemoryStream source(bytes.data(), 64);
    base::FrameStream frame(&source, false, 10, 10);
    for (base::Stream* stream : {static_cast<base::Stream*>(&memory), static_cast<base::Stream*>(&frame)})
    {
        SCOPED_TRACE(stream == &memory ? "memory" : "frame");
        const u8 first = stream == &memory ? 0 : 10;
        EXPECT_EQ(stream->Seek(-5, 0), 0u);
        EXPECT_EQ(stream->Seek(20, 0), 10u);
        EXPECT_EQ(stream->Seek(-3, 1), 7u);
        EXPECT_EQ(stream->Seek(-4, 2), 6u);
        EXPECT_EQ(stream->Seek(5, 2), 10u);
        EXPECT_EQ(stream->Seek(-0x7FFFFFFF, 1), 0u);
        EXPECT_EQ(stream->Seek(0x7FFFFFFF, 1), 10u);
        EXPECT_EQ(stream->Seek(99, 7), 10u) << "an unknown origin only clamps";
        stream->Seek(8, 0);
        u8 out[16] = {};
        EXPECT_EQ(stream->Read(out, 16), 2u);
        EXPECT_EQ(out[0], first + 8);
        EXPECT_EQ(stream->Read(out, 16), 0u);
        EXPECT_EQ(stream->Seek(0, 1), 10u);
        EXPECT_TRUE(stream->IsEof());
    }

    // Two frames over one source read independently; a window beyond the source ends with it.
    base::FrameStream second(&source, false, 40, 50);
    u8 a = 0, b = 0;
    frame.Seek(0, 0);
    for (int i = 0; i < 5; ++i)
    {
        ASSERT_EQ(frame.Read(&a, 1), 1u);
        ASSERT_EQ(second.Read(&b, 1), 1u);
        EXPECT_EQ(a, 10 + i);
        EXPECT_EQ(b, 40 + i);
    }
    u8 out[64];
    EXPECT_EQ(second.Read(out, 64), 19u);
    base::FrameStream empty;
    EXPECT_EQ(empty.Read(out, 4), 0u);
    EXPECT_TRUE(empty.IsEof());

    // Writes grow exactly; resizing clamps the position.
    base::MemoryStream stream;
    EXPECT_TRUE(stream.IsEof());
    EXPECT_EQ(stream.Read(out, 1), 0u);
    EXPECT_EQ(stream.Write(nullptr, 0), 0u);
    stream.Write(bytes.data(), 10);
    stream.Seek(8, 0);
    const u8 more[4] = {0xA0, 0xA1, 0xA2, 0xA3};
    EXPECT_EQ(stream.Write(more, 4), 4u);
    EXPECT_EQ(stream.GetPosition(), 12u);
    EXPECT_EQ(Bytes(stream), (std::vector<u8>{0, 1, 2, 3, 4, 5, 6, 7, 0xA0, 0xA1, 0xA2, 0xA3}));
    stream.Resize(4, true);
    EXPECT_EQ(stream.GetSize(), 4u);
    EXPECT_EQ(stream.GetPosition(), 4u);
    EXPECT_EQ(stream.GetBuffer()[3], 3);

    // WriteU32 is little-endian and reports short writes.
    base::MemoryStream le;
    const u32 value = 0x11223344;
    EXPECT_FALSE(base::Stream::WriteU32(le, &value));
    EXPECT_EQ(Bytes(le), (std::vector<u8>{0x44, 0x33, 0x22, 0x11}));
    LimitedStream full(2);
    EXPECT_TRUE(base::Stream::WriteU32(full, &value));
}

TEST(FileStream, WritesReadsAndSeeksAFileInEveryCreationModeFramesWrapItAndStreamOperationsStop)
{
    testsupport::TempDir mDir;
    base::FileStream out;
    ASSERT_EQ(out.Handle().Open(mDir.WPath("") + L"\u00e9t\u00e9 \u65e5.bin", 1, 0), QL_OK);
    const std::vector<u8> bytes = Iota(100);
    EXPECT_EQ(out.Write(bytes.data(), 100), 100u);
    EXPECT_EQ(out.GetSize(), 100u);
    EXPECT_EQ(out.Handle().Close(), QL_OK);
    EXPECT_EQ(out.Handle().Close(), QL_FAIL) << "closing twice";
    EXPECT_TRUE(out.Handle().GetPath().empty());
    EXPECT_EQ(mDir.Read("\xc3\xa9t\xc3\xa9 \xe6\x97\xa5.bin").size(), 100u);

    base::FileStream in;
    ASSERT_EQ(in.Handle().Open(mDir.WPath("") + L"\u00e9t\u00e9 \u65e5.bin", 0, 2), QL_OK);
    EXPECT_EQ(in.Seek(40, 0), 40u);
    EXPECT_EQ(in.Seek(5, 1), 45u);
    EXPECT_EQ(in.Seek(-10, 2), 90u);
    EXPECT_EQ(in.Seek(-1000, 0), 90u) << "a failed seek leaves the position";
    u8 tail[16] = {};
    EXPECT_EQ(in.Read(tail, 16), 10u);
    EXPECT_EQ(tail[0], 90);
    EXPECT_EQ(in.Read(tail, 16), 0u);
    EXPECT_FALSE(in.IsEof()) << "a file stream never reports its end";
    EXPECT_EQ(in.Write("x", 1), 0u) << "opened for reading only";

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

    file::FileHandleWin32 handle;
    u32 done = 7;
    u8 byte = 0;
    EXPECT_EQ(handle.Read(&byte, 1, &done), QL_FAIL);
    EXPECT_EQ(handle.Write(&byte, 1, &done), QL_FAIL);
    EXPECT_EQ(handle.GetSize(), 0u);
    EXPECT_EQ(handle.Seek(4, 0), 0u);
    EXPECT_EQ(done, 7u);

    // A frame creator over a file creator: bytes 8..11 of the file.
    mDir.Write("p.bin", std::string(bytes.begin(), bytes.begin() + 32));
    base::FrameStreamCreator creator(new base::FileStreamCreator(mDir.WPath("p.bin"), 0, 2), true, 8, 4);
    base::Stream* none = nullptr;
    ASSERT_EQ(creator.Create(none), QL_OK);
    std::unique_ptr<base::Stream> frame(none);
    EXPECT_EQ(frame->Read(tail, 8), 4u);
    EXPECT_EQ(tail[0], 8);
    EXPECT_EQ(tail[3], 11);
    none = nullptr;
    base::FrameStreamCreator orphan(nullptr, false, 0, 4);
    EXPECT_EQ(orphan.Create(none), QL_FAIL);
    base::FrameStreamCreator missing(new base::FileStreamCreator(mDir.WPath("nope.bin"), 0, 2), true, 0, 4);
    EXPECT_EQ(missing.Create(none), QL_FAIL);
    EXPECT_EQ(none, nullptr);

    // ReadString refuses short streams; CopyStream stops with either side.
    struct Case
    {
        std::vector<u8> bytes;
        QLResultEnum result;
        std::string text;
    };
    const Case cases[] = {
        {{5, 0, 0, 0, 'h', 'e', 'l', 'l', 'o', '!'}, QL_OK, "hello"},
        {{0, 0, 0, 0}, QL_OK, ""},
        {{6, 0, 0, 0, 'a', 'b', 'c'}, QL_FAIL, "stale"},
        {{0xFF, 0xFF, 0xFF, 0xFF, 'a'}, QL_FAIL, "stale"}, // must not try to allocate 4 GiB
        {{1, 0}, QL_FAIL, "stale"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.bytes.size());
        base::MemoryStream stream;
        stream.Write(c.bytes.data(), static_cast<u32>(c.bytes.size()));
        stream.Seek(-static_cast<i32>(c.bytes.size()), 1);
        std::string out = "stale";
        EXPECT_EQ(base::ReadString(stream, out), c.result);
        if (c.result == QL_OK)
        {
            EXPECT_EQ(out, c.text);
            EXPECT_EQ(stream.GetPosition(), 4 + c.text.size());
        }
    }

    std::vector<u8> large(3 * (1u << 20) + 17);
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<u8>(i * 7 + (i >> 20));
    base::MemoryStream source(large.data(), static_cast<u32>(large.size()));
    source.Seek(60, 0);
    base::MemoryStream destination;
    EXPECT_EQ(base::CopyStream(destination, source, 0xFFFFFFFFu), large.size()) << "from the source's start";
    EXPECT_EQ(Bytes(destination), large);
    // An explicit count copies from where the source stands, cut to what remains.
    source.Seek(static_cast<i32>(large.size() - 40), 0);
    base::MemoryStream ending;
    EXPECT_EQ(base::CopyStream(ending, source, 1000), 40u);
    EXPECT_EQ(Bytes(ending), std::vector<u8>(large.end() - 40, large.end()));
    EXPECT_EQ(base::CopyStream(ending, source, 0), 0u);

    ShortSource liar(large.data(), 50);
    base::MemoryStream rest;
    EXPECT_EQ(base::CopyStream(rest, liar, 0xFFFFFFFFu), 50u) << "ends instead of looping";
    LimitedStream small(20);
    EXPECT_EQ(base::CopyStream(small, source, 0xFFFFFFFFu), 20u);
}
