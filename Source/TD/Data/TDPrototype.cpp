// One tower, unit or ammunition kind read from the sheets, with its upgrade tiers.
#include "Source/TD/Data/TDPrototype.h"

#include "Source/TD/Data/TDText.h"

#include <tinyxml2.h>

namespace
{
void readInt(const tinyxml2::XMLElement* e, const char* key, i32& field)
{
    if (const char* text = e->Attribute(key))
        tdtext::parseInt(text, field);
}

void readFloat(const tinyxml2::XMLElement* e, const char* key, float& field)
{
    if (const char* text = e->Attribute(key))
        tdtext::parseFloat(text, field);
}

void readBool(const tinyxml2::XMLElement* e, const char* key, bool& field)
{
    if (const char* text = e->Attribute(key))
        tdtext::parseBool(text, field);
}

void readString(const tinyxml2::XMLElement* e, const char* key, std::string& field)
{
    if (const char* text = e->Attribute(key))
        field = text;
}
} // namespace

u32 tdParseHexColor(const std::string& text)
{
    u32 value = 0;
    for (char c : text)
    {
        u32 digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<u32>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<u32>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<u32>(c - 'A' + 10);
        value = (value << 4) + digit;
    }
    return value;
}

TDPrototype::TDPrototype(const tinyxml2::XMLElement* e, bool readTiers)
{
    if (!e)
        return;
    readInt(e, "parent", parent);
    readInt(e, "type", type);
    readInt(e, "id", id);
    readFloat(e, "strength", strength);
    readFloat(e, "cooldown", cooldown);
    readFloat(e, "health", health);
    readFloat(e, "speed", speed);
    readFloat(e, "r", radius);
    readString(e, "special", special);
    readString(e, "psd", psd);
    readString(e, "img", img);
    readBool(e, "haste_buff", hasteBuff);
    readBool(e, "fire_dmg_only", fireDamageOnly);
    readFloat(e, "explodeStr", explodeStrength);
    readFloat(e, "explodeRadius", explodeRadius);
    float debuff = 0.0f;
    readFloat(e, "debufftower", debuff);
    debuffTower = debuff != 0.0f;
    readBool(e, "poisonImmun", poisonImmune);
    readBool(e, "regen", regen);
    readBool(e, "raiseDead", raiseDead);
    readBool(e, "invisible", invisible);
    readBool(e, "invisibleArea", invisibleArea);
    readBool(e, "blocktower", blockTower);
    readBool(e, "healer", healer);
    readBool(e, "commander", commander);
    readBool(e, "summon", summon);
    readBool(e, "carrier", carrier);
    readBool(e, "straight", straight);
    readBool(e, "ice", ice);
    readBool(e, "stone", stone);
    readBool(e, "pierce", pierce);
    readBool(e, "splash", splash);
    readBool(e, "firesplash", fireSplash);
    readBool(e, "dot", dot);
    readBool(e, "aoe", aoe);
    readBool(e, "hold", hold);
    readBool(e, "stun", stun);
    readBool(e, "boostTower", boostTower);
    readBool(e, "showInvisible", showInvisible);
    // Only the integer 1 marks a flying unit; the word "true" does not.
    if (const char* text = e->Attribute("air"))
    {
        i32 value = 0;
        air = tdtext::parseInt(text, value) && value == 1;
    }
    readBool(e, "aimed", aimed);
    readBool(e, "rotating", rotating);
    readInt(e, "ammoid", ammoId);
    readInt(e, "tierUpdates", tierUpdates);
    readFloat(e, "tierK", tierK);
    readFloat(e, "cost", cost);
    readFloat(e, "tierCost", tierCost);
    readInt(e, "require", require);
    readInt(e, "levelid", levelId);
    readInt(e, "level", level);
    readFloat(e, "fps", fps);
    readFloat(e, "timeout", timeout);
    readBool(e, "teleportEnemy", teleportEnemy);
    readInt(e, "goldIncome", goldIncome);
    readInt(e, "stars", stars);
    readInt(e, "dropChance", dropChance);
    if (const char* text = e->Attribute("fillColor"))
        fillColor = tdParseHexColor(text);
    readString(e, "onFire", onFire);
    readString(e, "onAmmo", onAmmo);
    readString(e, "onHit", onHit);
    readString(e, "addons", addons);
    for (const std::string& word : tdtext::split(addons, '/', true))
        addonList.push_back(word);
    if (readTiers)
        for (const tinyxml2::XMLElement* child = e->FirstChildElement(); child; child = child->NextSiblingElement())
            tiers.push_back(std::make_unique<TDPrototype>(child, false));
}

TDTierList::TDTierList(const TDTierList& other) { *this = other; }

TDTierList& TDTierList::operator=(const TDTierList& other)
{
    if (this == &other)
        return *this;
    clear();
    for (const TDPrototype* tier : other.mItems)
        mItems.push_back(std::make_unique<TDPrototype>(*tier));
    return *this;
}

TDTierList::~TDTierList() { clear(); }

void TDTierList::clear() { mItems.clear(); }

const TDPrototype* TDPrototype::findTier(i32 wanted) const
{
    for (const TDPrototype* tier : tiers)
        if (tier->levelId == wanted)
            return tier;
    return nullptr;
}
