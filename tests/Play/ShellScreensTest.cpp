// The shell screens played through the whole game: the options dialog (its headings over what
// they name, its screen-mode pair after Alt+Enter, its shadow), keys typed through the headless
// window into the name input, zooming buttons, and the shop's way in and out.
#include "support/GameHarness.h"

#include "Core/Layer/MeshLayer.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Media/Image/ImageInfo.h"
#include "Core/Widget/Controls/ControlHost.h"
#include "Core/Widget/Controls/DialogAnimEffects.h"
#include "Core/Widget/Controls/GameSettings.h"
#include "Core/Widget/Controls/OptionsDialog.h"
#include "Core/Widget/Controls/TesselButton.h"
#include "Core/Widget/Controls/TesselSwitchButton.h"
#include "Platform/Os/Event.h"
#include "Platform/Os/NullVideo.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Shell/HUDUnlockMessage.h"

#include <gtest/gtest.h>

using testsupport::GameHarness;

namespace
{
// The text layer of the dialog showing the text, or null.
const layer::TextLayer* findText(const layer::Layer& root, const std::wstring& text)
{
    if (auto* t = dynamic_cast<const layer::TextLayer*>(&root); t && t->mText == text)
        return t;
    for (const layer::Layer* child : root.GetChildren())
        if (const layer::TextLayer* found = findText(*child, text))
            return found;
    return nullptr;
}

// The window's layout button grows under the pointer and shrinks back once it leaves.
bool zooms(GameHarness& game, HUDWindow& window, const std::wstring& name)
{
    float x = 0.0f, y = 0.0f;
    const TDButtonFrame* button = window.findButton(name);
    if (!button || !window.buttonCentre(name, x, y))
        return false;
    game.moveTo(x, y);
    game.run(10);
    const float grown = button->mScale;
    game.moveTo(2.0f, 2.0f);
    game.run(10);
    return grown > 1.09f && button->mScale == 1.0f;
}

void pushText(GameHarness& game, const std::string& text)
{
    os::Event event;
    event.type = os::EventType::Text;
    event.text = text;
    game.window().Push(event);
}
} // namespace

