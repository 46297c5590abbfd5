// One wave of a level.
#include "Source/TD/TDWaveProto.h"

#include "Source/TD/TDOwnedList.h"
#include "Source/TD/TDText.h"

#include <tinyxml2.h>

TDWaveProto::~TDWaveProto() { tdDeleteAll(mEntries); }

void TDWaveProto::loadFromXML(const tinyxml2::XMLElement* element)
{
    if (!element)
        return;
    element->QueryIntAttribute("timeout", &mTimeout);
    element->QueryIntAttribute("spawn", &mSpawn);
    element->QueryIntAttribute("wipeAward", &mWipeAward);
    element->QueryFloatAttribute("scale", &mScale);
    if (mScale == 0.0f)
        mScale = 1.0f;
    // A "linked" that is present but no integer reads 0.
    if (const char* linked = element->Attribute("linked"))
        mLinked = tdtext::leadingInt(linked);
    for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        mEntries.push_back(new TDWaveEntry(child, this));
    mSpawned = 0;
}

bool TDWaveProto::isFinished() const
{
    for (const TDWaveEntry* entry : mEntries)
        if (entry->mState != 2 && entry->mState != 3)
            return false;
    return true;
}
