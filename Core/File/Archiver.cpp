// Reading a "qlpack" index and serving its files as windows onto the pack.
#include "Core/File/Archiver.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileManager.h"
#include "Core/File/FileSystem.h"
#include "Core/File/Path.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>

namespace file
{
namespace
{
// Reads the index in large blocks instead of one small read per field.
class IndexReader
{
public:
    explicit IndexReader(base::Stream& stream) : mStream(stream)
    {
        u32 size = stream.GetSize();
        u32 position = stream.Seek(0, 1);
        mRemaining = size > position ? size - position : 0;
    }

    // Bytes neither read nor buffered yet plus those buffered: what the stream still holds.
    u64 Left() const { return static_cast<u64>(mRemaining) + (mBuffer.size() - mPos); }
    u64 Consumed() const { return mConsumed; }

    bool Read(void* dst, size_t count)
    {
        u8* out = static_cast<u8*>(dst);
        while (count > 0)
        {
            if (mPos == mBuffer.size() && !Fill())
                return false;
            size_t n = std::min(count, mBuffer.size() - mPos);
            std::memcpy(out, mBuffer.data() + mPos, n);
            mPos += n;
            out += n;
            count -= n;
            mConsumed += n;
        }
        return true;
    }

    bool ReadU32(u32& value)
    {
        u8 b[4];
        if (!Read(b, 4))
            return false;
        value = static_cast<u32>(b[0]) | (static_cast<u32>(b[1]) << 8) | (static_cast<u32>(b[2]) << 16) |
                (static_cast<u32>(b[3]) << 24);
        return true;
    }

private:
    bool Fill()
    {
        constexpr u32 kBlock = 64 * 1024;
        mBuffer.resize(kBlock);
        u32 got = mStream.Read(mBuffer.data(), kBlock);
        mBuffer.resize(got);
        mPos = 0;
        mRemaining = mRemaining > got ? mRemaining - got : 0;
        return got > 0;
    }

    base::Stream& mStream;
    std::vector<u8> mBuffer;
    size_t mPos = 0;
    u32 mRemaining = 0;
    u64 mConsumed = 0;
};

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}
} // namespace

Archiver::Archiver(const std::wstring& prefix, const std::wstring& packPath, Container* parent)
    : FileContainer(true), mParent(parent), mPrefix(prefix), mPackPath(packPath)
{
    errno = 0;
    std::unique_ptr<base::Stream> stream(parent ? parent->OpenStream(packPath) : nullptr);
    const int error = errno;
    if (!stream)
    {
        // A pack on disk that cannot be opened is not damaged: the system says why (too many open
        // files, its permissions, not a plain file). One inside another pack that cannot be given
        // is damage of that pack.
        if (dynamic_cast<FileManagerWin32*>(parent) && error != 0)
            mOpenFailure = FileErrorText(packPath, error);
        else
            mFault = L"it cannot be opened";
        QL_LOG(L"Cannot open pack '%s' (%s)\n")
            << base::LogStyle::Error << packPath << (mOpenFailure.empty() ? mFault : mOpenFailure);
        return;
    }
    mPackSize = stream->GetSize();
    if (ReadIndex(mEntries, *stream, &mFault) != QL_OK)
    {
        QL_LOG(L"Pack '%s': damaged index, %u entries usable\n")
            << base::LogStyle::Error << packPath << static_cast<unsigned>(mEntries.size());
        return;
    }
    u64 end = 0;
    for (const auto& [name, record] : mEntries)
        if (record.mSize > 0)
            end = std::max<u64>(end, static_cast<u64>(record.mOffset) + record.mSize);
    if (end > mPackSize)
        mFault = L"it is cut short: " + std::to_wstring(mPackSize) + L" bytes of the " + std::to_wstring(end) +
                 L" its index names";
}

Archiver::~Archiver() = default;

