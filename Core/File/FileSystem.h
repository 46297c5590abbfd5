// Operations on the real file system: folders, deletion, renaming, raw reads and appends, the
// working directory.
#pragma once

#include "Core/Base/Types.h"

#include <string>

namespace file
{
// The UTF-8 path the OS is called with; "\" becomes "/".
std::string NativePath(const std::wstring& path);
// Why opening or reading the file failed with `error` (an errno), for a log: what stands at the
// path when it is not a plain file ("a FIFO, not a plain file"), otherwise the system's text.
std::wstring FileErrorText(const std::wstring& path, int error);

// Each returns QL_OK on success and QL_FAIL on failure.
QLResultEnum CreateDirectory(const std::wstring& path);
QLResultEnum DeleteFile(const std::wstring& path);
QLResultEnum SetCurrentDirectory(const std::wstring& path);
// Replaces an existing target atomically (same file system).
QLResultEnum RenameFile(const std::wstring& from, const std::wstring& to);
// Flushes a written file's bytes to the disk, so a rename over an older file cannot leave an
// empty or partial file behind after a crash.
QLResultEnum SyncFile(const std::wstring& path);
// Copies a file byte for byte; the target is replaced.
QLResultEnum CopyFile(const std::wstring& from, const std::wstring& to);
// Every byte of a file on the real file system (no mounts).
QLResultEnum ReadRawFile(const std::wstring& path, std::string& out);
// Appends to a file that exists already on the real file system (never creates one).
QLResultEnum AppendToFile(const std::wstring& path, const std::string& bytes);
// Writes the bytes to a temporary file beside the target, flushes it and renames it over the
// target, so the target is either the old file or the complete new one. A failure is logged, or,
// when `why` is given, described there instead (the file and the system's reason).
QLResultEnum WriteFileAtomically(const std::wstring& path, const std::string& bytes, std::wstring* why = nullptr);

// Normalises the path and creates every missing folder of it, parents first. On failure the
// folder that could not be made goes to `failed` when given (errno tells why).
QLResultEnum CreateFolders(const std::wstring& path, std::wstring* failed = nullptr);
QLResultEnum CreateFolderChain(const std::wstring& path, std::wstring* failed = nullptr);
} // namespace file
