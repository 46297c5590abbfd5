// The battle objects' life: building towers, casting spells, drops, effects, the end of a
// level and clearing it all.
#include "Source/TD/Battle/TDMap.h"

#include "Core/Base/Log.h"

#include "Core/Base/OwnedList.h"
#include "Source/TD/Battle/TDLevelResultKeeper.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Units/TDBullet.h"
#include "Source/TD/Units/TDBulletList.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDEffectTimer.h"
#include "Source/TD/Units/TDModifier.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDSpriteEffect.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <algorithm>

TDEffectHolder* TDMap::startEffect(base::OwnedList<TDEffectHolder>& list, const std::wstring& name, float x, float y,
                                   bool loop)
{
    std::unique_ptr<TDEmitter> emitter = mParticleSystem->createEmitter(name);
    if (!emitter)
        return nullptr;
    emitter->setLoopMode(loop ? 1 : 0);
    emitter->setPosition(x, y);
    emitter->setState(kEmitterPlaying);
    auto holder = std::make_unique<TDEffectHolder>(std::move(emitter));
    TDEffectHolder* started = holder.get();
    list.push_back(std::move(holder));
    return started;
}

bool TDMap::hasEffect(const base::OwnedList<TDEffectHolder>& list, const TDEffectHolder* effect) const
{
    return list.contains(effect);
}

TDIndicator* TDMap::addIndicator(float x, float y, TDIndicatorKind kind, const std::wstring& text)
{
    TDIndicator* indicator = mIndicators.add(x, y, kind);
    indicator->mText = text;
    // Upgrade texts bought in quick succession, or while paused, would stand on one another.
    if (kind == kIndicatorText)
        mIndicators.stackAbove(*indicator);
    return indicator;
}

void TDMap::addSprite(TDSpriteEffect* sprite)
{
    if (sprite)
        mAnimations.push_back(sprite);
}

void TDMap::removeSprite(TDSpriteEffect* sprite) { mAnimations.remove(sprite); }

void TDMap::sortTowers() { mTowers.stableSort(TDTower::isBoostFirst); }

void TDMap::clearBattle()
{
    mHovered = nullptr;
    mSelectedSpell = -1;
    mContextMenu.reset();
    // Modifiers first: a tower boost lets go of its effects and clears the towers' flags as it
    // goes. Bullets and units before the towers they point at.
    mModifiers.clear();
    if (mBullets)
        mBullets->clear();
    mWaves.clearUnits();
    mTowers.clear();
    mDrops.clear();
    mAnimations.clear();
    mEffectTimers.clear();
    mEffects.clear();
    mEffects2.clear();
    mParticles.clear();
    mEmitters.clear();
    mIndicators.clear();
    mNextWave.clear();
}

float TDMap::buildPrice(const TDPrototype& kind)
{
    TDPrototype upgraded = kind;
    mUpgrades.applyToPrototype(upgradeContext(), upgraded);
    return upgraded.cost;
}

TDTower* TDMap::buildTower(i32 spotIndex, i32 protoId)
{
    if (!mScenery || spotIndex < 0 || static_cast<size_t>(spotIndex) >= mScenery->spotFrames.size())
        return nullptr;
    TDSpotFrame& frame = mScenery->spotFrames[static_cast<size_t>(spotIndex)];
    const TDPrototype* kind = findPrototype(protoId);
    if (!kind || frame.hasTower || !frame.spot || !frame.spot->open)
        return nullptr;
    const float price = buildPrice(*kind);
    // Compared as floats: 50.5 is more than 50 coins.
    if (!(price <= static_cast<float>(mStats.mCoins)))
        return nullptr;
    mStats.spendCoins(tdtext::truncToInt(price));
    TDTower* tower = placeTower(spotIndex, protoId);
    playSound(L"buildTower");
    if (std::unique_ptr<TDEmitter> emitter = mParticleSystem->createEmitter(L"build"))
    {
        emitter->setPosition(tower->mX, tower->mY);
        emitter->setState(kEmitterPlaying);
        mEmitters.push_back(std::move(emitter));
    }
    return tower;
}

TDTower* TDMap::buildPrebuiltTower(i32 spotIndex, i32 protoId)
{
    const TDPrototype* kind = findPrototype(protoId);
    if (!kind)
        return nullptr;
    // The price the build charges (the bought cost upgrades in) is credited, then paid by the
    // player's own build path; a refused build takes the credit back, so a level can never hand
    // out coins.
    const i32 credit = tdtext::truncToInt(buildPrice(*kind));
    mStats.addCoins(credit);
    TDTower* tower = buildTower(spotIndex, protoId);
    if (!tower)
    {
        QL_LOG(L"Level '%s': the tower %d on spot %d could not be built\n")
            << base::LogStyle::Error << mLevelFile << static_cast<int>(protoId) << static_cast<int>(spotIndex);
        mStats.mCoins -= credit;
        if (mStats.hud)
            mStats.hud->updateCoins();
    }
    return tower;
}

