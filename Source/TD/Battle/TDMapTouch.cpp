// The battle's side of the pointer: presses (early waves, picking units, the context menu's
// entries), moves, wheel turns, pausing and the control buttons; and the menu's money actions:
// selling a tower and buying a locked spot.
#include "Source/TD/Battle/TDMap.h"

#include "Source/TD/Data/TDText.h"
#include "Source/TD/Units/TDBulletList.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <cmath>

namespace
{
void spotCentre(const TDSpotFrame& s, float& x, float& y)
{
    x = static_cast<float>(s.x) + 0.5f * static_cast<float>(s.width);
    y = static_cast<float>(s.y) + 0.5f * static_cast<float>(s.height);
}
} // namespace

i32 TDMap::spotIndex(const TDSpotFrame* spot) const
{
    if (!mScenery || !spot)
        return -1;
    for (size_t i = 0; i < mScenery->spotFrames.size(); ++i)
        if (&mScenery->spotFrames[i] == spot)
            return static_cast<i32>(i);
    return -1;
}

TDSpotFrame* TDMap::findFreeSpotAt(float px, float py)
{
    if (!mScenery)
        return nullptr;
    for (TDSpotFrame& frame : mScenery->spotFrames)
    {
        float cx = 0.0f, cy = 0.0f;
        spotCentre(frame, cx, cy);
        if (!frame.hasTower && distance(cx, cy, px, py) <= 40.0f)
            return &frame;
    }
    return nullptr;
}

TDTower* TDMap::findTowerAt(float px, float py) const
{
    for (TDTower* tower : mTowers)
        if (distance(tower->mX, tower->mY, px, py) < 50.0f)
            return tower;
    return nullptr;
}

TDUnit* TDMap::findUnitAt(float px, float py) const
{
    for (TDUnit* unit : mWaves.mUnits)
    {
        if (!unit->mAlive || unit->isGone())
            continue;
        float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
        unit->getRect(x, y, w, h);
        if (x <= px && px <= x + w && y <= py && py <= y + h)
            return unit;
    }
    return nullptr;
}

void TDMap::onPointerDown(i32 x, i32 y)
{
    mHud->onMouseMove(x, y);
    mTutorial->onMouseMove(x, y);
    i32 bx = 0, by = 0;
    screenToBattle(static_cast<float>(x), static_cast<float>(y), bx, by);
    float fx = static_cast<float>(bx), fy = static_cast<float>(by);

    if (mScreen == kScreenSplash || mScreen == kScreenVideoIntro)
    {
        if (mHud->buttonNameAt(x, y) == L"done")
        {
            mHud->closeTopWindow();
            if (mScreen == kScreenSplash)
                mHud->showVideoIntro();
            else
                mHud->showMainMenu();
        }
        mHud->onPress(x, y);
        return;
    }
    if (mScreen != kScreenBattle)
    {
        mHud->onPress(x, y);
        return;
    }

    if (isOnNextWaveButton(fx, fy))
    {
        i32 block = mHud->uiBlock();
        if (block != 0 && block != 3)
            return;
        forceNextWave(static_cast<float>(x), static_cast<float>(y));
    }
    if (TDUnit* unit = findUnitAt(fx, fy))
        mHovered = unit;

    if (!mContextMenu || !mContextMenu->visible)
    {
        mHud->onPress(x, y);
        return;
    }
    // A press while a menu shows always belongs to the menu.
    TDContextMenu& menu = *mContextMenu;
    i32 id = menu.itemAt(fx, fy);
    switch (menu.kind)
    {
    case TDContextMenu::kTowerUpgrades:
    case TDContextMenu::kTowerTier:
    {
        TDTower* tower = menu.tower;
        if (id > 0 && tower)
        {
            // The tier steps first, then the next tier; a step or an upgrade the coins do not
            // cover leaves the tower as it was.
            const TDPrototype* base = findPrototype(tower->baseId());
            if (base && tower->mTierCount >= base->tierUpdates)
                tower->upgrade(id, menu.costOf(id));
            else
                tower->upgradeTier();
        }
        else if (id == 0 && tower)
        {
            menu.tower = nullptr;
            sellTower(tower);
        }
        menu.close();
        return;
    }
    case TDContextMenu::kBuild:
        if (id > 0)
        {
            if (!buildTower(spotIndex(menu.spot), id))
                return;
            // The player's builds alone tell the tutorial; a level's own towers do not.
            postEvent(L"tower_built");
        }
        menu.close();
        return;
    case TDContextMenu::kBuySpot:
        if (id > 0 && menu.spot)
            buySpot(menu.spot);
        menu.close();
        return;
    default: menu.close(); return;
    }
}

