// Byte streams over platform files, heap buffers and windows onto other streams.
#include "Core/Base/Stream.h"

#include "Core/Base/StringConvert.h"
#include "Platform/Os/Files.h"
#include "Platform/Os/OpenFile.h"
#include "Platform/Os/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace file
{
FileHandleWin32::~FileHandleWin32()
{
    if (IsOpen())
        (void)Close();
}

QLResultEnum FileHandleWin32::Open(const std::wstring& path, u32 access, u32 creation)
{
    if (IsOpen())
        (void)Close();
    mPath = path;
    if (creation > 2)
        return QL_FAIL;
    // Any other access value opens a descriptor that can only be queried.
    const os::FileAccess modes[] = {os::FileAccess::Read, os::FileAccess::Write, os::FileAccess::ReadWrite};
    const os::FileCreation creations[] = {os::FileCreation::Always, os::FileCreation::NewOnly,
                                          os::FileCreation::Existing};
    const int fd =
        os::OpenFile(os::SystemPath(path), access < 3 ? modes[access] : os::FileAccess::QueryOnly, creations[creation]);
    if (fd == -1)
        return QL_FAIL;
    mHandle = fd;
    return QL_OK;
}

QLResultEnum FileHandleWin32::OpenTemporary(const std::wstring& path)
{
    if (IsOpen())
        (void)Close();
    std::string name;
    const int fd = os::CreateTemporaryFile(os::SystemPath(path), name);
    const int error = errno;
    mPath = os::FromSystemPath(name);
    errno = error;
    if (fd == -1)
        return QL_FAIL;
    mHandle = fd;
    return QL_OK;
}

QLResultEnum FileHandleWin32::Close()
{
    if (!IsOpen())
        return QL_FAIL;
    const bool closed = os::CloseFile(mHandle);
    mHandle = -1;
    mPath.clear();
    return closed ? QL_OK : QL_FAIL;
}

QLResultEnum FileHandleWin32::Read(void* buffer, u32 count, u32* done)
{
    if (!IsOpen() || (count && !buffer))
        return QL_FAIL;
    size_t moved = 0;
    if (!os::ReadFile(mHandle, buffer, count, moved))
        return QL_FAIL;
    if (done)
        *done = static_cast<u32>(moved);
    return QL_OK;
}

QLResultEnum FileHandleWin32::Write(const void* buffer, u32 count, u32* done)
{
    if (!IsOpen() || (count && !buffer))
        return QL_FAIL;
    size_t moved = 0;
    if (!os::WriteFile(mHandle, buffer, count, moved))
        return QL_FAIL;
    if (done)
        *done = static_cast<u32>(moved);
    return QL_OK;
}

u32 FileHandleWin32::Seek(i32 offset, u32 origin)
{
    if (!IsOpen())
        return 0;
    i64 position = os::SeekFile(mHandle, offset, origin > 2 ? 2 : static_cast<int>(origin));
    if (position < 0)
        position = os::SeekFile(mHandle, 0, 1);
    return position < 0 ? 0 : static_cast<u32>(position);
}

u32 FileHandleWin32::GetSize() const
{
    if (!IsOpen())
        return 0;
    const i64 size = os::FileSize(mHandle);
    if (size < 0)
        return 0;
    return static_cast<u32>(std::min<u64>(static_cast<u64>(size), 0xFFFFFFFFu));
}
} // namespace file

