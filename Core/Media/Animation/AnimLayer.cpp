// Which animation layers refer to a mesh.
#include "Core/Media/Animation/AnimLayer.h"

namespace animation
{
bool AnimLayer::WantsMesh() const { return mLibrary != "null" && mLibrary != "screen_res" && mMeshName != "null"; }
} // namespace animation
