// Mob shader, pixel program (GLSL): the textured colour moved towards color2.rgb by color2.a,
// keeping the picture's own alpha.
uniform sampler2D TextureSampler;
uniform vec4 color2;
in vec4 vColor;
in vec2 vTex;
out vec4 oColor;
void pixel_shader()
{
    vec4 c = vColor * texture(TextureSampler, vTex);
    oColor = vec4(mix(c.rgb, color2.rgb, clamp(color2.a, 0.0, 1.0)), c.a);
}
