// A point of the level's road network.
#include "Source/TD/Level/TDPoint.h"

#include <tinyxml2.h>

TDPoint::TDPoint(const tinyxml2::XMLElement* element, float coordScale) : properties(element)
{
    if (!element)
        return;
    element->QueryFloatAttribute("x", &x);
    element->QueryFloatAttribute("y", &y);
    element->QueryIntAttribute("id", &id);
    x *= coordScale;
    y *= coordScale;
}
