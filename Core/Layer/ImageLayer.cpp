// Image layers: aligned image draws, image boxes and pixel hit tests.
#include "Core/Layer/ImageLayer.h"

#include "Core/Layer/LayerDraw.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Image/ImageInfo.h"

namespace layer
{
namespace
{
// The extent of one axis for an alignment; false leaves the axis as it was.
bool AlignedRange(u32 alignment, float size, float& low, float& high)
{
    switch (alignment)
    {
    case 0:
        low = 0.0f;
        high = size;
        return true;
    case 1:
        low = -size;
        high = 0.0f;
        return true;
    case 2:
        low = -0.5f * size;
        high = 0.5f * size;
        return true;
    default: return false;
    }
}

float AlignShift(u32 alignment, float size)
{
    if (alignment == 1)
        return size;
    if (alignment == 2)
        return 0.5f * size;
    return 0.0f;
}
} // namespace

ImageLayer::ImageLayer() { mHasOwnBounds = true; }

ImageLayer::ImageLayer(render::Image* image, bool ownsImage) : ImageLayer() { SetImage(image, ownsImage); }

ImageLayer::ImageLayer(std::unique_ptr<render::Image> image) : ImageLayer() { SetImage(std::move(image)); }

// Out of line: the image's destructor is not seen by the header.
ImageLayer::~ImageLayer() = default;

void ImageLayer::SetImage(render::Image* image, bool owns) { mImage.reset(image, owns); }

void ImageLayer::SetImage(std::unique_ptr<render::Image> image) { mImage.own(std::move(image)); }

void ImageLayer::SetAlignment(u32 horizontal, u32 vertical)
{
    mAlignH = horizontal;
    mAlignV = vertical;
    InvalidateOwnBounds();
}

QLResultEnum ImageLayer::DrawSelf(render::Graphics* graphics)
{
    if (!mImage)
        return QL_OK;
    LayerDrawScope scope(graphics, *this, mAdditive ? render::BLEND_ADDITIVE : render::BLEND_ALPHA);
    auto command = graphics->DrawImage(mImage.get());
    command->mAlignH = mAlignH;
    command->mAlignV = mAlignV;
    return QL_OK;
}

void ImageLayer::UpdateBounds()
{
    if (!mImage)
    {
        mOwnBox.SetEmpty();
        return;
    }
    const float w = static_cast<float>(mImage->GetWidth());
    const float h = static_cast<float>(mImage->GetHeight());
    mOwnBox.minZ = 0.0f;
    mOwnBox.maxZ = 0.0f;
    AlignedRange(mAlignH, w, mOwnBox.minX, mOwnBox.maxX);
    AlignedRange(mAlignV, h, mOwnBox.minY, mOwnBox.maxY);
}

bool ImageLayer::HitTest(const math::Point3& point)
{
    if (!mImage)
        return false;
    const float w = static_cast<float>(mImage->GetWidth());
    const float h = static_cast<float>(mImage->GetHeight());
    const float x = point.x + AlignShift(mAlignH, w) + 0.5f;
    const float y = point.y + AlignShift(mAlignV, h) + 0.5f;
    // Far outside the image the truncation could overflow; such points miss anyway.
    if (!(x > -1.0f && x < w + 1.0f && y > -1.0f && y < h + 1.0f))
        return false;
    return mImage->IsOpaqueAt(static_cast<i32>(x), static_cast<i32>(y));
}

QLResultEnum CreateImageLayer(render::Render* render, const std::wstring& name, file::ImageContainer* container,
                              ImageLayer** out, base::ImageInfo* info)
{
    render::Image* image = nullptr;
    base::ImageInfo loaded;
    if (QLResultEnum r = render::LoadImage(render, name, container, &image, &loaded))
        return r;
    auto layer = std::make_unique<ImageLayer>(std::unique_ptr<render::Image>(image));
    layer->SetPosition(loaded.mX, loaded.mY, 0.0f);
    if (info)
        *info = loaded;
    if (out)
        *out = layer.release();
    return QL_OK;
}
} // namespace layer
