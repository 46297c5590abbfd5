// Pictures of the sprites as the renderer holds them, made through a loader that the game
// installs; headless, the null loader makes none and only the layer metadata is kept.
#pragma once

#include "Core/Base/Types.h"

#include <memory>
#include <string>

class TDImageSheet;
namespace file
{
class ImageContainer;
}

class TDTexture
{
public:
    virtual ~TDTexture() = default;
    virtual i32 width() const = 0;
    virtual i32 height() const = 0;
};

class TDTextureLoader
{
public:
    virtual ~TDTextureLoader() = default;
    // Whether sheets must keep their pixels for this loader.
    virtual bool wantsPixels() const = 0;
    // The texture of picture i of a sheet, or null.
    virtual std::unique_ptr<TDTexture> load(const TDImageSheet& sheet, size_t image) = 0;
    // A single loose or packed picture by path ("td/..."), or null.
    virtual std::unique_ptr<TDTexture> loadPicture(const std::wstring& path) = 0;
    // The named image of a layout container ("td/shop", "tabs/up_button_ac"), or null.
    virtual std::unique_ptr<TDTexture> loadLayoutImage(file::ImageContainer&, const std::wstring&) { return nullptr; }
};

class TDNullTextureLoader : public TDTextureLoader
{
public:
    bool wantsPixels() const override { return false; }
    std::unique_ptr<TDTexture> load(const TDImageSheet&, size_t) override { return nullptr; }
    std::unique_ptr<TDTexture> loadPicture(const std::wstring&) override { return nullptr; }
};
