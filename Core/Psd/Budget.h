// The memory one load may hold at once. Every buffer whose size the file decides is taken from
// the budget before it is allocated, and what a load frees before it ends is given back.
#pragma once

#include "Core/Base/Types.h"

#include <algorithm>

namespace psd
{
class Budget
{
public:
    explicit Budget(u64 limit) : mLimit(limit) {}

    // False, and nothing taken, when bytes would pass the limit.
    bool Take(u64 bytes)
    {
        if (bytes > mLimit - mHeld)
            return false;
        mHeld += bytes;
        return true;
    }
    void Give(u64 bytes) { mHeld -= std::min(bytes, mHeld); }
    u64 Left() const { return mLimit - mHeld; }
    u64 Held() const { return mHeld; }

private:
    u64 mLimit;
    u64 mHeld = 0;
};
} // namespace psd
