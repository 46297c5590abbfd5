// The first screen of the game: the logos listed in "logo/logo.ini", one after another. A press
// skips to the next logo; after the last one the intro video opens.
#pragma once

#include "Source/TD/Shell/HUDWindow.h"

#include <string>
#include <vector>

class HUD;
class SplashLogo;

class TDSplashScreens : public HUDWindow
{
public:
    static constexpr const wchar_t* kLogoList = L"logo/logo.ini";

    // Reads the logo list and loads each logo; hud opens the intro video when the logos end.
    explicit TDSplashScreens(HUD* hud);
    ~TDSplashScreens() override;

    // Lines split at LF, trimmed, spaces removed, split at ";"; the second field lists the
    // names separated by ",". Empty lines give nothing; a trailing CR is dropped from a name.
    static std::vector<std::wstring> readLogoNames(const std::string& text);

    void Draw(render::Graphics* graphics) override;
    void Update(float dt) override;
    void OnClosing() override;
    // Skips to the next logo wherever the press is; "done" once past the last one.
    std::wstring ButtonNameAt(int x, int y) override;

    base::OwnedList<SplashLogo> mLogos;
    i32 mCurrent = 0;

private:
    HUD* mHud;
};
