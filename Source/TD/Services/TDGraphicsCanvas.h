// The battle's canvas over the engine's drawing context: images of the sprite store's textures,
// emitters of the particle system and texts in the game's fonts.
#pragma once

#include "Source/TD/Seams/TDBattleCanvas.h"

#include <functional>
#include <memory>
#include <vector>

namespace math
{
class Transform3D;
}
namespace render
{
class Font;
class Graphics;
class Shader;
} // namespace render

class TDGraphicsCanvas : public TDBattleCanvas
{
public:
    // Fonts may be null (their texts are skipped); none is owned.
    TDGraphicsCanvas(render::Graphics& graphics, render::Font* waveFont, render::Font* indicatorFont);
    // Puts back the context's transform it found.
    ~TDGraphicsCanvas() override;
    TDGraphicsCanvas(const TDGraphicsCanvas&) = delete;
    TDGraphicsCanvas& operator=(const TDGraphicsCanvas&) = delete;

    void pushTransform(float scale, float offsetX, float offsetY) override;
    void popTransform() override;
    void setBlendMode(TDBlendMode mode) override;
    void setColor(const TDColor& color) override;
    void setUnitShader(u32 fill) override;
    void setShaderMode(TDShaderMode mode) override;
    void drawImage(const TDTexture* image, float width, float height, const math::Transform2D& transform,
                   bool flipH) override;
    void drawEmitter(TDEmitter& emitter) override;
    void drawEmitter(TDEmitter& emitter, const math::Transform2D& transform) override;
    using TDBattleCanvas::drawText;
    void drawText(const std::wstring& text, float x, float y, i32 hAlign, i32 vAlign, Font font, float scale) override;
    // The rectangle within the context's clip; not nested.
    void beginClip(float x, float y, float width, float height) override;
    void endClip() override;
    TDUiPainter* uiPainter() override { return mUiPainter; }
    std::unique_ptr<TDTexture> renderPicture(i32 width, i32 height,
                                             const std::function<void(TDBattleCanvas&)>& paint) override;
    // Where the ring menu draws (not owned; null: no menu).
    void setUiPainter(TDUiPainter* painter) { mUiPainter = painter; }
    // The unit shader and how to set its second colour (r, g, b, a); without one, units are
    // tinted by multiplying the drawing colour.
    void setMobShader(render::Shader* shader, std::function<void(const float rgba[4])> setColor2)
    {
        mMobShader = shader;
        mSetColor2 = std::move(setColor2);
    }

private:
    struct Level
    {
        float scale, x, y;
        std::unique_ptr<math::Transform3D> transform;
    };
    void applyColor();

    render::Graphics& mGraphics;
    render::Font* mFonts[2];
    const math::Transform3D* mOuter;
    std::vector<Level> mStack;
    TDColor mColor;
    bool mShaded = false;
    u32 mFill = 0xFFFFFFFFu;
    TDUiPainter* mUiPainter = nullptr;
    render::Shader* mMobShader = nullptr;
    std::function<void(const float rgba[4])> mSetColor2;
    bool mMobShaderSet = false;
    // The context's clip found by beginClip: on, x, y, width, height.
    bool mClipping = false;
    bool mOuterClipOn = false;
    float mOuterClip[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};
