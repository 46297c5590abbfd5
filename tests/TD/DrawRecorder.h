// A battle canvas and an interface painter that record what is drawn, named textures from a fake
// loader, and sheets of named pictures without pixels: the battle's drawing seen headless.
#pragma once

#include "Source/TD/Seams/TDBattleCanvas.h"
#include "Source/TD/Seams/TDUiPainter.h"
#include "Source/TD/Sprites/TDImageSheet.h"
#include "Source/TD/Sprites/TDTexture.h"
#include "Source/TD/Units/TDParticle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace tdtest
{
struct NamedTexture : TDTexture
{
    std::wstring name;
    i32 w, h;
    NamedTexture(std::wstring n, i32 width, i32 height) : name(std::move(n)), w(width), h(height) {}
    i32 width() const override { return w; }
    i32 height() const override { return h; }
};

struct NamedTextureLoader : TDTextureLoader
{
    bool wantsPixels() const override { return false; }
    std::unique_ptr<TDTexture> load(const TDImageSheet& sheet, size_t i) override
    {
        const TDSheetImage& image = sheet.image(i);
        return std::make_unique<NamedTexture>(sheet.path() + L":" + image.mName, static_cast<i32>(image.mWidth),
                                              static_cast<i32>(image.mHeight));
    }
    std::unique_ptr<TDTexture> loadPicture(const std::wstring& path) override
    {
        return std::make_unique<NamedTexture>(path, 1024, 768);
    }
};

struct Drawn
{
    enum Kind
    {
        Image,
        Emitter,
        Text
    } kind = Image;
    std::wstring name;                  // texture name, "" for a null texture; the text
    const TDTexture* texture = nullptr; // read by the playthroughs, whose textures have no names
    float x = 0.0f, y = 0.0f;           // the image's centre (or the text's point) on the screen
    float scaleX = 1.0f;                // the transform's horizontal scale
    float angle = 0.0f;                 // the transform's turn in degrees, in (-180, 180]
    // The whole transform of an image or an emitter on the screen: where its x and y unit vectors
    // go (x axis, then y axis), so that a turn or a scale shows as well as the place.
    std::array<float, 4> axes{1.0f, 0.0f, 0.0f, 1.0f};
    const TDEmitter* emitter = nullptr; // the emitter drawn
    TDColor color;
    TDBlendMode blend = kBlendAlpha;
    bool flipH = false;
    bool shaded = false;
    u32 fill = 0;
    i32 hAlign = 0;
    i32 depth = 0; // transforms pushed when drawn
    // The clip rectangle in force (x, y, width, height on the screen), when there was one.
    bool clipped = false;
    std::array<float, 4> clip{};
};

struct RecordingCanvas : TDBattleCanvas
{
    std::vector<Drawn> drawn;
    std::vector<std::string> calls;          // "push", "pop", "emitter", "hud", "windows0", "windows1"
    std::vector<std::array<float, 3>> stack; // scale, x, y
    TDColor color;
    TDBlendMode blend = kBlendAlpha;
    bool shaded = false;
    u32 fill = 0;
    bool clipped = false;
    std::array<float, 4> clip{};
    int clips = 0; // clips begun and not ended: more than one is a nesting the canvases do not have

    void pushTransform(float s, float x, float y) override
    {
        stack.push_back({s, x, y});
        calls.push_back("push");
    }
    void popTransform() override
    {
        stack.pop_back();
        calls.push_back("pop");
    }
    void setBlendMode(TDBlendMode mode) override { blend = mode; }
    void setColor(const TDColor& c) override { color = c; }
    void setUnitShader(u32 f) override
    {
        shaded = true;
        fill = f;
    }
    void setShaderMode(TDShaderMode) override { shaded = false; }
    void toScreen(float& x, float& y) const
    {
        for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        {
            x = x * (*it)[0] + (*it)[1];
            y = y * (*it)[0] + (*it)[2];
        }
    }
    // The transform's origin and axes through the canvas's transforms into d.
    void place(Drawn& d, const math::Transform2D& t) const
    {
        t.TransformPoint(0.0f, 0.0f, d.x, d.y);
        float x1, y1, x2, y2;
        t.TransformPoint(1.0f, 0.0f, x1, y1);
        t.TransformPoint(0.0f, 1.0f, x2, y2);
        float scale = 1.0f;
        for (const auto& pushed : stack)
            scale *= pushed[0];
        d.axes = {(x1 - d.x) * scale, (y1 - d.y) * scale, (x2 - d.x) * scale, (y2 - d.y) * scale};
        toScreen(d.x, d.y);
    }
    Drawn base(Drawn::Kind kind)
    {
        Drawn d;
        d.kind = kind;
        d.color = color;
        d.blend = blend;
        d.shaded = shaded;
        d.fill = fill;
        d.depth = static_cast<i32>(stack.size());
        d.clipped = clipped;
        d.clip = clip;
        return d;
    }
    void beginClip(float x, float y, float w, float h) override
    {
        clipped = true;
        clip = {x, y, w, h};
        ++clips;
    }
    void endClip() override
    {
        clipped = false;
        --clips;
    }
    void drawImage(const TDTexture* image, float, float, const math::Transform2D& t, bool flipH) override
    {
        Drawn d = base(Drawn::Image);
        d.texture = image;
        if (auto* named = dynamic_cast<const NamedTexture*>(image))
            d.name = named->name;
        t.TransformPoint(0.0f, 0.0f, d.x, d.y);
        float x1, y1;
        t.TransformPoint(1.0f, 0.0f, x1, y1);
        d.scaleX = x1 - d.x;
        d.angle = std::atan2(y1 - d.y, x1 - d.x) * 57.29577951308232f;
        place(d, t);
        d.flipH = flipH;
        drawn.push_back(d);
    }
    void drawEmitter(TDEmitter& emitter) override
    {
        Drawn d = base(Drawn::Emitter);
        d.emitter = &emitter;
        drawn.push_back(d);
        calls.push_back("emitter");
    }
    void drawEmitter(TDEmitter& emitter, const math::Transform2D& t) override
    {
        calls.push_back("emitter");
        Drawn d = base(Drawn::Emitter);
        d.emitter = &emitter;
        place(d, t);
        drawn.push_back(d);
    }
    using TDBattleCanvas::drawText;
    void drawText(const std::wstring& text, float x, float y, i32 h, i32, Font, float scale) override
    {
        Drawn d = base(Drawn::Text);
        d.name = text;
        d.x = x;
        d.y = y;
        toScreen(d.x, d.y);
        d.scaleX = scale;
        d.hAlign = h;
        drawn.push_back(d);
    }
    void drawHud() override { calls.push_back("hud"); }
    void drawHudWindows(i32 layer) override { calls.push_back("windows" + std::to_string(layer)); }
    TDUiPainter* ui = nullptr;
    TDUiPainter* uiPainter() override { return ui; }

    // Index of the first image whose texture name contains part; -1 when none.
    int find(const std::wstring& part, int from = 0) const
    {
        for (size_t i = static_cast<size_t>(from); i < drawn.size(); ++i)
            if (drawn[i].kind == Drawn::Image && drawn[i].name.find(part) != std::wstring::npos)
                return static_cast<int>(i);
        return -1;
    }
    int count(const std::wstring& part) const
    {
        int n = 0;
        for (const Drawn& d : drawn)
            n += d.kind == Drawn::Image && d.name.find(part) != std::wstring::npos;
        return n;
    }
};

// The interface painter's pictures and labels recorded into the canvas's own list, through its
// transform, so that the ring menu's place in the frame's order can be read: pictures named
// "ring:" and their name, labels as texts.
struct InlineUiPainter : TDNullUiPainter
{
    RecordingCanvas& canvas;
    explicit InlineUiPainter(RecordingCanvas& c) : canvas(c) {}
    void add(Drawn::Kind kind, const std::wstring& name, float x, float y, const TDColor& c)
    {
        Drawn d = canvas.base(kind);
        d.name = name;
        d.x = x;
        d.y = y;
        canvas.toScreen(d.x, d.y);
        d.color = c;
        canvas.drawn.push_back(d);
    }
    void drawUiImage(const std::wstring& name, float x, float y, float, const TDColor& c) override
    {
        add(Drawn::Image, L"ring:" + name, x, y, c);
    }
    void drawText(const std::wstring& text, float x, float y, const TDColor& c) override
    {
        add(Drawn::Text, text, x, y, c);
    }
};

// A sheet of pictures: name, x, y, width, height.
inline std::shared_ptr<TDImageSheet> makeSheet(
    const std::wstring& path, const std::vector<std::tuple<std::wstring, float, float, float, float>>& images)
{
    auto sheet = std::make_shared<TDImageSheet>(path);
    u32 index = 0;
    for (const auto& [name, x, y, w, h] : images)
    {
        TDSheetImage image;
        image.mName = name;
        image.mX = x;
        image.mY = y;
        image.mWidth = w;
        image.mHeight = h;
        image.mIndex = index++;
        sheet->add(image);
    }
    return sheet;
}
// The interface painter's calls, for the ring menu and the spell buttons.
struct UiCall
{
    std::wstring what; // "image", "text", "line", "rect", "spell", "tower", "emitter"
    std::wstring name;
    float x = 0.0f, y = 0.0f, a = 0.0f, b = 0.0f, scale = 0.0f; // a, b: a line's end, a rect's size
    TDColor color;
    const TDImage* image = nullptr;
};

struct RecordingUiPainter : TDUiPainter
{
    std::vector<UiCall> calls;
    void add(const wchar_t* what, const std::wstring& name = L"", float x = 0, float y = 0, float a = 0, float b = 0,
             float scale = 0, const TDColor& c = {}, const TDImage* image = nullptr)
    {
        calls.push_back(UiCall{what, name, x, y, a, b, scale, c, image});
    }
    void drawUiImage(const std::wstring& name, float x, float y, float scale, const TDColor& c) override
    {
        add(L"image", name, x, y, 0.0f, 0.0f, scale, c);
    }
    void drawImage(const TDImage* image, float x, float y, float scale) override
    {
        add(L"spell", L"", x, y, 0.0f, 0.0f, scale, TDColor(), image);
    }
    void drawImageToRect(const TDImage* image, float w, float h, float x, float y, float scale) override
    {
        add(L"rect", L"", x, y, w, h, scale, TDColor(), image);
    }
    void drawLine(float x1, float y1, float x2, float y2, const TDColor& c) override
    {
        add(L"line", L"", x1, y1, x2, y2, 0.0f, c);
    }
    void drawText(const std::wstring& text, float x, float y, const TDColor& c) override
    {
        add(L"text", text, x, y, 0, 0, 0, c);
    }
    bool setFont(const std::wstring&) override { return true; }
    void drawEmitter(const TDEmitter&) override { add(L"emitter"); }
    void drawTower(const TDTower&) override { add(L"tower"); }
    std::vector<UiCall> of(const std::wstring& what) const
    {
        std::vector<UiCall> out;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                     [&](const UiCall& c) { return c.what == what; });
        return out;
    }
};

} // namespace tdtest
