// The tutorial script over a battle and its profile: reading (and leaving out broken steps),
// how events move steps, what each command does, and the restart rules.
#include "BattleFixture.h"

#include "Source/TD/Shell/TDTutorialScript.h"

namespace
{
struct PageRecorder : TDTutorialScript::Pages
{
    std::vector<std::wstring> shown;
    int cleared = 0;
    void showStep(const TDTutorialStep& step) override { shown.push_back(step.folder); }
    void clearShownLayers() override { ++cleared; }
};

struct BlockingHud : tdtest::ResultHud
{
    i32 ui = 0, shop = 0, resets = 0;
    void setUiBlock(i32 v) override { ui = v; }
    void setShopBlock(i32 v) override { shop = v; }
    void resetSpellButtons() override { ++resets; }
};

std::wstring Key(const std::wstring& key) { return L"<" + key + L">"; }

std::string Step(int id, const char* activate, const char* complete, const char* condition = "", const char* rest = "")
{
    char text[512];
    std::snprintf(text, sizeof(text),
                  R"(<step id="%d" activate="%s" complete="%s"><condition %s/><show folder="p%d"/>%s</step>)", id,
                  activate, complete, condition, id, rest);
    return text;
}

struct TutorialScript : tdtest::MapFixture
{
    BlockingHud blocking;
    PageRecorder pages;
    TDTutorialScript script;
    TDMap* battle = nullptr;

    void SetUp() override
    {
        MapFixture::SetUp();
        TDBattleServices bare;
        bare.hud = &blocking;
        map = std::make_unique<TDMap>(bare, profiles);
        battle = map.get();
    }
    void Load(const std::string& steps) { ASSERT_TRUE(script.parse("<tutorial>" + steps + "</tutorial>", Key)); }
    void Event(const wchar_t* name) { script.onEvent(name, *battle, pages); }
    TDTutorialStepState State(i32 id) { return battle->mProgress->getTutorialStepState(id); }
};
} // namespace

TEST_F(TutorialScript, ReadsStepsAndLeavesOutThoseMissingWhatTheyNeed)
{
    Load(
        Step(
            4, "a", "b", R"(shop="-1" level="2" episode="1")",
            R"(<cmds><cmd param="pause" value="1"/><cmd param="spot"/></cmds><onComplete><cmd param="blockUI" value="2"/></onComplete>)") +
        R"(<step id="5" activate="a" complete="b"><show folder="f"/></step>)" +  // no condition
        R"(<step id="6" activate="a"><condition/><show folder="f"/></step>)" +   // no complete
        R"(<step id="7" activate="a" complete="b"><condition/><show/></step>)" + // no folder
        R"(<step id="8" activate="a" complete="b"><condition/><show folder="f"><text place="t"/></show></step>)" +
        R"(<step id="9" activate="a" complete="b"><condition/><show folder="f"/><cmds><cmd value="1"/></cmds></step>)" +
        R"(<step activate="a" complete="b"><condition/><show folder="g"><text place="t" string="one"/><text place="t" string="two"/></show></step>)");
    ASSERT_EQ(2u, script.steps.size());
    const TDTutorialStep& first = script.steps[0];
    EXPECT_EQ(4, first.id);
    ASSERT_EQ(2u, first.cmds.size());
    EXPECT_EQ(0, first.cmds[1].value) << "an absent value reads 0";
    EXPECT_EQ(L"blockUI", first.onComplete.at(0).name);
    const TDTutorialStep& last = script.steps[1];
    EXPECT_EQ(0, last.id);
    EXPECT_EQ(L"<two>", last.texts.at(L"t")) << "a later text of the same place wins";

    EXPECT_FALSE(script.parse("<tutorial><step", Key));
    EXPECT_TRUE(script.steps.empty());
    EXPECT_FALSE(script.parse("<other/>", Key));
}

TEST_F(TutorialScript, OneEventMovesAStepOnceAndConditionsBindLevels)
{
    Load(Step(0, "go", "go") + Step(1, "go", "end", R"(shop="-1" episode="1" level="2")"));
    Event(L"go");
    EXPECT_EQ(kStepActive, State(0)) << "equal activate and complete: activated only";
    EXPECT_EQ(kStepWaiting, State(1)) << "bound to another level";
    EXPECT_EQ(std::vector<std::wstring>{L"p0"}, pages.shown);
    Event(L"go");
    EXPECT_EQ(kStepComplete, State(0)) << "the next such event completes";
    EXPECT_EQ(1, pages.cleared);
    battle->mEpisode = 1;
    battle->mLevel = 2;
    Event(L"go");
    EXPECT_EQ(kStepActive, State(1));
    Event(L"end");
    EXPECT_EQ(kStepComplete, State(1));
    Event(L"go");
    EXPECT_EQ(kStepComplete, State(0)) << "a complete step stays complete";

    // A later step completed by an earlier one's command counts in the same pass, unseen.
    Load(Step(5, "run", "x", "", R"(<cmds><cmd param="completeStep" value="6"/></cmds>)") + Step(6, "run", "x"));
    Event(L"run");
    EXPECT_EQ(std::pair(State(5), State(6)), (std::pair(kStepActive, kStepComplete)));
    EXPECT_EQ(L"p5", pages.shown.back());
}

