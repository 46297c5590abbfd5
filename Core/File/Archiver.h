// The read side of a "qlpack" data pack: a container over one pack file.
//
// Format, little-endian, no padding: u32 magic length (6), "qlpack", u32 entry count, then per
// entry {u32 name length L in UTF-16 units, 2L bytes of UTF-16LE name ("/" between folders),
// u32 size, u32 absolute offset, u8 flag (0), u32 extra (0)} in UTF-16 unit order of the names,
// then the files' bytes back to back in the same order.
#pragma once

#include "Core/Base/Constants.h"
#include "Core/File/Container.h"

#include <memory>

namespace file
{
struct ArchiveRecord
{
    u32 mSize = 0;
    u32 mOffset = 0; // absolute position of the first byte in the pack
    u8 mFlag = 0;    // written as 0, kept, not interpreted
    u32 mExtra = 0;  // written as 0, kept, not interpreted
};

using ArchiveEntries = std::map<std::wstring, ArchiveRecord, Utf16Less>;

class Archiver : public FileContainer
{
public:
    // Reads the index at once through the parent's stream of packPath; a missing or damaged pack
    // keeps the entries read before the fault (logged) and may be empty. Entries are listed
    // whether or not the file holds their bytes.
    Archiver(const std::wstring& prefix, const std::wstring& packPath, Container* parent);
    ~Archiver() override;

    // A FrameStream over the entry; null when the name is absent, the pack cannot be opened or
    // the entry's bytes lie beyond the end of the file (a cut pack lists what it cannot give).
    base::Stream* OpenStream(const std::wstring& name) override;
    base::StreamCreator* CreateStreamCreator(const std::wstring& name) override;
    std::wstring GetRootPath() override;

    // Reads a whole index. Entries read before a fault stay; a repeated name keeps its first
    // entry; lengths and counts larger than the bytes left are refused. The fault is logged, and
    // described in `why` when given.
    static QLResultEnum ReadIndex(ArchiveEntries& entries, base::Stream& stream, std::wstring* why = nullptr);

    const ArchiveEntries& GetEntries() const { return mEntries; }
    // What is wrong with the pack's bytes as a whole ("it is not a pack: ...", "its index is cut
    // short ...", "it is cut short: ...", or "it cannot be opened" for a pack inside another that
    // cannot give it); empty for a sound one.
    const std::wstring& GetFault() const { return mFault; }
    // Why a pack on disk could not be opened at all (the system's reason, such as "Too many open
    // files", or "a FIFO, not a plain file"); its bytes are then unknown, not damaged.
    const std::wstring& GetOpenFailure() const { return mOpenFailure; }

    Container* mParent; // not owned
    std::wstring mPrefix;
    std::wstring mPackPath;
    ArchiveEntries mEntries;
    u64 mPackSize = 0; // bytes of the pack file when its index was read
    std::wstring mFault;
    std::wstring mOpenFailure;

protected:
    void DoListFiles(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub, bool recursive,
                     std::vector<std::wstring>& out, bool relative) override;
    void DoListFolders(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub,
                       std::vector<std::wstring>& out, bool relative) override;
    bool DoExists(const std::wstring& path, const std::wstring* extensions, u32 count, u32* index) override;
    bool DoIsFolder(const std::wstring& path) override;

public:
    int NestingDepth() const override;

private:
    std::unique_ptr<base::Stream> OpenPack();
};
} // namespace file
