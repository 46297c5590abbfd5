// Mob shader, vertex program (GLSL): position x Proj, colour and texture coordinates passed on.
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
