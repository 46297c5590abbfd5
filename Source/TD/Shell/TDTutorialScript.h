// The scripted tutorial's steps: "td/tutorial.xml" read into steps, and the rules by which the
// game's events move them and their commands act on the battle. Pages are left to a listener.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDTutorialStepState.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class TDMap;

struct TDTutorialCommand
{
    std::wstring name; // "param"
    i32 value = 0;
};

struct TDTutorialStep
{
    i32 id = 0;
    TDTutorialStepState state = kStepWaiting; // cached, re-read per event
    std::wstring activate;
    std::wstring complete;
    i32 level = 0, episode = 0, shop = 0;
    std::vector<TDTutorialCommand> cmds;        // run on activation
    std::vector<TDTutorialCommand> onComplete;  // run on completion
    std::wstring folder;                        // the page inside "td/data/tutorial"
    std::map<std::wstring, std::wstring> texts; // placeholder name -> localised text

    // shop="-1" binds the step to its episode and level (indexes from 0); else it holds anywhere.
    bool conditionHolds(const TDMap& map) const;
};

class TDTutorialScript
{
public:
    // What the tutorial shows: a step's page, or none.
    class Pages
    {
    public:
        virtual ~Pages() = default;
        virtual void showStep(const TDTutorialStep& step) = 0;
        virtual void clearShownLayers() = 0;
    };
    using Localise = std::function<std::wstring(const std::wstring& key)>;

    // Reads the script; false (and no steps) when it does not parse. A step that lacks a required
    // element or attribute is logged and left out.
    bool parse(const std::string& text, const Localise& localise);
    // "td/tutorial.xml" through the current file source, texts from the localised strings.
    bool load();

    // Offers the event to every step in script order; each step moves at most one state.
    void onEvent(const std::wstring& event, TDMap& map, Pages& pages);
    // Every step's cached state from the profile.
    void loadStates(TDMap& map);
    static void runCommands(const std::vector<TDTutorialCommand>& commands, TDMap& map);
    // Level start and restart: the listed steps that were not finished wait again, and the
    // battle's restrictions are lifted.
    static void resetIncompleteSteps(TDMap& map);
    // The player skipped the tutorial: it stays off for the profile and nothing is restricted.
    static void cancel(TDMap& map);
    // Lifts what the steps hold on the battle and the HUD: the drop chance, the shop and UI
    // blocks and the pointed spot.
    static void releaseHolds(TDMap& map);

    std::vector<TDTutorialStep> steps;
};
