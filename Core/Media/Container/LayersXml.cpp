// Reading "layers.xml".
#include "Core/Media/Container/LayersXml.h"

#include "Core/Base/StringConvert.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace file
{
namespace
{
// Absent, non-numeric and beyond-32-bit values give the fallback.
i32 IntAttribute(const tinyxml2::XMLElement* element, const char* name, i32 fallback)
{
    int64_t value = fallback;
    if (element->QueryInt64Attribute(name, &value) != tinyxml2::XML_SUCCESS)
        return fallback;
    if (value < std::numeric_limits<i32>::min() || value > std::numeric_limits<i32>::max())
        return fallback;
    return static_cast<i32>(value);
}

float FloatAttribute(const tinyxml2::XMLElement* element, const char* name)
{
    float value = 0.0f;
    element->QueryFloatAttribute(name, &value);
    return value;
}
} // namespace

QLResultEnum ParseLayersXml(const char* text, size_t size, std::vector<LayersXmlEntry>& out, std::string& error)
{
    tinyxml2::XMLDocument document;
    if (document.Parse(text, size) != tinyxml2::XML_SUCCESS)
    {
        error = document.ErrorStr() ? document.ErrorStr() : "not XML";
        return QL_FAIL;
    }
    const tinyxml2::XMLElement* root = document.RootElement();
    const tinyxml2::XMLElement* layers = nullptr;
    if (root)
        layers = std::string(root->Name()) == "Layers" ? root : root->FirstChildElement("Layers");
    if (!layers)
    {
        error = "no \"Layers\" element";
        return QL_FAIL;
    }
    u32 place = 0;
    for (const tinyxml2::XMLElement* layer = layers->FirstChildElement("Layer"); layer;
         layer = layer->NextSiblingElement("Layer"), ++place)
    {
        const char* name = layer->Attribute("name");
        if (!name)
            break;
        LayersXmlEntry entry;
        entry.mName = base::Utf8ToWide(name);
        entry.mX = IntAttribute(layer, "x", 0);
        entry.mY = IntAttribute(layer, "y", 0);
        entry.mWidth = IntAttribute(layer, "width", 0);
        entry.mHeight = IntAttribute(layer, "height", 0);
        entry.mOpacity = static_cast<u32>(std::clamp(IntAttribute(layer, "opacity", 255), 0, 255));
        entry.mIndex = static_cast<u32>(std::max(IntAttribute(layer, "ind", static_cast<i32>(place)), 0));
        if (const char* atlas = layer->Attribute("atlas"))
        {
            entry.mInAtlas = true;
            entry.mAtlas = base::Utf8ToWide(atlas);
            entry.mU1 = FloatAttribute(layer, "tu1");
            entry.mV1 = FloatAttribute(layer, "tv1");
            entry.mU2 = FloatAttribute(layer, "tu2");
            entry.mV2 = FloatAttribute(layer, "tv2");
        }
        out.push_back(std::move(entry));
    }
    return QL_OK;
}
} // namespace file
