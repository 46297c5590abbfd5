// Image folders described by "layers.xml".
#include "Core/Media/Container/PsdFolder.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/Media/Container/ContainerScale.h"
#include "Core/Media/Container/LayersXml.h"
#include "Core/Media/Image/ResourceTexture.h"

#include <cmath>
#include <limits>
#include <memory>

namespace file
{
namespace
{
// Truncated toward zero, and kept inside i32 whatever the file says.
i32 Scaled(i32 value, float scale)
{
    const double scaled = std::trunc(static_cast<double>(value) * scale);
    if (!(scaled > std::numeric_limits<i32>::min()))
        return std::numeric_limits<i32>::min();
    if (!(scaled < std::numeric_limits<i32>::max()))
        return std::numeric_limits<i32>::max();
    return static_cast<i32>(scaled);
}
} // namespace

PsdFolder::PsdFolder(const std::wstring& path, FileContainer* owner)
    : IndexedImageContainer(StripTrailingSeparators(ToForwardSlashes(path)), owner), mFiles(owner)
{
    Read();
}

void PsdFolder::Read()
{
    if (!mFiles)
        return;
    const std::wstring descriptionPath = FilePath(L"layers.xml");
    std::unique_ptr<FileInfo> description(mFiles->GetFileInfo(descriptionPath));
    std::unique_ptr<base::Stream> stream(description ? description->Open() : nullptr);
    if (!stream)
    {
        QL_LOG(L"Image folder '%s' has no readable layers.xml\n") << base::LogStyle::Error << mPath;
        return;
    }
    const u32 size = stream->GetSize();
    if (size > kMaxDescriptionBytes)
    {
        QL_LOG(L"'%s' is too large (%u bytes)\n") << base::LogStyle::Error << descriptionPath << size;
        return;
    }
    std::string text(size, '\0');
    if (size > 0 && stream->Read(text.data(), size) != size)
    {
        QL_LOG(L"'%s' could not be read to its end\n") << base::LogStyle::Error << descriptionPath;
        return;
    }
    std::vector<LayersXmlEntry> entries;
    std::string error;
    if (ParseLayersXml(text.data(), text.size(), entries, error) != QL_OK)
    {
        QL_LOG(L"'%s' is damaged: %s\n") << base::LogStyle::Error << descriptionPath << error;
        return;
    }
    const float layoutScale = LayoutScale();
    const float imageScale = ImageScale();
    const std::wstring root = GetRootPath();
    for (const LayersXmlEntry& entry : entries)
    {
        auto info =
            std::make_unique<base::ImageInfo>(entry.mName, Scaled(entry.mX, layoutScale), Scaled(entry.mY, layoutScale),
                                              Scaled(entry.mWidth, layoutScale), Scaled(entry.mHeight, layoutScale),
                                              entry.mOpacity, entry.mIndex, 1, 0, imageScale);
        base::ImageInfo* kept = mImages.Insert(std::move(info)).first;
        mImages.AppendToOrder(kept);
        if (entry.mInAtlas)
        {
            // A repeated name still takes the later element's atlas place.
            kept->mInAtlas = 1;
            kept->mAtlasPath = root + entry.mAtlas;
            kept->mTextureOriginU = entry.mU1;
            kept->mTextureOriginV = 1.0f - entry.mV2;
            kept->mTextureExtentU = entry.mU2 - entry.mU1;
            kept->mTextureExtentV = entry.mV2 - entry.mV1;
        }
    }
}

base::Stream* PsdFolder::OpenStream(const std::wstring& path)
{
    return mFiles ? mFiles->OpenStream(FilePath(path)) : nullptr;
}

base::StreamCreator* PsdFolder::CreateStreamCreator(const std::wstring& path)
{
    return mFiles ? mFiles->CreateStreamCreator(FilePath(path)) : nullptr;
}

ImageFileInfo* PsdFolder::FindFile(const std::wstring& name, const std::wstring* extensions, u32 count, u32* index)
{
    const base::ImageInfo* info = mImages.Find(name);
    if (!info || !mFiles)
        return nullptr;
    std::wstring path = name;
    if (!info->mInAtlas && extensions && count > 0)
    {
        u32 found = 0;
        if (!mFiles->Exists(FilePath(name), extensions, count, &found))
            return nullptr;
        if (index)
            *index = found;
        path += extensions[found];
    }
    return new ImageFileInfo(GetBaseName(name), path, this, mFiles->mIsPack, *info);
}

bool PsdFolder::HasImageFile(const std::wstring& name)
{
    return mFiles && mFiles->Exists(FilePath(name), resource::ResourceTexture::kExtensions,
                                    resource::ResourceTexture::kExtensionCount);
}
} // namespace file
