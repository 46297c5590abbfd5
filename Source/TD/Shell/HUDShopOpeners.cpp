// The shop and unlock-message openers.
#include "Source/TD/Shell/HUDShopOpeners.h"

#include "Core/Base/Log.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Shell/HUDUnlockMessage.h"

void HUDShowShop(HUD& hud, TDMap* map, i32 origin)
{
    if (!map)
    {
        QL_LOG(L"The shop needs a running battle controller\n") << base::LogStyle::Error;
        return;
    }
    map->mScreen = kScreenShop;
    hud.pushWindow(std::make_unique<HUDShopWindow>(*map, &hud, origin));
}

void HUDShowUnlockMessage(HUD& hud, TDMap* map, const std::vector<i32>& ids)
{
    hud.pushWindow(std::make_unique<HUDUnlockMessage>(ids));
    if (map)
    {
        map->mScreen = kScreenUnlockMessage;
        map->mSpeed = 0.0f;
    }
    hud.mAppear = kHudAppearNone;
    hud.mTimer = 0.0f;
}

void HUD::showShop(bool afterLevel) { HUDShowShop(*this, mMap, afterLevel ? 1 : 0); }

void HUD::showUnlockMessage(const std::vector<i32>& ids) { HUDShowUnlockMessage(*this, mMap, ids); }
