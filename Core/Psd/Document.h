// The in-memory PSD document: header values, resources, layers with ARGB pixels, merged image.
#pragma once

#include "Core/Psd/EffectsRecord.h"
#include "Core/Psd/PixelBuffer.h"
#include "Core/Psd/Records.h"
#include "Core/Psd/Status.h"

#include <memory>

namespace base
{
class Stream;
}

namespace psd
{
// Layer types.
enum LayerType : u32
{
    kLayerPixels = 0,
    kLayerGroupEnd = 1,
    kLayerGroupStart = 2,
    kLayerSolidFill = 3,
    kLayerGradientFill = 4,
    kLayerLevels = 6,
    kLayerCurves = 7,
    kLayerBrightness = 8,
    kLayerColourBalance = 9,
    kLayerHueSaturation = 10,
    kLayerSelectiveColour = 11,
    kLayerThreshold = 12,
    kLayerInvert = 13,
    kLayerPosterize = 14,
    kLayerChannelMixer = 15,
    kLayerGradientMap = 16,
    kLayerPhotoFilter = 17,
    kLayerPatternFill = 19,
};

// Blend modes, in the order of their keys "norm" ... "pass".
enum BlendMode : u32
{
    kBlendNormal = 0,
    kBlendDissolve,
    kBlendDarken,
    kBlendMultiply,
    kBlendColourBurn,
    kBlendLinearBurn,
    kBlendLighten,
    kBlendScreen,
    kBlendColourDodge,
    kBlendLinearDodge,
    kBlendOverlay,
    kBlendSoftLight,
    kBlendHardLight,
    kBlendVividLight,
    kBlendLinearLight,
    kBlendPinLight,
    kBlendHardMix,
    kBlendDifference,
    kBlendExclusion,
    kBlendHue,
    kBlendSaturation,
    kBlendColour,
    kBlendLuminosity,
    kBlendPassThrough,
};

enum ColourMode : u32
{
    kModeBitmap = 0,
    kModeGrey = 1,
    kModeIndexed = 2,
    kModeRgb = 3,
    kModeCmyk = 4,
    kModeMultichannel = 7,
    kModeDuotone = 8,
    kModeLab = 9,
};

constexpr int kMaxTypedEntries = 20;
constexpr u32 kMaxDimension = 30000;
constexpr int kMaxChannels = 56;

struct ChannelInfo
{
    i16 mId = 0; // -1 transparency, -2 user mask, -3 real user mask, 0 and up colour
    u32 mLength = 0;
    u8 mRestricted = 0;
};

struct LayerMask
{
    i32 mTop = 0, mLeft = 0, mBottom = 0, mRight = 0;
    i32 mWidth = 0, mHeight = 0;
    u8 mDefaultColour = 255;
    u8 mPositionRelative = 0;
    u8 mDisabled = 1;
    u8 mInverted = 0;
    std::vector<u8> mImage; // mWidth x mHeight bytes
};

struct BlendingRanges
{
    u16 mGreySource[2] = {0, 0};
    u16 mGreyDestination[2] = {0, 0};
    // One entry per channel range.
    std::vector<u16> mSourceLow, mSourceHigh, mDestinationLow, mDestinationHigh;
    i32 ChannelCount() const { return static_cast<i32>(mSourceLow.size()); }
};

struct LayerRecord
{
    u32 mType = kLayerPixels;
    i32 mTop = 0, mLeft = 0, mBottom = 0, mRight = 0;
    i32 mWidth = 0, mHeight = 0;
    std::vector<ChannelInfo> mChannels;
    u32 mBlendMode = kBlendNormal;
    u8 mOpacity = 255;
    u8 mClipping = 0;
    u8 mTransparencyProtected = 0;
    u8 mVisible = 1;
    u8 mObsolete = 0;
    u8 mPixelDataIrrelevant = 0;
    LayerMask mMask;
    BlendingRanges mBlendingRanges;
    char mName[256] = {};
    PixelBuffer mPixels; // mWidth x mHeight 0xAARRGGBB, rows top to bottom; empty without pixels

    i32 mTypedCount = 0;
    u32 mTypedKinds[kMaxTypedEntries] = {};
    std::unique_ptr<TypedEntry> mTypedEntries[kMaxTypedEntries];

