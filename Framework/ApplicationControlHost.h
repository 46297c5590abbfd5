// The control host of the running game: the resource host with the application's renderer and
// screen mode. The game application sets it as the controls' fallback host.
#pragma once

#include "Core/Widget/Controls/ResourceControlHost.h"

namespace framework
{
class ApplicationControlHost : public gui::ResourceControlHost
{
public:
    render::Render* GetRender() override;
    bool IsWindowed() override;
    QLResultEnum SwitchScreenMode() override;
    bool IsWindowLargerThanScreen() override;

    // The one host of the program (it asks the application each time, so it outlives it).
    static ApplicationControlHost* Shared();
};
} // namespace framework
