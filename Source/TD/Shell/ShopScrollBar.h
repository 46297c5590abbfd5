// The shop's vertical scroll bar: a bar picture and a slider that the pointer drags between the
// list's top (position 0) and bottom (position 1). Driven and drawn by the shop window.
#pragma once

#include "Core/Base/Types.h"

#include <memory>

namespace file
{
class ImageContainer;
}
namespace render
{
class Graphics;
}
class TDFrameEntry;

class ShopScrollBar
{
public:
    // Pointer y from kTop to kTop + kRange maps to positions 0 to 1; the slider's top stands
    // kGrip above the pointer.
    static constexpr int kTop = 292;
    static constexpr int kRange = 234;
    static constexpr int kGrip = 30;

    explicit ShopScrollBar(file::ImageContainer* layout);
    ~ShopScrollBar();
    ShopScrollBar(const ShopScrollBar&) = delete;
    ShopScrollBar& operator=(const ShopScrollBar&) = delete;

    // Takes hold of the slider when the point lies strictly inside it.
    void press(int x, int y);
    void drag(int x, int y);
    void release() { held = -1; }
    void reset();
    // Moves the slider to the position.
    void follow();
    void draw(render::Graphics* graphics) const;

    float sliderY() const;

    i32 held = -1; // 0 while the slider is held
    float position = 0.0f;
    bool visible = true;
    std::unique_ptr<TDFrameEntry> slider; // "scroll/slider_in"
    std::unique_ptr<TDFrameEntry> bar;    // "scroll/bar"
};
