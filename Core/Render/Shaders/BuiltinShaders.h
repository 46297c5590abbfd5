// Sources of the three built-in shaders (GLSL; entry points vertex_shader and pixel_shader).
#pragma once

namespace render
{
extern const char* const kGeomVertexShader;
extern const char* const kGeomPixelShader;
extern const char* const kTexturedVertexShader;
extern const char* const kTexturedMultPixelShader;
extern const char* const kTexturedTintVertexShader;
extern const char* const kTexturedTintPixelShader;
} // namespace render
