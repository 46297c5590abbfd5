// A read-only engine stream over a C runtime file.
#include "Core/Psd/StdioStream.h"

namespace psd
{
StdioStream::~StdioStream()
{
    if (mFile)
        std::fclose(mFile);
}

u32 StdioStream::GetSize()
{
    long here = std::ftell(mFile);
    std::fseek(mFile, 0, SEEK_END);
    long size = std::ftell(mFile);
    std::fseek(mFile, here, SEEK_SET);
    return size < 0 ? 0 : static_cast<u32>(size);
}

u32 StdioStream::Read(void* dst, u32 count) { return static_cast<u32>(std::fread(dst, 1, count, mFile)); }

u32 StdioStream::Seek(i32 offset, u32 origin)
{
    int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
    std::fseek(mFile, offset, whence);
    long pos = std::ftell(mFile);
    return pos < 0 ? 0 : static_cast<u32>(pos);
}
} // namespace psd
