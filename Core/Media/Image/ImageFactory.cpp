// Image and render-target creation, and loading images by name.
#include "Core/Media/Image/ImageFactory.h"

#include "Core/Base/Log.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Media/Image/RenderTarget.h"
#include "Core/Media/Image/ResourceTexture.h"
#include "Core/Render/Render.h"
#include "Core/Render/Texture.h"
#include "Core/Resource/ResourceManager.h"

#include <memory>

namespace render
{
namespace
{
// A texture of the render made by `make`; deleted again when that fails.
template <class Make> QLResultEnum MakeTexture(Render* render, Texture** out, Make make)
{
    Texture* made = nullptr;
    QLResultEnum result = render->CreateTexture(&made);
    std::unique_ptr<Texture> texture(made);
    if (result == QL_OK && !texture)
        result = QL_FAIL;
    if (result == QL_OK)
        result = make(texture.get());
    if (result != QL_OK)
        return result;
    *out = texture.release();
    return QL_OK;
}
} // namespace

QLResultEnum CreateImage(Render* render, u32 width, u32 height, Image** out)
{
    Texture* texture = nullptr;
    if (!render || !out)
        return QL_FAIL;
    const QLResultEnum result =
        MakeTexture(render, &texture, [&](Texture* t) { return t->CreateDynamic(width, height); });
    if (result == QL_OK)
        *out = new Image(texture);
    return result;
}

QLResultEnum CreateRenderTarget(Render* render, u32 width, u32 height, RenderTarget** out, i32 option)
{
    Texture* texture = nullptr;
    if (!render || !out)
        return QL_FAIL;
    const QLResultEnum result =
        MakeTexture(render, &texture, [&](Texture* t) { return t->CreateRenderTarget(width, height); });
    if (result == QL_OK)
        *out = new RenderTarget(texture, option);
    return result;
}

QLResultEnum LoadImage(Render* render, const std::wstring& path, file::ImageContainer* container, Image** out,
                       base::ImageInfo* info)
{
    if (!render || !out)
        return QL_FAIL;
    // Images of a container are shared under the container's path plus their name.
    const std::wstring key = container ? container->GetRootPath() + path : path;
    base::CountedPtr<resource::ResourceTexture> texture =
        resource::ResourceManager::Instance()->Get<resource::ResourceTexture>(key);
    if (!texture)
        return QL_FAIL;
    if (!texture->IsLoaded())
    {
        texture->SetRender(render);
        if (container)
            texture->SetContainer(container, path);
        if (texture->Load() != QL_OK)
            return QL_FAIL;
    }
    if (!texture->GetTexture())
        return QL_FAIL;
    auto image = std::make_unique<Image>();
    image->SetResourceTexture(texture);
    if (info)
        *info = static_cast<const base::ImageInfo&>(*texture);
    *out = image.release();
    return QL_OK;
}
} // namespace render
