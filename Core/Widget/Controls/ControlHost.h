// What the controls need of the running application: the renderer their images are made on,
// the shared fonts, sound tags, particle effects and the screen mode. The application sets its
// own as the fallback; tests install theirs.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Base/Types.h"
#include "Core/Media/Graphics/Font.h"

#include <string>

namespace render
{
class ParticleEmitter;
class Render;
} // namespace render

namespace gui
{
class ControlHost
{
public:
    virtual ~ControlHost() = default;

    virtual render::Render* GetRender() = 0;
    // One of the root board's shared fonts (0 to 5); empty when there is none.
    virtual base::CountedPtr<render::Font> GetFont(u32 index) = 0;
    virtual void PlaySound(const std::wstring& tag) = 0;
    // A new stopped instance of the named effect of the game's library (owned by the caller), or null.
    virtual render::ParticleEmitter* CreateEmitter(const std::string& name) = 0;
    virtual bool IsWindowed() = 0;
    virtual QLResultEnum SwitchScreenMode() = 0;
    virtual bool IsWindowLargerThanScreen() = 0;

    // The installed host (not owned); without one the fallback: the one the application set, else
    // a ResourceControlHost made on first use.
    static ControlHost* Get();
    static void Set(ControlHost* host);
    static void SetFallback(ControlHost* host);
};
} // namespace gui
