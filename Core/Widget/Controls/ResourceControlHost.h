// The control host of the resources alone: the shared fonts, the sound tags and the particle
// library. Without an application it has no renderer, is windowed and cannot switch.
#pragma once

#include "Core/Widget/Controls/ControlHost.h"

#include <vector>

namespace gui
{
class ResourceControlHost : public ControlHost
{
public:
    render::Render* GetRender() override { return nullptr; }
    // The fonts the game set; without them the first request loads the default list.
    base::CountedPtr<render::Font> GetFont(u32 index) override;
    void PlaySound(const std::wstring& tag) override;
    render::ParticleEmitter* CreateEmitter(const std::string& name) override;
    bool IsWindowed() override { return true; }
    QLResultEnum SwitchScreenMode() override { return QL_FAIL; }
    bool IsWindowLargerThanScreen() override { return false; }

    void SetFonts(std::vector<base::CountedPtr<render::Font>> fonts) { mFonts = std::move(fonts); }

    // Bitmap fonts loaded when the game sets none, by index (resource names: no ".fnt").
    static const wchar_t* const kDefaultFonts[6];

private:
    std::vector<base::CountedPtr<render::Font>> mFonts;
    bool mTriedDefaults = false;
};
} // namespace gui
