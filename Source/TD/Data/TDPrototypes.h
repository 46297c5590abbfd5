// The prototype store: every top-level tower, unit and ammunition kind (units, towers, ammo).
#pragma once

#include "Source/TD/Data/TDPrototype.h"

#include <vector>

namespace tinyxml2
{
class XMLElement;
}

class TDPrototypes
{
public:
    TDPrototypes() = default;
    explicit TDPrototypes(const tinyxml2::XMLElement* data) { load(data); }
    ~TDPrototypes() { clear(); }
    TDPrototypes(const TDPrototypes&) = delete;
    TDPrototypes& operator=(const TDPrototypes&) = delete;

    // Appends the prototypes of the sections "units", "towers" and "ammo" of data.
    void load(const tinyxml2::XMLElement* data);
    void clear();

    // The top-level prototype with that id, or null (tiers are not searched).
    TDPrototype* findById(i32 id) const;
    // Changes whenever the prototypes are replaced: battle objects that cached a prototype
    // look it up again by id. Unique over all stores of the process.
    u32 generation() const { return mGeneration; }

    base::OwnedList<TDPrototype> all;

private:
    void bumpGeneration();
    u32 mGeneration = 0;
};

// Reads the three prototype sheets into one in-memory document and loads the store from it.
void tdLoadPrototypeSheets(TDPrototypes& store, const std::string& towers, const std::string& units,
                           const std::string& ammo);
