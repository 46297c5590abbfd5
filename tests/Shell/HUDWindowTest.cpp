// Screen windows and the HUD without a renderer: button lookups, texts, frames, the screen
// stack and the HUD's hidden buttons.
#include "Source/TD/Shell/HUDWindow.h"
#include "Source/TD/Shell/HUD.h"

#include <gtest/gtest.h>

namespace
{
TDButtonFrame* AddButton(HUDWindow& w, const std::wstring& name, float x, float y, float width, float height)
{
    auto* b = new TDButtonFrame();
    b->mName = name;
    b->mX = x;
    b->mY = y;
    b->mWidth = width;
    b->mHeight = height;
    w.mButtons.push_back(b);
    return b;
}

std::vector<std::wstring> gSounds;
void RecordSound(const std::wstring& tag) { gSounds.push_back(tag); }

class Closing : public HUDWindow
{
public:
    explicit Closing(int* closed, int* deleted) : mClosed(closed), mDeleted(deleted) {}
    ~Closing() override { ++*mDeleted; }
    void OnClosing() override { ++*mClosed; }
    void Update(float dt) override
    {
        HUDWindow::Update(dt);
        ++mUpdates;
    }
    int* mClosed;
    int* mDeleted;
    int mUpdates = 0;
};
} // namespace

TEST(HUDWindow, ButtonsTextsAndFramesAreFoundAndTheHudsScreensJoinLeaveAndHideItsButtons)
{
    HUDWindow w;
    TDButtonFrame* a = AddButton(w, L"a", 10, 10, 20, 20);
    AddButton(w, L"b", 20, 20, 20, 20);
    EXPECT_EQ(0, w.ButtonAt(25, 25));
    EXPECT_EQ(L"a", w.ButtonNameAt(25, 25));
    a->mVisible = 0;
    EXPECT_EQ(0, w.ButtonAt(25, 25)) << "the number ignores visibility";
    EXPECT_EQ(L"b", w.ButtonNameAt(25, 25));
    // Right and bottom edges count as inside; one past them does not.
    EXPECT_EQ(1, w.ButtonAt(40, 40));
    EXPECT_EQ(-1, w.ButtonAt(41, 40));
    EXPECT_EQ(L"", w.ButtonNameAt(41, 41));
    EXPECT_EQ(nullptr, w.findButton(L"c"));
    EXPECT_EQ(a, w.findButton(L"a"));
    // Only a hit plays the click sound.
    gSounds.clear();
    HUDWindowContext::Get().playSound = &RecordSound;
    w.ButtonNameAt(50, 50);
    EXPECT_TRUE(gSounds.empty());
    w.ButtonNameAt(25, 25);
    HUDWindowContext::Get().playSound = nullptr;
    EXPECT_EQ(std::vector<std::wstring>{L"simple"}, gSounds);

    // Texts keep one entry per name; frames hide by name.
    w.setText(L"coins", L"1");
    w.setText(L"coins", L"2");
    w.setText(L"waves", L"x");
    ASSERT_EQ(2u, w.mTexts.size());
    EXPECT_EQ(L"2", *w.getText(L"coins"));
    EXPECT_EQ(nullptr, w.getText(L"none"));
    for (int i = 0; i < 3; ++i)
    {
        auto* e = new TDFrameEntry();
        e->mName = i < 2 ? L"glow" : L"other";
        w.mImages.push_back(e);
    }
    w.setFrameVisible(L"glow", false);
    EXPECT_EQ(0, w.mImages[0]->mVisible);
    EXPECT_EQ(0, w.mImages[1]->mVisible) << "every image of the name, not only the first";
    EXPECT_EQ(1, w.mImages[2]->mVisible);

    // The HUD's screens join the stack on the next update, leave when closed and hide its buttons.
    HUD hud(L"");
    int closed = 0, deleted = 0;
    auto* first = new Closing(&closed, &deleted);
    auto* second = new Closing(&closed, &deleted);
    hud.pushWindow(first);
    hud.pushWindow(second);
    EXPECT_EQ(1, hud.mAppear);
    EXPECT_TRUE(hud.windows().empty());
    hud.Update(0.05f);
    ASSERT_EQ(2u, hud.windows().size());
    EXPECT_EQ(second, hud.windows().back()) << "the second opened is on top";
    EXPECT_EQ(0, first->mUpdates) << "first update on the next frame";
    hud.Update(0.06f);
    EXPECT_EQ(2, hud.mAppear);
    EXPECT_EQ(1, first->mUpdates);
    first->mOpen = false;
    hud.Update(0.01f);
    EXPECT_EQ(1, closed);
    EXPECT_EQ(1, deleted);
    ASSERT_EQ(1u, hud.windows().size());
    hud.closeTopWindow();
    EXPECT_TRUE(hud.windows().empty());
    EXPECT_EQ(1, deleted) << "deleted by the next update: its own handler may be the caller";
    hud.closeTopWindow(); // empty: nothing
    hud.Update(0.01f);
    EXPECT_EQ(2, deleted);
    EXPECT_EQ(1, closed) << "a closed top screen is not told it closes";

    // An open screen hides the HUD's own buttons.
    AddButton(hud, L"play_btn", 0, 0, 40, 40);
    EXPECT_EQ(L"play_btn", hud.ButtonNameAt(10, 10));
    EXPECT_EQ(HUD::kOwnButtonBase, hud.ButtonAt(10, 10)) << "apart from the spell buttons' numbers";
    hud.pushWindow(new Closing(&closed, &deleted));
    hud.Update(0.0f);
    EXPECT_EQ(L"", hud.ButtonNameAt(10, 10));
    EXPECT_EQ(-1, hud.ButtonAt(10, 10));
    hud.setButtonVisible(L"play_btn", false);
    EXPECT_EQ(0, hud.mButtons[0]->mVisible);
    float x, y, width, h;
    EXPECT_TRUE(hud.buttonRect(L"play_btn", x, y, width, h));
    EXPECT_EQ(40.0f, width);
    EXPECT_FALSE(hud.buttonRect(L"none", x, y, width, h));
}
