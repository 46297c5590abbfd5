// Self-contained effect sprites of the battle: the base and the animated one-shot or looping sprite.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Sprites/TDAnimation.h"

#include <memory>
#include <string>
#include <vector>

class TDSprite
{
public:
    TDSprite() = default;
    explicit TDSprite(std::wstring name) : mName(std::move(name)) {}
    virtual ~TDSprite() = default;

    virtual bool isAlive() const { return mAlive != 0; }
    virtual void draw(TDSpritePainter&) {}
    virtual void enqueue() {}
    virtual void update(float) {}

    std::wstring mName;
    float mX = 0.0f, mY = 0.0f;
    u8 mAlive = 1;
    i32 mTag = -1;
};

class TDAnimatedSprite : public TDSprite
{
public:
    // The unnamed list of the named sprite at 20 frames per second.
    explicit TDAnimatedSprite(const std::wstring& sprite);
    TDAnimatedSprite(TDGraphic* graphic, const std::wstring& sprite);

    // The delay shrinks; once it is out, own time grows and past the last frame a looping sprite
    // goes back by one pass (its delay set to 0) and a one-shot one dies; then the animation runs.
    void update(float dt) override;
    // At its position, unturned, fading out over the last 0.2 s of its pass; nothing while delayed.
    void draw(TDSpritePainter& painter) override;
    // Appends itself to the list given by setDrawList (the battle's sprite draw list).
    void enqueue() override;

    // Opacity of the fade at the current time.
    float alpha() const;

    void setDrawList(std::vector<TDSprite*>* list) { mDrawList = list; }

    float mTime = 0.0f;
    std::unique_ptr<TDAnimation> mAnimation;
    u8 mLoop = 0;
    float mDelay = 0.0f;

private:
    std::vector<TDSprite*>* mDrawList = nullptr;
};
