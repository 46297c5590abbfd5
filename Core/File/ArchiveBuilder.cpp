// Writing a "qlpack" index.
#include "Core/File/ArchiveBuilder.h"

#include "Core/Base/Stream.h"

namespace file
{
namespace
{
constexpr u32 kMagicLength = sizeof(base::kPackMagic) - 1;

void PutU32(std::string& out, u32 value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}
} // namespace

u64 ArchiveBuilder::GetDataOffset64() const
{
    u64 offset = 4 + kMagicLength + 4;
    for (const auto& entry : mEntries)
        offset += 4 + 2 * static_cast<u64>(ToUtf16(entry.first).size()) + 13;
    return offset;
}

u32 ArchiveBuilder::GetDataOffset() const { return static_cast<u32>(GetDataOffset64()); }

QLResultEnum ArchiveBuilder::Write(base::Stream& stream) const
{
    // The whole index is assembled first and written at once.
    std::string index;
    PutU32(index, kMagicLength);
    index.append(base::kPackMagic, kMagicLength);
    PutU32(index, static_cast<u32>(mEntries.size()));
    for (const auto& [name, record] : mEntries)
    {
        std::u16string units = ToUtf16(name);
        PutU32(index, static_cast<u32>(units.size()));
        for (char16_t unit : units)
        {
            index.push_back(static_cast<char>(unit & 0xFF));
            index.push_back(static_cast<char>(unit >> 8));
        }
        PutU32(index, record.mSize);
        PutU32(index, record.mOffset);
        index.push_back(static_cast<char>(record.mFlag));
        PutU32(index, record.mExtra);
    }
    size_t written = 0;
    while (written < index.size())
    {
        u32 chunk = static_cast<u32>(std::min<size_t>(index.size() - written, 1u << 30));
        u32 n = stream.Write(index.data() + written, chunk);
        if (n != chunk)
            return QL_FAIL;
        written += n;
    }
    return QL_OK;
}
} // namespace file
