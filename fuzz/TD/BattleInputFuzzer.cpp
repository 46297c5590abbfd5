// A battle on a fuzzed level played by fuzzed pointer events: the level text runs up to the
// first zero byte, then each 6 bytes are one event (kind, x, y, frames after it). Presses,
// releases, moves and wheel turns reach the ring menu, the spell buttons and every screen's
// commands; nothing may crash or read freed memory.
#include "Core/Base/Random.h"
#include "Source/TD/Battle/HUDSpellButton.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDProfileStore.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
const char* kTowers = "id;parent;type;levelid;require;cost;tierCost;tierUpdates;tierK;strength;cooldown;r;speed;"
                      "ammoid;fps;addons;stars\n"
                      "10000;-1;1;0;-1;50;0;0;0;5;1;200;400;2001;10;splash;0\n"
                      "10001;10000;1;1;0;40;0;0;0;10;0,5;240;400;2001;10;;1\n"
                      "10002;10000;1;2;1;60;0;0;0;12;0,5;260;400;2001;10;;2\n"
                      "20000;-1;1;0;-1;60;20;2;0,5;4;1;200;300;2001;10;stun/aim;0\n"
                      "30000;-1;1;0;-1;80;0;0;0;-1;2;200;0;0;10;gold;0\n";
const char* kUnits = "id;health;speed;r;cost;fps;strength;dropChance\n"
                     "1;20;50;0;10;10;1;50\n"
                     "2;100;20;0;20;10;3;100\n";
const char* kAmmo = "id;type;strength;speed;r;cooldown;fps\n"
                    "2001;2;3;400;0;0;12\n"
                    "3000;4;10;3;100;5;24\n"
                    "3004;4;50;10;150;3;24\n";

// A HUD with the battle's buttons, numbered buttons and spell buttons; openers set the screen.
struct FuzzHud : TDNullHud
{
    TDMap* map = nullptr;
    std::vector<std::unique_ptr<HUDSpellButton>> spells;
    static const wchar_t* name(i32 x, i32 y)
    {
        static const wchar_t* kNames[] = {L"play_btn",   L"speed_btn", L"pause_btn", L"options_btn", L"ok",   L"done",
                                          L"resume",     L"restart",   L"back_ac",   L"return_ac",   L"menu", L"back",
                                          L"unlocked_d", L"locked_d",  L"create",    L"cancel",      L"play", L"shop"};
        if (y > 40)
            return L"";
        i32 i = x / 40;
        return i >= 0 && i < static_cast<i32>(sizeof(kNames) / sizeof(kNames[0])) ? kNames[i] : L"";
    }
    std::wstring buttonNameAt(i32 x, i32 y) override { return name(x, y); }
    i32 buttonAt(i32 x, i32 y) override
    {
        if (y > 40 && y < 80 && x >= 0 && x < 400)
            return x / 40; // episode and level buttons
        for (const auto& s : spells)
        {
            if (s->canPress(x, y))
                return s->mIndex;
            if (s->contains(x, y))
                return -2;
        }
        return -1;
    }
    void onMouseMove(i32 x, i32 y) override
    {
        for (const auto& s : spells)
            s->onHover(x, y);
    }
    void update(float dt) override
    {
        for (const auto& s : spells)
            s->update(dt);
    }
    HUDSpellButton* spellButton(i32 n) override
    {
        return n >= 0 && static_cast<size_t>(n) < spells.size() ? spells[static_cast<size_t>(n)].get() : nullptr;
    }
    i32 spellButtonCount() const override { return static_cast<i32>(spells.size()); }
    void addSpellButton(i32 spell) override
    {
        if (!map->mSpells.findById(spell))
            return;
        auto button = std::make_unique<HUDSpellButton>(*map, spell);
        button->mIndex = static_cast<i32>(spells.size());
        button->mCentreX = 500.0f + 80.0f * static_cast<float>(spells.size());
        button->mCentreY = 720.0f;
        spells.push_back(std::move(button));
    }
    void resetSpellButtons() override { spells.clear(); }
    void showEpisodeSelect() override { map->mScreen = kScreenEpisodes; }
    void showLevelSelect() override { map->mScreen = kScreenLevels; }
    void showMainMenu() override { map->mScreen = kScreenMainMenu; }
    void showShop(bool) override { map->mScreen = kScreenShop; }
    void showProfiles() override { map->mScreen = kScreenProfiles; }
    void showVideoIntro() override { map->mScreen = kScreenVideoIntro; }
    void showMessage(const std::wstring&, const std::wstring&, TDScreen returnScreen) override
    {
        map->mMessageReturnScreen = returnScreen;
        map->mScreen = kScreenMessage;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TDMemoryFileSource files;
    static TDDocumentProfileStore profiles;
    static bool installed = []
    {
        TDFileSource::setCurrent(&files);
        files.put(L"td/towers_sheet.csv", kTowers);
        files.put(L"td/units_sheet.csv", kUnits);
        files.put(L"td/ammo_sheet.csv", kAmmo);
        files.put(L"td/setup_sheet.csv", "0;3;2;0;1\n");
        files.put(L"td/spells_sheet.csv", ";3000;a;b;0;0\n;3004;a;b;4;0\n");
        files.put(L"td/unlocks.csv", "0;0;-1\n");
        files.put(L"td/upgrades.xml", "<upgrades/>");
        return true;
    }();
    (void)installed;
    // Path building is quadratic in the points; a level file is never this large.
    if (size > 16384)
        return 0;
    const uint8_t* end = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    size_t levelSize = end ? static_cast<size_t>(end - data) : size;
    files.put(L"fuzz.xml", std::string(reinterpret_cast<const char*>(data), levelSize));

    math::SetRandomSeed(7);
    FuzzHud hud;
    TDBattleServices services;
    services.hud = &hud;
    TDMap map(services, profiles);
    hud.map = &map;
    map.mLevelFile = L"fuzz.xml";
    if (map.restart() != QL_OK)
        return 0;
    map.mStats.mCoins = 1000;
    map.mStats.mGems = 20;

    size_t at = levelSize + 1;
    for (i32 events = 0; at + 6 <= size && events < 64; at += 6, ++events)
    {
        const uint8_t* e = data + at;
        i32 x = static_cast<i32>((e[1] | e[2] << 8) % 1400) - 20;
        i32 y = static_cast<i32>((e[3] | e[4] << 8) % 820) - 20;
        switch (e[0] % 6)
        {
        case 0: map.onPointerDown(x, y); break;
        case 1: map.onPointerUp(x, y); break;
        case 2: map.onPointerMove(x, y); break;
        case 3: map.onWheel(static_cast<i16>(x)); break;
        case 4: map.mScreen = static_cast<TDScreen>(y % 30); break; // any screen, including ones without commands
        default: break;
        }
        for (i32 f = 0; f < e[5] % 8; ++f)
            map.update(1.0f / 30.0f);
    }
    return 0;
}
