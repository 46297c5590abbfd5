// The game-data readers: prototype sheets, episode table, unlocks, spells, upgrades, strings.
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDEpisodeTable.h"
#include "Source/TD/Data/TDPrototypes.h"
#include "Source/TD/Data/TDSpellSheet.h"
#include "Source/TD/Data/TDUnlocks.h"
#include "Source/TD/Data/TDUpgrades.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    TDPrototypes store;
    tdLoadPrototypeSheets(store, text, text, text);
    for (TDPrototype* p : store.all)
    {
        TDPrototype copy = *p;
        (void)copy;
    }
    TDEpisodeTable episodes;
    episodes.readText(text);
    episodes.getTotalLevelCount();
    TDUnlocks unlocks;
    unlocks.readText(text);
    unlocks.isUnlocked(1, 0, 3);
    TDSpellSheet spells;
    spells.readText(text, nullptr);
    TDUpgrades upgrades;
    upgrades.readText(text);
    TDUpgradeContext context;
    context.boughtLevel = [](i32 id) { return id % 3; };
    context.isUnlocked = [](i32) { return true; };
    TDGlobalBonus bonus;
    upgrades.applyGlobal(context, bonus);
    for (TDPrototype* p : store.all)
        upgrades.applyToPrototype(context, *p);
    LocalStrings* strings = LocalStrings::Instance();
    strings->setLooseFile("/nonexistent/strings.csv");
    strings->loadText(text);
    strings->get(L"game_caption");
    return 0;
}
