// Name/value properties of points, spots and upgrade steps: "<p name=... value=.../>" children.
#pragma once

#include <map>
#include <string>

namespace tinyxml2
{
class XMLElement;
}

class TDPropertyBag
{
public:
    TDPropertyBag() = default;
    // Every child element of element is one property; a later name replaces an earlier one.
    explicit TDPropertyBag(const tinyxml2::XMLElement* element);

    // A missing name is inserted with 0.
    float getFloat(const std::string& name);
    // A missing name is inserted with an empty text.
    std::string getString(const std::string& name);
    // Lookups that never insert.
    bool has(const std::string& name) const { return mFloats.count(name) != 0; }
    float peekFloat(const std::string& name, float fallback = 0.0f) const;
    void set(const std::string& name, float value);

    const std::map<std::string, float>& floats() const { return mFloats; }
    const std::map<std::string, std::string>& texts() const { return mTexts; }

private:
    std::map<std::string, float> mFloats;
    std::map<std::string, std::string> mTexts;
};
