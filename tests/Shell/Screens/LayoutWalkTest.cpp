// Every layout the game opens, walked through the running game: each one loads, every layer the
// code asks of it exists, every text a screen sets has its area and fits it, and every layout
// folder of the demo data is opened on the way (a new screen's layout is covered without a list).
#include "support/GameHarness.h"

#include "Core/File/Container.h"
#include "Core/Media/Container/PsdFile.h"
#include "Core/Media/Container/PsdFolder.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Widget/Controls/OptionsDialog.h"
#include "Core/Widget/Controls/TesselButton.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDButtonOver.h"
#include "Source/TD/Shell/HUDButtonWindow.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDIngameMenu.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDProfiles.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Shell/TDScreenDraw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

using testsupport::GameHarness;

namespace
{
std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

// What the game asked of each layout it opened.
struct Asked
{
    u32 images = 0;
    std::set<std::wstring> missing;
};
std::map<std::wstring, Asked> gAsked;

// The real containers, noting every name looked up that they do not hold.
template <class Base> class Recording : public Base
{
public:
    Recording(const std::wstring& path, file::FileContainer* owner) : Base(path, owner)
    {
        gAsked[key()].images = Base::GetImageCount();
    }
    const base::ImageInfo* FindImage(const std::wstring& name) override
    {
        const base::ImageInfo* info = Base::FindImage(name);
        if (!info)
            gAsked[key()].missing.insert(name);
        return info;
    }
    file::ImageFileInfo* FindFile(const std::wstring& name, const std::wstring* extensions, u32 count,
                                  u32* index) override
    {
        // A layer without a picture of its own is a placeholder (a text's place): it exists.
        file::ImageFileInfo* info = Base::FindFile(name, extensions, count, index);
        if (!info && !Base::FindImage(name))
            gAsked[key()].missing.insert(name);
        return info;
    }

private:
    std::wstring key() const
    {
        std::wstring path = this->GetPath();
        const size_t dot = path.rfind(L".psd");
        return dot == std::wstring::npos ? path : path.substr(0, dot);
    }
};

template <class Base> file::ImageContainer* Make(const std::wstring& path, file::FileContainer* owner)
{
    return new Recording<Base>(path, owner);
}

// The over-buttons a screen keeps of its own.
std::vector<const HUDButtonOver*> overButtons(const HUDWindow& window)
{
    std::vector<const HUDButtonOver*> out;
    auto add = [&out](const base::OwnedList<HUDButtonOver>& list)
    {
        for (const HUDButtonOver* button : list)
            out.push_back(button);
    };
    if (auto* menu = dynamic_cast<const HUDMainMenu*>(&window))
        add(menu->mMenuButtons.mButtons);
    if (auto* menu = dynamic_cast<const HUDIngameMenu*>(&window))
        add(menu->mMenuButtons);
    if (auto* small = dynamic_cast<const HUDButtonWindow*>(&window))
        add(small->mOwnButtons.mButtons);
    return out;
}

class LayoutWalk
{
public:
    explicit LayoutWalk(GameHarness& game) : mGame(game) {}

    // Frames, each followed by a look at every screen on the stack.
    void run(int frames)
    {
        for (int i = 0; i < frames; ++i)
        {
            ASSERT_TRUE(mGame.frame());
            look();
        }
    }
    template <class T> T* until(float seconds)
    {
        T* found = nullptr;
        mGame.runUntil(
            [&]
            {
                look();
                return (found = mGame.top<T>()) != nullptr;
            },
            seconds);
        return found;
    }
    void click(const wchar_t* button)
    {
        ASSERT_TRUE(mGame.click(button)) << Narrow(button);
        look();
    }

