// One positioned picture of a layout or of a sprite graphic's frame list, and the button
// frame that pulses under the pointer.
#pragma once

#include "Core/Base/Transform2D.h"
#include "Core/Base/Types.h"
#include "Source/TD/Sprites/TDSpritePainter.h"
#include "Source/TD/Sprites/TDTexture.h"

#include <memory>
#include <string>

class TDImageSheet;

class TDFrameEntry
{
public:
    enum Flags : u32
    {
        kOwnsImage = 1,
    };

    TDFrameEntry() = default;
    virtual ~TDFrameEntry() = default;
    TDFrameEntry(const TDFrameEntry&) = delete;
    TDFrameEntry& operator=(const TDFrameEntry&) = delete;

    virtual void draw(TDSpritePainter&, float /*scale*/) {}
    virtual void pointer(i32 /*x*/, i32 /*y*/) {}
    virtual void update(float /*dt*/) {}

    // A new entry with the sheet picture's rectangle and name, its texture from the loader (null
    // headless) and the draw order; null when the sheet has no picture of that name.
    static std::unique_ptr<TDFrameEntry> create(const TDImageSheet& sheet, const std::wstring& name, i32 order,
                                                TDTextureLoader& loader);
    static bool lessByOrder(const TDFrameEntry* a, const TDFrameEntry* b) { return a->mOrder < b->mOrder; }

    // Gives the entry a texture that it owns.
    void setOwnedImage(std::unique_ptr<TDTexture> image);

    u32 mFlags = 0;
    TDColor mColor;
    const TDTexture* mImage = nullptr;
    std::wstring mName;
    float mX = 0.0f, mY = 0.0f, mWidth = 0.0f, mHeight = 0.0f;
    i32 mOrder = 0;
    math::Transform2D mTransform;
    float mDepth = 0.0f;
    std::string mName2;
    u8 mVisible = 1;

private:
    std::unique_ptr<TDTexture> mOwnedImage;
};

// A button frame's zoom: back to 1.0 or up to 1.1 (the pointer is over it).
enum class TDButtonFrameState : i32
{
    kButtonFrameIdle = 0,
    kButtonFrameHovered = 1,
};
using enum TDButtonFrameState;

class TDButtonFrame : public TDFrameEntry
{
public:
    // Scaling and drawing about the point (pivotX, pivotY), half the battle's offset values.
    void draw(TDSpritePainter& painter, float scale) override;
    // Hover: the point strictly inside the rectangle.
    void pointer(i32 x, i32 y) override;
    // State 1 grows at 0.5 per second up to 1.1; state 0 shrinks at 1 per second down to 1.0.
    void update(float dt) override;

    float mScale = 1.0f;
    TDButtonFrameState mState = kButtonFrameIdle;
    u8 mHover = 0;
    float mPivotX = 0.0f, mPivotY = 0.0f;
};
