// Where the battle draws: images, particle emitters and texts, placed through a transform stack
// that holds the battle's scale and offset. The game's canvas draws through the renderer; tests
// record the calls; the null one drops them.
#pragma once

#include "Core/Base/Transform2D.h"
#include "Core/Base/Types.h"
#include "Source/TD/Sprites/TDSpritePainter.h"
#include "Source/TD/Sprites/TDTexture.h"

#include <functional>
#include <memory>
#include <string>

class TDEmitter;
class TDUiPainter;

// How the battle's pictures blend (TDBattleCanvas::setBlendMode).
enum class TDBlendMode : i32
{
    kBlendAlpha = 1, // normal alpha blending
    kBlendAdditive = 2,
};
using enum TDBlendMode;

// The renderer's own picture shaders (TDBattleCanvas::setShaderMode).
enum class TDShaderMode : i32
{
    kShaderMultiply = 1, // the plain textured-multiply drawing
    kShaderTint = 2,     // the same, tinted
};
using enum TDShaderMode;

class TDBattleCanvas
{
public:
    enum Font : i32
    {
        kWaveFont = 0,
        kIndicatorFont = 1,
    };

    virtual ~TDBattleCanvas() = default;

    // Battle coordinates on the screen: scale by (scale, scale), then translate by the offset;
    // pushed over the current transform, popped back to it.
    virtual void pushTransform(float scale, float offsetX, float offsetY) = 0;
    virtual void popTransform() = 0;
    virtual void setBlendMode(TDBlendMode mode) = 0;
    virtual void setColor(const TDColor& color) = 0;
    // The unit shader, tinting towards fill (0xAARRGGBB); kShaderMultiply puts back the plain
    // textured-multiply drawing.
    virtual void setUnitShader(u32 fill) = 0;
    virtual void setShaderMode(TDShaderMode mode) = 0;
    // The image centred on the origin, mirrored in place when flipH, then transformed. The image
    // may be null (no texture headless).
    virtual void drawImage(const TDTexture* image, float width, float height, const math::Transform2D& transform,
                           bool flipH) = 0;
    virtual void drawEmitter(TDEmitter& emitter) = 0;
    // The emitter's particles moved by the transform (over the current one).
    virtual void drawEmitter(TDEmitter& emitter, const math::Transform2D& transform) = 0;
    // Alignments: horizontal 0 left, 1 right, 2 centre; vertical 0 top, 1 bottom, 2 centre. The
    // text is scaled about its point, then placed through the current transform.
    virtual void drawText(const std::wstring& text, float x, float y, i32 hAlign, i32 vAlign, Font font,
                          float scale) = 0;
    void drawText(const std::wstring& text, float x, float y, i32 hAlign, i32 vAlign, Font font)
    {
        drawText(text, x, y, hAlign, vAlign, font, 1.0f);
    }
    // The HUD and its windows of a draw layer (0 under the menus, 1 over everything).
    virtual void drawHud() {}
    virtual void drawHudWindows(i32 /*layer*/) {}
    // What follows is drawn only inside the rectangle (screen coordinates, through no transform)
    // and inside whatever clip the canvas was given; endClip puts that clip back.
    virtual void beginClip(float x, float y, float width, float height) = 0;
    virtual void endClip() = 0;
    // Where the battle's own interface pieces (the ring menu) draw, through the current
    // transform; null draws none of them.
    virtual TDUiPainter* uiPainter() { return nullptr; }
    // An off-screen picture of that size, cleared to transparent, painted through a canvas over
    // it; null where there are no off-screen targets.
    virtual std::unique_ptr<TDTexture> renderPicture(i32 /*width*/, i32 /*height*/,
                                                     const std::function<void(TDBattleCanvas&)>& /*paint*/)
    {
        return nullptr;
    }
};

class TDNullBattleCanvas : public TDBattleCanvas
{
public:
    void pushTransform(float, float, float) override {}
    void popTransform() override {}
    void setBlendMode(TDBlendMode) override {}
    void setColor(const TDColor&) override {}
    void setUnitShader(u32) override {}
    void setShaderMode(TDShaderMode) override {}
    void drawImage(const TDTexture*, float, float, const math::Transform2D&, bool) override {}
    void drawEmitter(TDEmitter&) override {}
    void drawEmitter(TDEmitter&, const math::Transform2D&) override {}
    void drawText(const std::wstring&, float, float, i32, i32, Font, float) override {}
    void beginClip(float, float, float, float) override {}
    void endClip() override {}
};
