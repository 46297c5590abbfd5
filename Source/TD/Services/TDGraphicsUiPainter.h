// The battle's interface pieces (ring menu, spell buttons) drawn through the engine's drawing
// context: pictures of the "td/ui" sheet, other pictures, lines and centred labels.
#pragma once

#include "Source/TD/Seams/TDUiPainter.h"

#include <map>
#include <string>

namespace render
{
class Font;
class Graphics;
} // namespace render

class TDResources;

class TDGraphicsUiPainter : public TDUiPainter
{
public:
    // font may be null (labels are skipped); fonts by name for setFont; none is owned.
    TDGraphicsUiPainter(render::Graphics& graphics, TDResources& resources, render::Font* font);

    void drawUiImage(const std::wstring& name, float x, float y, float scale, const TDColor& color) override;
    void drawImage(const TDImage* image, float x, float y, float scale) override;
    void drawImageToRect(const TDImage* image, float srcWidth, float srcHeight, float x, float y, float scale) override;
    void drawLine(float x1, float y1, float x2, float y2, const TDColor& color) override;
    void drawText(const std::wstring& text, float x, float y, const TDColor& color) override;
    bool setFont(const std::wstring& name) override;
    void drawEmitter(const TDEmitter& emitter) override;

    void addFont(const std::wstring& name, render::Font* font) { mFonts[name] = font; }

private:
    render::Graphics& mGraphics;
    TDResources& mResources;
    render::Font* mFont;
    std::map<std::wstring, render::Font*> mFonts;
};
