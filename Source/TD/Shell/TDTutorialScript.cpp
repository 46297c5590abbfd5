// Reading the tutorial script, and the step and command rules over the battle and its profile.
#include "Source/TD/Shell/TDTutorialScript.h"

#include "Core/Base/Log.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDText.h"

#include <tinyxml2.h>

namespace
{
using tinyxml2::XMLElement;

i32 intAttribute(const XMLElement* e, const char* name)
{
    i32 value = 0;
    if (const char* text = e->Attribute(name))
        if (!tdtext::parseInt(text, value))
            value = 0;
    return value;
}

// The attribute as a wide string; false when it is absent.
bool textAttribute(const XMLElement* e, const char* name, std::wstring& out)
{
    const char* text = e->Attribute(name);
    if (!text)
        return false;
    out = tdtext::utf8ToWide(text);
    return true;
}

// The "cmd" children; false (with the missing attribute's name) when one has no "param".
bool readCommands(const XMLElement* list, std::vector<TDTutorialCommand>& out, const char*& missing)
{
    for (const XMLElement* cmd = list->FirstChildElement("cmd"); cmd; cmd = cmd->NextSiblingElement("cmd"))
    {
        TDTutorialCommand command;
        if (!textAttribute(cmd, "param", command.name))
        {
            missing = "cmd/@param";
            return false;
        }
        command.value = intAttribute(cmd, "value");
        out.push_back(std::move(command));
    }
    return true;
}

// One step; false with the name of what it lacks.
bool readStep(const XMLElement* e, const TDTutorialScript::Localise& localise, TDTutorialStep& step,
              const char*& missing)
{
    step.id = intAttribute(e, "id");
    const XMLElement* condition = e->FirstChildElement("condition");
    const XMLElement* show = e->FirstChildElement("show");
    if (!textAttribute(e, "activate", step.activate))
        missing = "activate";
    else if (!textAttribute(e, "complete", step.complete))
        missing = "complete";
    else if (!condition)
        missing = "condition";
    else if (!show)
        missing = "show";
    else if (!textAttribute(show, "folder", step.folder))
        missing = "show/@folder";
    if (missing)
        return false;
    step.shop = intAttribute(condition, "shop");
    step.level = intAttribute(condition, "level");
    step.episode = intAttribute(condition, "episode");
    if (const XMLElement* cmds = e->FirstChildElement("cmds"))
        if (!readCommands(cmds, step.cmds, missing))
            return false;
    if (const XMLElement* cmds = e->FirstChildElement("onComplete"))
        if (!readCommands(cmds, step.onComplete, missing))
            return false;
    for (const XMLElement* text = show->FirstChildElement("text"); text; text = text->NextSiblingElement("text"))
    {
        std::wstring place, key;
        if (!textAttribute(text, "place", place))
            missing = "text/@place";
        else if (!textAttribute(text, "string", key))
            missing = "text/@string";
        if (missing)
            return false;
        step.texts[place] = localise(key); // a later text of the same place wins
    }
    return true;
}
} // namespace

bool TDTutorialStep::conditionHolds(const TDMap& map) const
{
    return shop != -1 || (map.mEpisode == episode && map.mLevel == level);
}

bool TDTutorialScript::parse(const std::string& text, const Localise& localise)
{
    steps.clear();
    tinyxml2::XMLDocument document;
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS)
    {
        QL_LOG(L"Tutorial script is not well-formed XML (line %d): the tutorial has no steps\n")
            << base::LogStyle::Error << document.ErrorLineNum();
        return false;
    }
    const XMLElement* root = document.RootElement();
    if (!root || std::string(root->Name()) != "tutorial")
    {
        QL_LOG(L"Tutorial script has no 'tutorial' root: the tutorial has no steps\n") << base::LogStyle::Error;
        return false;
    }
    for (const XMLElement* e = root->FirstChildElement("step"); e; e = e->NextSiblingElement("step"))
    {
        TDTutorialStep step;
        const char* missing = nullptr;
        if (readStep(e, localise, step, missing))
            steps.push_back(std::move(step));
        else
            QL_LOG(L"Tutorial step %d (line %d) lacks '%s': step left out\n")
                << base::LogStyle::Error << step.id << e->GetLineNum() << tdtext::utf8ToWide(missing);
    }
    return true;
}

