// Byte streams: the abstract stream, file, memory and frame streams, and their creators.
#pragma once

#include "Core/Base/OwnedOrBorrowed.h"
#include "Core/Base/Types.h"
#include "Platform/Base/ByteSource.h"

#include <memory>
#include <string>

namespace file
{
// An open file on disk (POSIX descriptor); closed when invalid.
class FileHandleWin32
{
public:
    FileHandleWin32() = default;
    virtual ~FileHandleWin32();
    FileHandleWin32(const FileHandleWin32&) = delete;
    FileHandleWin32& operator=(const FileHandleWin32&) = delete;

    // access: 0 read, 1 write, 2 read+write. creation: 0 always create (truncate), 1 new only, 2 existing.
    QLResultEnum Open(const std::wstring& path, u32 access, u32 creation);
    // A new file, open for writing, to be renamed over `path` once written: made exclusively beside
    // it (os::CreateTemporaryFile), never through a link or into a file that stood there. GetPath
    // names it, on failure too.
    QLResultEnum OpenTemporary(const std::wstring& path);
    QLResultEnum Close();
    QLResultEnum Read(void* buffer, u32 count, u32* done);
    QLResultEnum Write(const void* buffer, u32 count, u32* done);
    // origin 0 begin, 1 current, other end; returns the new position, or the old one on failure.
    u32 Seek(i32 offset, u32 origin);
    u32 GetSize() const;
    bool IsOpen() const { return mHandle != -1; }
    const std::wstring& GetPath() const { return mPath; }

private:
    int mHandle = -1;
    std::wstring mPath;
};
} // namespace file

namespace base
{
class Stream : public platform::ByteSource
{
public:
    virtual bool IsEof() { return false; }
    u32 GetSize() override = 0;
    ~Stream() override = default;
    u32 Read(void* dst, u32 count) override = 0;
    virtual u32 Write(const void* src, u32 count) = 0;
    // origin 0 from the start, 1 from the current position, 2 from the end; returns the new position.
    u32 Seek(i32 offset, u32 origin) override = 0;

    // Writes a little-endian u32. Note the inverted convention: returns true on a SHORT write.
    static bool WriteU32(Stream& stream, const u32* value);
};

class FileStream : public Stream
{
public:
    bool IsEof() override { return false; }
    u32 GetSize() override;
    u32 Read(void* dst, u32 count) override;
    u32 Write(const void* src, u32 count) override;
    u32 Seek(i32 offset, u32 origin) override;

    file::FileHandleWin32& Handle() { return mHandle; }

private:
    file::FileHandleWin32 mHandle;
};

class MemoryStream : public Stream
{
public:
    MemoryStream() = default;
    MemoryStream(const void* bytes, u32 size);
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    bool IsEof() override;
    u32 GetSize() override;
    u32 Read(void* dst, u32 count) override;
    u32 Write(const void* src, u32 count) override;
    // Origin 2 is size + offset; the result is always clamped to [0, size].
    u32 Seek(i32 offset, u32 origin) override;
    virtual void Resize(u32 newSize, bool keep);

    u8* GetBuffer() { return mBuffer.get(); }
    const u8* GetBuffer() const { return mBuffer.get(); }
    u32 GetPosition() const { return static_cast<u32>(mPosition); }

protected:
    std::unique_ptr<u8[]> mBuffer;
    i32 mPosition = 0;
    u32 mSize = 0;
};

// A read-only window [offset, offset + size) onto another stream; seeks the source before every read.
class FrameStream : public Stream
{
public:
    FrameStream() = default;
    // With ownsSource the window deletes the source; otherwise the source must outlive it.
    FrameStream(Stream* source, bool ownsSource, u32 offset, u32 size);
    FrameStream(std::unique_ptr<Stream> source, u32 offset, u32 size);
    ~FrameStream() override = default;
    FrameStream(const FrameStream&) = delete;
    FrameStream& operator=(const FrameStream&) = delete;

    bool IsEof() override;
    u32 GetSize() override;
    u32 Read(void* dst, u32 count) override;
    u32 Write(const void* src, u32 count) override;
    u32 Seek(i32 offset, u32 origin) override;

    void Reset(Stream* source, bool ownsSource, u32 offset, u32 size);

private:
    OwnedOrBorrowed<Stream> mSource;
    u32 mOffset = 0;
    i32 mPosition = 0;
    u32 mSize = 0;
};

// Opens a fresh stream on every Create; the caller owns what it receives.
class StreamCreator
{
public:
    virtual ~StreamCreator() = default;
    virtual QLResultEnum Create(Stream*& out) = 0;
};

class FileStreamCreator : public StreamCreator
{
public:
    FileStreamCreator(const std::wstring& path, u32 access, u32 creation);
    QLResultEnum Create(Stream*& out) override;

private:
    std::wstring mPath;
    u32 mAccess;
    u32 mCreation;
};

class FrameStreamCreator : public StreamCreator
{
public:
    // With ownsInner the creator deletes the inner one; otherwise the inner one must outlive it.
    FrameStreamCreator(StreamCreator* inner, bool ownsInner, u32 offset, u32 size);
    FrameStreamCreator(std::unique_ptr<StreamCreator> inner, u32 offset, u32 size);
    FrameStreamCreator(const FrameStreamCreator&) = delete;
    FrameStreamCreator& operator=(const FrameStreamCreator&) = delete;
    QLResultEnum Create(Stream*& out) override;

private:
    OwnedOrBorrowed<StreamCreator> mInner;
    u32 mOffset;
    u32 mSize;
};

// Reads a u32 length then that many bytes. 1 when either read comes up short.
QLResultEnum ReadString(Stream& stream, std::string& out);

// Copies count bytes (0xFFFFFFFF: the whole source from its start); stops early when the source
// runs dry or the destination takes less. Returns the bytes copied so callers can detect a shortfall.
u32 CopyStream(Stream& destination, Stream& source, u32 count);
} // namespace base
