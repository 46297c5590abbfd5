// The level selection ("td/level_select"): the levels of the current episode as plates, seven
// to a row, with their stars and badges; three tabs choose the normal game mode, and the
// hardcore buttons open the episode's hardcore levels. The battle starts the level whose plate
// is released on.
#pragma once

#include "Source/TD/Shell/HUDWindow.h"
#include "Source/TD/Shell/LevelPlate.h"
#include "Source/TD/Shell/ShopTabBar.h"

#include <map>
#include <memory>
#include <vector>

class TDMap;

class HUDLevelSelect : public HUDWindow
{
public:
    explicit HUDLevelSelect(TDMap& map, const std::wstring& layout = L"td/level_select");
    ~HUDLevelSelect() override;

    void Draw(render::Graphics* graphics) override;
    void Update(float dt) override;
    void MouseMove(int x, int y) override;
    // A tab switches the normal mode and rebuilds the plates.
    void Press(int x, int y) override;
    // The level of the first plate strictly holding the point, open or not; -1 for none.
    int ButtonAt(int x, int y) override;

    void buildPlates();

    std::vector<LevelPlate> mPlates;
    std::wstring mEpisodeText;
    bool mHardcoreNew = false; // the "new" badge beside the hardcore buttons
    // "level_tab_0" to "level_tab_2" outside hardcore mode, no tab in it.
    std::unique_ptr<ShopTabBar> mTabBar;

private:
    const TDFrameEntry* frame(const std::wstring& name);
    void drawPlate(render::Graphics* graphics, const LevelPlate& plate);

    TDMap& mMap;
    std::map<std::wstring, std::unique_ptr<TDFrameEntry>> mFrames; // pictures by layout name
};