bool TDTutorialScript::load()
{
    const std::string text = TDFileSource::current().readFile(L"td/tutorial.xml");
    if (text.empty())
    {
        steps.clear();
        QL_LOG(L"Tutorial script 'td/tutorial.xml' missing: the tutorial has no steps\n");
        return false;
    }
    return parse(text, [](const std::wstring& key) { return LocalStrings::Instance()->get(key); });
}

void TDTutorialScript::loadStates(TDMap& map)
{
    for (TDTutorialStep& step : steps)
        step.state = map.mProgress->getTutorialStepState(step.id);
}

void TDTutorialScript::onEvent(const std::wstring& event, TDMap& map, Pages& pages)
{
    // Indexes, not iterators: nothing here adds steps, but commands may touch any step's state.
    for (size_t i = 0; i < steps.size(); ++i)
    {
        TDTutorialStep& step = steps[i];
        // Re-read, so that "completeStep" of an earlier step in this pass counts at once.
        step.state = map.mProgress->getTutorialStepState(step.id);
        if (step.state == kStepWaiting && event == step.activate && step.conditionHolds(map))
        {
            step.state = kStepActive;
            map.mProgress->setTutorialStepState(step.id, kStepActive);
            runCommands(step.cmds, map);
            pages.showStep(step);
        }
        else if (step.state == kStepActive && event == step.complete && step.conditionHolds(map))
        {
            step.state = kStepComplete;
            map.mProgress->setTutorialStepState(step.id, kStepComplete);
            runCommands(step.onComplete, map);
            pages.clearShownLayers();
        }
    }
}

void TDTutorialScript::runCommands(const std::vector<TDTutorialCommand>& commands, TDMap& map)
{
    for (const TDTutorialCommand& command : commands)
    {
        const std::wstring& name = command.name;
        const i32 value = command.value;
        if (name == L"pause")
        {
            if (value == 0)
                map.mSpeed = 1.0f;
            else if (value == 1)
                map.mSpeed = 0.0f;
            if (value == 0 || value == 1)
                map.mTutorialPaused = value == 1;
            map.updateControlButtons();
        }
        else if (name == L"dropChanceOverride")
        {
            map.mProgress->setTutorialParam("dropChanceOverride", value);
            map.mDropChanceOverride = static_cast<float>(value);
        }
        else if (name == L"blockShop")
            map.mHud->setShopBlock(value);
        else if (name == L"blockUI")
            map.mHud->setUiBlock(value);
        else if (name == L"addGems")
            map.mStats.addGems(value);
        else if (name == L"addMoney")
            map.mStats.addCoins(value);
        else if (name == L"spot")
            map.mTutorialSpot = value;
        else if (name == L"resetSpell")
            map.mHud->resetSpellButtons();
        else if (name == L"completeStep")
            map.mProgress->setTutorialStepState(value, kStepComplete);
        else
            QL_LOG(L"Tutorial command '%s' is unknown: ignored\n") << name;
    }
}

void TDTutorialScript::resetIncompleteSteps(TDMap& map)
{
    TDProgress& progress = *map.mProgress;
    auto complete = [&](i32 id) { return progress.getTutorialStepState(id) == kStepComplete; };
    // Each write saves the profiles file: only the steps that move are written.
    auto wait = [&](i32 id)
    {
        if (progress.getTutorialStepState(id) != kStepWaiting)
            progress.setTutorialStepState(id, kStepWaiting);
    };
    if (!complete(1))
    {
        wait(0);
        wait(1);
    }
    if (!complete(2))
        wait(2);
    if (!complete(4))
    {
        wait(4);
        wait(3);
    }
    if (!complete(51))
    {
        if (!complete(5))
            wait(5);
        wait(51);
    }
    for (i32 id : {6, 7, 8})
        if (!complete(id))
            wait(id);
    releaseHolds(map);
}

void TDTutorialScript::releaseHolds(TDMap& map)
{
    map.mDropChanceOverride = 0.0f;
    map.mHud->setShopBlock(0);
    map.mHud->setUiBlock(0);
    map.mTutorialSpot = -1;
}

void TDTutorialScript::cancel(TDMap& map)
{
    map.mTutorialActive = false;
    // Its pause goes with its other holds: a skipped page leaves no frozen battle.
    if (map.mTutorialPaused)
    {
        map.mTutorialPaused = false;
        map.mSpeed = 1.0f;
        map.updateControlButtons();
    }
    releaseHolds(map);
    map.mProgress->setTutorialParam("dropChanceOverride", 0);
    map.mProgress->setTutorialAvailable(false);
}