QLResultEnum Archiver::ReadIndex(ArchiveEntries& entries, base::Stream& stream, std::wstring* why)
{
    const auto fault = [why](const std::wstring& text)
    {
        if (why)
            *why = text;
        return QL_FAIL;
    };
    IndexReader reader(stream);
    const u32 magicLength = sizeof(base::kPackMagic) - 1;
    u32 length = 0;
    char magic[sizeof(base::kPackMagic) - 1];
    if (!reader.ReadU32(length) || length != magicLength || !reader.Read(magic, magicLength) ||
        std::memcmp(magic, base::kPackMagic, magicLength) != 0)
    {
        QL_LOG(L"Not a pack: the magic \"qlpack\" is missing\n") << base::LogStyle::Error;
        return fault(L"it is not a pack: it does not begin with the magic \"qlpack\"");
    }
    u32 count = 0;
    if (!reader.ReadU32(count))
    {
        QL_LOG(L"Pack index cut short before its entry count\n") << base::LogStyle::Error;
        return fault(L"its index is cut short before its entry count");
    }
    // The smallest entry takes 17 bytes: a count beyond what is left is damage, not a reason to loop.
    constexpr u32 kFixedPart = 17;
    for (u32 i = 0; i < count; ++i)
    {
        u32 units = 0;
        if (!reader.ReadU32(units) || static_cast<u64>(units) * 2 + kFixedPart - 4 > reader.Left())
        {
            QL_LOG(L"Pack index cut short at entry %u of %u (offset %llu)\n")
                << base::LogStyle::Error << i << count << static_cast<unsigned long long>(reader.Consumed());
            return fault(L"its index is cut short at entry " + std::to_wstring(i) + L" of " + std::to_wstring(count));
        }
        std::vector<u8> raw(static_cast<size_t>(units) * 2);
        ArchiveRecord record;
        u8 fixed[13];
        if (!reader.Read(raw.data(), raw.size()) || !reader.Read(fixed, sizeof(fixed)))
        {
            QL_LOG(L"Pack index cut short at entry %u of %u\n") << base::LogStyle::Error << i << count;
            return fault(L"its index is cut short at entry " + std::to_wstring(i) + L" of " + std::to_wstring(count));
        }
        std::u16string name16(units, u'\0');
        for (u32 k = 0; k < units; ++k)
            name16[k] = static_cast<char16_t>(raw[2 * k] | (raw[2 * k + 1] << 8));
        auto u32At = [&](int at)
        {
            return static_cast<u32>(fixed[at]) | (static_cast<u32>(fixed[at + 1]) << 8) |
                   (static_cast<u32>(fixed[at + 2]) << 16) | (static_cast<u32>(fixed[at + 3]) << 24);
        };
        record.mSize = u32At(0);
        record.mOffset = u32At(4);
        record.mFlag = fixed[8];
        record.mExtra = u32At(9);
        // Listed even when its bytes lie beyond the end of the file (a cut pack): opening it is
        // what fails, unless it is empty.
        entries.emplace(FromUtf16(name16), record); // a repeated name keeps its first entry
    }
    return QL_OK;
}

// A pack found on disk is known to be a file: open it directly, without the loose-file checks.
std::unique_ptr<base::Stream> Archiver::OpenPack()
{
    if (!dynamic_cast<FileManagerWin32*>(mParent))
        return std::unique_ptr<base::Stream>(mParent->OpenStream(mPackPath));
    auto stream = std::make_unique<base::FileStream>();
    if (stream->Handle().Open(ToForwardSlashes(mPackPath), 0, 2) != QL_OK)
        return nullptr;
    return stream;
}

