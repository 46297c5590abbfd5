// The battle's frame: presentation on the frame time, then the battle on the battle time, in
// a fixed order (modifiers after the towers' bonuses reset, units removed last).
#include "Source/TD/Battle/TDMap.h"

#include "Core/Base/OwnedList.h"
#include "Source/TD/Units/TDBulletList.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDEffectTimer.h"
#include "Source/TD/Units/TDModifier.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDSpriteEffect.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

void TDMap::update(float dt)
{
    auto trace = [this](const char* step)
    {
        if (mTrace)
            mTrace->push_back(step);
    };
    if (mReloadState == kReloadShown)
    {
        trace("reload");
        mHud->closeTopWindow();
        (void)loadLevel();
        mReloadState = kReloadNone;
        return;
    }
    if (mScreenChangePending)
    {
        if (mScreen == kScreenEpisodes)
        {
            mHud->closeTopWindow();
            mHud->showEpisodeSelect();
        }
        else if (mScreen == kScreenLevels)
        {
            mHud->closeTopWindow();
            mHud->showLevelSelect();
        }
        mScreenChangePending = false;
    }
    if (!mLevelActive)
        return;

    mLastFrameTime = dt;
    float sdt = dt * mSpeed;
    mTime += sdt;
    mEnemySpotTime += dt;
    if (mHovered && mHovered->mState == kUnitDying)
        mHovered = nullptr;
    if (mContextMenu)
    {
        mContextMenu->update(dt);
        // Closed (or empty): gone, so the next release on a spot opens a new menu.
        if (!mContextMenu->visible)
            mContextMenu.reset();
    }
    if (mSelectedSpell >= 0 && mActiveEmitter)
        mActiveEmitter->update(sdt);
    if (mActiveButtonEmitter)
    {
        mActiveButtonEmitter->update(sdt);
        if (mActiveButtonEmitter->state() != kEmitterPlaying)
            mActiveButtonEmitter->setState(kEmitterPlaying);
    }
    trace("hud");
    mHud->update(dt);
    trace("tutorial");
    mTutorial->update(dt);
    trace("effects");
    tdUpdateEffects(mEffects, sdt);
    trace("emitters");
    for (size_t i = 0; i < mEmitters.size();)
    {
        if (mEmitters[i]->state() != kEmitterPlaying)
        {
            mEmitters.erase(mEmitters.begin() + static_cast<long>(i));
            continue;
        }
        mEmitters[i]->update(dt);
        ++i;
    }
    if (mScreen != kScreenBattle)
    {
        mContextMenu.reset();
        return;
    }

    trace("timers");
    updateEffectTimers(sdt);
    trace("drops");
    TDTowerSpecial::updateAll(mDrops, sdt * 1.5f);
    // Lying drops collect themselves after a while, unless a tutorial page asks the player to
    // click one.
    const bool clickAwaited = mTutorial->awaits(L"gem_collected");
    for (TDTowerSpecial* drop : mDrops)
        if (drop->mState == kDropLying && drop->mTime > 5.0f && !clickAwaited)
            collectDrop(drop);
    trace("animations");
    updateAnimations(sdt);
    trace("stats");
    mStats.update(dt);
    trace("particles");
    for (size_t i = 0; i < mParticles.size();)
    {
        if (!mParticles[i]->isAlive())
        {
            // A tower's beam is only known to the tower: it must not outlive the particle.
            for (TDTower* tower : mTowers)
                if (tower->mBeam == mParticles[i])
                    tower->mBeam = nullptr;
            mParticles.eraseAt(i);
            continue;
        }
        mParticles[i]->update(sdt);
        ++i;
    }
    trace("effects2");
    tdUpdateEffects(mEffects2, sdt);
    trace("indicators");
    mIndicators.update(sdt);
    trace("bonus");
    for (TDTower* tower : mTowers)
    {
        tower->resetBonus();
        tower->mBoosted = false;
    }
    trace("modifiers");
    for (size_t i = 0; i < mModifiers.size(); ++i)
        mModifiers[i]->update(nullptr, sdt);
    trace("towers");
    TDUpgradeContext context = upgradeContext();
    if (!mTowers.empty())
    {
        mUnitGrid.build(mWaves.mUnits);
        mTowerBlockers.clear();
        for (TDUnit* unit : mWaves.mUnits)
            if (const TDPrototype* kind = unit->proto())
                if (kind->blockTower || kind->debuffTower)
                    mTowerBlockers.push_back(unit);
        mBlockersValid = true;
    }
    for (size_t i = 0; i < mTowers.size(); ++i)
    {
        TDTower* tower = mTowers[i];
        if (const TDPrototype* current = tower->currentProto())
            tower->addUpgrades(context, *current, tower->mBonus);
        tower->update(sdt);
    }
    mUnitGrid.clear();
    mBlockersValid = false;
    trace("unitModifiers");
    mWaves.updateUnitModifiers(sdt);
    trace("units");
    for (size_t i = 0; i < mWaves.mUnits.size(); ++i)
        mWaves.mUnits[i]->update(sdt);
    trace("bullets");
    mBullets->update(sdt);
    trace("removeModifiers");
    mModifiers.deleteIf([](const TDModifier* m) { return !m->mActive; });
    trace("waves");
    mWaves.advance(*this, sdt);
    trace("penalties");
    for (TDUnit* unit : mWaves.mUnits)
        unit->mSpeedPenalty = 0.0f;
}

void TDMap::updateEffectTimers(float dt)
{
    for (TDEffectTimer* timer : mEffectTimers)
        timer->update(*this, dt);
}

void TDMap::updateAnimations(float dt)
{
    // Sprites added by an update are updated in the same pass.
    for (size_t i = 0; i < mAnimations.size(); ++i)
        mAnimations[i]->update(dt);
    mAnimations.deleteIf([](const TDSpriteEffect* s) { return !s->mAlive; });
}