TEST(ShellScreens, TheOptionsHeadingsStandOverWhatTheyNameTheModePairFollowsAltEnterAndTheShadowTheDialog)
{
    GameHarness game;
    ASSERT_TRUE(game.started()) << game.log();
    ASSERT_TRUE(game.reachMainMenu());
    ASSERT_TRUE(game.click(L"options"));
    OptionsDialog* dialog = nullptr;
    ASSERT_TRUE(game.runUntil([&] { return (dialog = game.dialog<OptionsDialog>()) != nullptr; }, 1.0f));
    // Its show animation draws the panel's shadow beneath it: the mesh "shadow" (16 vertices, 18
    // triangles) of the demo's mesh library, in every frame from the first, in either screen mode.
    const auto shadowDraws = [&game]
    {
        size_t n = 0;
        for (const std::string& call : game.deviceCalls("DrawIndexed"))
            n += call.find(" 54 ") != std::string::npos && call.ends_with(" 16");
        return n;
    };
    const size_t shadowsBefore = shadowDraws();
    ASSERT_TRUE(game.frame());
    auto* effects = dynamic_cast<widget::DialogAnimEffects*>(dialog->GetEffects());
    ASSERT_NE(nullptr, effects);
    ASSERT_NE(nullptr, effects->GetMeshLayer());
    EXPECT_EQ(effects->GetMeshLayer(), dialog->GetLayer()->GetChildren().front());
    EXPECT_EQ(shadowsBefore + 1, shadowDraws());
    // Each heading fits its box, which stands right above what it names.
    const std::pair<const wchar_t*, const wchar_t*> headings[] = {
        {L"main_options/sounds_and_music", L"main_options/sound/sound_back"},
        {L"main_options/game_type", L"main_options/music/music_back"},
        {L"main_options/window_type", L"main_options/window/window_nonselected"}};
    const std::wstring keys[] = {L"options_OptionsSounds", L"options_OptionsGameType", L"options_OptionsWindowType"};
    for (size_t i = 0; i < 3; ++i)
    {
        const base::ImageInfo* box = dialog->FindLayoutLayer(headings[i].first);
        const base::ImageInfo* below = dialog->FindLayoutLayer(headings[i].second);
        ASSERT_TRUE(box && below);
        const std::wstring text = gui::Localize(keys[i]);
        const layer::TextLayer* shown = findText(*dialog->GetLayer(), text);
        ASSERT_NE(nullptr, shown) << "heading " << i;
        float width = 0.0f, height = 0.0f;
        {
            auto measure = shown->mFont->MeasureText(&text);
            measure->mOutWidth = &width;
            measure->mOutHeight = &height;
        }
        EXPECT_LE(width, static_cast<float>(box->mWidth)) << "heading " << i;
        EXPECT_LE(height, static_cast<float>(box->mHeight) + 4.0f) << "heading " << i;
        EXPECT_LE(box->mY + box->mHeight, below->mY) << "heading " << i;
        EXPECT_LE(below->mY - (box->mY + box->mHeight), 12) << "heading " << i << " stands right above";
    }
    EXPECT_NE(std::wstring::npos, gui::Localize(L"options_OptionsSounds").find(L"ound"));
    EXPECT_NE(std::wstring::npos, gui::Localize(L"options_OptionsGameType").find(L"usic"));

    gui::ControlHost& host = *gui::ControlHost::Get();
    const bool windowed = host.IsWindowed();
    EXPECT_EQ(windowed, dialog->mWindowSwitch->IsOn());

    // Alt+Enter through the window while the dialog is open.
    game.pushAltEnter();
    ASSERT_TRUE(game.run(2));
    ASSERT_NE(windowed, host.IsWindowed()) << "Alt+Enter switched the mode";
    const size_t shadowsSwitched = shadowDraws();
    ASSERT_TRUE(game.frame());
    EXPECT_EQ(shadowsSwitched + 1, shadowDraws()) << "still drawn after the switch";
    EXPECT_EQ(!windowed, dialog->mWindowSwitch->IsOn()) << "the pair shows the mode it is in now";
    EXPECT_EQ(windowed, dialog->mFullScreenSwitch->IsOn());

    // The switch of the current mode, even when it looked otherwise, leaves the mode alone.
    TesselSwitchButton* current = windowed ? dialog->mFullScreenSwitch : dialog->mWindowSwitch;
    current->SetOn(false);
    EXPECT_EQ(QL_OK, dialog->OnClick(current));
    EXPECT_NE(windowed, host.IsWindowed());
    EXPECT_TRUE(current->IsOn());

    // Closed (its hide effect plays first), it takes its shadow along.
    (void)dialog->OnClick(dialog->mOkButton);
    ASSERT_TRUE(game.runUntil([&] { return game.dialog<OptionsDialog>() == nullptr; }, 3.0f));
    const size_t shadowsClosed = shadowDraws();
    ASSERT_TRUE(game.frame());
    EXPECT_EQ(shadowsClosed, shadowDraws()) << "gone with the dialog";
}

TEST(ShellScreens, EveryKeyTypedWithinOneFrameReachesTheNameInput)
{
    GameHarness game;
    ASSERT_TRUE(game.started()) << game.log();
    ASSERT_TRUE(game.reachMainMenu());
    ASSERT_TRUE(game.click(L"play"));
    ASSERT_TRUE(game.runUntil([&] { return game.top<HUDModalInput>() != nullptr; }, 1.0f));
    HUDModalInput& input = *game.top<HUDModalInput>();
    const size_t offered = input.mText.size();
    ASSERT_GT(offered, 0u);
    // Everything below arrives between two frames, as fast typing does.
    for (size_t i = 0; i < offered; ++i)
        game.pushKey(HUDModalInput::kBackspace);
    pushText(game, "Annabel");
    for (int i = 0; i < 3; ++i)
        game.pushKey(HUDModalInput::kBackspace);
    ASSERT_TRUE(game.frame());
    EXPECT_EQ(L"Anna", input.mText) << "no key-down lost between frames";
    // A key down across a frame, released and pressed again before the next one: a new press.
    os::Event key;
    key.key = HUDModalInput::kBackspace;
    for (os::EventType type :
         {os::EventType::KeyDown, os::EventType::KeyUp, os::EventType::KeyDown, os::EventType::KeyUp})
    {
        key.type = type;
        game.window().Push(key);
        if (type == os::EventType::KeyDown && input.mText == L"Anna")
        {
            ASSERT_TRUE(game.frame());
        }
    }
    ASSERT_TRUE(game.frame());
    EXPECT_EQ(L"An", input.mText) << "the second press was taken for auto-repeat";
    pushText(game, "na");

    game.pushKey(HUDModalInput::kEnter);
    ASSERT_TRUE(game.frame());
    EXPECT_EQ(L"Anna", game.map().mProgress->currentName()) << "Enter confirms as ok does";
    EXPECT_TRUE(game.runUntil([&] { return game.top<HUDEpisodeSelectIOS>() != nullptr; }, 1.0f));
}

