// The battle's interface painter and canvas over the drawing context: ring menus and spell
// buttons through "td/ui" pictures and the board's fonts, and the HUD where the battle asks.
#pragma once

#include "Source/TD/Seams/TDUiPainter.h"
#include "Source/TD/Services/TDGraphicsCanvas.h"

#include <functional>

namespace render
{
class Graphics;
}
class HUD;
class TDImageLoader;

class TDShellPainter : public TDUiPainter
{
public:
    // fontByName: the board's font of a name ("main_42_2"), or null.
    TDShellPainter(render::Graphics& graphics, TDImageLoader& images,
                   std::function<render::Font*(const std::wstring&)> fontByName);

    void drawUiImage(const std::wstring& name, float x, float y, float scale, const TDColor& color) override;
    void drawImage(const TDImage* image, float x, float y, float scale) override;
    void drawImageToRect(const TDImage* image, float srcWidth, float srcHeight, float x, float y, float scale) override;
    void drawLine(float x1, float y1, float x2, float y2, const TDColor& color) override;
    void drawText(const std::wstring& text, float x, float y, const TDColor& color) override;
    bool setFont(const std::wstring& name) override;

private:
    render::Graphics& mGraphics;
    TDImageLoader& mImages;
    std::function<render::Font*(const std::wstring&)> mFontByName;
};

class TDShellCanvas : public TDGraphicsCanvas
{
public:
    TDShellCanvas(render::Graphics& graphics, render::Font* waveFont, render::Font* indicatorFont, HUD& hud,
                  std::function<void()> drawOverHud)
        : TDGraphicsCanvas(graphics, waveFont, indicatorFont), mGraphics(graphics), mHud(hud),
          mDrawOverHud(std::move(drawOverHud))
    {
    }
    void drawHud() override;
    void drawHudWindows(i32 layer) override;

private:
    render::Graphics& mGraphics;
    HUD& mHud;
    std::function<void()> mDrawOverHud;
};
