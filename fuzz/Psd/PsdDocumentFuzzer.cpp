// Feeds arbitrary bytes to the whole PSD reader through an engine stream.
#include "Core/Base/Stream.h"
#include "Core/Psd/Document.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0x7FFFFFFF)
        return 0;
    base::MemoryStream stream(data, static_cast<u32>(size));
    // A limit well below the fuzzer's memory cap; whatever a load keeps must have fit in it.
    psd::LoadLimits limits;
    limits.mMaxPixelBytes = 64ull << 20;
    psd::Document* document = nullptr;
    if (psd::LoadDocument(&document, stream, limits) == psd::kOk)
    {
        const psd::Document& doc = *document;
        u64 kept = doc.mMerged.size() * 4 + doc.mThumbnail.mPixels.size() * 4;
        for (const psd::LayerRecord& layer : doc.mLayers)
            kept +=
                (layer.mPixels.data() == doc.mMerged.data() ? 0 : layer.mPixels.size() * 4) + layer.mMask.mImage.size();
        for (const psd::AlphaChannel& alpha : doc.mAlphaChannels)
            kept += alpha.mImage.size();
        for (const psd::Pattern& pattern : doc.mPatterns)
            kept += pattern.mPixels.size() * 4;
        if (kept > limits.mMaxPixelBytes)
            __builtin_trap();
        psd::FreeDocument(document);
    }
    return 0;
}
