// A road between two points.
#include "Source/TD/Level/TDLink.h"

#include <tinyxml2.h>

TDLink::TDLink(const tinyxml2::XMLElement* element, float coordScale)
{
    if (!element)
        return;
    element->QueryFloatAttribute("anchor_x", &anchorX);
    element->QueryFloatAttribute("anchor_y", &anchorY);
    element->QueryIntAttribute("sid", &sid);
    element->QueryIntAttribute("eid", &eid);
    anchorX *= coordScale;
    anchorY *= coordScale;
}
