// The profiles screen (screen 13) over the layout "td/data/profiles": up to five player names,
// the current one highlighted; a press on a name line selects that profile; "create",
// "rename", "delete" (asks first), "back" and "confirm" act through the battle controller.
#pragma once

#include "Source/TD/Shell/HUDButtonWindow.h"

class HUD;
class TDMap;

class HUDProfiles : public HUDButtonWindow
{
public:
    static constexpr const wchar_t* kLayout = L"td/data/profiles";
    static constexpr int kMaxProfiles = 5;

    HUDProfiles(HUD* hud, TDMap* map);
    ~HUDProfiles() override;

    // Rewrites the five lines and the highlight from the stored profiles.
    void Refresh() override;
    // The buttons' press, then the name line under the point selects its profile.
    void Press(int x, int y) override;
    // "delete" with a current profile opens the deletion question.
    std::wstring ButtonNameAt(int x, int y) override;

    // The profile a text area stands for: areas in name order count from -2, so "profileN"
    // stands for profile N - 1 when two names sort before "profile1".
    int lineIndexAt(int x, int y) const;

private:
    HUD* mHud;
    TDMap* mMap;
};
