// A layered image seen as named pictures in document order ("imp/walk/00", "shadows/money_shadow"):
// what the sprite store reads of a PSD file, with the pixels kept for texture creation.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

struct TDSheetImage
{
    std::wstring mName; // the group path and the layer name, joined by "/"
    float mX = 0.0f, mY = 0.0f, mWidth = 0.0f, mHeight = 0.0f;
    u32 mIndex = 0; // the layer's index in its document
    u8 mOpacity = 255;
};

class TDImageSheet
{
public:
    explicit TDImageSheet(std::wstring path) : mPath(std::move(path)) {}
    virtual ~TDImageSheet() = default;

    const std::wstring& path() const { return mPath; }
    size_t imageCount() const { return mImages.size(); }
    const TDSheetImage& image(size_t i) const { return mImages[i]; }
    // The first image with exactly that name, or null.
    const TDSheetImage* findImage(const std::wstring& name) const;
    // Indices of the images lying directly under key ("imp/walk": "imp/walk/00", not deeper), in
    // document order; the empty key lists the images outside every group.
    std::vector<size_t> list(const std::wstring& key) const;
    // The top-level group names, sorted and each once.
    std::vector<std::wstring> groups() const;

    // ARGB pixels (width x height, rows top to bottom) of image i, or null when the sheet keeps none.
    virtual const u32* pixels(size_t) const { return nullptr; }

    void add(TDSheetImage image) { mImages.push_back(std::move(image)); }

protected:
    std::wstring mPath;
    std::vector<TDSheetImage> mImages;
};
