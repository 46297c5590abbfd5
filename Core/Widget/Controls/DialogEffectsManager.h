// The dialog-effect definitions: data sets made by the creator registered for their type, and
// the assignment of a set to each dialog name. Makes the effects of a dialog when it starts.
#pragma once

#include "Core/Base/Singletone.h"
#include "Core/Base/Types.h"
#include "Core/Widget/Controls/DialogEffectsData.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace widget
{
class DialogEffectsManager : public base::Singletone<DialogEffectsManager>
{
public:
    // Registers the animation type "Anim".
    DialogEffectsManager();
    ~DialogEffectsManager() override;
    // The preloaded animations go back to the resource manager first.
    std::vector<base::SingletoneBase*> GetDependencies() override;

    // Reads a "DialogEffects" element: 0, or 1 for a malformed one (what was read stays).
    QLResultEnum Load(const tinyxml2::XMLElement* element);
    // Out null and 0 for a dialog without an assignment; 1 when its set does not exist.
    QLResultEnum CreateEffects(Dialog* dialog, DialogEffects** out);
    // Replaces any creator of the type; the manager owns it.
    void RegisterCreator(const std::string& type, std::unique_ptr<DialogEffectsDataCreatorBase> creator);
    // Forgets every data set and assignment (the creators stay).
    void Clear();

    bool HasSet(const std::string& name) const { return mSets.count(name) != 0; }
    // The set assigned to a dialog name; empty when none.
    std::string GetAssignment(const std::string& dialog) const;

private:
    std::map<std::string, std::unique_ptr<DialogEffectsDataCreatorBase>> mCreators;
    std::map<std::string, std::unique_ptr<DialogEffectsData>> mSets;
    std::map<std::string, std::string> mDialogs;
};
} // namespace widget
