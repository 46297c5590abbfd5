// The state record a drawing context hands the renderer, and the renderer's start-up parameters.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Render/Matrix4.h"

namespace render
{
class Texture;
class ShaderImpl;
class Buffer;

// The numbers are the command stream's words.
enum class BlendModeEnum : u32
{
    BLEND_OFF = 0,
    BLEND_ALPHA = 1,
    BLEND_ADDITIVE = 2,
};
using enum BlendModeEnum;

struct RenderState
{
    Texture* mTarget = nullptr; // null: the back buffer
    float mScaleX = 1.0f, mScaleY = 1.0f, mOffsetX = 0.0f, mOffsetY = 0.0f;
    ShaderImpl* mShader = nullptr;
    Buffer* mVertexBuffer = nullptr;
    Buffer* mIndexBuffer = nullptr;
    BlendModeEnum mBlendMode = BLEND_OFF;
    bool mScissorEnabled = false;
    float mScissorX = 0.0f, mScissorY = 0.0f, mScissorWidth = 0.0f, mScissorHeight = 0.0f;
    bool mDepthTest = false;
    bool mDepthWrite = true;
};

struct RenderInitParam
{
    u32 mWidth = 0;
    u32 mHeight = 0;
    bool mWindowed = true;
    bool mBuildProjection = true;
    math::Matrix4 mProjection;
    float mScaleX = 1.0f, mScaleY = 1.0f, mOffsetX = 0.0f, mOffsetY = 0.0f;
};

// Engine primitive types; 6 means "no draw pending".
enum PrimitiveTypeEnum : u32
{
    PRIM_POINTLIST = 0,
    PRIM_LINELIST = 1,
    PRIM_LINESTRIP = 2,
    PRIM_TRIANGLELIST = 3,
    PRIM_TRIANGLESTRIP = 4,
    PRIM_TRIANGLEFAN = 5,
    PRIM_NONE = 6,
};
} // namespace render
