// Combines decoded channel images into 0xAARRGGBB pixels by colour mode and depth.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Psd/Budget.h"
#include "Core/Psd/PixelLane.h"

#include <vector>

namespace psd
{
struct PixelFormat
{
    u32 mMode = 3;
    u32 mDepth = 8;
    u32 mWidth = 0;
    u32 mHeight = 0;
    const std::vector<u32>* mPalette = nullptr;
    i32 mIndexedCount = 0;      // palette entries in use
    i32 mTransparentIndex = -1; // -1: none
};

class PixelAssembler
{
public:
    // out holds width x height pixels; every pixel is written by Finish() at the latest.
    // alphaComing tells that a transparency channel will be added (else alpha is 255). The colour
    // planes of modes that need every channel at once are taken from budget (when given) before
    // they are allocated, and given back when the assembler goes.
    PixelAssembler(const PixelFormat& format, u32* out, bool alphaComing = false, Budget* budget = nullptr);
    ~PixelAssembler();
    PixelAssembler(const PixelAssembler&) = delete;
    PixelAssembler& operator=(const PixelAssembler&) = delete;
    // One channel image (RowBytes(width, depth) x height bytes): -1 transparency, 0 and up colour.
    // Channels the mode does not use are ignored; a missing colour channel counts as 0. False,
    // with nothing allocated, when the channel's plane would pass the budget.
    bool AddChannel(i32 id, const u8* data);
    // Writes the pixels of modes that need every channel at once, and of areas no channel reached.
    void Finish();
    // The lane channel id occupies when its 8-bit data can be decoded straight into the pixels
    // (RGB and grey colour, transparency); no lane otherwise. The caller fills a lane it asks for,
    // every row of it: the first lane handed out initialises the pixels.
    PixelLane Lane(i32 id);
    // The pixels were written whole elsewhere (Finish() then keeps them).
    void SetWritten() { mWritten = true; }
    // Whether Lane(id) would give a lane (asks without handing one out).
    bool HasLane(i32 id) const { return mFormat.mDepth == 8 && LaneOf(id).mFirst; }

    // Whether the mode writes channels straight into the pixels (no planes kept).
    bool Direct() const { return mDirect; }
    static bool Direct(u32 mode);

private:
    PixelLane LaneOf(i32 id) const;
    void WriteLane(PixelLane lane, const u8* data);
    bool WritePlane(std::vector<u8>& plane, const u8* data);
    // Row y of a channel image as width 8-bit samples (converted into mRow unless 8-bit).
    const u8* RowSamples(const u8* data, u32 y);
    u64 Count() const { return u64(mFormat.mWidth) * mFormat.mHeight; }

    PixelFormat mFormat;
    u32* mOut;
    bool mDirect;
    bool mAlphaComing;
    bool mWritten = false; // a lane was handed out or filled: the pixels hold defined values
    Budget* mBudget;
    u64 mPlaneBytes = 0; // taken from mBudget
    std::vector<u8> mRow;
    std::vector<u8> mPlanes[5]; // ids -1, 0, 1, 2, 3
};
} // namespace psd
