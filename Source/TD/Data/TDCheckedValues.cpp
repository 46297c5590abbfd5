// Range checks of the numbers a profile holds, logged once per load.
#include "Source/TD/Data/TDCheckedValues.h"

#include "Core/Base/Log.h"
#include "Source/TD/Data/TDProfileStore.h"
#include "Source/TD/Data/TDText.h"

#include <tinyxml2.h>

#include <cstdio>

bool TDCheckedValues::firstTime(const tinyxml2::XMLElement* e, const std::string& what)
{
    // Elements keep their address while the document is loaded; the store forgets the keys at
    // every load.
    char key[40];
    std::snprintf(key, sizeof(key), "%p.", static_cast<const void*>(e));
    return mStore.firstReport(key + what);
}

std::string TDCheckedValues::describe(const tinyxml2::XMLElement* e)
{
    std::string text = std::string("<") + e->Value();
    for (const char* name : {"name", "id", "episode", "n", "mode"})
        if (const char* value = e->Attribute(name))
            text += std::string(" ") + name + "=\"" + value + "\"";
    return text + ">";
}

i32 TDCheckedValues::integer(const tinyxml2::XMLElement* e, const char* name, i32 low, i32 high, i32 fallback)
{
    const char* text = e ? e->Attribute(name) : nullptr;
    i32 value = fallback;
    if (!text || !tdtext::parseInt(text, value))
        return fallback;
    if (value >= low && value <= high)
        return value;
    if (firstTime(e, std::string(name) + "=" + text))
        QL_LOG(L"Profile value %s=\"%s\" of %s is out of range; read as %d\n")
            << base::LogStyle::Error << name << text << describe(e) << fallback;
    return fallback;
}

float TDCheckedValues::fraction(const tinyxml2::XMLElement* e, const char* name, float low, float high, float fallback)
{
    const char* text = e ? e->Attribute(name) : nullptr;
    float value = fallback;
    if (!text || !tdtext::parseFloat(text, value))
        return fallback;
    if (value >= low && value <= high)
        return value;
    if (firstTime(e, std::string(name) + "=" + text))
        QL_LOG(L"Profile value %s=\"%s\" of %s is out of range; read as %s\n")
            << base::LogStyle::Error << name << text << describe(e) << tdtext::formatFixed(fallback);
    return fallback;
}

void TDCheckedValues::tellOnce(const tinyxml2::XMLElement* e, const char* what, const std::string& text)
{
    if (firstTime(e, what))
        QL_LOG(L"%s\n") << base::LogStyle::Error << text;
}