    u8 mAdjustment = 0;
    u8 mFillOpacity = 255;
    Utf16Units mUnicodeName;
    u32 mNameSource = 0;
    u32 mLayerId = 0;
    u32 mLayerVersion = 0;
    u8 mBlendClipped = 1;
    u8 mBlendInterior = 0;
    u8 mKnockout = 0;
    u8 mProtectTransparency = 0, mProtectComposite = 0, mProtectPosition = 0;
    u32 mSheetColour = 0;
    u8 mSheetColourBytes[8] = {}; // the raw 'lclr' value (a colour index, not RGB)
    i32 mReferenceX = 0, mReferenceY = 0;
    u8 mTransparencyShapes = 1;
    u8 mLayerMaskAsGlobal = 0;
    u8 mVectorMaskAsGlobal = 0;
    i32 mSectionType = 0;
    u32 mSectionBlendMode = kBlendPassThrough;
    LayerRecord* mParent = nullptr; // the enclosing group start

    // The first typed entry of a kind, or null.
    const TypedEntry* FindEntry(u32 kind) const;
};

struct AlphaChannel
{
    char mName[256] = {};
    Utf16Units mUnicodeName;
    u32 mIdentifier = 0;
    std::vector<u8> mImage; // document width x height bytes
};

struct Thumbnail
{
    u8 mPresent = 0;
    u32 mFormat = 0, mWidth = 0, mHeight = 0, mRowBytes = 0, mTotalSize = 0, mCompressedSize = 0;
    u16 mBitsPerPixel = 0;
    u16 mPlanes = 0;
    std::vector<u32> mPixels; // mWidth x mHeight ARGB when decoded
};

struct Pattern
{
    u32 mMode = 0;
    u16 mHeight = 0, mWidth = 0;
    Utf16Units mName;
    std::string mId;
    u32 mVmVersion = 0;
    u16 mTop = 0, mLeft = 0, mBottom = 0, mRight = 0;
    i32 mChannelImages = 0;
    std::vector<u32> mPixels;
};

struct Document
{
    u32 mWidth = 0, mHeight = 0;
    u16 mChannelCount = 0;
    u16 mDepth = 0;
    u32 mMode = 0;
    std::vector<u32> mPalette;
    char mCaption[256] = {};

    u8 mResolutionPresent = 0;
    float mHorizontalResolution = 0.0f, mVerticalResolution = 0.0f;
    u16 mHorizontalUnit = 0, mWidthUnit = 0, mVerticalUnit = 0, mHeightUnit = 0;

    u8 mDisplayPresent = 0;
    u32 mDisplayColour = 0;
    u16 mDisplayOpacity = 0;
    u8 mDisplayKind = 0;

    u8 mAlphaPresent = 0;
    i16 mAlphaCount = 0;
    i16 mColourChannels = 0;
    std::vector<AlphaChannel> mAlphaChannels;

    u16 mTargetLayer = 0;
    u8 mGroupInfoPresent = 0;
    std::vector<u16> mGroupIds;
    Thumbnail mThumbnail;

    u8 mVersionPresent = 0;
    u32 mVersion = 0;
    u8 mHasRealMergedData = 0;
    Utf16Units mWriterName, mReaderName;
    u32 mFileVersion = 0;

    u8 mProtected = 0;
    i32 mGlobalAngle = 0, mGlobalAltitude = 0;
    u8 mEffectsVisible = 0;
    i16 mIndexedColourCount = 0;
    i16 mTransparentIndex = -1; // -1: none

    std::vector<LayerRecord> mLayers; // bottom-most first
    u32 mGlobalMaskColour = 0;
    u16 mGlobalMaskOpacity = 0;
    u8 mGlobalMaskKind = 0;
    std::vector<Pattern> mPatterns;
    PixelBuffer mMerged; // mWidth x mHeight ARGB; shared with the one layer of a file without layers

    i32 LayerCount() const { return static_cast<i32>(mLayers.size()); }
};

// Pixel and work memory one load may reserve unless the caller says otherwise.
constexpr u64 kDefaultMaxPixelBytes = 256ull << 20;

// Guards against hostile sizes: the most one load holds at once, counting every buffer whose size
// the file decides (pixels, masks, alpha channels, colour planes, layer records, work buffers).
// A buffer that would pass it is not allocated: the load fails with -4.
struct LoadLimits
{
    u64 mMaxPixelBytes = kDefaultMaxPixelBytes; // 0 also means the default
};

// Loads the file at an 8-bit (UTF-8) path. 0 and a new document in out, or a negative status:
// out is then null when the file was opened, untouched for argument and open failures.
i32 LoadDocument(Document** out, const char* path, const LoadLimits& limits = LoadLimits());
// The same from an engine stream (a loose file or an entry of a pack), read from its start.
i32 LoadDocument(Document** out, base::Stream& stream, const LoadLimits& limits = LoadLimits());
// -1 for null, else frees everything and returns 0.
i32 FreeDocument(Document* document);
} // namespace psd
