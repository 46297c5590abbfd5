// The scripted tutorial: pages of pictures and texts laid over the battle, woken and finished by
// the game's events as "td/tutorial.xml" says, with a skip button that asks first. Step states
// live in the player's profile, so finished steps stay finished.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Singletone.h"
#include "Source/TD/Seams/TDBattleServices.h"
#include "Source/TD/Shell/HUDLayerButton.h"
#include "Source/TD/Shell/TDTutorialScript.h"

#include <memory>
#include <vector>

namespace file
{
class ImageContainer;
}
namespace layer
{
class ImageLayer;
class TextLayer;
} // namespace layer
class GameWindow;
class TDMap;

// The skip button: a hit hides the page's button and asks whether to skip.
class TutorialButton : public HUDLayerButton
{
public:
    using HUDLayerButton::HUDLayerButton;
    void onClick(int x, int y) override;
};

class TDTutorial : public base::Singletone<TDTutorial>, public TDTutorialHooks, private TDTutorialScript::Pages
{
public:
    // On the shop a page stands over the list's lower end, clear of the title and the tabs.
    static constexpr float kShopPageDrop = 410.0f;
    TDTutorial();
    ~TDTutorial() override;

    // Works on the board's battle, layer and fonts from now on: reads the script, the profile's
    // states and the skip button. Null lets go of the board (its layers and pictures first).
    void attach(GameWindow* board);
    bool attachedTo(const TDMap* map) const { return mMap && mMap == map; }

    // TDTutorialHooks
    void onEvent(const std::wstring& name) override;
    // The tutorial's on/off switch and every step's state from the current profile; a page on
    // show and its step's holds go.
    void loadProgress() override;
    void update(float dt) override;
    void onMouseMove(i32 x, i32 y) override;
    void onClick(i32 x, i32 y) override;
    void show() override;
    void hide() override;
    void resetIncompleteSteps() override;
    void clearShownLayers() override;
    bool awaits(const std::wstring& event) const override;

    // Skipping confirmed: off for the profile, the page gone, nothing restricted.
    void cancel();
    // The skip question is open: the page stays, its button stops answering.
    void skipAsked();
    // The skip question was answered no: the page's button works again (after the pause, when
    // the game is paused).
    void skipDeclined();
    // Replaces the script (tests and tools); states come from the profile.
    void loadScript(const std::string& text);

    bool isActive() const;
    bool isVisible() const { return mVisible; }
    const std::vector<TDTutorialStep>& steps() const { return mScript.steps; }
    const base::OwnedList<layer::ImageLayer>& shownImages() const { return mShownImages; }
    const base::OwnedList<layer::TextLayer>& shownTexts() const { return mShownTexts; }
    TutorialButton* skipButton() const { return mSkipButton.get(); }
    // The page's layers hang on the root board and are drawn.
    bool pageShown() const;

private:
    void showStep(const TDTutorialStep& step) override;
    // Whether a page entry has a picture file of its own (a text place has none).
    bool hasPictureFile(const std::wstring& name) const;
    void makeSkipButton();
    void setLayersVisible(bool visible);
    // Moves the page (pictures, texts and the skip button) to `drop` below its layout place.
    void placePage(float drop);

    TDTutorialScript mScript;
    bool mRememberedVisible = false;
    bool mVisible = false;
    bool mSkipAsked = false; // the skip question is open
    bool mHidden = false;    // hidden by a pause until shown again
    float mPageDrop = 0.0f;  // how far the page stands below its place in the layout
    GameWindow* mBoard = nullptr;
    TDMap* mMap = nullptr;
    std::unique_ptr<file::ImageContainer> mPages; // "td/data/tutorial"
    // A layer leaves its parent as it goes.
    base::OwnedList<layer::ImageLayer> mShownImages;
    base::OwnedList<layer::TextLayer> mShownTexts;
    std::unique_ptr<layer::Layer> mImagesLayer;
    std::unique_ptr<layer::Layer> mTextsLayer;
    std::unique_ptr<TutorialButton> mSkipButton;
};
