// Decoder choice. A decoder whose Load fails is dropped here: a zero-sized or undecoded image
// must never reach texture creation.
#include "Core/Media/Image/ImageLoader.h"

#include "Core/Base/Log.h"
#include "Core/Media/Image/ImageDataDDS.h"
#include "Core/Media/Image/ImageDataDevil.h"
#include "Core/Media/Image/ImageDataGif.h"
#include "Core/Media/Image/ImageDataJpeg.h"
#include "Core/Media/Image/ImageDataPng.h"
#include "Core/Media/Image/ImageDataRaw.h"

#include <memory>

namespace render
{
ImageData* ImageLoader::Load(base::Stream* stream, const std::wstring& extension, const base::ImageInfo* info)
{
    std::unique_ptr<ImageData> data;
    if (info && info->mRawPixels)
        data = std::make_unique<ImageDataRaw>(*info);
    else if (extension.size() >= 4 && extension[0] == L'.')
    {
        const std::wstring key = extension.substr(1, 3);
        if (key == L"dds")
            data = std::make_unique<ImageDataDDS>();
        else if (key == L"gif")
            data = std::make_unique<ImageDataGif>();
        else if (key == L"png")
            data = std::make_unique<ImageDataPng>();
        else if (key == L"jpg")
            data = std::make_unique<ImageDataJpeg>();
        else if (key == L"bmp" || key == L"tga")
            data = std::make_unique<ImageDataDevil>();
    }
    if (!data)
    {
        QL_LOG(L"No image decoder for the extension '%s'\n") << base::LogStyle::Error << extension;
        return nullptr;
    }
    if (data->Load(stream, extension) != QL_OK || data->mWidth <= 0 || data->mHeight <= 0)
        return nullptr;
    return data.release();
}
} // namespace render
