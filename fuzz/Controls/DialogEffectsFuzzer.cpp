// Fuzzes the reading of the "DialogEffects" definitions (the element under "Game" of
// "data/game.xml", or a bare one). "preload" attributes are dropped first, so no input makes
// the reader open files.
#include "Core/Widget/Controls/DialogEffectsManager.h"

#include <tinyxml2.h>

#include <cstddef>
#include <cstdint>

namespace
{
void DropPreload(tinyxml2::XMLElement* element)
{
    for (; element; element = element->NextSiblingElement())
    {
        element->DeleteAttribute("preload");
        DropPreload(element->FirstChildElement());
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tinyxml2::XMLDocument document;
    if (document.Parse(reinterpret_cast<const char*>(data), size) != tinyxml2::XML_SUCCESS)
        return 0;
    DropPreload(document.RootElement());
    tinyxml2::XMLElement* root = document.RootElement();
    tinyxml2::XMLElement* effects =
        root && root->FirstChildElement("DialogEffects") ? root->FirstChildElement("DialogEffects") : root;
    widget::DialogEffectsManager* manager = widget::DialogEffectsManager::Instance();
    (void)manager->Load(effects);
    manager->Clear();
    return 0;
}
