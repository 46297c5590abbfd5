// The control host of the running game.
#include "Framework/ApplicationControlHost.h"

#include "Framework/GameApplication.h"

namespace framework
{
ApplicationControlHost* ApplicationControlHost::Shared()
{
    static ApplicationControlHost host;
    return &host;
}

render::Render* ApplicationControlHost::GetRender()
{
    GameApplication* app = GameApplication::Get();
    return app ? app->mRender : nullptr;
}

bool ApplicationControlHost::IsWindowed()
{
    GameApplication* app = GameApplication::Get();
    return app ? app->mWindowed : true;
}

QLResultEnum ApplicationControlHost::SwitchScreenMode()
{
    GameApplication* app = GameApplication::Get();
    return app ? app->SwitchScreenMode() : QL_FAIL;
}

bool ApplicationControlHost::IsWindowLargerThanScreen()
{
    GameApplication* app = GameApplication::Get();
    return app && app->IsWindowLargerThanScreen();
}
} // namespace framework
