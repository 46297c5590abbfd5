// A layer that draws an image with an alignment and hit-tests by the image's hit mask.
#pragma once

#include "Core/Base/OwnedOrBorrowed.h"
#include "Core/Layer/Layer.h"

#include <memory>
#include <string>

namespace base
{
struct ImageInfo;
}
namespace file
{
class ImageContainer;
}
namespace render
{
class Image;
class Render;
} // namespace render

namespace layer
{
class ImageLayer : public Layer
{
public:
    ImageLayer();
    explicit ImageLayer(render::Image* image, bool ownsImage = false);
    explicit ImageLayer(std::unique_ptr<render::Image> image);
    ~ImageLayer() override;

    QLResultEnum DrawSelf(render::Graphics* graphics) override;
    void UpdateBounds() override;
    bool HitTest(const math::Point3& point) override;

    // Frees the current image first when it is owned. The bounds are left to the caller.
    void SetImage(render::Image* image, bool owns);
    void SetImage(std::unique_ptr<render::Image> image);
    render::Image* GetImage() const { return mImage.get(); }
    // 0 left (top) edge at 0, 1 right (bottom) edge at 0, 2 centred.
    void SetAlignment(u32 horizontal, u32 vertical);

    base::OwnedOrBorrowed<render::Image> mImage;
    u32 mAlignH = 0;
    u32 mAlignV = 0;
};

// The named image (inside the container when one is given) on the renderer, as an image layer
// that owns it, placed at the image's position; the information is copied out when asked. A
// failing load is returned and makes no layer.
QLResultEnum CreateImageLayer(render::Render* render, const std::wstring& name, file::ImageContainer* container,
                              ImageLayer** out, base::ImageInfo* info = nullptr);
} // namespace layer
