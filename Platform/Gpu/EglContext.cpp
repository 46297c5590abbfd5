// Headless GL through EGL: Mesa's surfaceless platform first, then the default display.
#include "Platform/Gpu/EglContext.h"

#include "Platform/Gpu/DriverPin.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace gpu
{
namespace
{
EGLDisplay OpenDisplay()
{
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay)
    {
        EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
            return display;
    }
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
        return display;
    return EGL_NO_DISPLAY;
}
} // namespace

std::unique_ptr<EglContext> EglContext::Create(std::string* why)
{
    auto fail = [why](const std::string& text)
    {
        if (why)
            *why = text;
        return std::unique_ptr<EglContext>();
    };
    EGLDisplay display = OpenDisplay();
    if (display == EGL_NO_DISPLAY)
        return fail("no EGL display (neither surfaceless nor default)");
    if (!eglBindAPI(EGL_OPENGL_API))
    {
        eglTerminate(display);
        return fail("EGL cannot bind the desktop OpenGL API");
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count == 0)
        config = nullptr; // surfaceless contexts work without one (EGL_KHR_no_config_context)
    const EGLint contextAttributes[] = {
        EGL_CONTEXT_MAJOR_VERSION,           3,       EGL_CONTEXT_MINOR_VERSION, 3, EGL_CONTEXT_OPENGL_PROFILE_MASK,
        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT)
    {
        eglTerminate(display);
        return fail("EGL cannot create an OpenGL 3.3 core context");
    }
    PinGlDriverForLeakCheck();
    std::unique_ptr<EglContext> result(new EglContext());
    result->mDisplay = display;
    result->mContext = context;
    if (!result->MakeCurrent())
        return fail("EGL cannot make the context current without a surface");
    return result;
}

EglContext::~EglContext()
{
    if (mDisplay)
    {
        eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (mContext)
            eglDestroyContext(mDisplay, mContext);
        // The display is shared by every context of the process (EGL hands out one per
        // platform), so it is not terminated here.
    }
}

bool EglContext::MakeCurrent()
{
    return eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, mContext) == EGL_TRUE;
}

void* EglContext::GetProcAddress(const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

void EglContext::GetDrawableSize(u32* width, u32* height)
{
    *width = 0;
    *height = 0;
}
} // namespace gpu
