// Status codes of the PSD reader: 0 is success, every failure is negative.
#pragma once

#include "Core/Base/Types.h"

namespace psd
{
enum Status : i32
{
    kOk = 0,
    kNullDocument = -1,
    kCannotOpen = -2,
    kBadState = -3,
    // An allocation failed, or what the load would hold (pixels, masks, alpha channels, colour
    // planes, layer records, work buffers) would pass its limit (LoadLimits; 256 MiB unless the
    // caller gives another), checked before the buffer is allocated.
    kOutOfMemory = -4,
    // The data ends early: a short header, data shorter than announced, or a channel that cannot
    // fill its area (PackBits shorter than its row-count table, raw shorter than its channel
    // image), refused before any pixel memory is reserved.
    kReadError = -5,
    kHeaderGeneric = -10,
    kColourModeGeneric = -11,
    kResourcesGeneric = -12,
    kLayersGeneric = -13,
    kImageDataGeneric = -14,
    kUnknownColourSpace = -15,
    kBadDepth = -18,
    kBadColourMode = -19,
    kBadCompression = -20,
    kNoBlendingRanges = -56,
    kZipFailed = -101,
    kBadSignature = -200,
    kBadVersion = -201,
    kBadResourceSignature = -400,
    kBadThumbnail = -401,
    kBadBlendSignature = -500,
    kLevelsVersion = -503,
    kLevelsExtraKey = -505,
    kLevelsLength = -506,
    kLevelsExtraVersion = -507,
    kCurvesVersion = -508,
    kCurvesExtraKey = -509,
    kCurvesExtraVersion = -510,
    kHueVersion = -511,
    kSelectiveVersion = -512,
    kMixerVersion = -513,
    kPhotoFilterVersion = -514,
    kGradientMapVersion = -515,
    kEffectsVersion = -516,
    kEffectSignature = -517,
    kUnknownEffect = -518,
    kCommonStateVersion = -519,
    kShadowVersion = -520,
    kOuterGlowVersion = -521,
    kInnerGlowVersion = -522,
    kBevelVersion = -523,
    kSolidFillVersion = -524,
    kSolidColourVersion = -525,
    kGradientFillVersion = -526,
    kAdditionalSignature = -528,
    kDividerSignature = -529,
    kPatternFillVersion = -530,
    kPatternVersion = -531,
};
} // namespace psd
