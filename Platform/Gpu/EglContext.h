// A headless OpenGL 3.3 core context through EGL (Mesa's surfaceless platform, else the default
// display), for tests and off-screen rendering.
#pragma once

#include "Platform/Gpu/Context.h"

#include <memory>
#include <string>

namespace gpu
{
class EglContext : public Context
{
public:
    // Null when EGL or a 3.3 core context is unavailable; `why` then says what failed.
    static std::unique_ptr<EglContext> Create(std::string* why = nullptr);
    ~EglContext() override;

    bool MakeCurrent() override;
    void* GetProcAddress(const char* name) override;
    bool HasWindow() const override { return false; }
    bool SwapBuffers() override { return true; }
    void GetDrawableSize(u32* width, u32* height) override;

private:
    EglContext() = default;
    void* mDisplay = nullptr;
    void* mContext = nullptr;
};
} // namespace gpu
