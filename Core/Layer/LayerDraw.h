// The frame every drawing layer puts around its draw command: the context's colour, shader,
// tint and transform are set from the layer and put back afterwards.
#pragma once

#include "Core/Base/Types.h"

namespace math
{
class Transform3D;
}
namespace render
{
class Graphics;
class Shader;
enum class BlendModeEnum : u32;
enum class ShaderModeEnum : u32;
} // namespace render

namespace layer
{
class Layer;

class LayerDrawScope
{
public:
    // blendMode: the blend mode set for the draw (not restored).
    LayerDrawScope(render::Graphics* graphics, Layer& layer, render::BlendModeEnum blendMode);
    ~LayerDrawScope();
    LayerDrawScope(const LayerDrawScope&) = delete;
    LayerDrawScope& operator=(const LayerDrawScope&) = delete;

private:
    render::Graphics* mGraphics;
    bool mTinted;
    float mColor[4];
    render::ShaderModeEnum mShaderMode;
    render::Shader* mShader;
    float mTint;
    const math::Transform3D* mTransform;
};
} // namespace layer
