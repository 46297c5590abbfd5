// A button in the layer tree: a normal and an over picture centred on its origin with a caption,
// growing while the pointer is over it. The tutorial's skip button is one.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Layer/Layer.h"

#include <memory>
#include <string>

namespace layer
{
class ImageLayer;
class TextLayer;
} // namespace layer
namespace render
{
class Font;
class Image;
} // namespace render

class HUDLayerButton : public layer::Layer
{
public:
    // The pictures are owned by the button's image layers; either may be null.
    HUDLayerButton(render::Image* normal, render::Image* over, const std::wstring& caption,
                   base::CountedPtr<render::Font> font);
    ~HUDLayerButton() override;

    // The click hook: does nothing here.
    virtual void onClick(int x, int y);
    // Inside the normal picture, edges excluded; never while hidden.
    bool hitTest(int x, int y) const;
    void updateHover(int x, int y) { mHovered = hitTest(x, y); }
    // Grows to 1.1 while hovered (dt per second), shrinks back to 1.0 at half that rate.
    void update(float dt);

    render::Image* mNormal = nullptr;
    render::Image* mOver = nullptr;
    // Children of the button; each leaves it as it goes.
    std::unique_ptr<layer::ImageLayer> mNormalLayer;
    std::unique_ptr<layer::ImageLayer> mOverLayer;
    std::unique_ptr<layer::TextLayer> mCaption;
    float mScale = 1.0f;
    bool mHovered = false;
};
