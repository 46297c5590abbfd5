// Files opened for reading and writing piece by piece (POSIX descriptors): what the engine's file
// handle stands on. Each call retries on EINTR; failures leave errno telling why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace os
{
enum class FileAccess
{
    Read,
    Write,
    ReadWrite,
    QueryOnly
};
enum class FileCreation
{
    Always,
    NewOnly,
    Existing
};

// A descriptor of a plain file, or -1. Always truncates an existing file; QueryOnly cannot create.
// Anything else at the path (a folder, a FIFO, a socket, a device) is refused, never waited on:
// see OpenPlainFile.
int OpenFile(const std::string& path, FileAccess access, FileCreation creation);
// open(2) with the POSIX flags given (O_CLOEXEC added) for a plain file only: it never blocks in
// open() (a FIFO without a peer would hold it for good), and a folder fails with EISDIR, anything
// else that is not a plain file with ENXIO. Links are followed.
int OpenPlainFile(const std::string& path, int flags, unsigned mode = 0666);
// Why opening the path failed with `error`, for a log: what stands there when it is not a plain
// file ("a FIFO, not a plain file"), otherwise the system's text ("Too many open files").
std::string OpenFailureText(const std::string& path, int error);
bool CloseFile(int fd);
// Moves bytes until `count`, the end of the file or an error; false only on an error. `done` holds
// what was moved either way.
bool ReadFile(int fd, void* buffer, size_t count, size_t& done);
bool WriteFile(int fd, const void* buffer, size_t count, size_t& done);
// origin 0 from the start, 1 from the current position, 2 from the end: the new position, or -1.
int64_t SeekFile(int fd, int64_t offset, int origin);
// The file's size in bytes, or -1.
int64_t FileSize(int fd);
// A plain file opened to be written from empty, every write appended at its end: created when
// missing, emptied only once it is known to be a plain file with no other name. A symbolic link
// (ELOOP), a fifo or device (EINVAL), a folder (EISDIR) or a hard-linked file (EMLINK) is refused
// as it is: -1.
int OpenFreshFile(const std::string& path);
// A write past the process's file-size limit (ulimit -f) fails with EFBIG, as a full disk does,
// instead of ending the process with SIGXFSZ. For the whole process, once at start-up.
void ReportFileSizeLimitAsError();
} // namespace os
