// The game's sprite graphics, built from layered images; kept to the end of the process, except
// the level's background, of which only the current one is kept.
#pragma once

#include "Core/Base/Singletone.h"
#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDTexture.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tinyxml2
{
class XMLElement;
}

class TDResources : public base::Singletone<TDResources>
{
public:
    // Opens the layered image at a path ("td/units/t1units"); null when it is missing or damaged.
    using SheetOpener = std::function<std::shared_ptr<TDImageSheet>(const std::wstring& path, bool keepPixels)>;

    TDResources();
    ~TDResources() override;

    // The sheets that the battle loads at its start, in order.
    static const std::vector<std::wstring>& battleSheets();

    // One new graphic per sprite group of the sheet, named "td/" + group (both keys). Loading a
    // sheet twice adds its graphics twice; lookups find the first.
    void loadContainer(const std::wstring& path);
    // The graphic of a prototype: "td/" + psd and "td/" + img; null when both are empty; else the
    // first cached graphic with both keys equal, or a new one made from the psd sheet and the img
    // picture.
    TDGraphic* getGraphic(const std::string& psd, const std::string& img, i32 id);
    TDGraphic* getGraphic(const tinyxml2::XMLElement* element);
    // The cached graphic whose mPsd is the name, or a new one made from the sheet at that path.
    TDGraphic* findGraphic(const std::wstring& name);
    // The picture of that name in a sheet, or null.
    const TDSheetImage* findImage(const TDImageSheet& sheet, const std::wstring& name) const;
    // A new texture of the named picture (null headless or when the picture is missing).
    std::unique_ptr<TDTexture> loadImage(const TDImageSheet& sheet, const std::wstring& name);
    // Puts the named image of a layout container on the layer: its texture (through the loader;
    // none headless) and its place relative to the container's origin, size, order and name.
    // False, leaving the layer unplaced and without a texture, when the container lacks it.
    bool setLayerImage(TDFrameEntry& layer, file::ImageContainer* container, const std::wstring& name);
    // A frame of the graphic of a sheet path: the entry called imageName in the list (any entry
    // when imageName is empty: the first); without a list, also any picture of the graphic's
    // sheet of that name ("ui/brush" of "td/ui"); null when there is none.
    const TDFrameEntry* getImage(const std::wstring& sheetPath, const std::wstring& imageName,
                                 const std::string& list = std::string());

    // The graphic of a level's background folder ("td/data/levels/bg01"). Only one level's
    // background is kept: the previous one, when it was another folder, is released first.
    TDGraphic* loadBackground(const std::wstring& folder);
    // Drops every graphic of that sheet path with its sheet and textures; each release listener
    // hears of each graphic first, while it still exists.
    void releaseGraphic(const std::wstring& name);
    // Lets the kept level background go (nothing when none is kept).
    void releaseBackground()
    {
        if (!mBackground.empty())
            releaseGraphic(mBackground);
    }
    // Holders of raw pointers into graphics (frames, textures) forget them here; one per owner.
    using ReleaseListener = std::function<void(const TDGraphic&)>;
    void addReleaseListener(const void* owner, ReleaseListener listener);
    void removeReleaseListener(const void* owner);

    const std::vector<std::unique_ptr<TDGraphic>>& graphics() const { return mGraphics; }

    // The loader of textures (the null one by default; not owned) and the opener of sheets
    // (PSD files through the file manager by default).
    void setTextureLoader(TDTextureLoader* loader);
    void setSheetOpener(SheetOpener opener);
    TDTextureLoader& textureLoader() { return *mLoader; }

private:
    std::shared_ptr<TDImageSheet> openSheet(const std::wstring& path);

    std::vector<std::unique_ptr<TDGraphic>> mGraphics;
    TDNullTextureLoader mNullLoader;
    TDTextureLoader* mLoader;
    SheetOpener mOpener;
    std::wstring mBackground; // the folder of the background kept
    std::vector<std::pair<const void*, ReleaseListener>> mListeners;
};
