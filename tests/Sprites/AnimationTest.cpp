// Timing and placement of animations, effect sprites and button frames.
#include "SpriteFakes.h"

#include "Source/TD/Sprites/TDAnimation.h"
#include "Source/TD/Sprites/TDFrameEntry.h"
#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDSprite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace spritetest;

namespace
{
class Animation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        res = FreshResources();
        res->setSheetOpener(library.Opener());
        auto& fx = library.Add(L"td/fx");
        for (int i = 0; i < 4; ++i)
            fx->add({L"spark/0" + std::to_wstring(i), 10.0f * i, 0, 20, 10});
        fx->add({L"spark/s_point/00", 12, 6, 1, 1});
        fx->add({L"blank/walk/00", 0, 0, 4, 4});
        res->loadContainer(L"td/fx");
    }
    void TearDown() override { base::SingletoneBase::DestroyAll(); }

    SheetLibrary library;
    TDResources* res = nullptr;
};
} // namespace

TEST_F(Animation, FrameFollowsTimeIsDrawnAroundItsAnchorOneShotSpritesFadeAndDieAndButtonFramesPulse)
{
    TDAnimation a(L"td/spark");
    EXPECT_EQ(a.frameCount(), 4);
    EXPECT_FLOAT_EQ(a.mRate, 30.0f);
    EXPECT_EQ(a.frameIndex(), 0);
    a.mRate = 10.0f;
    a.update(0.25f);
    EXPECT_EQ(a.frameIndex(), 2);
    a.update(0.1f); // 0.35
    EXPECT_EQ(a.frameIndex(), 3);
    a.update(0.05f); // reaches 0.4 = 4 frames / 10: back to 0
    EXPECT_EQ(a.mTime, 0.0f);
    EXPECT_EQ(a.frameIndex(), 0);
    // A time set past the length still picks a frame within the list.
    a.mTime = 1.25f;
    EXPECT_EQ(a.frameIndex(), 0);
    // The anchor is the first "s_point", or the default without one.
    EXPECT_EQ(std::make_pair(a.mAnchorX, a.mAnchorY), std::make_pair(12.0f, 6.0f));
    TDAnimation blank(L"td/blank", "walk");
    EXPECT_EQ(std::make_pair(blank.mAnchorX, blank.mAnchorY), std::make_pair(50.0f, 30.0f));
    // Unturned, the frame's top-left lands at frame - anchor + position.
    a.mTime = 0.15f; // frame 1 at x 10
    RecordingPainter painter;
    a.draw(painter, 100, 200, 0);
    ASSERT_EQ(painter.draws.size(), 1u);
    EXPECT_FLOAT_EQ(painter.draws[0].x0, 10 - 12 + 100);
    EXPECT_FLOAT_EQ(painter.draws[0].y0, 0 - 6 + 200);
    EXPECT_FLOAT_EQ(painter.draws[0].width, 20.0f);

    // Turned, the frame keeps its centre: it turns about itself.
    RecordingPainter turned;
    a.draw(turned, 100, 200, 90);
    EXPECT_NEAR(turned.draws[0].cx, 10 + 10 - 12 + 100, 1e-4);
    EXPECT_NEAR(turned.draws[0].cy, 5 - 6 + 200, 1e-4);
    // A quarter turn swaps the corner's offsets from the centre: (-10, -5) becomes (+-5, +-10).
    EXPECT_NEAR(std::abs(turned.draws[0].x0 - turned.draws[0].cx), 5.0f, 1e-3);
    EXPECT_NEAR(std::abs(turned.draws[0].y0 - turned.draws[0].cy), 10.0f, 1e-3);
    // An empty list draws nothing and never divides; a rate of 0 stays on the first frame.
    TDAnimation empty(L"td/blank"); // the unnamed list of "blank" is empty
    EXPECT_EQ(empty.frameCount(), 0);
    empty.update(0.5f);
    EXPECT_EQ(empty.mTime, 0.0f);
    EXPECT_EQ(empty.frameIndex(), -1);
    EXPECT_EQ(empty.length(), 0.0f);
    RecordingPainter nothing;
    empty.draw(nothing, 1, 2, 30);
    TDAnimation none(nullptr, "walk");
    none.update(1.0f);
    none.draw(nothing, 0, 0, 0);
    EXPECT_TRUE(nothing.draws.empty());
    TDAnimation still(L"td/spark");
    still.mRate = 0.0f;
    still.update(3.0f);
    EXPECT_EQ(still.frameIndex(), 0);
    EXPECT_EQ(still.length(), 0.0f);

    // A one-shot sprite dies after one pass, fading at its end; a delayed one waits without drawing.
    TDAnimatedSprite s(L"td/spark");
    EXPECT_FLOAT_EQ(s.mAnimation->mRate, 20.0f);
    EXPECT_TRUE(s.isAlive());
    // 4 frames at 20: dies once time x 20 > 3.
    for (int i = 0; i < 3; ++i)
        s.update(0.05f);
    EXPECT_TRUE(s.isAlive());
    s.update(0.01f);
    EXPECT_FALSE(s.isAlive());

    // The pass lasts 0.2 s; a sprite delayed 0.5 s plays it afterwards.
    TDAnimatedSprite delayed(L"td/spark");
    delayed.mDelay = 0.5f;
    int shown = 0;
    for (int i = 0; i < 40 && delayed.isAlive(); ++i)
    {
        delayed.update(0.025f);
        RecordingPainter painter;
        delayed.draw(painter);
        shown += static_cast<int>(painter.draws.size());
    }
    EXPECT_FALSE(delayed.isAlive());
    EXPECT_GE(shown, 5); // about 0.15 s of frames at 0.025 s each
    // A sprite fades over the last fifth of a second.
    TDAnimatedSprite fading(L"td/spark"); // length 4 / 20 = 0.2 s: the whole pass is the fade
    fading.mTime = 0.1f;
    EXPECT_NEAR(fading.alpha(), 0.5f, 1e-5);
    fading.mAnimation->mRate = 4.0f; // length 1 s
    fading.mTime = 0.5f;
    EXPECT_EQ(fading.alpha(), 1.0f);
    fading.mTime = 0.95f;
    EXPECT_NEAR(fading.alpha(), 0.25f, 1e-5);
    fading.mTime = 1.5f;
    EXPECT_EQ(fading.alpha(), 0.0f);
    fading.mTime = 0.9f;
    fading.mDelay = -1.0f;
    fading.mX = 40;
    fading.mY = 50;
    RecordingPainter faded;
    fading.draw(faded);
    ASSERT_EQ(faded.draws.size(), 1u);
    EXPECT_NEAR(faded.draws[0].color.a, 0.5f, 1e-5);
    EXPECT_EQ(faded.draws[0].color.r, 1.0f);

    // A delayed sprite neither draws nor advances; a looping one keeps running.
    TDAnimatedSprite looped(L"td/spark");
    looped.mDelay = 0.5f;
    looped.mLoop = 1;
    RecordingPainter waiting;
    looped.update(0.1f);
    looped.draw(waiting);
    EXPECT_TRUE(waiting.draws.empty());
    EXPECT_EQ(looped.mAnimation->mTime, 0.0f);
    EXPECT_EQ(looped.mTime, 0.0f);
    EXPECT_FLOAT_EQ(looped.mDelay, 0.4f);
    looped.update(0.35f);
    looped.draw(waiting);
    EXPECT_TRUE(waiting.draws.empty());
    EXPECT_EQ(looped.mTime, 0.0f);
    looped.update(0.1f); // the delay runs out
    EXPECT_LT(looped.mDelay, 0.0f);
    EXPECT_FLOAT_EQ(looped.mAnimation->mTime, 0.1f);
    looped.draw(waiting);
    EXPECT_EQ(waiting.draws.size(), 1u);
    waiting.draws.clear();
    // A new sprite with no delay is not drawn before its first update either (delay 0 is not below 0).
    TDAnimatedSprite fresh(L"td/spark");
    fresh.draw(waiting);
    EXPECT_TRUE(waiting.draws.empty());
    fresh.update(0.01f);
    fresh.draw(waiting);
    EXPECT_EQ(waiting.draws.size(), 1u);
    // A looping sprite goes back one pass and keeps running.
    TDAnimatedSprite looping(L"td/spark");
    looping.mLoop = 1;
    looping.mDelay = 0.3f;
    for (int i = 0; i < 40; ++i)
        looping.update(0.02f);
    EXPECT_TRUE(looping.isAlive());
    EXPECT_LE(looping.mTime * 20.0f, 3.0f + 1e-4f);
    // The first wrap set the delay to 0 long before it had run out; it shrank again since.
    EXPECT_LT(looping.mDelay, 0.0f);
    EXPECT_GT(looping.mDelay, -0.2f);

    // A button frame pulses, hovers strictly inside and draws scaled about its pivot.
    TDButtonFrame b;
    b.mState = kButtonFrameHovered;
    b.update(0.1f);
    EXPECT_NEAR(b.mScale, 1.05f, 1e-6);
    b.update(1.0f);
    EXPECT_FLOAT_EQ(b.mScale, 1.1f); // at most 1.1
    b.mState = kButtonFrameIdle;
    b.update(0.05f);
    EXPECT_NEAR(b.mScale, 1.05f, 1e-6); // shrinks at one per second
    b.update(1.0f);
    EXPECT_FLOAT_EQ(b.mScale, 1.0f);

    b.mX = 100;
    b.mY = 50;
    b.mWidth = 20;
    b.mHeight = 10;
    // Inside, inside, on the left edge, on the right edge.
    const std::tuple<float, float, int> points[] = {{101, 51, 1}, {119, 59, 1}, {100, 55, 0}, {120, 55, 0}};
    for (auto [x, y, hover] : points)
    {
        b.pointer(x, y);
        EXPECT_EQ(b.mHover, hover) << x << "," << y;
    }

    b.mScale = 1.1f;
    b.mPivotX = 10;
    b.mPivotY = 0;
    RecordingPainter framed;
    b.draw(framed, 2.0f);
    ASSERT_EQ(framed.draws.size(), 1u);
    // Centre (110, 55) scaled by 2 about (10, 0).
    EXPECT_NEAR(framed.draws[0].cx, 210.0f, 1e-4);
    EXPECT_NEAR(framed.draws[0].cy, 110.0f, 1e-4);
    EXPECT_NEAR(framed.draws[0].x0, 210.0f - 10 * 1.1f * 2, 1e-4);
    b.mVisible = 0;
    b.draw(framed, 1.0f);
    EXPECT_EQ(framed.draws.size(), 1u);
}
