// A screen's stand-alone button from a layout's "button" group: a normal and an over picture,
// an optional label, hover growth and a press state.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Media/Font/BMFont.h"
#include "Source/TD/Battle/HUDButton.h"

#include <memory>
#include <string>

namespace file
{
class ImageContainer;
}
namespace render
{
class BMFont;
class Graphics;
} // namespace render
class TDFrameEntry;

class HUDButtonOver : public HUDButton
{
public:
    // fullName is "<style>_<name>": the pictures are "button/<style>_normal" and "_over", the
    // place "button/<fullName>/pos" and the label area "button/<fullName>/label".
    HUDButtonOver(file::ImageContainer* layout, const std::wstring& fullName);
    ~HUDButtonOver() override;

    void Draw(render::Graphics* graphics);
    void update(float dt) override;
    bool contains(i32 x, i32 y) override;
    void onPress(i32 x, i32 y) override { mPressed = contains(x, y) ? 1 : 0; }
    void onRelease(i32, i32) override { mPressed = 0; }
    bool onHover(i32 x, i32 y) override
    {
        mHovered = contains(x, y) ? 1 : 0;
        return mHovered != 0;
    }

    base::CountedPtr<render::BMFont> mFont;
    bool mVisible = true;
    float mTimer = 0.0f;
    float mOffsetX = 0.0f;
    i32 mHovered = 0;
    float mScale = 1.0f;
    i32 mPressed = 0;
    std::wstring mStyle;
    std::wstring mLabel;
    float mLabelRect[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    std::unique_ptr<TDFrameEntry> mNormal;
    std::unique_ptr<TDFrameEntry> mOver;
    bool mHasLabel = false;

    // The room a label has: its rectangle less a margin to the button's rim.
    void labelRoom(float& width, float& height) const;
    // The scale (at most 1) that fits the label into that room in that font.
    float labelFit(render::Font* font);

private:
    render::Font* mFittedFont = nullptr;
    std::wstring mFittedLabel;
    float mFit = 1.0f;
    const TDFrameEntry& current() const;
};
