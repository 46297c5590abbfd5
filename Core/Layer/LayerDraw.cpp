// Saving and restoring the drawing context around a layer's draw.
#include "Core/Layer/LayerDraw.h"

#include "Core/Layer/Layer.h"
#include "Core/Media/Graphics/Graphics.h"

namespace layer
{
LayerDrawScope::LayerDrawScope(render::Graphics* graphics, Layer& layer, render::BlendModeEnum blendMode)
    : mGraphics(graphics), mTinted(layer.mTinted)
{
    const float* colour = graphics->GetColor();
    for (int i = 0; i < 4; ++i)
        mColor[i] = colour[i];
    mShaderMode = graphics->GetShaderMode();
    mShader = graphics->GetTexturedShader();
    mTint = graphics->GetTint();
    mTransform = graphics->mTransform;

    graphics->mTransform = &layer.mWorldTransform;
    (void)graphics->SetShaderMode(mTinted ? render::SHADER_TEXTURED_TINT : render::SHADER_TEXTURED_MULT);
    graphics->SetColorRGBA(layer.mColor[0], layer.mColor[1], layer.mColor[2], layer.GetEffectiveAlpha());
    if (mTinted)
        graphics->SetTint(layer.mTint);
    (void)graphics->SetBlendMode(blendMode);
}

LayerDrawScope::~LayerDrawScope()
{
    if (mShaderMode == render::SHADER_CUSTOM)
        (void)mGraphics->SetShader(mShader);
    else
        (void)mGraphics->SetShaderMode(mShaderMode);
    if (mTinted)
        mGraphics->SetTint(mTint);
    mGraphics->SetColor(mColor);
    mGraphics->mTransform = mTransform;
}
} // namespace layer
