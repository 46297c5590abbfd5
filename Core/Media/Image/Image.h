// What draws: a texture (shared through a texture resource, or owned) with its size and its
// place inside an atlas.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Base/Types.h"

#include <memory>

namespace resource
{
class ResourceTexture;
}

namespace render
{
class Texture;
struct VertexFormat;

class Image
{
public:
    // Out of line, as the destructor: the texture type is only declared here.
    Image();
    // Takes ownership of the texture and its size.
    explicit Image(Texture* texture);
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Shares a loaded texture resource: size from its description, atlas mapping from the
    // atlas texture (offset = origin x atlas size, scale = extent x atlas size / image size).
    void SetResourceTexture(const base::CountedPtr<resource::ResourceTexture>& texture);

    // False outside the image; else the mask of the texture (the atlas's, mapped into it).
    bool IsOpaqueAt(i32 x, i32 y) const;
    bool IsValid() const { return GetTexture() != nullptr; }
    QLResultEnum Lock(u32* pixelCount, u32* pitch, void** bits);
    QLResultEnum Unlock();
    QLResultEnum Update(const void* frame);

    // Maps each vertex's texture coordinates (set 0) into the atlas region; 1 when the format
    // has no two-component set 0.
    QLResultEnum MapTextureCoords(void* vertices, const VertexFormat& format, u32 count) const;

    Texture* GetTexture() const;
    const base::CountedPtr<resource::ResourceTexture>& GetResourceTexture() const { return mResource; }
    i32 GetWidth() const { return mWidth; }
    i32 GetHeight() const { return mHeight; }
    i32 GetAtlasOffsetX() const { return mAtlasOffsetX; }
    i32 GetAtlasOffsetY() const { return mAtlasOffsetY; }
    float GetAtlasScaleX() const { return mAtlasScaleX; }
    float GetAtlasScaleY() const { return mAtlasScaleY; }

protected:
    base::CountedPtr<resource::ResourceTexture> mResource;
    std::unique_ptr<Texture> mTexture; // the image's own, when it was made over one
    i32 mWidth = 0;
    i32 mHeight = 0;
    i32 mAtlasOffsetX = 0, mAtlasOffsetY = 0;
    float mAtlasScaleX = 1.0f, mAtlasScaleY = 1.0f;
};
} // namespace render
