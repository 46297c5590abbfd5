// Fuzzes the pack index reader, the archiver's lookups and listings, and index re-writing.
#include "Core/Base/Stream.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/Path.h"

#include <cstdlib>
#include <vector>

namespace
{
// Serves the fuzz input as the only file, "p".
class MemoryContainer : public file::Container
{
public:
    MemoryContainer(const u8* data, size_t size) : mData(data), mSize(static_cast<u32>(size)) {}
    file::FileInfo* GetFileInfo(const std::wstring&, const std::wstring*, u32, u32*) override { return nullptr; }
    base::Stream* OpenStream(const std::wstring& path) override
    {
        return path == L"p" ? new base::MemoryStream(mData, mSize) : nullptr;
    }
    base::StreamCreator* CreateStreamCreator(const std::wstring&) override { return nullptr; }
    std::wstring GetRootPath() override { return std::wstring(); }

private:
    const u8* mData;
    u32 mSize;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    MemoryContainer container(data, size);
    file::Archiver pack(L"td/", L"p", &container);

    std::vector<std::wstring> names;
    (void)pack.ListFiles(L"", true, names, false);
    (void)pack.ListFolders(L"", names, true);
    for (const auto& [name, record] : pack.GetEntries())
    {
        pack.IsFolder(file::GetDirectory(name));
        base::Stream* stream = pack.OpenStream(name);
        // An entry whose bytes lie beyond the end (a cut pack) is listed but gives no bytes;
        // every other one opens, an empty one wherever its offset points.
        const bool inside = record.mSize == 0 || u64(record.mOffset) + record.mSize <= size;
        if (!inside)
        {
            if (stream)
                std::abort();
            continue;
        }
        if (!stream)
            std::abort();
        std::vector<u8> bytes(stream->GetSize());
        if (stream->Read(bytes.data(), static_cast<u32>(bytes.size())) != bytes.size())
            std::abort(); // entries lie inside the pack
        delete stream;
    }

    // Writing the index back (never longer than the one read) and padding it to the input's size
    // must read back the very same entries.
    file::ArchiveBuilder builder;
    builder.mEntries = pack.GetEntries();
    base::MemoryStream out;
    if (builder.Write(out) != QL_OK || out.GetSize() != builder.GetDataOffset())
        std::abort();
    if (out.GetSize() > size)
    {
        if (!builder.mEntries.empty())
            std::abort();
        return 0; // no complete header to compare with
    }
    out.Resize(static_cast<u32>(size), true);
    out.Seek(0, 0);
    file::ArchiveEntries again;
    if (file::Archiver::ReadIndex(again, out) != QL_OK || again.size() != builder.mEntries.size())
        std::abort();
    for (const auto& [name, record] : builder.mEntries)
    {
        auto it = again.find(name);
        if (it == again.end() || it->second.mSize != record.mSize || it->second.mOffset != record.mOffset ||
            it->second.mFlag != record.mFlag || it->second.mExtra != record.mExtra)
            std::abort();
    }
    return 0;
}
