// The GL context of an SDL window: entry points through SDL, presentation by buffer swap.
#include "Platform/Gpu/SdlGlContext.h"

#include <SDL.h>

namespace gpu
{
// The swap interval is the window's: it paces the frames (Platform/Os).
SdlGlContext::SdlGlContext(SDL_Window* window) : mWindow(window), mContext(SDL_GL_GetCurrentContext()) {}

bool SdlGlContext::MakeCurrent()
{
    return mContext && SDL_GL_MakeCurrent(mWindow, static_cast<SDL_GLContext>(mContext)) == 0;
}

void* SdlGlContext::GetProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

bool SdlGlContext::SwapBuffers()
{
    SDL_GL_SwapWindow(mWindow);
    return true;
}

void SdlGlContext::GetDrawableSize(u32* width, u32* height)
{
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(mWindow, &w, &h);
    *width = static_cast<u32>(w);
    *height = static_cast<u32>(h);
}
} // namespace gpu
