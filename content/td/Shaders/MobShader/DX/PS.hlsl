// Mob shader, pixel program (GLSL): the textured colour tinted by the unit kind's second colour
// color2 (r, g, b, a multiply; white leaves the picture as it is).
uniform sampler2D TextureSampler;
uniform vec4 color2;
in vec4 vColor;
in vec2 vTex;
out vec4 oColor;
void pixel_shader()
{
    oColor = vColor * texture(TextureSampler, vTex) * color2;
}
