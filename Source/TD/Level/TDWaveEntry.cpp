// One entry of a wave.
#include "Source/TD/Level/TDWaveEntry.h"

#include "Source/TD/Data/TDText.h"

#include <tinyxml2.h>

TDWaveEntry::TDWaveEntry(const tinyxml2::XMLElement* element, TDWaveProto* wave) : mWave(wave)
{
    if (!element)
        return;
    element->QueryIntAttribute("id", &mId);
    element->QueryIntAttribute("upgrade", &mUpgrade);
    element->QueryFloatAttribute("x", &mX);
    element->QueryFloatAttribute("y", &mY);
}

i32 TDWaveEntry::sideOffset() const { return tdSideOffset(mY); }

i32 tdSideOffset(float y)
{
    float d = ((-y) - 65.0f) / 65.0f * 20.0f;
    return tdtext::truncToInt(d);
}
