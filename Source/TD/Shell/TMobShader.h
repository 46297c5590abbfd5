// The mob shader: the textured shader with a second colour "color2" that units are tinted
// towards (hit flashes, frozen and poisoned looks).
#pragma once

#include "Core/Render/Shader.h"

class TMobShader : public render::ShaderTextured
{
public:
    // Hands the shader back to the resource manager's mob-shader table.
    void Destroy() override;
    // "color2" first, then the textured shader's projection and sampler.
    QLResultEnum BindVariables() override;

    // Sets "color2" (r, g, b, weight); nothing before the shader is loaded.
    void SetColor2(const math::Point4& color);
    render::ShaderScalarVariable<math::Point4, 1>* GetColor2() const { return mColor2; }

protected:
    void ForgetVariables() override
    {
        ShaderTextured::ForgetVariables();
        mColor2 = nullptr;
    }

private:
    render::ShaderScalarVariable<math::Point4, 1>* mColor2 = nullptr;
};
