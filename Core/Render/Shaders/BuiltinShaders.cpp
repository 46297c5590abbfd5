// The built-in programs. Vertex programs output position x Proj (row vector); the device
// adds its own main() around each entry point.
#include "Core/Render/Shaders/BuiltinShaders.h"

namespace render
{
// Geometry: position (x, y, z, 1) x Proj, colour unchanged.
const char* const kGeomVertexShader = R"(
uniform mat4 Proj;
in vec3 aPos;
in vec4 aColor0;
out vec4 vColor;
void vertex_shader()
{
    gl_Position = Proj * vec4(aPos, 1.0);
    vColor = aColor0;
}
)";
const char* const kGeomPixelShader = R"(
in vec4 vColor;
out vec4 oColor;
void pixel_shader()
{
    oColor = vColor;
}
)";

// Textured: position x Proj, texture coordinates and colour passed on.
const char* const kTexturedVertexShader = R"(
uniform mat4 Proj;
in vec4 aPos;
in vec4 aColor0;
in vec4 aColor1;
in vec2 aTex0;
out vec4 vColor;
out vec2 vTex;
void vertex_shader()
{
    gl_Position = Proj * aPos;
    vColor = aColor0;
    vTex = aTex0;
}
)";
// Multiply: colour x texture sample.
const char* const kTexturedMultPixelShader = R"(
uniform sampler2D TextureSampler;
in vec4 vColor;
in vec2 vTex;
out vec4 oColor;
void pixel_shader()
{
    oColor = vColor * texture(TextureSampler, vTex);
}
)";

// Tint: the second colour's green and blue channels weight the vertex colour and the texture.
const char* const kTexturedTintVertexShader = R"(
uniform mat4 Proj;
in vec4 aPos;
in vec4 aColor0;
in vec4 aColor1;
in vec2 aTex0;
out vec4 vColor;
out vec2 vTex;
out vec2 vTint;
void vertex_shader()
{
    gl_Position = Proj * aPos;
    vColor = aColor0;
    vTex = aTex0;
    vTint = aColor1.gb;
}
)";
const char* const kTexturedTintPixelShader = R"(
uniform sampler2D TextureSampler;
in vec4 vColor;
in vec2 vTex;
in vec2 vTint;
out vec4 oColor;
void pixel_shader()
{
    vec4 t = texture(TextureSampler, vTex);
    oColor = vec4(t.rgb * vTint.y + vColor.rgb * vTint.x, t.a * vColor.a);
}
)";
} // namespace render
