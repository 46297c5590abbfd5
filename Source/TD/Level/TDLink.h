// A road between two points: the quadratic curve from "sid" through the anchor to "eid".
#pragma once

#include "Core/Base/Types.h"

namespace tinyxml2
{
class XMLElement;
}

class TDLink
{
public:
    TDLink() = default;
    TDLink(i32 sid, i32 eid, float anchorX, float anchorY) : sid(sid), eid(eid), anchorX(anchorX), anchorY(anchorY) {}
    TDLink(const tinyxml2::XMLElement* element, float coordScale);

    bool joins(i32 a, i32 b) const { return (sid == a && eid == b) || (sid == b && eid == a); }

    i32 sid = 0;
    i32 eid = 0;
    float anchorX = 0.0f;
    float anchorY = 0.0f;
};
