// Builders and recorders for the sprite tests: in-memory sheets, a counting texture loader and
// a painter that records its draws.
#pragma once

#include "Source/TD/Sprites/TDImageSheet.h"
#include "Source/TD/Sprites/TDResources.h"
#include "Source/TD/Sprites/TDSpritePainter.h"
#include "Source/TD/Sprites/TDTexture.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace spritetest
{
// Sheets by path for TDResources::setSheetOpener; counts how often each path was opened.
struct SheetLibrary
{
    std::map<std::wstring, std::shared_ptr<TDImageSheet>> sheets;
    std::map<std::wstring, int> opened;

    std::shared_ptr<TDImageSheet>& Add(const std::wstring& path)
    {
        sheets[path] = std::make_shared<TDImageSheet>(path);
        return sheets[path];
    }
    TDResources::SheetOpener Opener()
    {
        return [this](const std::wstring& path, bool) -> std::shared_ptr<TDImageSheet>
        {
            ++opened[path];
            auto it = sheets.find(path);
            return it == sheets.end() ? nullptr : it->second;
        };
    }
};

// A texture that keeps the picture's pixels, so frames can be looked at.
struct FakeTexture : TDTexture
{
    i32 width() const override { return w; }
    i32 height() const override { return h; }
    u32 at(i32 x, i32 y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : px[size_t(y) * w + x]; }
    std::wstring name;
    i32 w = 1, h = 1;
    std::vector<u32> px;
};

// Hands out fake textures and lists what it was asked for.
struct CountingLoader : TDTextureLoader
{
    bool wantsPixels() const override { return true; }
    std::unique_ptr<TDTexture> load(const TDImageSheet& sheet, size_t i) override
    {
        auto t = std::make_unique<FakeTexture>();
        t->name = sheet.image(i).mName;
        t->w = i32(sheet.image(i).mWidth);
        t->h = i32(sheet.image(i).mHeight);
        if (const u32* p = sheet.pixels(i))
            t->px.assign(p, p + size_t(t->w) * t->h);
        loaded.push_back(t->name);
        return t;
    }
    std::unique_ptr<TDTexture> loadPicture(const std::wstring& path) override
    {
        pictures.push_back(path);
        auto t = std::make_unique<FakeTexture>();
        t->name = path;
        return t;
    }
    std::vector<std::wstring> loaded;
    std::vector<std::wstring> pictures;
};

struct Draw
{
    const TDTexture* image;
    float width, height;
    float x0, y0; // where the image's top-left corner lands
    float cx, cy; // where its centre lands
    TDColor color;
};

struct RecordingPainter : TDSpritePainter
{
    void drawImage(const TDTexture* image, float width, float height, const math::Transform2D& t,
                   const TDColor& color) override
    {
        Draw d{image, width, height, 0, 0, 0, 0, color};
        t.TransformPoint(-width / 2, -height / 2, d.x0, d.y0);
        t.TransformPoint(0, 0, d.cx, d.cy);
        draws.push_back(d);
    }
    std::vector<Draw> draws;
};

// A fresh sprite store for each test.
inline TDResources* FreshResources()
{
    base::SingletoneBase::DestroyAll();
    return TDResources::Instance();
}
} // namespace spritetest
