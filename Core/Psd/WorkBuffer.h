// A reusable byte buffer for decoding whose large blocks come straight from the system, so that
// releasing one hands its pages back at once instead of leaving them resident in the heap.
#pragma once

#include "Core/Base/Types.h"

namespace psd
{
class WorkBuffer
{
public:
    WorkBuffer() = default;
    ~WorkBuffer() { Release(); }
    WorkBuffer(const WorkBuffer&) = delete;
    WorkBuffer& operator=(const WorkBuffer&) = delete;

    u8* data() { return mData; }
    const u8* data() const { return mData; }
    u64 size() const { return mSize; }
    // Grows to at least size bytes; the contents are not kept. Throws std::bad_alloc like a vector.
    void resize(u64 size);
    void Release();

private:
    u8* mData = nullptr;
    u64 mSize = 0;
    u64 mMappedBytes = 0; // 0: mData came from new[]
};
} // namespace psd
