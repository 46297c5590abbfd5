// Raw file access on the real file system (UTF-8 paths, no mounts): file and folder facts,
// folder listings, deletion, renaming, whole-file reads, appends, copies, flushes and atomic writes. The engine's file
// layer builds on these; each returns false on failure with errno telling why. Files are opened
// through OpenPlainFile: anything but a plain file is refused, never waited on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace os
{
// What the file system tells of a path, symbolic links followed.
struct PathInfo
{
    bool isFolder = false;
    uint64_t size = 0;
    // The same pair means the same file, whatever the path.
    uint64_t device = 0, inode = 0;
};
// False when nothing is at the path ("" is the working folder).
bool Stat(const std::string& path, PathInfo& out);
// A plain file (not a folder) exists at the path.
bool IsFile(const std::string& path);

struct FolderEntry
{
    std::string name;
    bool isFolder; // symbolic links followed
};
// The entries of a folder in the disk's order, without "." and ".."; false when it cannot be read.
bool ListFolder(const std::string& path, std::vector<FolderEntry>& out);
bool MakeFolder(const std::string& path);
// A new file can be made in the folder: one is created and removed again.
bool CanCreateFileIn(const std::string& folder);
bool RemoveFile(const std::string& path);
bool ChangeDirectory(const std::string& path);
// Replaces an existing target atomically (same file system).
bool Rename(const std::string& from, const std::string& to);
// Flushes a written file's bytes to the disk.
bool Sync(const std::string& path);
// Copies byte for byte, replacing the target; a failed copy leaves no target behind. The target
// is opened as OpenFreshFile does: a link, a FIFO, a folder or a hard-linked file is refused as it is.
bool Copy(const std::string& from, const std::string& to);
// Every byte of the file.
bool ReadAll(const std::string& path, std::string& out);
// Appends to a file that exists already (never creates one).
bool Append(const std::string& path, const std::string& bytes);

// A new, empty plain file beside `path` to be renamed over it, opened for writing: "<path>.tmp",
// created exclusively (never through a link, never an existing file). A plain file of this user
// with one name standing there is an earlier write's leftover and is replaced; anything else
// (a link, a FIFO, a folder, another user's or a hard-linked file) is left as it is and the file
// is made as "<path>.tmp.<pid>.<count>" instead. Permissions as open(2) with 0666 gives. `name` holds
// the name made (or last tried); -1 on failure with errno telling why.
int CreateTemporaryFile(const std::string& path, std::string& name);
// Removes what writes killed part way left of `path` under CreateTemporaryFile's fresh names
// ("<path>.tmp.<digits>.<digits>"): plain files of this user with one name. Anything else of such
// a name, and every other name, is left as it is. Only for a folder whose writers all have ended
// (its lock is held). `removed` holds the names removed; false when the folder cannot be read.
bool RemoveTemporaryLeftovers(const std::string& path, std::vector<std::string>& removed);

// Writes the bytes to a temporary file of its own (CreateTemporaryFile), flushes it and renames it
// over the path, so the path holds either the old file or the complete new one. On failure the
// temporary file is gone and `created` tells whether it could be made at all; errno holds the cause.
bool WriteAtomically(const std::string& path, const std::string& bytes, bool& created);
} // namespace os
