// OpenGL 3.3 core device.
//
// Conventions kept from the engine's original device:
// - Pixel centres lie at integer coordinates (the drawing code moves vertices by -0.5 px): every
//   vertex program ends with a back-end constant uDevFix that scales clip y and moves by half a pixel.
// - Render targets are drawn with clip y flipped, so texel row 0 is the top of what was drawn
//   (sampling v = 0 reads the top, as for images, which are uploaded top row first).
// - Changing the target resets the viewport to the whole target.
// - Culling names the winding as seen on the target; the front face flips with the target.
#include "Platform/Gpu/GlDevice.h"

#include "Platform/Base/Log.h"
#include "Platform/Gpu/Context.h"
#include "Platform/Gpu/Dxt.h"

#include <cstdio>
#include <cstring>

namespace gpu
{
namespace
{
std::string GlErrorName(GLenum error)
{
    switch (error)
    {
    case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
    case GL_INVALID_FRAMEBUFFER_OPERATION: return "GL_INVALID_FRAMEBUFFER_OPERATION";
    case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
    default: break;
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(error));
    return code;
}

GLenum ToGl(Primitive type)
{
    switch (type)
    {
    case Primitive::Points: return GL_POINTS;
    case Primitive::Lines: return GL_LINES;
    case Primitive::LineStrip: return GL_LINE_STRIP;
    case Primitive::TriangleStrip: return GL_TRIANGLE_STRIP;
    case Primitive::TriangleFan: return GL_TRIANGLE_FAN;
    case Primitive::Triangles:
    default: return GL_TRIANGLES;
    }
}

GLenum ToGl(BlendFactor factor)
{
    switch (factor)
    {
    case BlendFactor::Zero: return GL_ZERO;
    case BlendFactor::One: return GL_ONE;
    case BlendFactor::SrcAlpha: return GL_SRC_ALPHA;
    case BlendFactor::InvSrcAlpha:
    default: return GL_ONE_MINUS_SRC_ALPHA;
    }
}

// Splits a leading "#version" line off so the wrapper can put its own lines after it.
void SplitVersion(const std::string& source, std::string* version, std::string* body)
{
    size_t start = source.find_first_not_of(" \t\r\n");
    if (start != std::string::npos && source.compare(start, 8, "#version") == 0)
    {
        size_t end = source.find('\n', start);
        *version = source.substr(start, end == std::string::npos ? std::string::npos : end - start) + "\n";
        *body = end == std::string::npos ? std::string() : source.substr(end + 1);
        return;
    }
    *version = "#version 330 core\n";
    *body = source;
}

// The entry point must name a function: letters, digits and '_' only.
bool IsIdentifier(const std::string& name)
{
    if (name.empty() || (name[0] >= '0' && name[0] <= '9'))
        return false;
    for (char c : name)
        if (!(c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

const char* const kAttributeNames[] = {"aPos", "aColor0", "aColor1", "aTex0"};
} // namespace

std::unique_ptr<Device> CreateGlDevice(Context* context)
{
    if (!context || !context->MakeCurrent())
        return nullptr;
    auto device = std::make_unique<GlDevice>(context);
    if (!device->Load(nullptr))
        return nullptr;
    return device;
}

GlDevice::GlDevice(Context* context) : mContext(context) {}

GlDevice::~GlDevice()
{
    if (!gl.DeleteTextures)
        return;
    mContext->MakeCurrent();
    for (auto& [id, texture] : mTextures)
    {
        if (texture.framebuffer)
            gl.DeleteFramebuffers(1, &texture.framebuffer);
        gl.DeleteTextures(1, &texture.name);
    }
    for (auto& [id, buffer] : mBuffers)
        gl.DeleteBuffers(1, &buffer.name);
    for (auto& [id, program] : mPrograms)
        gl.DeleteProgram(program.name);
    if (mBackBufferFramebuffer)
        gl.DeleteFramebuffers(1, &mBackBufferFramebuffer);
    if (mBackBufferTexture)
        gl.DeleteTextures(1, &mBackBufferTexture);
    if (mVertexArray)
        gl.DeleteVertexArrays(1, &mVertexArray);
}

bool GlDevice::Load(std::string* why)
{
    const char* missing = nullptr;
    if (!gl.Load(*mContext, &missing))
    {
        if (why)
            *why = std::string("missing GL entry point ") + (missing ? missing : "?");
        return false;
    }
    return true;
}

QLResultEnum GlDevice::CheckError(const char* what)
{
    GLenum error = gl.GetError();
    if (error == GL_NO_ERROR)
        return QL_OK;
    // GL keeps one flag per kind of error: the first is reported, the rest are cleared.
    while (gl.GetError() != GL_NO_ERROR)
    {
    }
    platform::LogError(L"GL error in %s: %s\n", {what, GlErrorName(error)});
    return QL_FAIL;
}

QLResultEnum GlDevice::Init(u32 width, u32 height)
{
    if (!mContext->MakeCurrent())
        return QL_FAIL;
    while (gl.GetError() != GL_NO_ERROR)
    {
    }
    GLint maxTexture = 0;
    gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    mCaps.maxTextureWidth = mCaps.maxTextureHeight = static_cast<u32>(maxTexture);
    mCaps.maxPrimitiveCount = 0x00FFFFFF;
    mCaps.maxVertexIndex = 0xFFFFFFFF;
    mCaps.textureBlendStages = 8;
    mCaps.vertexShaderVersion = 0x300;
    mCaps.pixelShaderVersion = 0x300;
    // Compressed data is decoded on upload, so DXT1, 3 and 5 are always available.
    mCaps.dxt[0] = mCaps.dxt[2] = mCaps.dxt[4] = true;
    mCaps.scissorTest = true;
    GLint extensions = 0;
    gl.GetIntegerv(GL_NUM_EXTENSIONS, &extensions);
    for (GLint i = 0; i < extensions; ++i)
    {
        const char* name = reinterpret_cast<const char*>(gl.GetStringi(GL_EXTENSIONS, i));
        if (name && std::strcmp(name, "GL_EXT_texture_filter_anisotropic") == 0)
            mCaps.anisotropicMin = mCaps.anisotropicMag = true;
    }
    gl.GenVertexArrays(1, &mVertexArray);
    gl.BindVertexArray(mVertexArray);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.BlendEquation(GL_FUNC_ADD);
    gl.DepthFunc(GL_LEQUAL);
    if (ResizeBackBuffer(width, height) != QL_OK)
        return QL_FAIL;
    return CheckError("Init");
}

QLResultEnum GlDevice::ResizeBackBuffer(u32 width, u32 height)
{
    if (width == 0 || height == 0)
        return QL_FAIL;
    mWidth = width;
    mHeight = height;
    if (!mContext->HasWindow())
    {
        // Headless: an off-screen back buffer stored like a window's (bottom row first).
        if (!mBackBufferTexture)
            gl.GenTextures(1, &mBackBufferTexture);
        BindOnUnitZero(mBackBufferTexture);
        gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        if (!mBackBufferFramebuffer)
            gl.GenFramebuffers(1, &mBackBufferFramebuffer);
        gl.BindFramebuffer(GL_FRAMEBUFFER, mBackBufferFramebuffer);
        gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mBackBufferTexture, 0);
        if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            return QL_FAIL;
    }
    if (mTarget == 0)
        return BindTarget();
    return CheckError("ResizeBackBuffer");
}

QLResultEnum GlDevice::CreateTexture(u32 width, u32 height, TextureFormat format, TextureUsage usage, TextureId* out)
{
    // GL accepts empty textures where the original device refused them; callers rely on the refusal.
    if (width == 0 || height == 0 || width > mCaps.maxTextureWidth || height > mCaps.maxTextureHeight)
        return QL_FAIL;
    if (format != TextureFormat::ARGB8 && usage != TextureUsage::Static)
        return QL_FAIL;
    Texture texture;
    texture.width = width;
    texture.height = height;
    texture.format = format;
    gl.GenTextures(1, &texture.name);
    BindOnUnitZero(texture.name);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    if (usage == TextureUsage::RenderTarget)
    {
        gl.GenFramebuffers(1, &texture.framebuffer);
        gl.BindFramebuffer(GL_FRAMEBUFFER, texture.framebuffer);
        gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.name, 0);
        bool complete = gl.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        if (complete)
        {
            gl.Disable(GL_SCISSOR_TEST);
            gl.ClearColor(0, 0, 0, 0);
            gl.Clear(GL_COLOR_BUFFER_BIT);
            if (mScissorEnabled)
                gl.Enable(GL_SCISSOR_TEST);
        }
        if (!complete)
        {
            gl.DeleteFramebuffers(1, &texture.framebuffer);
            gl.DeleteTextures(1, &texture.name);
            (void)BindTarget();
            return QL_FAIL;
        }
    }
    if (CheckError("CreateTexture") != QL_OK)
    {
        if (texture.framebuffer)
            gl.DeleteFramebuffers(1, &texture.framebuffer);
        gl.DeleteTextures(1, &texture.name);
        (void)BindTarget();
        return QL_FAIL;
    }
    *out = mNextId++;
    mTextures[*out] = texture;
    return BindTarget();
}

QLResultEnum GlDevice::UpdateTexture(TextureId id, const void* data, u32 pitch)
{
    auto it = mTextures.find(id);
    if (it == mTextures.end() || !data)
        return QL_FAIL;
    const Texture& texture = it->second;
    BindOnUnitZero(texture.name);
    if (texture.format == TextureFormat::ARGB8)
    {
        if (pitch < texture.width * 4 || pitch % 4 != 0)
            return QL_FAIL;
        gl.PixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(pitch / 4));
        gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, texture.width, texture.height, GL_BGRA, GL_UNSIGNED_BYTE, data);
        gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    else
    {
        if (pitch < DxtRowPitch(texture.format, texture.width))
            return QL_FAIL;
        std::vector<u32> pixels;
        DecodeDxt(texture.format, texture.width, texture.height, static_cast<const u8*>(data), pitch, &pixels);
        gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, texture.width, texture.height, GL_BGRA, GL_UNSIGNED_BYTE,
                         pixels.data());
    }
    return CheckError("UpdateTexture");
}

