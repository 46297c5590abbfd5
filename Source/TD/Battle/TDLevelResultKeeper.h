// The end of a level: the result window's stars, gem reward and episode bonus, stored once in
// the progress, and the window's texts and pictures for a victory or a defeat.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDLevelResult.h"

class TDMap;

struct TDLevelOutcome
{
    i32 stars = 0;
    i32 previousStars = 0;
    i32 reward = 0; // gems for new stars and the episode bonus
    i32 bestScore = 0;
    TDLevelResult result; // as stored
};

// Gems for holding s stars on a level: 0, 3, 8, 13.
i32 tdStarGems(i32 stars);

// Runs once per finished level, just before the result window is made (mScreen kScreenWon or
// kScreenLost; the drops are credited by then); the window shows the outcome
// (TDMap::mLevelOutcome): stars from the health left, gems for stars above the stored ones,
// 100 gems the first time every level of an episode (0 to 5) has stars, then the result is
// stored. The stored stars and best score never go down.
TDLevelOutcome tdKeepLevelResult(TDMap& map);

// The result window's texts and pictures (mScreen tells victory from defeat); the window then
// counts the score lines up and shows its reward and best score.
void tdFillLevelResultTexts(TDMap& map);