    // The text at the scale it is drawn at, wrapped as drawn, inside its box (a line may stand
    // out of a low box by its descent, 0.3 of the line).
    void fits(const std::string& where, render::Font* font, const std::wstring& text, float boxWidth, float boxHeight,
              float scale)
    {
        if (!font || text.empty())
            return;
        float width = 0.0f, height = 0.0f;
        {
            auto measure = font->MeasureText(&text);
            measure->mFormat.mWrapWidth = boxWidth / scale;
            measure->mOutWidth = &width;
            measure->mOutHeight = &height;
        }
        float lineWidth = 0.0f, line = 0.0f;
        {
            const std::wstring sample = L"Ag";
            auto measure = font->MeasureText(&sample);
            measure->mOutWidth = &lineWidth;
            measure->mOutHeight = &line;
        }
        if (scale < 0.5f || width * scale > boxWidth + 1.0f || height * scale > boxHeight + line * 0.3f * scale)
            mFaults.insert(where + " does not fit: " + Narrow(text));
    }

    // Every text a screen shows has its area and fits it as drawn; every caption of a button
    // keeps clear of the button's rim.
    void look()
    {
        for (HUDWindow* window : mGame.windows())
        {
            for (const auto& [name, text] : window->mTexts)
            {
                if (text.empty())
                    continue;
                const std::string where = typeid(*window).name() + std::string(": ") + Narrow(name);
                const auto area = window->mTextAreas.find(name);
                if (area == window->mTextAreas.end())
                {
                    mFaults.insert(where + " has no area");
                    continue;
                }
                fits(where, window->textFont(name), text, area->second->mWidth, area->second->mHeight,
                     window->textScale(name));
            }
            for (const HUDButtonOver* button : overButtons(*window))
                captionClear(typeid(*window).name(), *button);
            if (auto* shop = dynamic_cast<HUDShopWindow*>(window))
                lookAtPlates(*shop);
        }
    }

    // The plates' names and step texts in their boxes.
    void lookAtPlates(HUDShopWindow& shop)
    {
        GameWindow& board = mGame.board();
        render::Font* nameFont = board.fontByName(L"main_42_3");
        render::Font* lineFont = board.fontByName(L"main_32_2");
        for (const auto& plate : shop.plates)
        {
            const float w = HUDShopWindow::kPlateTextWidth;
            fits("shop plate name", nameFont, plate->nameText, w, HUDShopWindow::kPlateNameHeight,
                 tdscreen::fitScale(nameFont, plate->nameText, w, HUDShopWindow::kPlateNameHeight));
            fits("shop plate text", lineFont, plate->descriptionText, w, HUDShopWindow::kPlateLineHeight,
                 tdscreen::fitScale(lineFont, plate->descriptionText, w, HUDShopWindow::kPlateLineHeight));
        }
    }

    // A caption drawn at its fitted scale leaves a margin to the rim of its button.
    void captionClear(const std::string& where, const HUDButtonOver& button)
    {
        if (!button.mHasLabel || button.mLabel.empty() || !button.mFont)
            return;
        render::Font* font = button.mFont.Get();
        math::Box box;
        {
            auto measure = font->MeasureText(&button.mLabel);
            measure->mOutBounds = &box;
        }
        const float fit = const_cast<HUDButtonOver&>(button).labelFit(font);
        const float margin = std::min(6.0f, button.mLabelRect[3] * 0.1f);
        if ((box.maxX - box.minX) * fit > button.mLabelRect[2] - 2.0f * margin ||
            (box.maxY - box.minY) * fit > button.mLabelRect[3] - 2.0f * margin)
            mFaults.insert(where + ": caption touches its button: " + Narrow(button.mLabel));
    }

    GameHarness& mGame;
    std::set<std::string> mFaults;
};
} // namespace

