// A build spot of the level.
#include "Source/TD/Level/TDBuildSpot.h"

#include "Source/TD/Data/TDText.h"

#include <tinyxml2.h>

TDBuildSpot::TDBuildSpot(const tinyxml2::XMLElement* element) : properties(element)
{
    costGold = tdtext::truncToInt(properties.getFloat("cost_gold"));
    costReal = tdtext::truncToInt(properties.getFloat("cost_real"));
    type = tdtext::truncToInt(properties.getFloat("type"));
    if (element)
    {
        element->QueryFloatAttribute("x", &x);
        element->QueryFloatAttribute("y", &y);
    }
    open = costGold == 0 && costReal == 0;
}
