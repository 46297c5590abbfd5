// Pictures for the battle's image seam, made by the texture loader and kept by the sprite store.
#include "Source/TD/Services/TDRenderImages.h"

#include "Source/TD/Services/TDRenderTexture.h"
#include "Source/TD/Sprites/TDResources.h"

std::unique_ptr<TDImage> TDRenderImages::loadImage(const std::wstring& name) { return mLoader.loadRenderPicture(name); }

const TDImage* TDRenderImages::findImage(const std::wstring& sheet, const std::wstring& name)
{
    const TDFrameEntry* entry = mResources.getImage(sheet, name);
    return entry ? dynamic_cast<const TDRenderTexture*>(entry->mImage) : nullptr;
}

std::vector<TDLayerEntry> TDRenderImages::backgroundLayers(const std::wstring& folder)
{
    std::vector<TDLayerEntry> out;
    const TDGraphic* graphic = mResources.loadBackground(folder);
    if (!graphic || !graphic->mContainer)
        return out;
    const TDImageSheet& sheet = *graphic->mContainer;
    for (size_t i = 0; i < sheet.imageCount(); ++i)
    {
        const TDSheetImage& image = sheet.image(i);
        out.push_back({image.mName, image.mX, image.mY, image.mWidth, image.mHeight, static_cast<i32>(image.mIndex)});
    }
    return out;
}
