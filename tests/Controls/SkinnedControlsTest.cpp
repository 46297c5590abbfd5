// Skinned buttons and switches over the demo options layout: layout around the images, glow and
// press animation, switches that ignore presses while on, the trap listener, dialog texts; the
// resource control host's fonts and what it answers without a game.
#include "SkinnedFixture.h"

#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/RectHitLayer.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Image/ImageInfo.h"
#include "Core/Widget/Controls/OptionsDialog.h"
#include "Core/Widget/Controls/TesselButton.h"
#include "Core/Widget/Controls/TesselDialog.h"
#include "Core/Widget/Controls/TesselSwitchButton.h"
#include "Core/Widget/Controls/TrapHitTestListener.h"

#include <cmath>

namespace
{
class SkinnedControls : public controlstest::SkinnedFixture
{
protected:
    const base::ImageInfo& Info(const wchar_t* name) { return *mLayout->FindImage(name); }

    controlstest::ClickLog mClicks;
};

TEST_F(SkinnedControls, ButtonIsCentredOnItsImagesWhichKeepTheirLayoutPlacesAndEmptyNamesLeaveSlotsEmpty)
{
    auto* button = new TesselButton();
    ASSERT_EQ(QL_OK,
              button->Init(mLayout.get(), L"buttons/menu/menu_in", L"buttons/menu/menu_ac", L"buttons/menu/menu_sh"));
    EXPECT_EQ(QL_OK, mBoard->AddChild(static_cast<widget::Button*>(button)));
    const base::ImageInfo& normal = Info(L"buttons/menu/menu_in");
    EXPECT_FLOAT_EQ(button->mPosition.x, std::floor(normal.mX + normal.mWidth * 0.5f));
    EXPECT_FLOAT_EQ(button->mPosition.y, std::floor(normal.mY + normal.mHeight * 0.5f));
    layer::Layer* image = button->GetStateLayer(TesselButton::SLOT_NORMAL);
    EXPECT_FLOAT_EQ(button->mPosition.x + image->mPosition.x, normal.mX);
    // The shadow is drawn first, beneath the images, and takes no hits.
    ASSERT_EQ(button->layer::Layer::GetChildren().size(), 3u);
    layer::Layer* shadow = button->layer::Layer::GetChildren().front();
    EXPECT_FALSE(shadow->mHitTestable);
    EXPECT_FLOAT_EQ(button->mPosition.x + shadow->mPosition.x, Info(L"buttons/menu/menu_sh").mX);
    EXPECT_TRUE(image->mHitTestable);
    EXPECT_FALSE(button->GetStateLayer(TesselButton::SLOT_HIGHLIGHT)->mHitTestable);

    // Empty names leave their slots empty; a missing image fails.
    auto* plain = new TesselButton();
    ASSERT_EQ(QL_OK, plain->Init(mLayout.get(), L"buttons/cheat/cheat_in", L"", L""));
    EXPECT_EQ(plain->GetStateLayer(TesselButton::SLOT_HIGHLIGHT), nullptr);
    EXPECT_EQ(plain->layer::Layer::GetChildren().size(), 1u);
    EXPECT_EQ(QL_OK, plain->Update(0.5f));
    EXPECT_EQ(QL_OK, mBoard->AddChild(static_cast<widget::Button*>(plain)));
    TesselButton missing;
    EXPECT_NE(QL_OK, missing.Init(mLayout.get(), L"buttons/none", L"", L""));

    // Odd-sized images centre on the floor of the half sizes.
    gui::GameControl control(2);
    ASSERT_EQ(QL_OK, control.GameControlHelper::Init(mLayout.get(), nullptr, nullptr, nullptr, false));
    auto* a = new layer::Layer();
    a->SetPosition(10, 20);
    control.SetStateLayer(0, a, math::Rect(10, 20, 5, 7));
    control.LayoutStateLayers();
    EXPECT_EQ(control.mPosition, math::Point3(12.0f, 23.0f, 0.0f));
    EXPECT_EQ(a->mPosition, math::Point3(-2.0f, -3.0f, 0.0f));
    EXPECT_EQ(control.GetChildren().size(), 1u); // the empty slot was skipped
}

TEST_F(SkinnedControls, GlowAndPressAnimateTowardTheirTargets)
{
    auto* button = new TesselButton();
    ASSERT_EQ(QL_OK, button->Init(mLayout.get(), L"buttons/menu/menu_in", L"buttons/menu/menu_ac", L""));
    button->SetButtonListener(&mClicks);
    EXPECT_EQ(QL_OK, mBoard->AddChild(static_cast<widget::Button*>(button)));
    layer::Layer* normal = button->GetStateLayer(TesselButton::SLOT_NORMAL);
    layer::Layer* highlight = button->GetStateLayer(TesselButton::SLOT_HIGHLIGHT);
    const math::Point2 centre = CentreOf(button);
    EXPECT_EQ(QL_OK, mManager.OnMouseMove(centre));
    EXPECT_EQ(button->GetVisualState(), widget::Button::STATE_OVER);
    EXPECT_TRUE(highlight->mHitTestable);
    Tick(0.0f); // dt 0: nothing moves
    EXPECT_FLOAT_EQ(button->mGlow, 0.0f);
    Tick(0.1f);
    EXPECT_NEAR(button->mGlow, 0.3f, 1e-6f);
    EXPECT_NEAR(highlight->mAlpha, 0.3f, 1e-6f);
    EXPECT_FLOAT_EQ(normal->mAlpha, 1.0f);
    Tick(0.65f / 3.0f); // 0.95: the normal image fades out over the last tenth
    EXPECT_NEAR(normal->mAlpha, 0.5f, 1e-4f);
    EXPECT_EQ(QL_OK, mManager.OnMouseDown(centre, 1));
    Tick(10.0f); // a large step snaps
    EXPECT_FLOAT_EQ(button->mGlow, 1.0f);
    EXPECT_FLOAT_EQ(button->mPress, 1.0f);
    EXPECT_FLOAT_EQ(button->mScale.x, 0.95f);
    EXPECT_FLOAT_EQ(normal->mAlpha, 0.0f);
    EXPECT_EQ(QL_OK, mManager.OnMouseUp(centre, 1));
    EXPECT_EQ(mClicks.clicks.size(), 1u);
    Tick(10.0f);
    EXPECT_FLOAT_EQ(button->mScale.x, 1.0f);
    EXPECT_EQ(QL_OK, mManager.OnMouseMove({2, 2}));
    Tick(10.0f);
    EXPECT_FLOAT_EQ(highlight->mAlpha, 0.0f);
    EXPECT_FLOAT_EQ(normal->mAlpha, 1.0f);
}

TEST_F(SkinnedControls, SwitchThatIsOnIgnoresPressesUntilTurnedOffAndATrapTakesTheFocus)
{
    auto* button = new TesselSwitchButton();
    ASSERT_EQ(QL_OK,
              button->Init(mLayout.get(), L"main_options/window/window_nonselected", L"main_options/window/window_ac",
                           L"main_options/window/window_in", L"main_options/window/window_sh"));
    button->SetButtonListener(&mClicks);
    EXPECT_EQ(QL_OK, mBoard->AddChild(static_cast<widget::Button*>(button)));
    const math::Point2 centre = CentreOf(button);
    button->SetOn(true);
    Click(centre);
    EXPECT_TRUE(mClicks.clicks.empty());
    EXPECT_EQ(button->GetVisualState(), widget::Button::STATE_NORMAL);
    // The images above pass the hit to the board; the button never hears of it.
    EXPECT_NE(mBoard->GetHoverWidget(), static_cast<widget::Widget*>(button));
    Tick(0.1f);
    EXPECT_NEAR(button->GetStateLayer(TesselSwitchButton::SLOT_ON)->mAlpha, 1.0f, 1e-6f); // 0.5 on-ness
    EXPECT_NEAR(button->GetStateLayer(TesselSwitchButton::SLOT_NORMAL)->mAlpha, 0.5f, 1e-6f);
    button->SetOn(false);
    Click(centre);
    EXPECT_EQ(mClicks.clicks.size(), 1u);
    Tick(10.0f);
    EXPECT_FLOAT_EQ(button->GetStateLayer(TesselSwitchButton::SLOT_ON)->mAlpha, 0.0f);
    EXPECT_FLOAT_EQ(button->mScale.x, 1.1f); // hovered: grown

    // The trap listener takes the focus and clears the hover.
    auto* passive = new widget::Widget();
    passive->SetLayer(new layer::RectHitLayer(math::Rect(0, 0, 50, 50)), true, false);
    widget::TrapHitTestListener trap(passive);
    passive->GetLayer()->SetHitListener(&trap);
    EXPECT_EQ(QL_OK, mBoard->AddChild(passive));
    EXPECT_EQ(QL_OK, mManager.OnMouseMove({300, 300}));
    EXPECT_EQ(mBoard->GetHoverWidget(), static_cast<widget::Widget*>(mBoard));
    EXPECT_EQ(QL_OK, mManager.OnMouseMove({10, 10}));
    EXPECT_EQ(mBoard->GetHoverWidget(), nullptr);
    EXPECT_EQ(QL_OK, mManager.OnMouseDown({10, 10}, 1));
    EXPECT_EQ(mBoard->GetFocusWidget(), passive);
    EXPECT_EQ(QL_OK, mManager.OnMouseUp({10, 10}, 1));
}

TEST_F(SkinnedControls, DialogTextsAndDialogsNeedTheirLayout)
{
    struct Plain : TesselDialog
    {
    } dialog;
    ASSERT_EQ(QL_OK, dialog.GameControlHelper::Init(L"td/options", &dialog, nullptr, nullptr, true));
    layer::TextLayer* text = nullptr;
    EXPECT_EQ(QL_OK, dialog.AddText(L"main_options/game_type", L"options_OptionsGameType", {}, &text));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->mText, L"options_OptionsGameType") << "no game: the key itself";
    EXPECT_FALSE(text->mHitTestable);
    const base::ImageInfo* place = dialog.FindLayoutLayer(L"main_options/game_type");
    EXPECT_FLOAT_EQ(text->mPosition.x, std::floor(place->mX + place->mWidth * 0.5f));
    EXPECT_EQ(QL_FAIL, dialog.AddText(L"main_options/nowhere", L"x", {}, nullptr));
    EXPECT_TRUE(dialog.IsDisabled()); // until shown

