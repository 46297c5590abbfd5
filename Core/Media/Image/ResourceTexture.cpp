// Texture resources. An image inside an atlas has no texture of its own: it draws and hit-tests
// through the atlas's texture.
#include "Core/Media/Image/ResourceTexture.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Media/Image/ImageLoader.h"
#include "Core/Render/Render.h"
#include "Core/Render/Texture.h"
#include "Core/Resource/ResourceManager.h"

#include <memory>
#include <utility>

namespace resource
{
const std::wstring ResourceTexture::kExtensions[kExtensionCount] = {L"", L".dds", L".jpg", L".gif", L".png", L".tga"};

ResourceTexture::ResourceTexture() = default;

ResourceTexture::~ResourceTexture() = default;

void ResourceTexture::Destroy() { ResourceManager::ReleaseResource(this); }

render::Texture* ResourceTexture::GetTexture() const
{
    if (mTexture)
        return mTexture.get();
    if (mInAtlas && mAtlas)
        return mAtlas->GetTexture();
    return nullptr;
}

QLResultEnum ResourceTexture::DoLoad()
{
    if (!mRender)
    {
        QL_LOG(L"Texture '%s' has no render to load into\n") << base::LogStyle::Error << GetName();
        return QL_FAIL;
    }
    return mContainer ? LoadFromContainer() : LoadFromFile();
}

QLResultEnum ResourceTexture::LoadFromContainer()
{
    u32 index = 0;
    std::unique_ptr<file::ImageFileInfo> found(mContainer->FindFile(mImageName, kExtensions, kExtensionCount, &index));
    if (!found)
    {
        QL_LOG(L"Image '%s' not found in its container\n") << base::LogStyle::Error << mImageName;
        return QL_FAIL;
    }
    static_cast<base::ImageInfo&>(*this) = static_cast<const base::ImageInfo&>(*found);
    if (mInAtlas)
    {
        mAtlas = ResourceManager::Instance()->Get<ResourceTexture>(mAtlasPath);
        if (!mAtlas)
            return QL_FAIL;
        mAtlas->SetRender(mRender);
        const QLResultEnum result = mAtlas->IsLoaded() ? QL_OK : mAtlas->Load();
        if (result != QL_OK)
            mAtlas = nullptr; // nothing of a failed load is kept
        return result;
    }
    std::unique_ptr<base::Stream> stream(found->Open());
    if (!stream)
    {
        QL_LOG(L"Cannot open image '%s'\n") << base::LogStyle::Error << mImageName;
        return QL_FAIL;
    }
    const std::wstring extension = index > 0 ? kExtensions[index] : file::GetExtension(found->mPath);
    return MakeTexture(stream.get(), extension, true);
}

QLResultEnum ResourceTexture::LoadFromFile()
{
    u32 index = 0;
    std::unique_ptr<file::FileInfo> found(
        file::FileManager::Instance()->GetFileInfo(GetName(), kExtensions, kExtensionCount, &index));
    if (!found)
    {
        QL_LOG(L"Texture file '%s' not found\n") << base::LogStyle::Error << GetName();
        return QL_FAIL;
    }
    std::unique_ptr<base::Stream> stream(found->Open());
    if (!stream)
    {
        QL_LOG(L"Cannot open texture file '%s'\n") << base::LogStyle::Error << GetName();
        return QL_FAIL;
    }
    const std::wstring extension = index > 0 ? kExtensions[index] : file::GetExtension(GetName());
    return MakeTexture(stream.get(), extension, false);
}

QLResultEnum ResourceTexture::MakeTexture(base::Stream* stream, const std::wstring& extension, bool keepDescription)
{
    std::unique_ptr<render::ImageData> data(render::ImageLoader::Instance()->Load(stream, extension, this));
    if (!data)
        return QL_FAIL; // the decoder said why
    if (!keepDescription)
    {
        mWidth = static_cast<float>(data->mWidth);
        mHeight = static_cast<float>(data->mHeight);
    }
    render::Texture* made = nullptr;
    QLResultEnum result = mRender->CreateTexture(&made);
    std::unique_ptr<render::Texture> texture(made);
    if (result == QL_OK && texture)
        result = texture->CreateFromImage(*data);
    else if (result == QL_OK)
        result = QL_FAIL;
    if (result != QL_OK)
    {
        QL_LOG(L"Cannot create the texture of '%s'\n") << base::LogStyle::Error << GetName();
        return result;
    }
    mTexture = std::move(texture);
    return QL_OK;
}

QLResultEnum ResourceTexture::DoUnLoad()
{
    if (mTexture)
    {
        // The frame being recorded may still name it. The texture knows whether its render
        // still exists (a resource may be unloaded after the render is gone).
        std::unique_ptr<render::Texture> texture = std::move(mTexture);
        if (render::Render* render = texture->GetRender())
            render->DeleteAfterPlayback(texture.release());
    }
    return QL_OK;
}
} // namespace resource
