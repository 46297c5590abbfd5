// Every layout the selection, pause and result screens open loads and holds every layer the
// code asks for.
#include "FrontEndFixture.h"

#include "Core/File/FileManager.h"
#include "Core/Media/Image/ImageContainer.h"

#include <memory>

namespace frontendtest
{
TEST_F(FrontEndTest, TheSelectionPauseAndResultLayoutsHoldEveryLayerTheScreensAskFor)
{
    Settle();
    std::vector<std::wstring> episodes = {L"button/play", L"button/arrow_left", L"button/arrow_right", L"button/back",
                                          L"button/shop", L"text/levelName", L"text/caption", L"text/stars",
                                          L"plates/lock", L"plates/new"};
    for (i32 n = 1; n <= mMap->getEpisodeCount(); ++n)
        episodes.push_back(L"plates/chapter_" + std::to_wstring(n));
    const std::vector<std::pair<std::wstring, std::vector<std::wstring>>> layouts = {
        {L"td/episode_select", episodes},
        {L"td/level_select",
         {L"button/back", L"button/upgrade", L"button/locked_d", L"button/unlocked_d", L"skulls", L"text/episode",
          L"text/gems", L"plate/super", L"plate/complete", L"plate/incomplete", L"plate/locked", L"plate/new",
          L"stars_plate/plate", L"stars_plate/star", L"tabs/up_button_ac", L"tabs/up_button_in"}},
        {L"td/ui_levelresult",
         {L"back_win", L"back_lose", L"diffictly", L"diffictly_lose", L"victory_label", L"defeat_label", L"star0",
          L"star1", L"star2", L"button/done", L"button/restart", L"button/menu", L"text/levelResult",
          L"text/levelName", L"text/gameName", L"text/killScore", L"text/goldBonus", L"text/lifeBonus",
          L"text/totalScore", L"text/gems", L"text/bestScore"}},
        {L"td/data/ingame",
         {L"main_menu_ico", L"text/caption", L"button/menu_normal", L"button/menu_over", L"button/menu_resume/pos",
          L"button/menu_restart/pos", L"button/menu_levels/pos", L"button/menu_options/pos", L"button/menu_mmenu/pos"}},
    };
    for (const auto& [path, names] : layouts)
    {
        std::unique_ptr<file::ImageContainer> layout{file::FileManager::Instance()->OpenImageContainer(path)};
        ASSERT_NE(nullptr, layout) << std::string(path.begin(), path.end());
        for (const std::wstring& name : names)
            EXPECT_NE(nullptr, layout->FindImage(name))
                << std::string(path.begin(), path.end()) << ": " << std::string(name.begin(), name.end());
    }
}
} // namespace frontendtest
