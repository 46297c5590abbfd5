// Spreading contiguous samples into one byte lane of 32-bit pixels. Whole-word read, mask and
// write per pixel, so the compiler turns each loop into vector code.
#include "Core/Psd/PixelLane.h"

namespace psd
{
namespace
{
template <u32 Shift> void Spread(const u8* __restrict samples, u64 count, u32* __restrict out, u32 set)
{
    constexpr u32 keep = ~(0xFFu << Shift);
    for (u64 i = 0; i < count; ++i)
        out[i] = (out[i] & keep) | set | (u32(samples[i]) << Shift);
}

void SpreadGrey(const u8* __restrict samples, u64 count, u32* __restrict out, u32 set)
{
    for (u64 i = 0; i < count; ++i)
    {
        const u32 v = samples[i];
        out[i] = (out[i] & 0xFF000000u) | set | (v << 16) | (v << 8) | v;
    }
}
} // namespace

void SpreadRow(const u8* samples, u64 count, u32* out, const PixelLane& lane)
{
    if (lane.mGrey)
        return SpreadGrey(samples, count, out, lane.mSet);
    switch (lane.mShift)
    {
    case 24: return Spread<24>(samples, count, out, lane.mSet);
    case 16: return Spread<16>(samples, count, out, lane.mSet);
    case 8: return Spread<8>(samples, count, out, lane.mSet);
    default: return Spread<0>(samples, count, out, lane.mSet);
    }
}
} // namespace psd
