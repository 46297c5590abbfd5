// The application's control host: the default fonts of the demo content, and what it answers
// while no game application runs.
#include "SkinnedFixture.h"

#include "Core/Widget/Controls/ApplicationControlHost.h"

namespace
{
struct HostOnTestRender : gui::ApplicationControlHost
{
    render::Render* GetRender() override { return render; }
    render::Render* render = nullptr;
};

class ApplicationHost : public controlstest::SkinnedFixture
{
};

TEST_F(ApplicationHost, LoadsTheSixDefaultFontsOfTheDemoContentOnce)
{
    HostOnTestRender host;
    host.render = mRender;
    for (u32 i = 0; i < 6; ++i)
    {
        base::CountedPtr<render::Font> font = host.GetFont(i);
        ASSERT_TRUE(font) << i;
        EXPECT_TRUE(font->IsLoaded());
        EXPECT_GT(font->GetLineAdvance(), 0.0f);
    }
    EXPECT_FALSE(host.GetFont(6));
    EXPECT_EQ(host.GetFont(0).Get(), host.GetFont(0).Get());
}

TEST_F(ApplicationHost, WithoutAGameItIsWindowedAndCannotSwitch)
{
    gui::ApplicationControlHost host;
    EXPECT_EQ(host.GetRender(), nullptr);
    EXPECT_TRUE(host.IsWindowed());
    EXPECT_FALSE(host.IsWindowLargerThanScreen());
    EXPECT_NE(QL_OK, host.SwitchScreenMode());
    EXPECT_EQ(host.CreateEmitter("no_such_effect"), nullptr);
    host.PlaySound(L"no_such_tag"); // no sheet: nothing plays, nothing breaks
}

TEST(ControlHost, TheApplicationHostStandsInWhenNoneIsInstalled)
{
    gui::ControlHost::Set(nullptr);
    EXPECT_NE(dynamic_cast<gui::ApplicationControlHost*>(gui::ControlHost::Get()), nullptr);
    EXPECT_EQ(gui::GameSettings::Get(), nullptr);
    EXPECT_EQ(gui::Localize(L"options_fs"), L"options_fs");
}
} // namespace