    std::filesystem::current_path(mOldPath);
    OptionsDialog options;
    EXPECT_EQ(QL_FAIL, options.Build()) << "without its layout";
}

TEST_F(SkinnedControls, TheResourceHostLoadsTheSixDemoFontsOnceAndWithoutAGameCannotSwitch)
{
    for (u32 i = 0; i < 6; ++i)
    {
        base::CountedPtr<render::Font> font = mHost.GetFont(i);
        ASSERT_TRUE(font) << i;
        EXPECT_TRUE(font->IsLoaded());
        EXPECT_GT(font->GetLineAdvance(), 0.0f);
    }
    EXPECT_FALSE(mHost.GetFont(6));
    EXPECT_EQ(mHost.GetFont(0).Get(), mHost.GetFont(0).Get());

    gui::ResourceControlHost bare;
    EXPECT_EQ(bare.GetRender(), nullptr);
    EXPECT_TRUE(bare.IsWindowed());
    EXPECT_FALSE(bare.IsWindowLargerThanScreen());
    EXPECT_NE(QL_OK, bare.SwitchScreenMode());
    EXPECT_EQ(bare.CreateEmitter("no_such_effect"), nullptr);
    bare.PlaySound(L"no_such_tag"); // no sheet: nothing plays, nothing breaks
    gui::ControlHost::Set(nullptr);
    EXPECT_NE(dynamic_cast<gui::ResourceControlHost*>(gui::ControlHost::Get()), nullptr) << "the fallback";
}
} // namespace
