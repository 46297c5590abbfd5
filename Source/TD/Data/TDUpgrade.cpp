// One permanent upgrade of the shop.
#include "Source/TD/Data/TDUpgrade.h"

#include "Source/TD/Data/TDText.h"

#include <tinyxml2.h>

TDUpgrade::TDUpgrade(const tinyxml2::XMLElement* e)
{
    if (!e)
        return;
    e->QueryIntAttribute("id", &id);
    e->QueryIntAttribute("section", &section);
    if (const char* text = e->Attribute("icon"))
        icon = tdtext::utf8ToWide(text);
    if (const tinyxml2::XMLElement* unlock = e->FirstChildElement("unlock"))
    {
        unlock->QueryIntAttribute("episode", &unlockEpisode);
        unlock->QueryIntAttribute("level", &unlockLevel);
    }
    if (const tinyxml2::XMLElement* list = e->FirstChildElement("targets"))
        for (const tinyxml2::XMLElement* t = list->FirstChildElement(); t; t = t->NextSiblingElement())
        {
            i32 target = 0;
            t->QueryIntAttribute("id", &target);
            targetIds.push_back(target);
        }
    if (const tinyxml2::XMLElement* list = e->FirstChildElement("steps"))
        for (const tinyxml2::XMLElement* s = list->FirstChildElement(); s; s = s->NextSiblingElement())
        {
            auto step = std::make_unique<TDUpgradeStep>();
            s->QueryIntAttribute("cost_g", &step->costGold);
            s->QueryIntAttribute("cost_r", &step->costReal);
            if (const tinyxml2::XMLElement* attributes = s->FirstChildElement("attributes"))
                step->attributes = std::make_unique<TDPropertyBag>(attributes);
            steps.push_back(std::move(step));
        }
}

const TDUpgradeStep* TDUpgrade::getStep(i32 index) const
{
    if (index < 0 || static_cast<size_t>(index) >= steps.size())
        return nullptr;
    return steps[static_cast<size_t>(index)].get();
}

bool TDUpgrade::isGlobal() const { return !targetIds.empty() && targetIds.front() == -1; }

bool TDUpgrade::targets(i32 prototypeId) const
{
    for (i32 target : targetIds)
        if (target == prototypeId)
            return true;
    return false;
}