base::Stream* Archiver::OpenStream(const std::wstring& name)
{
    auto it = mEntries.find(name);
    if (it == mEntries.end() || !mParent)
        return nullptr;
    errno = 0;
    std::unique_ptr<base::Stream> source = OpenPack();
    if (!source)
    {
        const int error = errno;
        QL_LOG(L"Cannot open pack '%s' for '%s' (%s)\n")
            << base::LogStyle::Error << mPackPath << name
            << (error != 0 ? FileErrorText(mPackPath, error) : std::wstring(L"it cannot be given"));
        return nullptr;
    }
    const ArchiveRecord& record = it->second;
    // An empty file has no bytes to lie outside the pack, wherever its offset points.
    if (record.mSize == 0)
    {
        const u32 offset = std::min<u32>(record.mOffset, source->GetSize());
        return new base::FrameStream(std::move(source), offset, 0);
    }
    if (static_cast<u64>(record.mOffset) + record.mSize > source->GetSize())
    {
        // Its bytes are not (all) in the file: the file is missing rather than short.
        QL_LOG(L"Pack '%s': '%s' lies outside the file (offset %u, size %u, pack %u bytes)\n")
            << base::LogStyle::Error << mPackPath << name << record.mOffset << record.mSize << source->GetSize();
        return nullptr;
    }
    return new base::FrameStream(std::move(source), record.mOffset, record.mSize);
}

base::StreamCreator* Archiver::CreateStreamCreator(const std::wstring& name)
{
    auto it = mEntries.find(name);
    if (it == mEntries.end() || !mParent)
        return nullptr;
    const u32 offset =
        it->second.mSize == 0 ? static_cast<u32>(std::min<u64>(it->second.mOffset, mPackSize)) : it->second.mOffset;
    if (static_cast<u64>(offset) + it->second.mSize > mPackSize)
    {
        QL_LOG(L"Pack '%s': '%s' lies outside the file (offset %u, size %u, pack %llu bytes)\n")
            << base::LogStyle::Error << mPackPath << name << it->second.mOffset << it->second.mSize
            << static_cast<unsigned long long>(mPackSize);
        return nullptr;
    }
    std::unique_ptr<base::StreamCreator> inner(mParent->CreateStreamCreator(mPackPath));
    if (!inner)
        return nullptr;
    return new base::FrameStreamCreator(std::move(inner), offset, it->second.mSize);
}

std::wstring Archiver::GetRootPath() { return (mParent ? mParent->GetRootPath() : std::wstring()) + mPrefix; }

int Archiver::NestingDepth() const
{
    auto* parent = dynamic_cast<const FileContainer*>(mParent);
    return 1 + (parent ? parent->NestingDepth() : 0);
}

bool Archiver::DoExists(const std::wstring& name, const std::wstring* extensions, u32 count, u32* index)
{
    if (!extensions || count == 0)
        return mEntries.count(name) != 0;
    for (u32 i = 0; i < count; ++i)
    {
        if (mEntries.count(name + extensions[i]))
        {
            if (index)
                *index = i;
            return true;
        }
    }
    return false;
}

bool Archiver::DoIsFolder(const std::wstring& path)
{
    std::wstring folder = StripTrailingSeparators(path);
    if (folder.empty())
        return true; // the pack's root
    folder += L'/';
    auto it = mEntries.lower_bound(folder);
    return it != mEntries.end() && StartsWith(it->first, folder);
}

void Archiver::DoListFiles(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub,
                           bool recursive, std::vector<std::wstring>& out, bool relative)
{
    const std::wstring prefix = inner + sub;
    for (auto it = mEntries.lower_bound(prefix); it != mEntries.end() && StartsWith(it->first, prefix); ++it)
    {
        std::wstring rest = it->first.substr(prefix.size());
        if (rest.empty() || (!recursive && rest.find(L'/') != std::wstring::npos))
            continue;
        out.push_back(relative ? rest : requested + rest);
    }
}

void Archiver::DoListFolders(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub,
                             std::vector<std::wstring>& out, bool relative)
{
    const std::wstring prefix = inner + sub;
    std::set<std::wstring, Utf16Less> folders;
    for (auto it = mEntries.lower_bound(prefix); it != mEntries.end() && StartsWith(it->first, prefix); ++it)
    {
        size_t slash = it->first.find(L'/', prefix.size());
        if (slash != std::wstring::npos && slash > prefix.size())
            folders.insert(it->first.substr(prefix.size(), slash - prefix.size()));
    }
    for (const std::wstring& folder : folders)
        out.push_back(relative ? folder : requested + folder);
}
} // namespace file
