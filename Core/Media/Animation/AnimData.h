// An animation file as a shared resource: its layers with their envelopes, and the mesh
// libraries (beside the file) that hold the layers' meshes.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Media/Animation/AnimLayer.h"
#include "Core/Resource/Resource.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace render
{
class Render;
}
namespace lightwave
{
class MeshLibrary;
}

namespace animation
{
class AnimData : public resource::Resource
{
public:
    AnimData();
    ~AnimData() override;

    void Destroy() override;
    // Reads the file named by the resource through the file manager and resolves the meshes.
    QLResultEnum DoLoad() override;
    // Deletes the layers and releases the mesh libraries.
    QLResultEnum DoUnLoad() override;

    // Reads the title, times and layers (no meshes). On failure logs the cause with `source`
    // and the offset, and leaves no layers.
    QLResultEnum Parse(const void* data, size_t size, const std::wstring& source);
    // Finds each layer's mesh in its library, loading libraries from `folder` + name + ".lib".
    QLResultEnum ResolveMeshes(const std::wstring& folder);

    void SetRender(render::Render* render) { mRender = render; }
    render::Render* GetRender() const { return mRender; }

    std::string mTitle;
    float mStartTime = 0.0f;
    float mEndTime = 0.0f;
    std::vector<std::unique_ptr<AnimLayer>> mLayers;
    std::map<std::string, base::CountedPtr<lightwave::MeshLibrary>> mLibraries;

private:
    void Free();

    render::Render* mRender = nullptr;
};
} // namespace animation