TEST(ShellScreens, TheButtonsOfTheEpisodesTheArrivalsAndTheResultZoomUnderThePointer)
{
    GameHarness game;
    HUDEpisodeSelectIOS* episodes = game.reachEpisodeSelect();
    ASSERT_NE(nullptr, episodes);
    EXPECT_TRUE(zooms(game, *episodes, L"play"));
    ASSERT_TRUE(game.click(L"play"));
    HUDLevelSelect* levels = nullptr;
    ASSERT_TRUE(game.runUntil([&] { return (levels = game.top<HUDLevelSelect>()) != nullptr; }, 2.0f));
    const LevelPlate& first = levels->mPlates.at(0);
    game.click(static_cast<float>(first.x + first.width / 2), static_cast<float>(first.y + first.height / 2));
    auto* arrivals = game.top<HUDUnlockMessage>();
    ASSERT_NE(nullptr, arrivals);
    EXPECT_TRUE(zooms(game, *arrivals, L"ok"));
    ASSERT_TRUE(game.closeUnlockMessages());
    game.map().showVictory();
    HUDLevelResultWindow* result = nullptr;
    ASSERT_TRUE(game.runUntil([&] { return (result = game.top<HUDLevelResultWindow>()) != nullptr; }, 1.0f));
    EXPECT_TRUE(zooms(game, *result, L"done"));
}

TEST(ShellScreens, TheMainMenusShopAsksANewPlayerForANameFirstThenLeadsBackToTheMenu)
{
    GameHarness game;
    ASSERT_TRUE(game.started()) << game.log();
    ASSERT_TRUE(game.reachMainMenu());
    ASSERT_TRUE(game.map().mProgress->currentName().empty()) << "a new player";
    auto nameInput = [&] { return game.runUntil([&] { return game.top<HUDModalInput>() != nullptr; }, 1.0f); };
    auto onMenu = [&] { return game.runUntil([&] { return game.top<HUDMainMenu>() != nullptr; }, 2.0f); };
    auto inShop = [&] { return game.runUntil([&] { return game.top<HUDShopWindow>() != nullptr; }, 2.0f); };

    // Without a name the shop asks for one over the menu; cancel leaves the menu as it was.
    ASSERT_TRUE(game.click(L"shop"));
    ASSERT_TRUE(nameInput());
    EXPECT_EQ(kScreenProfileCreate, game.screen());
    EXPECT_EQ(kAfterInputShop, game.map().mAfterProfileInput);
    EXPECT_NE(nullptr, game.find<HUDMainMenu>()) << "the menu stays beneath";
    ASSERT_TRUE(game.click(L"cancel"));
    ASSERT_TRUE(onMenu());
    EXPECT_EQ(kScreenMainMenu, game.screen());
    EXPECT_TRUE(game.map().mProgress->currentName().empty());

    // A name taken, the shop opens in place of the menu, and its back button returns there.
    ASSERT_TRUE(game.click(L"shop"));
    ASSERT_TRUE(nameInput());
    HUDModalInput& input = *game.top<HUDModalInput>();
    for (size_t i = input.mText.size(); i > 0; --i)
        game.pushKey(HUDModalInput::kBackspace);
    pushText(game, "Tamsin");
    ASSERT_TRUE(game.frame());
    ASSERT_TRUE(game.click(L"ok"));
    ASSERT_TRUE(inShop());
    EXPECT_EQ(kScreenShop, game.screen());
    EXPECT_EQ(L"Tamsin", game.map().mProgress->currentName());
    EXPECT_EQ(nullptr, game.find<HUDMainMenu>()) << "the menu gave way to the shop";
    EXPECT_EQ(1u, game.windows().size());
    ASSERT_TRUE(game.click(L"back_ac"));
    ASSERT_TRUE(onMenu());
    EXPECT_EQ(kScreenMainMenu, game.screen());

    // A named player goes straight in, and back.
    ASSERT_TRUE(game.click(L"shop"));
    ASSERT_TRUE(inShop());
    EXPECT_EQ(kShopReturnMainMenu, game.map().mShopReturnTarget);
    ASSERT_TRUE(game.click(L"back_ac"));
    ASSERT_TRUE(onMenu());
    EXPECT_NE(std::string::npos, game.profilesFile().find("name=\"Tamsin\""));
}
