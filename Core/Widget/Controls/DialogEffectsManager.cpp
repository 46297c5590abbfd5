// Reading the dialog-effect definitions and creating a dialog's effects.
#include "Core/Widget/Controls/DialogEffectsManager.h"

#include "Core/Base/Log.h"
#include "Core/Resource/ResourceManager.h"
#include "Core/Widget/Controls/Dialog.h"
#include "Core/Widget/Controls/DialogAnimEffects.h"

#include <tinyxml2.h>

#include <utility>

namespace widget
{
DialogEffectsManager::DialogEffectsManager() { RegisterAnimCreator(*this); }

DialogEffectsManager::~DialogEffectsManager() = default;

std::vector<base::SingletoneBase*> DialogEffectsManager::GetDependencies()
{
    return {resource::ResourceManager::Instance()};
}

void DialogEffectsManager::RegisterCreator(const std::string& type,
                                           std::unique_ptr<DialogEffectsDataCreatorBase> creator)
{
    mCreators[type] = std::move(creator);
}

void DialogEffectsManager::Clear()
{
    mSets.clear();
    mDialogs.clear();
}

std::string DialogEffectsManager::GetAssignment(const std::string& dialog) const
{
    auto it = mDialogs.find(dialog);
    return it == mDialogs.end() ? std::string() : it->second;
}

QLResultEnum DialogEffectsManager::Load(const tinyxml2::XMLElement* element)
{
    if (!element)
        return QL_FAIL;
    if (const tinyxml2::XMLElement* data = element->FirstChildElement("Data"))
    {
        for (const tinyxml2::XMLElement* set = data->FirstChildElement(); set; set = set->NextSiblingElement())
        {
            auto creator = mCreators.find(set->Name());
            if (creator == mCreators.end())
            {
                QL_LOG(L"Dialog effects: unknown type '%s'\n") << base::LogStyle::Error << set->Name();
                return QL_FAIL;
            }
            const char* name = set->Attribute("name");
            if (!name)
            {
                QL_LOG(L"Dialog effects: a '%s' set without a name\n") << base::LogStyle::Error << set->Name();
                return QL_FAIL;
            }
            std::unique_ptr<DialogEffectsData> object = creator->second->Create();
            if (QLResultEnum r = object->ReadXml(set))
            {
                QL_LOG(L"Dialog effects: set '%s' cannot be read\n") << base::LogStyle::Error << name;
                return r;
            }
            if (!mSets.emplace(name, std::move(object)).second)
            {
                QL_LOG(L"Dialog effects: set '%s' given twice\n") << base::LogStyle::Error << name;
                return QL_FAIL;
            }
        }
    }
    if (const tinyxml2::XMLElement* dialogs = element->FirstChildElement("Dialogs"))
    {
        for (const tinyxml2::XMLElement* entry = dialogs->FirstChildElement(); entry;
             entry = entry->NextSiblingElement())
        {
            const char* effects = entry->Attribute("effects");
            if (!effects)
            {
                QL_LOG(L"Dialog effects: dialog '%s' names no effects\n") << base::LogStyle::Error << entry->Name();
                return QL_FAIL;
            }
            if (!mDialogs.emplace(entry->Name(), effects).second)
            {
                QL_LOG(L"Dialog effects: dialog '%s' given twice\n") << base::LogStyle::Error << entry->Name();
                return QL_FAIL;
            }
        }
    }
    return QL_OK;
}

QLResultEnum DialogEffectsManager::CreateEffects(Dialog* dialog, DialogEffects** out)
{
    if (!dialog || !out)
        return QL_FAIL;
    auto assigned = mDialogs.find(dialog->mEffectsName);
    if (assigned == mDialogs.end())
    {
        *out = nullptr;
        return QL_OK;
    }
    auto set = mSets.find(assigned->second);
    if (set == mSets.end())
        return QL_FAIL;
    return set->second->CreateEffects(dialog, out);
}
} // namespace widget