void TDMap::onPointerMove(i32 x, i32 y)
{
    if (mContextMenu)
    {
        // Battle coordinates, like the press: with the scale 1 and offsets 0 of a level start
        // both are the screen point.
        i32 bx = 0, by = 0;
        screenToBattle(static_cast<float>(x), static_cast<float>(y), bx, by);
        mContextMenu->hoveredId = mContextMenu->itemAt(static_cast<float>(bx), static_cast<float>(by));
    }
    mHud->onMouseMove(x, y);
    mTutorial->onMouseMove(x, y);
}

void TDMap::onWheel(i16 delta) { mHud->onWheel(delta); }

void TDMap::pause()
{
    mSpeed = 0.0f;
    updateControlButtons();
    mScreen = kScreenIngameMenu;
    mTutorial->hide();
    mHud->showIngameMenu();
}

void TDMap::pauseIfRunning()
{
    if (mScreen == kScreenBattle)
        pause();
}

void TDMap::updateControlButtons()
{
    mHud->setButtonVisible(L"play_btn_ac", mSpeed == 1.0f);
    mHud->setButtonVisible(L"play_btn", mSpeed != 1.0f);
    mHud->setButtonVisible(L"speed_btn_ac", mSpeed == 2.0f);
    mHud->setButtonVisible(L"speed_btn", mSpeed != 2.0f);
    mHud->setButtonVisible(L"options_btn_ac", false);
    mHud->setButtonVisible(L"pause_btn_ac", mSpeed == 0.0f);
    mHud->setButtonVisible(L"pause_btn", mSpeed != 0.0f);
    const wchar_t* active = mSpeed == 0.0f   ? L"pause_btn_ac"
                            : mSpeed == 1.0f ? L"play_btn_ac"
                            : mSpeed == 2.0f ? L"speed_btn_ac"
                                             : nullptr;
    float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    mActiveButtonPlaced = active && mHud->buttonRect(active, x, y, w, h);
    if (!mActiveButtonPlaced)
        x = y = w = h = 0.0f;
    if (mActiveButtonEmitter)
        mActiveButtonEmitter->setPosition(x + 0.5f * w, y + 0.5f * h);
}

void TDMap::sellTower(TDTower* tower)
{
    if (!tower)
        return;
    i32 value = 0;
    if (const TDPrototype* current = tower->currentProto())
    {
        value = tdtext::truncToInt(current->cost);
        if (current->parent != -1)
            if (const TDPrototype* parent = findPrototype(current->parent))
                value += tdtext::truncToInt(parent->cost);
    }
    mStats.addCoins(tdtext::truncToInt(std::floor(static_cast<float>(value) * mSellFactor)));
    // A unit held by the tower's beam walks on.
    if (tower->mBeam && tower->mBeam->isAlive() && tower->mTarget && tower->mTarget->mAlive)
        tower->mTarget->mState = kUnitWalking;
    if (std::unique_ptr<TDEmitter> emitter = mParticleSystem->createEmitter(L"build"))
    {
        emitter->setPosition(tower->mX, tower->mY);
        emitter->setState(kEmitterPlaying);
        mEmitters.push_back(std::move(emitter));
    }
    playSound(L"sellTower");
    if (mContextMenu && mContextMenu->tower == tower)
        mContextMenu->tower = nullptr;
    removeTower(tower);
}

bool TDMap::buySpot(TDSpotFrame* frame)
{
    if (!frame || !frame->spot || !mScenery)
        return false;
    TDBuildSpot& spot = *frame->spot;
    if (mStats.mCoins < spot.costGold || mStats.mGems < spot.costReal)
        return false;
    postEvent(L"buildspot_bought");
    i32 cx = tdtext::truncToInt(static_cast<float>(frame->width) * 0.5f + static_cast<float>(frame->x));
    i32 cy = tdtext::truncToInt(static_cast<float>(frame->height) * 0.5f + static_cast<float>(frame->y));
    mStats.spendCoins(spot.costGold);
    mStats.spendGems(spot.costReal);
    frame->imageIndex = 0;
    spot.open = true;
    const TDMapScene::Size& size = mScenery->spotSizes[0];
    frame->x = tdtext::truncToInt(static_cast<float>(cx) - static_cast<float>(size.width) * 0.5f);
    frame->y = tdtext::truncToInt(static_cast<float>(cy) - static_cast<float>(size.height) * 0.5f);
    frame->width = size.width;
    frame->height = size.height;
    mProgress->addOwnedSpot(frame->name, mEpisode, mLevel);
    playSound(L"buySpot");
    return true;
}
