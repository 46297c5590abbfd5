// A memory stream that delivers at most a few bytes per read, as a pipe or a slow device may:
// readers that read in blocks are tested with boundaries everywhere.
#pragma once

#include "Core/Base/Stream.h"

#include <algorithm>
#include <string>

class TrickleStream : public base::MemoryStream
{
public:
    TrickleStream(const std::string& bytes, u32 most)
        : base::MemoryStream(bytes.data(), static_cast<u32>(bytes.size())), mMost(most)
    {
    }
    u32 Read(void* dst, u32 count) override { return base::MemoryStream::Read(dst, std::min(count, mMost)); }

private:
    u32 mMost;
};
