// The battle's pictures through the renderer: loose pictures, sheet pictures of the sprite store
// and the layers of background documents.
#pragma once

#include "Source/TD/Seams/TDBattleServices.h"

class TDRenderTextureLoader;
class TDResources;

class TDRenderImages : public TDImageLoader
{
public:
    TDRenderImages(TDRenderTextureLoader& loader, TDResources& resources) : mLoader(loader), mResources(resources) {}

    std::unique_ptr<TDImage> loadImage(const std::wstring& name) override;
    const TDImage* findImage(const std::wstring& sheet, const std::wstring& name) override;
    // The pictures of the layered document at folder, in document order; the previous level's
    // background is released (the sprite store keeps one).
    std::vector<TDLayerEntry> backgroundLayers(const std::wstring& folder) override;

private:
    TDRenderTextureLoader& mLoader;
    TDResources& mResources;
};
