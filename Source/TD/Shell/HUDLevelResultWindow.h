// The window over a finished level ("td/ui_levelresult"): it shows the stars, the crystals
// paid and the best score of the result the battle stored, then grows in and counts the score
// lines up. Its buttons ("done", "restart", "menu") answer by name.
#pragma once

#include "Source/TD/Battle/TDLevelResultKeeper.h"
#include "Source/TD/Shell/HUDWindow.h"

class TDMap;

class HUDLevelResultWindow : public HUDWindow
{
public:
    // Made once the battle has set mScreen (kScreenWon or kScreenLost) and stored mLevelOutcome.
    explicit HUDLevelResultWindow(TDMap& map, const std::wstring& layout = L"td/ui_levelresult");

    // The window's steps, held in mAppear; mTimer is the step's clock.
    enum Step : i32
    {
        kGrowingIn = 0,
        kKillScore = 1,
        kGoldBonus = 2,
        kLifeBonus = 3,
        kTotal = 4,
        kDone = 5,
    };

    void Draw(render::Graphics* graphics) override;
    void Update(float dt) override;

    const TDLevelOutcome& outcome() const { return mOutcome; }

private:
    void setState(i32 state);
    void countUp();

    TDMap& mMap;
    TDLevelOutcome mOutcome;
    std::wstring mGemsText;
    bool mGemsShown = false;
};
