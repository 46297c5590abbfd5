// The layer-effects record shared by the old ("lrFX") and descriptor ("lfx2") forms.
#pragma once

#include "Core/Psd/Records.h"

namespace psd
{
struct ShadowEffect
{
    u8 mEnabled = 0;
    u32 mBlendMode = 3;
    u32 mColour = 0xFF000000;
    u32 mNativeColour = 0xFF000000;
    u32 mOpacity = 191;
    i32 mAngle = 120;
    u8 mUseGlobalLight = 1;
    i32 mDistance = 5;
    i32 mSpread = 0;
    i32 mSize = 5;
    Contour mContour;
    u8 mAntiAliased = 0;
    i32 mNoise = 0;
    u8 mLayerKnocksOut = 0;
};

struct GlowEffect
{
    u8 mEnabled = 0;
    u32 mBlendMode = 7;
    u32 mOpacity = 191;
    i32 mNoise = 0;
    u8 mFillKind = 0; // 0 colour, 1 gradient
    u32 mColour = 0xFFFFFFBE;
    u32 mNativeColour = 0xFFFFFFBE;
    Gradient mGradient;
    u32 mTechnique = 0;
    u8 mSourceIsEdge = 1; // inner glow only
    i32 mSpread = 0;      // choke for the inner glow
    i32 mSize = 5;
    Contour mContour;
    u8 mAntiAliased = 0;
    i32 mRange = 50;
    i32 mJitter = 0;
};

struct BevelEffect
{
    u8 mEnabled = 0;
    u8 mStyle = 1;
    u32 mTechnique = 2;
    i32 mDepth = 100;
    u8 mDirection = 0;
    i32 mSize = 5;
    i32 mSoften = 0;
    i32 mAngle = 120;
    u8 mUseGlobalLight = 1;
    i32 mAltitude = 30;
    Contour mGlossContour;
    u8 mAntiAliasGloss = 0;
    u32 mHighlightBlendMode = 7;
    u32 mHighlightColour = 0xFFFFFFFF;
    u32 mHighlightNativeColour = 0xFFFFFFFF;
    u32 mHighlightOpacity = 191;
    u32 mShadowBlendMode = 7;
    u32 mShadowColour = 0xFF000000;
    u32 mShadowNativeColour = 0xFF000000;
    u8 mShadowOpacity = 191;
    Contour mContour;
    u8 mAntiAliased = 0;
    i32 mRange = 50;
    u8 mUseShape = 0;
    u8 mUseTexture = 0;
    PatternRef mPattern;
    i32 mTextureScale = 100;
    i32 mTextureDepth = 100;
    u8 mTextureInvert = 0;
    u8 mTextureAlign = 0;
};

struct ColourOverlayEffect
{
    u8 mEnabled = 0;
    u32 mBlendMode = 0;
    u32 mColour = 0xFFFF0000;
    u32 mNativeColour = 0xFFFF0000;
    u32 mOpacity = 255;
};

struct GradientOverlayEffect
{
    u8 mEnabled = 0;
    u32 mBlendMode = 0;
    u32 mOpacity = 255;
    Gradient mGradient;
    i32 mAngle = 90;
    u32 mStyle = 0;
    u8 mReverse = 0;
    u8 mAlign = 1;
    i32 mScale = 100;
    Point mOffset;
};

struct PatternOverlayEffect
{
    u8 mEnabled = 0;
    u32 mBlendMode = 0;
    u32 mOpacity = 255;
    PatternRef mPattern;
    i32 mScale = 100;
    u8 mAlign = 1;
    Point mPhase;
};

struct StrokeEffect
{
    u8 mEnabled = 0;
    i32 mSize = 3;
    u8 mPosition = 0; // 0 outside, 1 inside, 2 centre
    u32 mBlendMode = 0;
    u32 mOpacity = 255;
    u8 mPaintType = 0; // 0 colour, 1 gradient, 2 pattern
    u32 mColour = 0xFFFF0000;
    Gradient mGradient;
    u8 mReverse = 0;
    u32 mGradientStyle = 0;
    u8 mAlign = 1;
    i32 mAngle = 90;
    i32 mGradientScale = 100;
    Point mOffset;
    PatternRef mPattern;
    i32 mPatternScale = 100;
    u8 mLinked = 1;
    Point mPhase;
};

struct SatinEffect
{
    u8 mEnabled = 0;
    u32 mBlendMode = 3;
    u32 mColour = 0xFF000000;
    u32 mOpacity = 128;
    i32 mAngle = 19;
    i32 mDistance = 11;
    i32 mSize = 14;
    u8 mAntiAliased = 0;
    u8 mInvert = 0;
    Contour mContour;
};

// Index of each effect in the present and read flags.
enum EffectIndex
{
    kDropShadow = 0,
    kInnerShadow,
    kOuterGlow,
    kInnerGlow,
    kSatin,
    kColourOverlay,
    kGradientOverlay,
    kPatternOverlay,
    kStroke,
    kBevel,
    kEffectCount
};

struct EffectsRecord : TypedEntry
{
    u16 mEffectCount = 0;
    u8 mVisible = 0;
    ShadowEffect mDropShadow;
    ShadowEffect mInnerShadow;
    GlowEffect mOuterGlow;
    GlowEffect mInnerGlow;
    BevelEffect mBevel;
    ColourOverlayEffect mColourOverlay;
    GradientOverlayEffect mGradientOverlay;
    PatternOverlayEffect mPatternOverlay;
    StrokeEffect mStroke;
    SatinEffect mSatin;
    u8 mPresent[kEffectCount] = {};
    u8 mRead[kEffectCount] = {};
};
} // namespace psd
