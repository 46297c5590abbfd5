// DevIL's allocations, bounded per decode. DevIL trusts the sizes it reads (a palette count, an
// RLE run) and may ask for gigabytes for a file of a few bytes; inside a decode scope every block
// counts against a budget set from the image's declared sides, and what a failed decode leaves
// behind is freed.
#pragma once

#include "Core/Base/Types.h"

#include <cstddef>
#include <cstdint>

namespace render
{
// Bytes a decode may hold at once: a small multiple of the declared pixels plus a fixed margin
// (palettes, tables, DevIL's temporary rows).
u64 DevilBudget(u32 width, u32 height);

// Routes DevIL's allocations through the bounded allocator. Must run before ilInit, and once.
void InstallDevilMemory();

// One decode on this thread. Blocks allocated while it is open are counted and listed; a request
// that would exceed the budget fails (DevIL reports it as out of memory).
class DevilDecodeScope
{
public:
    explicit DevilDecodeScope(u64 budget);
    ~DevilDecodeScope();
    DevilDecodeScope(const DevilDecodeScope&) = delete;
    DevilDecodeScope& operator=(const DevilDecodeScope&) = delete;

    // While paused, new blocks are DevIL's own (bookkeeping that outlives the decode) and are
    // neither counted nor listed; blocks of this scope freed meanwhile still leave its list.
    void Pause() { mCounting = false; }
    // Blocks are still counted and listed, but none is refused.
    void Unbound() { mBudget = UINT64_MAX; }

    // Frees every block this scope allocated that is still held. Only for a decode that failed
    // and whose image is already deleted: nothing may point at those blocks any more.
    size_t FreeLeftovers();

    u64 Held() const { return mHeld; }
    u64 Peak() const { return mPeak; }
    // The largest request refused, 0 when none was.
    u64 Refused() const { return mRefused; }

private:
    friend struct DevilAllocator;

    struct DevilBlock* mFirst = nullptr;
    u64 mSerial = 0;
    u64 mBudget = 0;
    u64 mHeld = 0;
    u64 mPeak = 0;
    u64 mRefused = 0;
    bool mCounting = true;
};
} // namespace render
