// Where the battle's own interface pieces draw (the tower ring menu, the spell buttons): named
// pictures of the "td/ui" sheet, spell pictures, lines and centred labels. The game's painter
// submits them to the renderer; tests record the calls; the null one drops them.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Sprites/TDSpritePainter.h"

#include <string>

class TDEmitter;
class TDImage;
class TDTower;

class TDUiPainter
{
public:
    virtual ~TDUiPainter() = default;
    // A picture of the "td/ui" sheet centred on (x, y), scaled alike in both axes.
    virtual void drawUiImage(const std::wstring& name, float x, float y, float scale, const TDColor& color) = 0;
    // A picture centred on (x, y) at scale; image may be null (no texture headless).
    virtual void drawImage(const TDImage* image, float x, float y, float scale) = 0;
    // The part (0, 0, srcWidth, srcHeight) of image into the rectangle at (x, y) of that size,
    // the whole draw scaled by scale.
    virtual void drawImageToRect(const TDImage* image, float srcWidth, float srcHeight, float x, float y,
                                 float scale) = 0;
    virtual void drawLine(float x1, float y1, float x2, float y2, const TDColor& color) = 0;
    // Text centred on (x, y) in the current font; "$" and "#" in menu labels are the money and
    // crystal icons.
    virtual void drawText(const std::wstring& text, float x, float y, const TDColor& color) = 0;
    // Makes a font of the game board current; false when the board has no such font.
    virtual bool setFont(const std::wstring&) { return false; }
    virtual void drawEmitter(const TDEmitter&) {}
    // The tower drawn again above the battle (while its menu is open).
    virtual void drawTower(const TDTower&) {}
};

class TDNullUiPainter : public TDUiPainter
{
public:
    void drawUiImage(const std::wstring&, float, float, float, const TDColor&) override {}
    void drawImage(const TDImage*, float, float, float) override {}
    void drawImageToRect(const TDImage*, float, float, float, float, float) override {}
    void drawLine(float, float, float, float, const TDColor&) override {}
    void drawText(const std::wstring&, float, float, const TDColor&) override {}
};
