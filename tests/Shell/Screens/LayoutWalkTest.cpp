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
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDProfiles.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Battle/TDMap.h"

#include <gtest/gtest.h>

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
            [&] {
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

    // Every text a screen shows has its area and fits it, wrapped as drawn.
    void look()
    {
        for (HUDWindow* window : mGame.windows())
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
                const bool big = name == L"caption" || name == L"levelResult";
                render::Font* font = big ? HUDWindowContext::Get().captionFont.Get() : window->mFont.Get();
                if (!font)
                    continue;
                float width = 0.0f, height = 0.0f;
                {
                    auto measure = font->MeasureText(&text);
                    measure->mFormat.mWrapWidth = area->second->mWidth;
                    measure->mOutWidth = &width;
                    measure->mOutHeight = &height;
                }
                // A line may stand out of a low area by its descent, as the layouts draw it.
                if (width > area->second->mWidth + 1.0f || height > area->second->mHeight + font->GetSize())
                    mFaults.insert(where + " does not fit: " + Narrow(text));
            }
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
    options.afterConfig = [] { file::FileContainer::SetImageContainerMakers(Make<file::PsdFolder>, Make<file::PsdFile>); };
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
    game.type(L"Walker");
    game.pushKey(HUDModalInput::kEnter);
    walk.run(3);
    ASSERT_NE(nullptr, walk.until<HUDProfiles>(2.0f));
    walk.click(L"back");
    ASSERT_NE(nullptr, walk.until<HUDMainMenu>(2.0f));

    // The selections, the shop and a level with its tutorial and pause menu, then its result.
    ASSERT_NE(nullptr, game.reachEpisodeSelect());
    walk.click(L"shop");
    ASSERT_NE(nullptr, walk.until<HUDShopWindow>(2.0f));
    walk.click(L"back_ac");
    ASSERT_NE(nullptr, walk.until<HUDEpisodeSelectIOS>(2.0f));
    walk.click(L"back");
    ASSERT_NE(nullptr, walk.until<HUDMainMenu>(2.0f));
    ASSERT_TRUE(game.startLevel(0, 0));
    walk.run(30);
    game.map().pause();
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