void GlDevice::BindOnUnitZero(GLuint name)
{
    // Unit 0 is the active unit outside SetTexture.
    gl.BindTexture(GL_TEXTURE_2D, name);
    mBoundTextures[0] = name;
}

void GlDevice::DestroyTexture(TextureId id)
{
    auto it = mTextures.find(id);
    if (it == mTextures.end())
        return;
    // Deleting unbinds it everywhere, and GL may hand its name out again.
    for (GLuint& bound : mBoundTextures)
        if (bound == it->second.name)
            bound = 0;
    if (it->second.framebuffer)
        gl.DeleteFramebuffers(1, &it->second.framebuffer);
    gl.DeleteTextures(1, &it->second.name);
    mTextures.erase(it);
    if (mTarget == id)
    {
        mTarget = 0;
        (void)BindTarget();
    }
}

QLResultEnum GlDevice::CreateBuffer(BufferKind kind, u32 size, bool dynamic, BufferId* out)
{
    if (size == 0)
        return QL_FAIL;
    Buffer buffer;
    buffer.kind = kind;
    buffer.size = size;
    buffer.dynamic = dynamic;
    gl.GenBuffers(1, &buffer.name);
    GLenum targetKind = kind == BufferKind::Vertex ? GL_ARRAY_BUFFER : GL_ELEMENT_ARRAY_BUFFER;
    if (kind == BufferKind::Index)
        gl.BindVertexArray(0); // keep the draw VAO's index binding untouched
    gl.BindBuffer(targetKind, buffer.name);
    gl.BufferData(targetKind, size, nullptr, dynamic ? GL_STREAM_DRAW : GL_STATIC_DRAW);
    gl.BindVertexArray(mVertexArray);
    if (CheckError("CreateBuffer") != QL_OK)
    {
        gl.DeleteBuffers(1, &buffer.name);
        return QL_FAIL;
    }
    *out = mNextId++;
    mBuffers[*out] = buffer;
    mVertexSetupDirty = true;
    return QL_OK;
}

