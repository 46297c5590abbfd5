// Bytes read from a seekable source: what the platform's decoders stream from.
#pragma once

#include "Platform/Base/Types.h"

namespace platform
{
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual u32 GetSize() = 0;
    virtual u32 Read(void* dst, u32 count) = 0;
    // origin 0 from the start, 1 from the current position, 2 from the end; returns the new position.
    virtual u32 Seek(i32 offset, u32 origin) = 0;
};
} // namespace platform