TEST(LayoutWalk, EveryLayoutTheGameOpensHoldsWhatItsScreensAskAndTheirTextsFit)
{
    gAsked.clear();
    GameHarness::Options options;
    options.tutorial = true; // its pages and skip button have layouts of their own
    options.afterConfig = []
    { file::FileContainer::SetImageContainerMakers(Make<file::PsdFolder>, Make<file::PsdFile>); };
    GameHarness game(options);
    ASSERT_TRUE(game.started()) << game.log();
    LayoutWalk walk(game);

    // The menus: options, the profiles with their name input, then the way to the episodes.
    ASSERT_TRUE(game.reachMainMenu());
    walk.click(L"options");
    walk.run(5);
    OptionsDialog* dialog = game.dialog<OptionsDialog>();
    ASSERT_NE(nullptr, dialog);
    (void)dialog->OnClick(dialog->mOkButton);
    // The dialog plays its hide effect before it lets go of the pointer.
    ASSERT_TRUE(game.runUntil([&] { return game.dialog<OptionsDialog>() == nullptr; }, 3.0f));
    ASSERT_NE(nullptr, game.top<HUDMainMenu>());
    walk.click(L"profile");
    ASSERT_NE(nullptr, walk.until<HUDProfiles>(2.0f));
    walk.click(L"create");
    ASSERT_NE(nullptr, walk.until<HUDModalInput>(2.0f));
    // The longest name there may be, in the widest letter: the greeting carries it.
    game.type(std::wstring(HUDModalInput::kMaxLength, L'W'));
    game.pushKey(HUDModalInput::kEnter);
    walk.run(3);
    ASSERT_NE(nullptr, walk.until<HUDProfiles>(2.0f));
    walk.click(L"back");
    ASSERT_NE(nullptr, walk.until<HUDMainMenu>(2.0f));

    // The selections, the shop and a level with its tutorial and pause menu, then its result.
    ASSERT_NE(nullptr, game.reachEpisodeSelect());
    walk.click(L"shop");
    auto* shop = walk.until<HUDShopWindow>(2.0f);
    ASSERT_NE(nullptr, shop);
    // A player who has played every level, with crystals to spare, buys every step of every
    // upgrade in turn: each plate's texts after each buy.
    TDMap& map = game.map();
    for (i32 episode = 0; episode < map.getEpisodeCount(); ++episode)
        for (i32 level = 0; level < map.getLevelCount(episode); ++level)
        {
            TDLevelResult played;
            played.stars = 3;
            map.mProgress->saveLevelResult(episode, level, kDifficultyEasy, played);
        }
    map.mStats.addGems(100000);
    size_t listed = 0;
    for (int tab = 0; tab < HUDShopWindow::kSections; ++tab)
    {
        shop->buildList(tab);
        listed += shop->plates.size();
        walk.run(1);
        for (int guard = 0; guard < 64; ++guard)
        {
            auto open =
                std::find_if(shop->plates.begin(), shop->plates.end(), [](const auto& p) { return !p->complete; });
            if (open == shop->plates.end())
                break;
            shop->buy(**open);
            walk.run(1);
        }
    }
    EXPECT_EQ(map.mUpgrades.upgrades.size(), listed) << "every upgrade was on the list";
    walk.click(L"back_ac");
    ASSERT_NE(nullptr, walk.until<HUDEpisodeSelectIOS>(2.0f));
    walk.click(L"back");
    ASSERT_NE(nullptr, walk.until<HUDMainMenu>(2.0f));
    ASSERT_TRUE(game.startLevel(0, 0));
    walk.run(30);
    game.map().pauseIfRunning();
    ASSERT_NE(nullptr, walk.until<HUDIngameMenu>(2.0f));
    walk.run(30);
    walk.click(L"resume");
    walk.run(10);
    game.map().showVictory();
    ASSERT_NE(nullptr, walk.until<HUDLevelResultWindow>(2.0f));
    walk.run(120);
    walk.click(L"menu");
    ASSERT_NE(nullptr, walk.until<HUDLevelSelect>(2.0f));

    for (const std::string& fault : walk.mFaults)
        ADD_FAILURE() << fault;
    for (const auto& [layout, asked] : gAsked)
    {
        EXPECT_GT(asked.images, 0u) << Narrow(layout) << " opened empty";
        for (const std::wstring& name : asked.missing)
            ADD_FAILURE() << Narrow(layout) << " lacks " << Narrow(name);
    }
    // Every layout folder of the data was opened on the way.
    const std::filesystem::path data = GameHarness::dataDir();
    for (const auto& file : std::filesystem::recursive_directory_iterator(data / "td"))
        if (file.path().filename() == "layers.xml")
        {
            const std::string folder = std::filesystem::relative(file.path().parent_path(), data).generic_string();
            EXPECT_EQ(1u, gAsked.count(std::wstring(folder.begin(), folder.end()))) << folder << " never opened";
        }
}