QLResultEnum GlDevice::UpdateBuffer(BufferId id, const void* data, u32 offset, u32 size)
{
    auto it = mBuffers.find(id);
    if (it == mBuffers.end() || offset > it->second.size || size > it->second.size - offset)
        return QL_FAIL;
    if (size == 0)
        return QL_OK;
    const Buffer& buffer = it->second;
    GLenum targetKind = buffer.kind == BufferKind::Vertex ? GL_ARRAY_BUFFER : GL_ELEMENT_ARRAY_BUFFER;
    if (buffer.kind == BufferKind::Index)
        gl.BindVertexArray(0);
    gl.BindBuffer(targetKind, buffer.name);
    // Orphan the old storage so the driver never waits for draws still reading it.
    if (offset == 0)
        gl.BufferData(targetKind, buffer.size, nullptr, buffer.dynamic ? GL_STREAM_DRAW : GL_STATIC_DRAW);
    gl.BufferSubData(targetKind, offset, size, data);
    gl.BindVertexArray(mVertexArray);
    mVertexSetupDirty = true;
    return CheckError("UpdateBuffer");
}

void GlDevice::DestroyBuffer(BufferId id)
{
    auto it = mBuffers.find(id);
    if (it == mBuffers.end())
        return;
    gl.DeleteBuffers(1, &it->second.name);
    mBuffers.erase(it);
    if (mVertexBuffer == id)
        mVertexBuffer = 0;
    mVertexSetupDirty = true;
}

