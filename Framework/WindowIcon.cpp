// Window icon decoding.
#include "Framework/WindowIcon.h"

#include "Core/Base/Stream.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/Media/Image/ImageLoader.h"

#include <memory>

namespace framework
{
bool ReadWindowIcon(const std::wstring& path, WindowIcon& out, std::string& why)
{
    out = WindowIcon();
    std::unique_ptr<base::Stream> stream(file::FileManager::Instance()->OpenStream(path));
    if (!stream)
    {
        why = "the file is missing or cannot be opened";
        return false;
    }
    std::unique_ptr<render::ImageData> data(
        render::ImageLoader::Instance()->Load(stream.get(), file::GetExtension(path), nullptr));
    if (!data || data->GetCompression() != 0)
    {
        why = "it is not a picture the game can read";
        return false;
    }
    std::vector<u32> pixels(static_cast<size_t>(data->mWidth) * static_cast<size_t>(data->mHeight));
    render::HitMask unused;
    if (data->CopyPixels(static_cast<u32>(data->mWidth) * 4, reinterpret_cast<u8*>(pixels.data()), unused))
    {
        why = "its pixels cannot be read";
        return false;
    }
    out.width = data->mWidth;
    out.height = data->mHeight;
    out.pixels = std::move(pixels);
    return true;
}
} // namespace framework
