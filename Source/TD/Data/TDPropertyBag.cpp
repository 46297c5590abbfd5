// Name/value properties of points, spots and upgrade steps.
#include "Source/TD/Data/TDPropertyBag.h"

#include "Source/TD/Data/TDText.h"

#include <tinyxml2.h>

TDPropertyBag::TDPropertyBag(const tinyxml2::XMLElement* element)
{
    if (!element)
        return;
    for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const char* name = child->Attribute("name");
        float value = 0.0f;
        if (const char* text = child->Attribute("value"))
            tdtext::parseFloat(text, value);
        set(name ? name : "", value);
    }
}

void TDPropertyBag::set(const std::string& name, float value)
{
    mFloats[name] = value;
    mTexts[name] = tdtext::formatFixed(value);
}

float TDPropertyBag::getFloat(const std::string& name) { return mFloats[name]; }

std::string TDPropertyBag::getString(const std::string& name) { return mTexts[name]; }

float TDPropertyBag::peekFloat(const std::string& name, float fallback) const
{
    auto found = mFloats.find(name);
    return found == mFloats.end() ? fallback : found->second;
}
