// One tower, unit or ammunition kind read from the sheets, with its upgrade tiers.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"

#include <memory>
#include <string>
#include <vector>

namespace tinyxml2
{
class XMLElement;
}

class TDGraphic; // the kind's sprite graphic, set by the sprite store
class TDPrototype;

// Owned tier prototypes; copies are deep.
class TDTierList
{
public:
    TDTierList() = default;
    TDTierList(const TDTierList& other);
    TDTierList& operator=(const TDTierList& other);
    ~TDTierList();

    void push_back(std::unique_ptr<TDPrototype> tier) { mItems.push_back(std::move(tier)); }
    size_t size() const { return mItems.size(); }
    bool empty() const { return mItems.empty(); }
    TDPrototype* operator[](size_t i) const { return mItems[i]; }
    base::OwnedList<TDPrototype>::iterator begin() const { return mItems.begin(); }
    base::OwnedList<TDPrototype>::iterator end() const { return mItems.end(); }
    void clear();

private:
    base::OwnedList<TDPrototype> mItems;
};

class TDPrototype
{
public:
    TDPrototype() = default;
    // With readTiers, every child element becomes a tier read without tiers of its own.
    TDPrototype(const tinyxml2::XMLElement* element, bool readTiers);

    // The tier with that "levelid", or null.
    const TDPrototype* findTier(i32 levelId) const;

    // -1 means "no parent": a base row with an empty "parent" cell must not look like a tier of id 0.
    i32 parent = -1;
    i32 type = 0;
    i32 id = 0;
    float strength = 0.0f;
    float cooldown = 0.0f;
    float health = 0.0f;
    float speed = 0.0f;
    float radius = 0.0f;
    std::string special;
    std::string psd; // the layered image of the graphic ("td/" + psd)
    std::string img; // the graphic's single picture ("td/" + img)
    bool hasteBuff = false;
    bool fireDamageOnly = false;
    float explodeStrength = 0.0f;
    float explodeRadius = 0.0f;
    bool debuffTower = false;
    bool poisonImmune = false;
    bool regen = false;
    bool raiseDead = false;
    bool invisible = false;
    bool invisibleArea = false;
    bool blockTower = false;
    bool healer = false;
    bool commander = false;
    bool summon = false;
    bool carrier = false;
    bool straight = false;
    bool ice = false;
    bool stone = false;
    bool pierce = false;
    bool splash = false;
    bool fireSplash = false;
    bool dot = false;
    bool aoe = false;
    bool hold = false;
    bool stun = false;
    bool boostTower = false;
    bool showInvisible = false;
    bool air = false;
    bool aimed = false;
    bool rotating = false;
    i32 ammoId = 0;
    i32 tierUpdates = 0;
    float tierK = 0.0f;
    float cost = 0.0f;
    float tierCost = 0.0f;
    i32 require = 0;
    i32 levelId = 0;
    i32 level = 0;
    float fps = 0.0f;
    float timeout = 0.0f;
    bool teleportEnemy = false;
    i32 goldIncome = 0;
    i32 stars = 0;
    i32 dropChance = 0;
    u32 fillColor = 0xFFFFFFFFu;
    std::string onFire;
    std::string onAmmo;
    std::string onHit;
    std::string addons;
    std::vector<std::string> addonList;
    TDTierList tiers;
    TDGraphic* graphic = nullptr; // not owned
};

// Hexadecimal colour text: each character shifts four bits in; non-digits add 0; empty gives 0.
u32 tdParseHexColor(const std::string& text);
