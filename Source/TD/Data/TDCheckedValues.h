// Numbers read from a profile, each held to its range: a value outside it (a hand-edited or
// damaged profile) reads as a new profile's and is logged once per load of the profiles; the
// document keeps the value as it stands, so reading never changes the file.
#pragma once

#include "Core/Base/Types.h"

#include <string>

namespace tinyxml2
{
class XMLElement;
}

class TDProfileStore;

class TDCheckedValues
{
public:
    explicit TDCheckedValues(TDProfileStore& store) : mStore(store) {}

    // The attribute's integer when it lies in [low, high]; a missing attribute or one that holds
    // no number reads as the fallback without a word.
    i32 integer(const tinyxml2::XMLElement* e, const char* name, i32 low, i32 high, i32 fallback);
    // The same for a float; NaN is outside every range.
    float fraction(const tinyxml2::XMLElement* e, const char* name, float low, float high, float fallback);
    // Logs the text once per load for this element (an entry the game cannot use, say).
    void tellOnce(const tinyxml2::XMLElement* e, const char* what, const std::string& text);

    // "<level episode="0" n="1" mode="1">": the element with the attributes that name it.
    static std::string describe(const tinyxml2::XMLElement* e);

private:
    bool firstTime(const tinyxml2::XMLElement* e, const std::string& what);

    TDProfileStore& mStore;
};