TEST_F(TutorialScript, CommandsActOnTheBattleAndTheProfileAndARestartSendsBackWhatWasNotFinished)
{
    battle->mSpeed = 2.0f;
    TDTutorialScript::runCommands({{L"pause", 5}}, *battle);
    EXPECT_EQ(2.0f, battle->mSpeed) << "other values leave the speed";
    TDTutorialScript::runCommands({{L"pause", 1}}, *battle);
    EXPECT_EQ(0.0f, battle->mSpeed);
    const i32 coins = battle->mStats.mCoins, gems = battle->mStats.mGems;
    TDTutorialScript::runCommands({{L"pause", 0},
                                   {L"dropChanceOverride", 1},
                                   {L"blockShop", 4},
                                   {L"blockUI", 3},
                                   {L"addGems", 7},
                                   {L"addMoney", 50},
                                   {L"spot", 2},
                                   {L"resetSpell", 0},
                                   {L"completeStep", 12},
                                   {L"unknown", 1}},
                                  *battle);
    EXPECT_EQ(1.0f, battle->mSpeed);
    EXPECT_EQ(1.0f, battle->mDropChanceOverride);
    EXPECT_EQ(1, battle->mProgress->getTutorialParam("dropChanceOverride"));
    EXPECT_EQ(std::pair(blocking.shop, blocking.ui), std::pair(4, 3));
    EXPECT_EQ(gems + 7, battle->mStats.mGems);
    EXPECT_EQ(coins + 50, battle->mStats.mCoins);
    EXPECT_EQ(2, battle->mTutorialSpot);
    EXPECT_EQ(1, blocking.resets);
    EXPECT_EQ(kStepComplete, State(12));

    TDTutorialScript::cancel(*battle);
    EXPECT_FALSE(battle->mProgress->isTutorialAvailable());
    EXPECT_FALSE(battle->mTutorialActive);
    EXPECT_EQ(0, battle->mProgress->getTutorialParam("dropChanceOverride"));
    EXPECT_EQ(0, blocking.shop + blocking.ui);
    EXPECT_EQ(-1, battle->mTutorialSpot);

    // A restart sends back what was not finished.
    TDProgress& progress = *battle->mProgress;
    // Step 1 open: 0 and 1 wait again; 4 open takes 3 with it; 5 complete stays without 51.
    const TDTutorialStepState W = kStepWaiting, A = kStepActive, C = kStepComplete;
    for (auto [id, state] : std::vector<std::pair<i32, TDTutorialStepState>>{
             {0, C}, {1, A}, {2, C}, {3, C}, {4, A}, {5, C}, {51, A}, {6, A}, {7, C}, {8, A}, {9, A}})
        progress.setTutorialStepState(id, state);
    battle->mTutorialSpot = 3;
    battle->mDropChanceOverride = 1.0f;
    TDTutorialScript::resetIncompleteSteps(*battle);
    std::map<i32, TDTutorialStepState> expected{{0, W},  {1, W}, {2, C}, {3, W}, {4, W}, {5, C},
                                                {51, W}, {6, W}, {7, C}, {8, W}, {9, A}};
    for (auto [id, state] : expected)
        EXPECT_EQ(state, State(id)) << "step " << id;
    EXPECT_EQ(-1, battle->mTutorialSpot);
    EXPECT_EQ(0.0f, battle->mDropChanceOverride);

    // With step 1 finished, 0 keeps what it had; 51 finished keeps an open 5 as it is.
    progress.setTutorialStepState(0, kStepActive);
    progress.setTutorialStepState(1, kStepComplete);
    progress.setTutorialStepState(5, kStepActive);
    progress.setTutorialStepState(51, kStepComplete);
    TDTutorialScript::resetIncompleteSteps(*battle);
    EXPECT_EQ(std::pair(State(0), State(5)), (std::pair(kStepActive, kStepActive)));
}
