// One frame list of a graphic played at a frame rate, placed by the graphic's anchor point.
#pragma once

#include "Core/Base/Transform2D.h"
#include "Core/Base/Types.h"
#include "Source/TD/Sprites/TDSpritePainter.h"

#include <string>

class TDFrameEntry;
class TDGraphic;

class TDAnimation
{
public:
    // The graphic from the sprite store (found or loaded by name); list "" is the unnamed list.
    TDAnimation(const std::wstring& sprite, const std::string& list = std::string());
    // Over a given graphic (may be null: nothing to play).
    TDAnimation(TDGraphic* graphic, const std::string& list);

    // Time grows by dt and goes back to 0 once it reaches the list's length (frames / rate).
    void update(float dt);
    // The current frame with its anchor point on (x, y), turned by angle degrees about its centre.
    void draw(TDSpritePainter& painter, float x, float y, float angle, const TDColor& color = TDColor()) const;

    i32 frameCount() const;
    // floor(time x rate) mod frames; -1 without frames.
    i32 frameIndex() const;
    const TDFrameEntry* currentFrame() const;
    // Length of one pass in seconds; 0 without frames or with a rate of 0 or less.
    float length() const;
    // The transform that draw gives the frame (rotation, then the placement).
    math::Transform2D placement(const TDFrameEntry& frame, float x, float y, float angle) const;

    TDGraphic* mGraphic = nullptr;
    std::string mList;
    float mTime = 0.0f;
    float mAnchorX = 50.0f, mAnchorY = 30.0f;
    std::wstring mSprite;
    float mRate = 30.0f;

private:
    void takeAnchor();
};
