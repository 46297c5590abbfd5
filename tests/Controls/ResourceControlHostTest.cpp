// The resource control host: the default fonts of the demo content, and what it answers
// without a game application.
#include "SkinnedFixture.h"

#include "Core/Widget/Controls/ResourceControlHost.h"

namespace
{
struct HostOnTestRender : gui::ResourceControlHost
{
    render::Render* GetRender() override { return render; }
    render::Render* render = nullptr;
};

class ResourceHost : public controlstest::SkinnedFixture
{
};

TEST_F(ResourceHost, LoadsTheSixDefaultFontsOfTheDemoContentOnce)
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

TEST_F(ResourceHost, WithoutAGameItIsWindowedAndCannotSwitch)
{
    gui::ResourceControlHost host;
    EXPECT_EQ(host.GetRender(), nullptr);
    EXPECT_TRUE(host.IsWindowed());
    EXPECT_FALSE(host.IsWindowLargerThanScreen());
    EXPECT_NE(QL_OK, host.SwitchScreenMode());
    EXPECT_EQ(host.CreateEmitter("no_such_effect"), nullptr);
    host.PlaySound(L"no_such_tag"); // no sheet: nothing plays, nothing breaks
}

TEST(ControlHost, TheResourceHostStandsInWhenNoneIsInstalled)
{
    gui::ControlHost::Set(nullptr);
    EXPECT_NE(dynamic_cast<gui::ResourceControlHost*>(gui::ControlHost::Get()), nullptr);
    EXPECT_EQ(gui::GameSettings::Get(), nullptr);
    EXPECT_EQ(gui::Localize(L"options_fs"), L"options_fs");
}
} // namespace
