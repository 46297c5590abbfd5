// Reading a PSD file's layers into named pictures.
#include "Source/TD/Sprites/TDPsdSheet.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/Media/Container/PsdLayerNames.h"
#include "Core/Psd/Document.h"

namespace
{
// Far above any sprite sheet; keeps a damaged header from asking for gigabytes.
constexpr u64 kMaxPixelBytes = 256ull << 20;
} // namespace

TDPsdSheet::TDPsdSheet(std::wstring path, psd::Document* document, bool keepPixels)
    : TDImageSheet(std::move(path)), mDocument(document)
{
    for (const file::PsdNamedLayer& named : file::NamePsdLayers(*document))
    {
        const psd::LayerRecord& layer = document->mLayers[named.mLayer];
        TDSheetImage image;
        image.mName = named.mName;
        image.mX = static_cast<float>(layer.mLeft);
        image.mY = static_cast<float>(layer.mTop);
        image.mWidth = static_cast<float>(layer.mWidth);
        image.mHeight = static_cast<float>(layer.mHeight);
        image.mIndex = static_cast<u32>(named.mLayer);
        image.mOpacity = layer.mOpacity;
        add(std::move(image));
        mLayerOf.push_back(named.mLayer);
    }
    if (!keepPixels)
    {
        psd::FreeDocument(mDocument);
        mDocument = nullptr;
    }
}

TDPsdSheet::~TDPsdSheet() { psd::FreeDocument(mDocument); }

const u32* TDPsdSheet::pixels(size_t i) const
{
    if (!mDocument || i >= mLayerOf.size())
        return nullptr;
    const psd::LayerRecord& layer = mDocument->mLayers[mLayerOf[i]];
    if (layer.mPixels.empty() || layer.mPixels.size() != size_t(layer.mWidth) * size_t(layer.mHeight))
        return nullptr;
    return layer.mPixels.data();
}

std::unique_ptr<TDPsdSheet> TDPsdSheet::read(const std::wstring& path, base::Stream& stream, bool keepPixels)
{
    psd::Document* document = nullptr;
    psd::LoadLimits limits;
    limits.mMaxPixelBytes = kMaxPixelBytes;
    i32 status = psd::LoadDocument(&document, stream, limits);
    if (status != psd::kOk || !document)
    {
        QL_LOG(L"Sprite sheet '%s' is not a readable PSD file (status %d)\n")
            << base::LogStyle::Error << path << status;
        psd::FreeDocument(document);
        return nullptr;
    }
    return std::make_unique<TDPsdSheet>(path, document, keepPixels);
}

std::unique_ptr<TDPsdSheet> TDPsdSheet::open(const std::wstring& path, bool keepPixels)
{
    static const std::wstring kExtensions[] = {L".psd", L""};
    std::unique_ptr<file::FileInfo> info(file::FileManager::Instance()->GetFileInfo(path, kExtensions, 2));
    std::unique_ptr<base::Stream> stream(info ? info->Open() : nullptr);
    if (!stream)
    {
        QL_LOG(L"Sprite sheet '%s' not found\n") << base::LogStyle::Error << path;
        return nullptr;
    }
    return read(path, *stream, keepPixels);
}
