// A reusable byte buffer for decoding, charged to the load's budget as it grows. Large blocks are
// mapped pages of their own, so releasing one hands its pages back at once instead of leaving
// them resident in the heap.
#pragma once

#include "Core/Psd/Budget.h"

namespace psd
{
class WorkBuffer
{
public:
    explicit WorkBuffer(Budget& budget) : mBudget(budget) {}
    ~WorkBuffer() { Release(); }
    WorkBuffer(const WorkBuffer&) = delete;
    WorkBuffer& operator=(const WorkBuffer&) = delete;

    u8* data() { return mData; }
    const u8* data() const { return mData; }
    u64 size() const { return mSize; }
    // Grows to at least size bytes; the contents are not kept. False, with nothing allocated, when
    // the growth would pass the budget. Throws std::bad_alloc like a vector.
    bool Grow(u64 size);
    // Frees the buffer and gives its bytes back to the budget.
    void Release();

private:
    void Free();

    Budget& mBudget;
    u8* mData = nullptr;
    u64 mSize = 0;
    u64 mMappedBytes = 0; // 0: mData came from new[]
};
} // namespace psd
