// A current OpenGL 3.3 core context that a device draws into: a window's, or a headless one.
#pragma once

#include "Platform/Base/Types.h"

namespace gpu
{
class Context
{
public:
    virtual ~Context() = default;
    virtual bool MakeCurrent() = 0;
    virtual void* GetProcAddress(const char* name) = 0;
    // False for headless contexts: the device then draws into its own off-screen back buffer.
    virtual bool HasWindow() const = 0;
    virtual bool SwapBuffers() = 0;
    // Size of the window's drawable in pixels (0, 0 when headless).
    virtual void GetDrawableSize(u32* width, u32* height) = 0;
};
} // namespace gpu