namespace base
{
namespace
{
// Clamps start + offset to [0, size]; the sum is taken in 64 bits so it cannot wrap.
i32 ClampPosition(i64 position, u32 size)
{
    if (position < 0)
        return 0;
    if (position > static_cast<i64>(size))
        position = size;
    return static_cast<i32>(std::min<i64>(position, 0x7FFFFFFF));
}

i64 SeekTarget(i32 offset, u32 origin, i32 position, u32 size)
{
    switch (origin)
    {
    case 0: return offset;
    case 1: return static_cast<i64>(position) + offset;
    case 2: return static_cast<i64>(size) + offset;
    default: return position;
    }
}
} // namespace

bool Stream::WriteU32(Stream& stream, const u32* value)
{
    const u32 v = value ? *value : 0;
    const u8 bytes[4] = {static_cast<u8>(v), static_cast<u8>(v >> 8), static_cast<u8>(v >> 16),
                         static_cast<u8>(v >> 24)};
    return stream.Write(bytes, 4) < 4;
}

// --- FileStream ---

u32 FileStream::GetSize() { return mHandle.GetSize(); }

u32 FileStream::Read(void* dst, u32 count)
{
    u32 done = 0;
    return mHandle.Read(dst, count, &done) == QL_OK ? done : 0;
}

u32 FileStream::Write(const void* src, u32 count)
{
    u32 done = 0;
    return mHandle.Write(src, count, &done) == QL_OK ? done : 0;
}

u32 FileStream::Seek(i32 offset, u32 origin) { return mHandle.Seek(offset, origin); }

// --- MemoryStream ---

MemoryStream::MemoryStream(const void* bytes, u32 size)
{
    Resize(size, false);
    if (size && bytes)
        std::memcpy(mBuffer.get(), bytes, size);
    mPosition = 0;
}

bool MemoryStream::IsEof() { return static_cast<u32>(mPosition) == mSize; }

u32 MemoryStream::GetSize() { return mSize; }

u32 MemoryStream::Read(void* dst, u32 count)
{
    const u32 left = mSize - static_cast<u32>(mPosition);
    const u32 n = std::min(count, left);
    if (n == 0 || !dst)
        return 0;
    std::memcpy(dst, mBuffer.get() + mPosition, n);
    mPosition += static_cast<i32>(n);
    return n;
}

u32 MemoryStream::Write(const void* src, u32 count)
{
    if (count == 0 || !src)
        return 0;
    // The position is an i32: never grow past what it can address.
    const u64 end = std::min<u64>(static_cast<u64>(mPosition) + count, 0x7FFFFFFF);
    count = static_cast<u32>(end - static_cast<u64>(mPosition));
    if (count == 0)
        return 0;
    if (end > mSize)
        Resize(static_cast<u32>(end), true);
    std::memcpy(mBuffer.get() + mPosition, src, count);
    mPosition += static_cast<i32>(count);
    return count;
}

u32 MemoryStream::Seek(i32 offset, u32 origin)
{
    mPosition = ClampPosition(SeekTarget(offset, origin, mPosition, mSize), mSize);
    return static_cast<u32>(mPosition);
}

void MemoryStream::Resize(u32 newSize, bool keep)
{
    auto fresh = std::make_unique_for_overwrite<u8[]>(newSize > 0 ? newSize : 1);
    if (keep && mBuffer)
        std::memcpy(fresh.get(), mBuffer.get(), std::min(mSize, newSize));
    else
        std::memset(fresh.get(), 0, newSize);
    mBuffer = std::move(fresh);
    mSize = newSize;
    if (static_cast<u32>(mPosition) > mSize)
        mPosition = static_cast<i32>(mSize);
}

// --- FrameStream ---

FrameStream::FrameStream(Stream* source, bool ownsSource, u32 offset, u32 size) : mOffset(offset), mSize(size)
{
    mSource.reset(source, ownsSource);
}

FrameStream::FrameStream(std::unique_ptr<Stream> source, u32 offset, u32 size) : mOffset(offset), mSize(size)
{
    mSource.own(std::move(source));
}

void FrameStream::Reset(Stream* source, bool ownsSource, u32 offset, u32 size)
{
    mSource.reset(source, ownsSource);
    mOffset = offset;
    mPosition = 0;
    mSize = size;
}

bool FrameStream::IsEof() { return static_cast<u32>(mPosition) == mSize; }

u32 FrameStream::GetSize() { return mSize; }

u32 FrameStream::Read(void* dst, u32 count)
{
    const u32 n = std::min(mSize - static_cast<u32>(mPosition), count);
    if (n == 0 || !mSource)
        return 0;
    const u64 start = static_cast<u64>(mOffset) + static_cast<u32>(mPosition);
    if (start > 0x7FFFFFFF)
        return 0;
    if (mSource->Seek(static_cast<i32>(start), 0) != start)
        return 0;
    const u32 got = std::min(mSource->Read(dst, n), n);
    mPosition += static_cast<i32>(got);
    return got;
}

u32 FrameStream::Write(const void*, u32) { return 0; }

u32 FrameStream::Seek(i32 offset, u32 origin)
{
    mPosition = ClampPosition(SeekTarget(offset, origin, mPosition, mSize), mSize);
    return static_cast<u32>(mPosition);
}

// --- Creators ---

FileStreamCreator::FileStreamCreator(const std::wstring& path, u32 access, u32 creation)
    : mPath(path), mAccess(access), mCreation(creation)
{
}

QLResultEnum FileStreamCreator::Create(Stream*& out)
{
    auto stream = std::make_unique<FileStream>();
    if (stream->Handle().Open(mPath, mAccess, mCreation) != QL_OK)
        return QL_FAIL;
    out = stream.release();
    return QL_OK;
}

FrameStreamCreator::FrameStreamCreator(StreamCreator* inner, bool ownsInner, u32 offset, u32 size)
    : mOffset(offset), mSize(size)
{
    mInner.reset(inner, ownsInner);
}

FrameStreamCreator::FrameStreamCreator(std::unique_ptr<StreamCreator> inner, u32 offset, u32 size)
    : mOffset(offset), mSize(size)
{
    mInner.own(std::move(inner));
}

QLResultEnum FrameStreamCreator::Create(Stream*& out)
{
    if (!mInner)
        return QL_FAIL;
    Stream* source = nullptr;
    const QLResultEnum result = mInner->Create(source);
    if (result != QL_OK)
        return result;
    if (!source)
        return QL_FAIL;
    out = new FrameStream(std::unique_ptr<Stream>(source), mOffset, mSize);
    return QL_OK;
}

// --- Free operations ---

QLResultEnum ReadString(Stream& stream, std::string& out)
{
    u8 bytes[4];
    if (stream.Read(bytes, 4) < 4)
        return QL_FAIL;
    const u32 length = static_cast<u32>(bytes[0]) | static_cast<u32>(bytes[1]) << 8 | static_cast<u32>(bytes[2]) << 16 |
                       static_cast<u32>(bytes[3]) << 24;
    // A damaged length must not allocate more than the stream can still deliver.
    const u32 position = stream.Seek(0, 1);
    const u32 size = stream.GetSize();
    const u32 left = size > position ? size - position : 0;
    if (length > left)
    {
        out.clear();
        return QL_FAIL;
    }
    out.resize(length);
    if (length && stream.Read(out.data(), length) < length)
        return QL_FAIL;
    return QL_OK;
}

u32 CopyStream(Stream& destination, Stream& source, u32 count)
{
    if (count == 0)
        return 0;
    const u32 size = source.GetSize();
    if (count == 0xFFFFFFFFu)
    {
        count = size;
        source.Seek(0, 0);
    }
    else
    {
        const u32 position = source.Seek(0, 1);
        count = std::min(count, size > position ? size - position : 0u);
    }
    if (count == 0)
        return 0;

    u32 chunk = std::min<u32>(count, 1u << 20);
    auto buffer = std::make_unique_for_overwrite<u8[]>(chunk);
    u32 copied = 0;
    while (count > 0)
    {
        const u32 got = std::min(source.Read(buffer.get(), chunk), chunk);
        if (got == 0)
            break; // the source delivered less than it announced
        const u32 put = std::min(destination.Write(buffer.get(), got), got);
        copied += put;
        if (put < got)
            break;
        count -= got;
        chunk = std::min(chunk, count);
    }
    return copied;
}
} // namespace base
