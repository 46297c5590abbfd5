// The current OpenGL context of an SDL window (made by the window layer with SDL_WINDOW_OPENGL).
#pragma once

#include "Platform/Gpu/Context.h"

struct SDL_Window;

namespace gpu
{
class SdlGlContext : public Context
{
public:
    // The window must already have a current 3.3 core context; neither is owned.
    explicit SdlGlContext(SDL_Window* window);

    bool MakeCurrent() override;
    void* GetProcAddress(const char* name) override;
    bool HasWindow() const override { return true; }
    bool SwapBuffers() override;
    void GetDrawableSize(u32* width, u32* height) override;

private:
    SDL_Window* mWindow;
    void* mContext;
};
} // namespace gpu
