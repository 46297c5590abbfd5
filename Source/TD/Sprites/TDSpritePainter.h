// Where sprite objects draw: an image placed by a 2D transform with a colour. The game's
// painter submits image draws to the renderer; tests record the calls; the null one drops them.
#pragma once

#include "Core/Base/Transform2D.h"

class TDTexture;

struct TDColor
{
    float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
};

class TDSpritePainter
{
public:
    virtual ~TDSpritePainter() = default;
    // The image centred on the origin, then transformed; image may be null (no texture headless).
    virtual void drawImage(const TDTexture* image, float width, float height, const math::Transform2D& transform,
                           const TDColor& color) = 0;
};

class TDNullSpritePainter : public TDSpritePainter
{
public:
    void drawImage(const TDTexture*, float, float, const math::Transform2D&, const TDColor&) override {}
};
