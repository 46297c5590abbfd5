// The bullets and spells in flight.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"

#include <memory>
#include <vector>

class TDBullet;
class TDBattleWorld;
class TDTower;
class TDUnit;

class TDBulletList
{
public:
    explicit TDBulletList(TDBattleWorld& map);
    ~TDBulletList();
    TDBulletList(const TDBulletList&) = delete;
    TDBulletList& operator=(const TDBulletList&) = delete;

    // Takes the bullet; starts its "onFire" effect and its own "onAmmo" emitter.
    void add(std::unique_ptr<TDBullet> bullet);
    void add(TDBullet* bullet);
    // Every bullet, including those added during the pass; then the dead ones go, releasing
    // towers that held their last frame for them.
    void update(float dt);
    void forgetUnit(const TDUnit* unit);
    // Deletes the tower's bullets and lets every unit modifier forget it.
    void forgetTower(const TDTower* tower);
    bool hasBulletOf(const TDTower* tower) const;
    void clear();

    base::OwnedList<TDBullet> items;

private:
    TDBattleWorld& mMap;
};
