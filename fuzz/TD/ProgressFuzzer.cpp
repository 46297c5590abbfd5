// The progress store over any profiles document: every getter and setter must cope.
#include "Source/TD/Data/TDEpisodeTable.h"
#include "Source/TD/Data/TDProfileStore.h"
#include "Source/TD/Data/TDProgress.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace
{
struct Host : TDProgressHost
{
    TDEpisodeTable table;
    Host() { table.readText("0;3;2;0;0\n1;2;1;6;0\n"); }
    TDDifficulty currentMode() const override { return kDifficultyNormal; }
    i32 startGems() const override { return 0; }
    const TDEpisodeTable& episodeTable() const override { return table; }
    std::vector<i32> upgradeIds() const override { return {1, 2}; }
    i32 upgradeStepCount(i32) const override { return 3; }
    bool isEpisodeUnlocked(i32 episode) override { return episode == 0; }
    void onProfileSelected(const TDProfileValues&) override {}
    void reloadTutorial() override {}
    void setTutorialActive(bool) override {}
    bool isFullscreen() const override { return false; }
    void switchScreenMode() override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TDDocumentProfileStore store;
    store.loadText(std::string(reinterpret_cast<const char*>(data), size));
    Host host;
    TDProgress progress(store, host);
    progress.getMode();
    progress.addGems(progress.getGems());
    progress.getMusicVolume();
    progress.getFullscreen();
    TDLevelResult result = progress.getLevelResult(0, 1, kDifficultyNormal);
    progress.saveLevelResult(0, 1, kDifficultyNormal, result);
    progress.getNextLevel(0, kDifficultyNormal);
    i32 episode = 0, level = 0;
    progress.getFurthestLevel(episode, level);
    progress.getStarTotal(-1);
    progress.getUpgradeLevel(2);
    progress.isTutorialAvailable();
    progress.getTutorialStepState(1);
    progress.getTutorialParam("dropChanceOverride");
    progress.isSpotOwned("#1", 0, 0);
    progress.isEventSeen(3);
    progress.deleteCurrentProfile();
    return 0;
}
