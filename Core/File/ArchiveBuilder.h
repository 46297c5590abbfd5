// The write side of a "qlpack" data pack: the index, and building a pack from a folder.
#pragma once

#include "Core/File/Archiver.h"

#include <functional>

namespace file
{
class ArchiveBuilder
{
public:
    // Where the first file's bytes begin: 4 + magic length + 4 + sum of (4 + 2 x units + 13).
    u32 GetDataOffset() const;
    // The same in 64 bits, so a caller can refuse a pack whose offsets would not fit in u32.
    u64 GetDataOffset64() const;
    // Writes the header and index only (not the file data). QL_FAIL on the first short write.
    QLResultEnum Write(base::Stream& stream) const;

    ArchiveEntries mEntries;
};

// Builds packPath from every file under the loose folder (listed on disk, never through a mount;
// the pack itself is skipped). The pack is written to a temporary file beside packPath and renamed
// over it only when every file was copied with exactly its recorded size; on failure the old pack
// is untouched and the temporary file removed. An empty folder gives a pack with no entries.
// progress, when given, is told each file's name before its bytes are copied (index of count).
// A failure is logged and, when `why` is given, described there too.
using PackProgress = std::function<void(const std::wstring& name, u32 index, u32 count)>;
QLResultEnum BuildPack(const std::wstring& folder, const std::wstring& packPath, const PackProgress& progress = {},
                       std::wstring* why = nullptr);
} // namespace file
