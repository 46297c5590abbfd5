// Spreading contiguous samples into one byte lane of 32-bit pixels. Whole-word read, mask and
// write per pixel, so the compiler turns each loop into vector code.
#include "Core/Psd/PixelLane.h"

#include <cstring>

namespace psd
{
namespace
{
// Init: the pixels are not written yet (their memory is not cleared), so they are stored whole.
template <u32 Shift, bool Init> void Spread(const u8* __restrict samples, u64 count, u32* __restrict out, u32 set)
{
    constexpr u32 keep = ~(0xFFu << Shift);
    for (u64 i = 0; i < count; ++i)
        out[i] = (Init ? 0u : out[i] & keep) | set | (u32(samples[i]) << Shift);
}

template <bool Init> void SpreadGrey(const u8* __restrict samples, u64 count, u32* __restrict out, u32 set)
{
    for (u64 i = 0; i < count; ++i)
    {
        const u32 v = samples[i];
        out[i] = (Init ? 0u : out[i] & 0xFF000000u) | set | (v << 16) | (v << 8) | v;
    }
}

template <bool Init> void SpreadTo(const u8* samples, u64 count, u32* out, const PixelLane& lane)
{
    if (lane.mGrey)
        return SpreadGrey<Init>(samples, count, out, lane.mSet);
    switch (lane.mShift)
    {
    case 24: return Spread<24, Init>(samples, count, out, lane.mSet);
    case 16: return Spread<16, Init>(samples, count, out, lane.mSet);
    case 8: return Spread<8, Init>(samples, count, out, lane.mSet);
    default: return Spread<0, Init>(samples, count, out, lane.mSet);
    }
}
template <bool GreyA, bool GreyB> void WritePair(const u8* first, u32 shiftA, u32 shiftB, u32 set, u32* out, u64 count)
{
    // The second plane is read a block ahead of the stores: pixel block [i, i + 16) ends at byte
    // 4i + 64, never past byte 3 x count + i + 16 where the unread samples begin.
    const u8* second = reinterpret_cast<const u8*>(out) + 3 * count;
    auto value = [](u32 v, bool grey, u32 shift) { return grey ? (v << 16) | (v << 8) | v : v << shift; };
    u64 i = 0;
    for (; i + 16 <= count; i += 16)
    {
        u8 a[16], b[16];
        std::memcpy(a, first + i, 16);
        std::memcpy(b, second + i, 16);
        u32 block[16];
        for (int k = 0; k < 16; ++k)
            block[k] = set | value(a[k], GreyA, shiftA) | value(b[k], GreyB, shiftB);
        std::memcpy(out + i, block, sizeof block);
    }
    for (; i < count; ++i)
    {
        const u32 b = second[i];
        out[i] = set | value(first[i], GreyA, shiftA) | value(b, GreyB, shiftB);
    }
}
} // namespace

void WritePairInPlace(const u8* first, const PixelLane& firstLane, const PixelLane& secondLane, u32* out, u64 count)
{
    const u32 set = firstLane.mSet | secondLane.mSet;
    const u32 sa = firstLane.mShift, sb = secondLane.mShift;
    if (firstLane.mGrey)
        WritePair<true, false>(first, sa, sb, set, out, count);
    else if (secondLane.mGrey)
        WritePair<false, true>(first, sa, sb, set, out, count);
    else
        WritePair<false, false>(first, sa, sb, set, out, count);
}

void SpreadRow(const u8* samples, u64 count, u32* out, const PixelLane& lane)
{
    if (lane.mInit)
        SpreadTo<true>(samples, count, out, lane);
    else
        SpreadTo<false>(samples, count, out, lane);
}
} // namespace psd