TDTower* TDMap::placeTower(i32 spotIndex, i32 protoId)
{
    if (!mScenery || spotIndex < 0 || static_cast<size_t>(spotIndex) >= mScenery->spotFrames.size() ||
        !findPrototype(protoId))
        return nullptr;
    TDSpotFrame& frame = mScenery->spotFrames[static_cast<size_t>(spotIndex)];
    if (frame.hasTower)
        return nullptr;
    auto built = std::make_unique<TDTower>(*this);
    TDTower* tower = built.get();
    tower->mSpot = &frame;
    tower->mX = tower->mBaseX = static_cast<float>(frame.x) + static_cast<float>(frame.width) * 0.5f;
    tower->mY = tower->mBaseY = static_cast<float>(frame.y) + static_cast<float>(frame.height) * 0.5f;
    mTowers.push_back(std::move(built));
    tower->init(protoId);
    frame.hasTower = true;
    return tower;
}

bool TDMap::isOnNextWaveButton(float bx, float by) const
{
    for (const TDWaveHint::Button& b : mNextWave.buttons)
    {
        float x = static_cast<float>(b.x), y = static_cast<float>(b.y);
        if (x < bx && bx < x + static_cast<float>(b.width) && y < by && by < y + static_cast<float>(b.height))
            return true;
    }
    return false;
}

void TDMap::forceNextWave(float x, float y)
{
    postEvent(L"wave_forced");
    playSound(L"simple");
    i32 bonus = tdtext::truncToInt((mNextWave.firstSpawnTime - mWaves.mClock) * 2.0f);
    mStats.addCoins(bonus);
    mWaves.skipTo(mNextWave.firstSpawnTime - mNextWave.lead);
    addIndicator(x, y, kIndicatorGold, L"+" + std::to_wstring(bonus));
    mNextWave.clear();
}

void TDMap::removeTower(TDTower* tower)
{
    // Out of the list now, deleted last: everything that knows it lets go first.
    std::unique_ptr<TDTower> removed = mTowers.release(tower);
    if (!removed)
        return;
    if (mContextMenu && mContextMenu->tower == tower)
        mContextMenu.reset();
    mBullets->forgetTower(tower);
    for (TDUnit* unit : mWaves.mUnits)
        unit->removeModifiersOf(tower);
    if (tower->mBeam)
        tower->mBeam->finish();
    removeSprite(tower->mDisabledSprite);
    removeSprite(tower->mDebuffSprite);
    if (tower->mSpot)
        tower->mSpot->hasTower = false;
}

bool TDMap::castSpell(i32 spellId, float x, float y)
{
    const TDSpellProto* spell = mSpells.findById(spellId);
    if (!spell || !findPrototype(spell->protoId))
        return false;
    auto made = std::make_unique<TDSpell>(*this, spell->protoId);
    TDSpell* cast = made.get();
    cast->mX = x;
    cast->mY = y;
    mBullets->add(std::move(made));
    cast->cast();
    return true;
}

TDTowerSpecial* TDMap::findDropAt(i32 x, i32 y) const
{
    for (TDTowerSpecial* drop : mDrops)
    {
        if (drop->mState != kDropLying)
            continue;
        float dx = drop->mX - static_cast<float>(x), dy = drop->mY - static_cast<float>(y);
        if (dx * dx + dy * dy < 1200.0f)
            return drop;
    }
    return nullptr;
}

void TDMap::collectDrop(TDTowerSpecial* drop)
{
    mStats.addGems(1);
    drop->setState(kDropCollected);
}

namespace
{
void finishLevel(TDMap& map, bool won)
{
    // One result per battle: a defeat and the last wave's end in the same frame give one.
    if (map.mScreen == kScreenWon || map.mScreen == kScreenLost)
        return;
    map.mSpeed = 0.0f;
    map.updateControlButtons();
    map.mResultAction = won ? kResultActionNextLevel : kResultActionRestart;
    i32 lying = 0;
    for (const TDTowerSpecial* drop : map.mDrops)
        if (drop->mState != kDropCollected)
            ++lying;
    // Each gem left on the field is worth one.
    map.mStats.mGems += lying;
    map.mStats.mGemsWon += lying;
    map.mHud->updateCrystals();
    map.mProgress->setGems(map.mStats.mGems);
    map.mDrops.clear();
    map.mScreen = won ? kScreenWon : kScreenLost;
    map.mSounds->playMusic(L"");
    map.playSound(won ? L"winSound" : L"loseSound");
    // Stored here, once; the result window shows the outcome.
    map.mLevelOutcome = tdKeepLevelResult(map);
    map.mHud->showLevelResult();
    tdFillLevelResultTexts(map);
}
} // namespace

void TDMap::showVictory() { finishLevel(*this, true); }

void TDMap::showDefeat() { finishLevel(*this, false); }

i32 TDMap::resultStars() const
{
    if (mScreen != kScreenWon || !(mMaxHealth > 0.0f))
        return 0;
    float r = mHealth / mMaxHealth;
    if (r == 1.0f)
        return 3;
    if (r >= 0.5f)
        return 2;
    return r > 0.0f ? 1 : 0;
}
