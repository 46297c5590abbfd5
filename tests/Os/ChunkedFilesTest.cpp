// Whole-file reads and copies go through a 64 KiB buffer: sizes around and across it, and a pipe
// that delivers its bytes in small pieces, come through byte for byte.
#include "Platform/Os/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

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

TEST(ChunkedFiles, APipeThatDeliversSmallPiecesIsReadToItsEnd)
{
    testsupport::TempDir dir;
    const std::string fifo = (dir.Path() / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string bytes = Pattern(2 * kBuffer + 500);
    std::thread writer(
        [&]
        {
            // A reader that stops early makes the writes fail instead of ending the program.
            sigset_t pipeSignal;
            sigemptyset(&pipeSignal);
            sigaddset(&pipeSignal, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0)
                return;
            // Pieces smaller than the buffer, with pauses, so each read gets only part of it.
            for (size_t at = 0; at < bytes.size(); at += 3001)
            {
                const size_t n = std::min<size_t>(3001, bytes.size() - at);
                if (::write(fd, bytes.data() + at, n) != static_cast<ssize_t>(n))
                    break;
                if (at % (10 * 3001) == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            ::close(fd);
        });
    std::string read;
    const bool ok = os::ReadAll(fifo, read);
    if (!ok)
    {
        // A writer still waiting for a reader is let go, so that the test ends.
        const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
    }
    writer.join();
    ASSERT_TRUE(ok);
    EXPECT_EQ(read.size(), bytes.size());
    EXPECT_TRUE(read == bytes);
}
