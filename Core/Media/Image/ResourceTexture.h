// A named, shared texture: found as a file, inside an image container or inside an atlas texture,
// decoded and made into a backend texture.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Media/Image/ImageInfo.h"
#include "Core/Resource/Resource.h"

#include <memory>
#include <string>

namespace base
{
class Stream;
}
namespace render
{
class Render;
class Texture;
} // namespace render
namespace file
{
class ImageContainer;
}

namespace resource
{
class ResourceTexture : public Resource, public base::ImageInfo
{
public:
    // Tried in this order when a texture file is looked up; "" is the name as given.
    static constexpr u32 kExtensionCount = 6;
    static const std::wstring kExtensions[kExtensionCount];

    // Out of line, as the destructor: the texture type is only declared here.
    ResourceTexture();
    ~ResourceTexture() override;

    void Destroy() override;
    QLResultEnum DoLoad() override;
    QLResultEnum DoUnLoad() override;

    void SetRender(render::Render* render) { mRender = render; }
    void SetContainer(file::ImageContainer* container, const std::wstring& name)
    {
        mContainer = container;
        mImageName = name;
    }

    // The texture that holds the pixels: this one's own, or the atlas's for an image in an atlas.
    render::Texture* GetTexture() const;
    render::Texture* GetOwnTexture() const { return mTexture.get(); }
    const base::CountedPtr<ResourceTexture>& GetAtlas() const { return mAtlas; }
    render::Render* GetRender() const { return mRender; }

private:
    QLResultEnum LoadFromContainer();
    QLResultEnum LoadFromFile();
    QLResultEnum MakeTexture(base::Stream* stream, const std::wstring& extension, bool keepDescription);

    base::CountedPtr<ResourceTexture> mAtlas;
    render::Render* mRender = nullptr;
    std::unique_ptr<render::Texture> mTexture;
    file::ImageContainer* mContainer = nullptr;
    std::wstring mImageName;
};
} // namespace resource