GLuint GlDevice::Compile(GLenum kind, const std::string& source, std::string* messages)
{
    GLuint shader = gl.CreateShader(kind);
    const char* text = source.c_str();
    GLint length = static_cast<GLint>(source.size());
    gl.ShaderSource(shader, 1, &text, &length);
    gl.CompileShader(shader);
    GLint ok = GL_FALSE, logLength = 0;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    gl.GetShaderiv(shader, GL_INFO_LOG_LENGTH, &logLength);
    if (logLength > 1 && messages)
    {
        std::string log(static_cast<size_t>(logLength), '\0');
        gl.GetShaderInfoLog(shader, logLength, nullptr, log.data());
        log.resize(std::strlen(log.c_str()));
        messages->append(kind == GL_VERTEX_SHADER ? "vertex: " : "pixel: ").append(log);
    }
    if (!ok)
    {
        gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

QLResultEnum GlDevice::CreateProgram(const std::string& vertexSource, const std::string& vertexEntry,
                                     const std::string& pixelSource, const std::string& pixelEntry, ProgramId* out,
                                     std::string* messages)
{
    if (!IsIdentifier(vertexEntry) || !IsIdentifier(pixelEntry))
    {
        if (messages)
            messages->append("bad entry point name\n");
        return QL_FAIL;
    }
    if (vertexSource.empty() || pixelSource.empty())
    {
        if (messages)
            messages->append("empty shader source\n");
        return QL_FAIL;
    }
    std::string version, body;
    SplitVersion(vertexSource, &version, &body);
    std::string vertex = version + "#line 1\n" + body + "\nuniform vec4 uDevFix;\nvoid main()\n{\n    " + vertexEntry +
                         "();\n    gl_Position.xy = gl_Position.xy * uDevFix.xy + uDevFix.zw * gl_Position.w;\n}\n";
    SplitVersion(pixelSource, &version, &body);
    std::string pixel = version + "#line 1\n" + body + "\nvoid main()\n{\n    " + pixelEntry + "();\n}\n";

    GLuint vs = Compile(GL_VERTEX_SHADER, vertex, messages);
    if (!vs)
        return QL_FAIL;
    GLuint ps = Compile(GL_FRAGMENT_SHADER, pixel, messages);
    if (!ps)
    {
        gl.DeleteShader(vs);
        return QL_FAIL;
    }
    Program program;
    program.name = gl.CreateProgram();
    gl.AttachShader(program.name, vs);
    gl.AttachShader(program.name, ps);
    for (u32 i = 0; i < 4; ++i)
        gl.BindAttribLocation(program.name, i, kAttributeNames[i]);
    gl.LinkProgram(program.name);
    gl.DeleteShader(vs);
    gl.DeleteShader(ps);
    GLint ok = GL_FALSE, logLength = 0;
    gl.GetProgramiv(program.name, GL_LINK_STATUS, &ok);
    gl.GetProgramiv(program.name, GL_INFO_LOG_LENGTH, &logLength);
    if (logLength > 1 && messages)
    {
        std::string log(static_cast<size_t>(logLength), '\0');
        gl.GetProgramInfoLog(program.name, logLength, nullptr, log.data());
        log.resize(std::strlen(log.c_str()));
        messages->append("link: ").append(log);
    }
    if (!ok)
    {
        gl.DeleteProgram(program.name);
        (void)CheckError("CreateProgram link"); // the link failure is the result; this logs and clears
        return QL_FAIL;
    }
    program.devFix = gl.GetUniformLocation(program.name, "uDevFix");
    // Samplers get texture stages in the order the linker lists them.
    gl.UseProgram(program.name);
    GLint uniforms = 0;
    gl.GetProgramiv(program.name, GL_ACTIVE_UNIFORMS, &uniforms);
    i32 stage = 0;
    for (GLint i = 0; i < uniforms; ++i)
    {
        char name[256];
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        gl.GetActiveUniform(program.name, static_cast<GLuint>(i), sizeof name, &length, &size, &type, name);
        if (type == GL_SAMPLER_2D)
        {
            gl.Uniform1i(gl.GetUniformLocation(program.name, name), stage);
            program.samplers[std::string(name, static_cast<size_t>(length))] = stage++;
        }
    }
    gl.UseProgram(mBoundProgram);
    if (CheckError("CreateProgram") != QL_OK)
    {
        gl.DeleteProgram(program.name);
        return QL_FAIL;
    }
    *out = mNextId++;
    mPrograms[*out] = program;
    return QL_OK;
}

void GlDevice::DestroyProgram(ProgramId id)
{
    auto it = mPrograms.find(id);
    if (it == mPrograms.end())
        return;
    if (mBoundProgram == it->second.name)
    {
        gl.UseProgram(0);
        mBoundProgram = 0;
    }
    gl.DeleteProgram(it->second.name);
    mPrograms.erase(it);
    if (mProgram == id)
        mProgram = 0;
}

i32 GlDevice::FindConstant(ProgramId id, const std::string& name)
{
    auto it = mPrograms.find(id);
    if (it == mPrograms.end())
        return -1;
    return gl.GetUniformLocation(it->second.name, name.c_str());
}

i32 GlDevice::FindSampler(ProgramId id, const std::string& name)
{
    auto it = mPrograms.find(id);
    if (it == mPrograms.end())
        return -1;
    auto sampler = it->second.samplers.find(name);
    return sampler == it->second.samplers.end() ? -1 : sampler->second;
}

bool GlDevice::Remember(Program& program, i32 constant, const float* values, size_t count)
{
    std::vector<float>& last = program.values[constant];
    if (last.size() == count && std::memcmp(last.data(), values, count * sizeof(float)) == 0)
        return false;
    last.assign(values, values + count);
    return true;
}

bool GlDevice::UseProgram(GLuint name)
{
    if (mBoundProgram != name)
    {
        gl.UseProgram(name);
        mBoundProgram = name;
    }
    return true;
}

QLResultEnum GlDevice::SetConstantMatrix(ProgramId id, i32 constant, const float matrix[16])
{
    auto it = mPrograms.find(id);
    if (it == mPrograms.end())
        return QL_FAIL;
    if (constant < 0 || !matrix || !Remember(it->second, constant, matrix, 16))
        return QL_OK;
    UseProgram(it->second.name);
    // Row-major data read as column-major: GLSL's M * v is then the row-vector product v x M.
    gl.UniformMatrix4fv(constant, 1, GL_FALSE, matrix);
    return QL_OK;
}

QLResultEnum GlDevice::SetConstantVector(ProgramId id, i32 constant, const float vector[4])
{
    auto it = mPrograms.find(id);
    if (it == mPrograms.end())
        return QL_FAIL;
    if (constant < 0 || !vector || !Remember(it->second, constant, vector, 4))
        return QL_OK;
    UseProgram(it->second.name);
    gl.Uniform4fv(constant, 1, vector);
    return QL_OK;
}

QLResultEnum GlDevice::SetConstantFloat(ProgramId id, i32 constant, float value)
{
    auto it = mPrograms.find(id);
    if (it == mPrograms.end())
        return QL_FAIL;
    if (constant < 0 || !Remember(it->second, constant, &value, 1))
        return QL_OK;
    UseProgram(it->second.name);
    gl.Uniform1f(constant, value);
    return QL_OK;
}

QLResultEnum GlDevice::BindTarget()
{
    if (mTarget == 0)
    {
        gl.BindFramebuffer(GL_FRAMEBUFFER, mContext->HasWindow() ? 0 : mBackBufferFramebuffer);
        mTargetWidth = mWidth;
        mTargetHeight = mHeight;
    }
    else
    {
        auto it = mTextures.find(mTarget);
        if (it == mTextures.end() || !it->second.framebuffer)
            return QL_FAIL;
        gl.BindFramebuffer(GL_FRAMEBUFFER, it->second.framebuffer);
        mTargetWidth = it->second.width;
        mTargetHeight = it->second.height;
    }
    ApplyTargetState();
    return QL_OK;
}

void GlDevice::ApplyTargetState()
{
    gl.Viewport(0, 0, static_cast<GLsizei>(mTargetWidth), static_cast<GLsizei>(mTargetHeight));
    (void)SetScissorRect(mScissor[0], mScissor[1], mScissor[2], mScissor[3]);
    (void)SetCull(mCull);
}

QLResultEnum GlDevice::SetRenderTarget(TextureId target)
{
    if (target != 0)
    {
        auto it = mTextures.find(target);
        if (it == mTextures.end() || !it->second.framebuffer)
            return QL_FAIL;
    }
    mTarget = target;
    return BindTarget();
}

QLResultEnum GlDevice::SetProgram(ProgramId program)
{
    if (program != 0 && mPrograms.find(program) == mPrograms.end())
        return QL_FAIL;
    mProgram = program;
    return QL_OK;
}

QLResultEnum GlDevice::SetTexture(u32 stage, TextureId id)
{
    GLuint name = 0;
    if (id != 0)
    {
        auto it = mTextures.find(id);
        if (it == mTextures.end())
            return QL_FAIL;
        name = it->second.name;
    }
    if (stage < 16 && mBoundTextures[stage] == name)
        return QL_OK;
    gl.ActiveTexture(GL_TEXTURE0 + stage);
    gl.BindTexture(GL_TEXTURE_2D, name);
    gl.ActiveTexture(GL_TEXTURE0);
    if (stage < 16)
        mBoundTextures[stage] = name;
    return QL_OK;
}

QLResultEnum GlDevice::SetVertexLayout(const VertexLayout& layout)
{
    mLayout = layout;
    mVertexSetupDirty = true;
    return QL_OK;
}

QLResultEnum GlDevice::SetVertexBuffer(BufferId buffer)
{
    if (buffer != 0 && mBuffers.find(buffer) == mBuffers.end())
        return QL_FAIL;
    mVertexBuffer = buffer;
    mVertexSetupDirty = true;
    return QL_OK;
}

QLResultEnum GlDevice::SetIndexBuffer(BufferId id, u32 indexSize)
{
    GLuint name = 0;
    if (id != 0)
    {
        auto it = mBuffers.find(id);
        if (it == mBuffers.end() || it->second.kind != BufferKind::Index)
            return QL_FAIL;
        name = it->second.name;
    }
    mIndexSize = indexSize == 4 ? 4 : 2;
    gl.BindVertexArray(mVertexArray);
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, name);
    return QL_OK;
}

QLResultEnum GlDevice::SetBlend(const BlendState& blend)
{
    if (!blend.enabled)
    {
        gl.Disable(GL_BLEND);
        return QL_OK;
    }
    gl.Enable(GL_BLEND);
    gl.BlendFuncSeparate(ToGl(blend.src), ToGl(blend.dst), ToGl(blend.srcAlpha), ToGl(blend.dstAlpha));
    return QL_OK;
}

QLResultEnum GlDevice::SetScissorEnabled(bool enabled)
{
    mScissorEnabled = enabled;
    if (enabled)
        gl.Enable(GL_SCISSOR_TEST);
    else
        gl.Disable(GL_SCISSOR_TEST);
    return QL_OK;
}

QLResultEnum GlDevice::SetScissorRect(i32 x, i32 y, i32 width, i32 height)
{
    mScissor[0] = x, mScissor[1] = y, mScissor[2] = width, mScissor[3] = height;
    width = width < 0 ? 0 : width;
    height = height < 0 ? 0 : height;
    // The back buffer stores its bottom row first; render targets their top row first.
    i32 glY = IsWindowTarget() ? static_cast<i32>(mTargetHeight) - y - height : y;
    gl.Scissor(x, glY, width, height);
    return QL_OK;
}

QLResultEnum GlDevice::SetDepth(bool test, bool write)
{
    if (!test)
    {
        gl.Disable(GL_DEPTH_TEST);
        return QL_OK;
    }
    gl.Enable(GL_DEPTH_TEST);
    gl.DepthFunc(GL_LEQUAL);
    gl.DepthMask(write ? GL_TRUE : GL_FALSE);
    mDepthWrite = write;
    return QL_OK;
}

QLResultEnum GlDevice::SetCull(CullMode mode)
{
    mCull = mode;
    if (mode == CullMode::None)
    {
        gl.Disable(GL_CULL_FACE);
        return QL_OK;
    }
    gl.Enable(GL_CULL_FACE);
    gl.CullFace(GL_BACK);
    // Winding to keep, as seen on the target. The back buffer shows GL's window coordinates as
    // they are; render targets are drawn with y flipped, which mirrors the winding GL sees.
    bool keepClockwise = mode == CullMode::CounterClockwise;
    bool glClockwise = IsWindowTarget() ? keepClockwise : !keepClockwise;
    gl.FrontFace(glClockwise ? GL_CW : GL_CCW);
    return QL_OK;
}

QLResultEnum GlDevice::Clear(u32 flags, u32 colour, float depth, u32 stencil)
{
    GLbitfield mask = 0;
    if (flags & kClearTarget)
    {
        gl.ClearColor(((colour >> 16) & 255) / 255.0f, ((colour >> 8) & 255) / 255.0f, (colour & 255) / 255.0f,
                      ((colour >> 24) & 255) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & kClearDepth)
    {
        gl.ClearDepth(depth);
        gl.DepthMask(GL_TRUE); // the depth clear ignores the write flag
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & kClearStencil)
    {
        gl.ClearStencil(static_cast<GLint>(stencil));
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    if (mask)
        gl.Clear(mask);
    if (flags & kClearDepth)
        gl.DepthMask(mDepthWrite ? GL_TRUE : GL_FALSE);
    return CheckError("Clear");
}

bool GlDevice::PrepareDraw()
{
    auto program = mPrograms.find(mProgram);
    if (program == mPrograms.end())
        return false;
    UseProgram(program->second.name);
    float devFix[4];
    if (IsWindowTarget())
        devFix[0] = 1.0f, devFix[1] = 1.0f, devFix[2] = 1.0f / mTargetWidth, devFix[3] = -1.0f / mTargetHeight;
    else
        devFix[0] = 1.0f, devFix[1] = -1.0f, devFix[2] = 1.0f / mTargetWidth, devFix[3] = 1.0f / mTargetHeight;
    if (std::memcmp(devFix, program->second.devFixValue, sizeof devFix) != 0)
    {
        gl.Uniform4fv(program->second.devFix, 1, devFix);
        std::memcpy(program->second.devFixValue, devFix, sizeof devFix);
    }
    if (mVertexSetupDirty)
    {
        auto buffer = mBuffers.find(mVertexBuffer);
        if (buffer == mBuffers.end())
            return false;
        gl.BindBuffer(GL_ARRAY_BUFFER, buffer->second.name);
        bool used[4] = {false, false, false, false};
        for (const VertexAttribute& a : mLayout.attributes)
        {
            if (a.location >= 4)
                continue;
            used[a.location] = true;
            gl.EnableVertexAttribArray(a.location);
            const void* offset = reinterpret_cast<const void*>(static_cast<uintptr_t>(a.offset));
            if (a.type == AttributeType::ColorBGRA)
                gl.VertexAttribPointer(a.location, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, mLayout.stride, offset);
            else
                gl.VertexAttribPointer(a.location, static_cast<GLint>(a.components), GL_FLOAT, GL_FALSE, mLayout.stride,
                                       offset);
        }
        for (u32 i = 0; i < 4; ++i)
        {
            if (!used[i])
            {
                gl.DisableVertexAttribArray(i);
                gl.VertexAttrib4f(i, 0.0f, 0.0f, 0.0f, 1.0f);
            }
        }
        mVertexSetupDirty = false;
    }
    return true;
}

QLResultEnum GlDevice::Draw(Primitive type, u32 firstVertex, u32 vertexCount)
{
    if (!PrepareDraw())
        return QL_FAIL;
    gl.DrawArrays(ToGl(type), static_cast<GLint>(firstVertex), static_cast<GLsizei>(vertexCount));
    return QL_OK;
}

QLResultEnum GlDevice::DrawIndexed(Primitive type, u32 firstIndex, u32 indexCount, u32 minVertex, u32 vertexCount)
{
    if (!PrepareDraw())
        return QL_FAIL;
    GLuint last = vertexCount ? minVertex + vertexCount - 1 : minVertex;
    const void* offset = reinterpret_cast<const void*>(static_cast<uintptr_t>(firstIndex) * mIndexSize);
    gl.DrawRangeElements(ToGl(type), minVertex, last, static_cast<GLsizei>(indexCount),
                         mIndexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, offset);
    return QL_OK;
}

QLResultEnum GlDevice::Present()
{
    if (mContext->HasWindow())
        return mContext->SwapBuffers() ? QL_OK : QL_FAIL;
    gl.Flush();
    return CheckError("Present");
}

QLResultEnum GlDevice::ReadPixels(TextureId target, i32 x, i32 y, i32 width, i32 height, std::vector<u32>* out)
{
    if (width <= 0 || height <= 0 || x < 0 || y < 0)
        return QL_FAIL;
    u32 targetHeight = mHeight;
    u32 targetWidth = mWidth;
    if (target == 0)
        gl.BindFramebuffer(GL_FRAMEBUFFER, mContext->HasWindow() ? 0 : mBackBufferFramebuffer);
    else
    {
        auto it = mTextures.find(target);
        if (it == mTextures.end() || !it->second.framebuffer)
            return QL_FAIL;
        gl.BindFramebuffer(GL_FRAMEBUFFER, it->second.framebuffer);
        targetWidth = it->second.width;
        targetHeight = it->second.height;
    }
    if (static_cast<u32>(x + width) > targetWidth || static_cast<u32>(y + height) > targetHeight)
    {
        (void)BindTarget();
        return QL_FAIL;
    }
    out->assign(static_cast<size_t>(width) * height, 0);
    if (target == 0)
    {
        // Bottom row first in GL: read the band and flip it.
        std::vector<u32> rows(out->size());
        gl.ReadPixels(x, static_cast<i32>(targetHeight) - y - height, width, height, GL_BGRA, GL_UNSIGNED_BYTE,
                      rows.data());
        for (i32 row = 0; row < height; ++row)
            std::memcpy(&(*out)[static_cast<size_t>(row) * width], &rows[static_cast<size_t>(height - 1 - row) * width],
                        static_cast<size_t>(width) * 4);
    }
    else
        gl.ReadPixels(x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, out->data());
    QLResultEnum result = CheckError("ReadPixels");
    (void)BindTarget();
    return result;
}

QLResultEnum GlDevice::Reset()
{
    if (mStatus == DeviceStatus::Lost)
        return QL_FAIL;
    mStatus = DeviceStatus::Ok;
    return QL_OK;
}
void GlDevice::TextureMemory(size_t& count, size_t& bytes) const
{
    count = mTextures.size();
    bytes = 0;
    for (const auto& [id, texture] : mTextures)
        bytes += static_cast<size_t>(texture.width) * texture.height * 4;
}
} // namespace gpu
