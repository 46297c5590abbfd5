// Frame entries and button frames.
#include "Source/TD/Sprites/TDFrameEntry.h"

#include "Source/TD/Sprites/TDImageSheet.h"

#include <algorithm>

std::unique_ptr<TDFrameEntry> TDFrameEntry::create(const TDImageSheet& sheet, const std::wstring& name, i32 order,
                                                   TDTextureLoader& loader)
{
    const TDSheetImage* image = sheet.findImage(name);
    if (!image)
        return nullptr;
    auto entry = std::make_unique<TDFrameEntry>();
    entry->mName = name;
    entry->mX = image->mX;
    entry->mY = image->mY;
    entry->mWidth = image->mWidth;
    entry->mHeight = image->mHeight;
    entry->mOrder = order;
    entry->setOwnedImage(loader.load(sheet, static_cast<size_t>(image - &sheet.image(0))));
    return entry;
}

void TDFrameEntry::setOwnedImage(std::unique_ptr<TDTexture> image)
{
    mOwnedImage = std::move(image);
    mImage = mOwnedImage.get();
    if (mOwnedImage)
        mFlags |= kOwnsImage;
    else
        mFlags &= ~u32(kOwnsImage);
}

void TDButtonFrame::draw(TDSpritePainter& painter, float scale)
{
    if (!mVisible)
        return;
    // Own pulse about the rectangle's centre, then the whole scaled by scale about the pivot:
    // one scale and one translation, composed here.
    float cx = mX + mWidth * 0.5f, cy = mY + mHeight * 0.5f;
    math::Transform2D t;
    t.Scale(mScale * scale, mScale * scale);
    t.Translate((cx - mPivotX) * scale + mPivotX, (cy - mPivotY) * scale + mPivotY);
    painter.drawImage(mImage, mWidth, mHeight, t, mColor);
}

void TDButtonFrame::pointer(i32 x, i32 y)
{
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    mHover = (fx > mX && fx < mX + mWidth && fy > mY && fy < mY + mHeight) ? 1 : 0;
}

void TDButtonFrame::update(float dt)
{
    if (mState == kButtonFrameIdle)
        mScale = std::max(1.0f, mScale - dt);
    else if (mState == kButtonFrameHovered)
        mScale = std::min(1.1f, mScale + dt * 0.5f);
}
