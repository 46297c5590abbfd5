// The result of a finished level: reward, storage and the result window's texts.
#include "Source/TD/Battle/TDLevelResultKeeper.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"

#include <algorithm>

i32 tdStarGems(i32 stars)
{
    static const i32 kGems[] = {0, 3, 8, 13};
    return kGems[std::clamp(stars, 0, 3)];
}

TDLevelOutcome tdKeepLevelResult(TDMap& map)
{
    TDLevelOutcome out;
    for (const auto& emitter : map.mEmitters)
        emitter->setState(kEmitterFinishing);
    bool won = map.mScreen == kScreenWon;
    out.stars = won ? map.resultStars() : 0;
    TDLevelResult stored = map.mProgress->getLevelResult(map.mEpisode, map.mLevel, map.mMode);
    out.previousStars = stored.stars;
    map.mStats.makeLevelResult(out.result, map.mHealth, map.mMode);
    if (out.stars > stored.stars)
        out.reward += tdStarGems(out.stars) - tdStarGems(stored.stars);

    // Episode bonus: decided on the results stored before this one, so it is paid by the first
    // result window after every level of the episode has stars.
    i32 episode = map.mEpisode;
    if (episode >= 0 && episode <= 5 && !map.mProgress->isEventSeen(episode + 1))
    {
        i32 levels = map.getLevelCount(episode);
        bool complete = levels > 0;
        for (i32 level = 0; level < levels && complete; ++level)
        {
            complete = map.mProgress->getLevelResult(episode, level, kDifficultyNormal).stars > 0;
        }
        if (complete)
        {
            out.reward += 100;
            map.mProgress->setEventSeen(episode + 1);
        }
    }
    if (out.reward > 0)
        map.mStats.addGems(out.reward);
    out.result.stars = out.stars;
    out.bestScore = std::max(out.result.totalScore(), stored.high);
    out.result.high = out.bestScore;
    // The reward went into the gem total already; the stored record adds nothing more.
    out.result.gems = 0;
    map.mProgress->saveLevelResult(map.mEpisode, map.mLevel, map.mMode, out.result);
    return out;
}

void tdFillLevelResultTexts(TDMap& map)
{
    LocalStrings* strings = LocalStrings::Instance();
    TDHud& hud = *map.mHud;
    if (map.mScreen == kScreenWon)
    {
        for (const wchar_t* name : {L"back_lose", L"diffictly_lose", L"defeat_label", L"victory_label"})
            hud.setFrameVisible(name, false);
        hud.setText(L"levelResult", strings->get(L"game_win"));
        hud.setFont(L"td/data/fonts/main_42_3");
    }
    else
    {
        hud.setFont(L"td/data/fonts/main_42_2");
        for (const wchar_t* name : {L"back_win", L"diffictly", L"victory_label"})
            hud.setFrameVisible(name, false);
        hud.setFrameVisible(L"diffictly_lose", true);
        hud.setFrameVisible(L"defeat_label", false);
        hud.setText(L"levelResult", strings->get(L"game_lose"));
        for (const wchar_t* name : {L"star0", L"star1", L"star2"})
            hud.setFrameVisible(name, false);
    }
    // Which level it was, after a defeat too: its row is not left empty.
    const wchar_t* episode = map.mMode == kDifficultyHardcore ? L"episodeHardcore" : L"episode";
    std::wstring key = episode + std::to_wstring(map.mEpisode);
    hud.setText(L"levelName", strings->get(key) + L" " + std::to_wstring(map.mEpisode + 1) + L" - " +
                                  std::to_wstring(map.mLevel + 1));
    // The difficulty ribbon names the three difficulties; the Ordeal's is blank (its level name
    // says it), and no key is asked for it.
    static const wchar_t* kDifficulty[] = {L"diff_easy", L"diff_normal", L"diff_hard"};
    const bool named = map.mMode >= kDifficultyEasy && map.mMode <= kDifficultyHard;
    hud.setText(L"gameName", named ? strings->get(kDifficulty[static_cast<i32>(map.mMode)]) : L"");
    hud.setText(L"killScore", strings->get(L"game_kill_score") + L"0");
    hud.setText(L"goldBonus", L"");
    hud.setText(L"lifeBonus", strings->get(L"game_life_bonus") + L"0");
    hud.setText(L"totalScore", strings->get(L"game_total_score") + L"0");
    hud.setText(L"gems", strings->get(L"gems") + L": " + std::to_wstring(map.mStats.mGemsWon));
}
