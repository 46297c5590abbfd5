// Typed entries of a layer: adjustment, fill and type-tool records (effects live in Effects.h).
#pragma once

#include "Core/Psd/Values.h"

#include <utility>

namespace psd
{
// Kind codes of the typed entries.
enum EntryKind : u32
{
    kEntryLevels = 1,
    kEntryCurves = 2,
    kEntryBrightness = 3,
    kEntryColourBalance = 4,
    kEntryHueSaturation = 5,
    kEntrySelectiveColour = 6,
    kEntryThreshold = 7,
    kEntryInvert = 8,
    kEntryPosterize = 9,
    kEntryChannelMixer = 10,
    kEntryGradientMap = 11,
    kEntryPhotoFilter = 12,
    kEntryTypeTool = 13,
    kEntryEffectsOld = 15,
    kEntryEffects = 16,
    kEntrySolidColour = 17,
    kEntryGradientFill = 18,
    kEntryPatternFill = 19,
};

struct TypedEntry
{
    virtual ~TypedEntry() = default;
};

struct LevelsRecord : TypedEntry
{
    struct Level
    {
        u16 mInputFloor = 0;
        u16 mInputCeiling = 0;
        u16 mOutputFloor = 0;
        u16 mOutputCeiling = 0;
        float mGamma = 0.0f;
    };
    std::vector<Level> mLevels;
};

struct CurvesRecord : TypedEntry
{
    struct Curve
    {
        u16 mChannel = 0;
        std::vector<std::pair<u16, u16>> mPoints; // (output, input)
    };
    std::vector<Curve> mCurves;
};

struct BrightnessRecord : TypedEntry
{
    u16 mBrightness = 0;
    u16 mContrast = 0;
    u16 mMean = 0;
    u8 mLabOnly = 0;
};

struct ColourBalanceRecord : TypedEntry
{
    // Index 0 shadows, 1 midtones, 2 highlights.
    u16 mCyanRed[3] = {};
    u16 mMagentaGreen[3] = {};
    u16 mYellowBlue[3] = {};
    u8 mPreserveLuminosity = 0;
};

struct HueSaturationRecord : TypedEntry
{
    struct Range
    {
        u16 mRange[4] = {};
        u16 mSettings[3] = {};
    };
    u8 mColourize = 0;
    u16 mColourizeValues[3] = {};
    u16 mMaster[3] = {};
    Range mRanges[6];
};

struct SelectiveColourRecord : TypedEntry
{
    u16 mMethod = 0;
    u16 mCorrections[10][4] = {};
};

struct ThresholdRecord : TypedEntry
{
    u16 mLevel = 0;
};

struct PosterizeRecord : TypedEntry
{
    u16 mLevels = 0;
};

struct ChannelMixerRecord : TypedEntry
{
    u16 mMonochrome = 0;
    u16 mMix[4][5] = {};
};

struct GradientMapRecord : TypedEntry
{
    struct ColourStop
    {
        u32 mLocation = 0;
        u32 mMidpoint = 0;
        u32 mColour = 0;
    };
    struct TransparencyStop
    {
        u32 mLocation = 0;
        u32 mMidpoint = 0;
        u16 mOpacity = 0;
    };
    u8 mReverse = 0;
    u8 mDither = 0;
    Utf16Units mName;
    std::vector<ColourStop> mColourStops;
    std::vector<TransparencyStop> mTransparencyStops;
    u16 mExpansionCount = 0;
    u16 mInterpolation = 0;
    u16 mMode = 0;
    u32 mRandomSeed = 0;
    u16 mShowTransparency = 0;
    u16 mUseVectorColour = 0;
    u32 mRoughness = 0;
    u16 mColourModel = 0;
    u32 mMinColour = 0;
    u32 mMaxColour = 0;
};

struct PhotoFilterRecord : TypedEntry
{
    u32 mColour[3] = {};
    u32 mDensity = 0;
    u8 mPreserveLuminosity = 0;
};

struct SolidColourRecord : TypedEntry
{
    u32 mClassId = 0;
    u32 mColour = 0xFF000000;
};

struct GradientFillRecord : TypedEntry
{
    Gradient mGradient;
    u8 mAlign = 0;
    u8 mDither = 0;
    u8 mReverse = 0;
    double mAngle = 0.0;
    i32 mScale = 100;
    u32 mStyle = 0;
};

struct PatternFillRecord : TypedEntry
{
    PatternRef mPattern;
    i32 mScale = 100;
};

struct TypeToolRecord : TypedEntry
{
    struct Font
    {
        u16 mTag = 0;
        u32 mType = 0;
        std::string mName;
        std::string mFamily;
        std::string mStyle;
        u16 mScript = 0;
        std::vector<u32> mAxes;
    };
    struct Style
    {
        u16 mTag = 0;
        u16 mFaceTag = 0;
        u32 mSize = 0;
        u32 mTracking = 0;
        u32 mKerning = 0;
        u32 mLeading = 0;
        u32 mBaseShift = 0;
        u8 mAutoKern = 0;
        u8 mRotate = 0;
    };
    struct Line
    {
        u32 mCharacters = 0;
        u16 mOrientation = 0;
        u16 mAlignment = 0;
        u16 mCharacter = 0;
        u16 mStyle = 0;
    };
    double mTransform[6] = {};
    std::vector<Font> mFonts;
    std::vector<Style> mStyles;
    u16 mType = 0;
    u32 mScaling = 0;
    u32 mCharacterCount = 0;
    u32 mHorizontalPlacement = 0;
    u32 mVerticalPlacement = 0;
    u32 mSelectionStart = 0;
    u32 mSelectionEnd = 0;
    std::vector<Line> mLines;
    u32 mColour = 0xFF000000;
    u8 mAntiAlias = 0;
};
} // namespace psd
