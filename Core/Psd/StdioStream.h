// A read-only engine stream over a C runtime file, for loading by path.
#pragma once

#include "Core/Base/Stream.h"

#include <cstdio>

namespace psd
{
class StdioStream : public base::Stream
{
public:
    explicit StdioStream(std::FILE* file) : mFile(file) {}
    ~StdioStream() override;
    StdioStream(const StdioStream&) = delete;
    StdioStream& operator=(const StdioStream&) = delete;

    u32 GetSize() override;
    u32 Read(void* dst, u32 count) override;
    u32 Write(const void*, u32) override { return 0; }
    u32 Seek(i32 offset, u32 origin) override;

private:
    std::FILE* mFile;
};
} // namespace psd
