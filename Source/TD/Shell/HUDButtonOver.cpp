// Layout buttons with a normal and an over picture.
#include "Source/TD/Shell/HUDButtonOver.h"

#include "Core/Base/Box.h"
#include "Core/Base/Transform2D.h"
#include "Core/File/Path.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/Shell/HUDWindow.h"
#include "Source/TD/Sprites/TDFrameEntry.h"

#include <algorithm>

namespace
{
std::wstring trimmed(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return std::wstring();
    const size_t last = text.find_last_not_of(L" \t");
    return text.substr(first, last - first + 1);
}

std::unique_ptr<TDFrameEntry> picture(file::ImageContainer* layout, const base::ImageInfo* pos,
                                      const std::wstring& imageName)
{
    auto entry = std::make_unique<TDFrameEntry>();
    if (pos)
    {
        entry->mX = pos->mX;
        entry->mY = pos->mY;
        entry->mWidth = pos->mWidth;
        entry->mHeight = pos->mHeight;
    }
    entry->mName = file::GetBaseName(imageName);
    HUDWindow::giveImage(*entry, HUDWindow::loadLayoutImage(layout, imageName));
    return entry;
}
} // namespace

HUDButtonOver::HUDButtonOver(file::ImageContainer* layout, const std::wstring& fullName)
    : mFont(HUDWindowContext::Get().buttonFont)
{
    const std::wstring full = trimmed(fullName);
    const size_t split = full.find(L'_');
    mStyle = full.substr(0, split);
    if (split != std::wstring::npos)
    {
        const size_t end = full.find(L'_', split + 1);
        mName = full.substr(split + 1, end == std::wstring::npos ? std::wstring::npos : end - split - 1);
    }
    const base::ImageInfo* pos = layout ? layout->FindImage(L"button/" + full + L"/pos") : nullptr;
    if (const base::ImageInfo* label = layout ? layout->FindImage(L"button/" + full + L"/label") : nullptr)
    {
        mHasLabel = true;
        mLabelRect[0] = label->mX;
        mLabelRect[1] = label->mY;
        mLabelRect[2] = label->mWidth;
        mLabelRect[3] = label->mHeight;
    }
    mNormal = picture(layout, pos, L"button/" + mStyle + L"_normal");
    mOver = picture(layout, pos, L"button/" + mStyle + L"_over");
}

HUDButtonOver::~HUDButtonOver() = default;

const TDFrameEntry& HUDButtonOver::current() const { return mPressed ? *mOver : *mNormal; }

bool HUDButtonOver::contains(i32 x, i32 y)
{
    if (!mVisible)
        return false;
    const TDFrameEntry& r = current();
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    return r.mX + mOffsetX <= fx && fx <= r.mX + r.mWidth + mOffsetX && r.mY <= fy && fy <= r.mY + r.mHeight;
}

void HUDButtonOver::update(float dt)
{
    mTimer += dt;
    if (mHovered)
        mScale = std::min(mScale + dt * 0.5f, 1.1f);
    else
        mScale = std::max(mScale - dt, 1.0f);
}

void HUDButtonOver::labelRoom(float& width, float& height) const
{
    const float margin = std::max(6.0f, mLabelRect[3] * 0.2f);
    width = mLabelRect[2] - 2.0f * margin;
    height = mLabelRect[3] * 0.8f;
}

float HUDButtonOver::labelFit(render::Font* font)
{
    if (font == mFittedFont && mLabel == mFittedLabel)
        return mFit;
    math::Box box;
    {
        auto command = font->MeasureText(&mLabel);
        command->mAlignH = 2;
        command->mAlignV = 2;
        command->mOutBounds = &box;
    }
    // A caption wider or taller than its place, less a margin to the button's rim, shrinks to
    // it; the hover zoom scales both alike.
    mFit = 1.0f;
    const float w = box.maxX - box.minX, h = box.maxY - box.minY;
    float roomW = 0.0f, roomH = 0.0f;
    labelRoom(roomW, roomH);
    if (!box.IsEmpty() && w > 0.0f && h > 0.0f && roomW > 0.0f && roomH > 0.0f)
        mFit = std::min({1.0f, roomW / w, roomH / h});
    mFittedFont = font;
    mFittedLabel = mLabel;
    return mFit;
}

void HUDButtonOver::Draw(render::Graphics* graphics)
{
    if (!graphics || !mVisible)
        return;
    const TDFrameEntry& r = current();
    if (render::Image* image = HUDWindow::imageOf(r))
    {
        math::Transform2D t;
        t.Scale(mScale, mScale);
        t.Translate(r.mX + r.mWidth * 0.5f + mOffsetX, r.mY + r.mHeight * 0.5f);
        auto command = graphics->DrawImage(image).Transform(t);
        command->mAlignH = 2;
        command->mAlignV = 2;
    }
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    if (mFont)
        graphics->mFont = mFont.Get();
    if (mHasLabel && !mLabel.empty() && graphics->mFont)
    {
        const float fit = labelFit(graphics->mFont);
        math::Transform2D t;
        t.Scale(mScale * fit, mScale * fit);
        t.Translate(mLabelRect[0] + mLabelRect[2] * 0.5f + mOffsetX, mLabelRect[1] + mLabelRect[3] * 0.5f);
        auto command = graphics->DrawText(&mLabel).Transform(t);
        command->mAlignH = 2;
        command->mAlignV = 2;
    }
}
