// The control host over the running game application, the sound tags and the particle library.
#pragma once

#include "Core/Widget/Controls/ControlHost.h"

#include <vector>

namespace gui
{
class ApplicationControlHost : public ControlHost
{
public:
    render::Render* GetRender() override;
    // The fonts the game set; without them the first request loads the default list.
    base::CountedPtr<render::Font> GetFont(u32 index) override;
    void PlaySound(const std::wstring& tag) override;
    render::ParticleEmitter* CreateEmitter(const std::string& name) override;
    bool IsWindowed() override;
    QLResultEnum SwitchScreenMode() override;
    bool IsWindowLargerThanScreen() override;

    void SetFonts(std::vector<base::CountedPtr<render::Font>> fonts) { mFonts = std::move(fonts); }

    // Bitmap fonts loaded when the game sets none, by index (resource names: no ".fnt").
    static const wchar_t* const kDefaultFonts[6];

private:
    std::vector<base::CountedPtr<render::Font>> mFonts;
    bool mTriedDefaults = false;
};
} // namespace gui
