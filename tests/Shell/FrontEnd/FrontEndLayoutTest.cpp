// Every layout and picture the front end names loads from the demo content and holds every
// layer the code asks for.
#include "FrontEndFixture.h"

#include "Core/File/FileManager.h"
#include "Core/File/ReadFile.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/LocalStrings.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/TDSplashScreens.h"

#include <memory>

namespace frontendtest
{
TEST_F(FrontEndTest, TheMainMenuLayoutHoldsEveryLayerTheMenuAsksFor)
{
    std::unique_ptr<file::ImageContainer> layout{file::FileManager::Instance()->OpenImageContainer(HUDMainMenu::kLayout)};
    ASSERT_NE(nullptr, layout);
    for (const wchar_t* name : {L"en", L"ru", L"text/greet"})
        EXPECT_NE(nullptr, layout->FindImage(name)) << name;
    const std::vector<std::wstring> buttons = HUDButtonList::fullNames(layout.get());
    for (const wchar_t* command : {L"b2_play", L"b1_options", L"b1_profile", L"b1_cloze"})
        EXPECT_NE(buttons.end(), std::find(buttons.begin(), buttons.end(), command)) << command;
    for (const std::wstring& full : buttons)
    {
        const std::wstring style = full.substr(0, full.find(L'_'));
        for (const std::wstring& part : {L"button/" + full + L"/pos", L"button/" + full + L"/label",
                                         L"button/" + style + L"_normal", L"button/" + style + L"_over"})
            EXPECT_NE(nullptr, layout->FindImage(part)) << part;
        const base::ImageInfo* pos = layout->FindImage(L"button/" + full + L"/pos");
        ASSERT_NE(nullptr, pos);
        EXPECT_LT(pos->mY + pos->mHeight, static_cast<float>(HUDMainMenu::kProfileBandTop))
            << full << " lies above the profile band";
        const std::wstring label = LocalStrings::Instance()->get(full);
        EXPECT_NE(full, label) << full << " has a label";
        std::unique_ptr<render::Image> picture{mGame->LoadImage(L"button/" + style + L"_normal", layout.get())};
        ASSERT_NE(nullptr, picture);
        EXPECT_EQ(static_cast<i32>(pos->mWidth), picture->GetWidth()) << "the picture fills its button";
    }
    for (const wchar_t* key : {L"greet_1", L"greet_2", L"unnamed_player", L"profile_corrupt"})
        EXPECT_NE(std::wstring(key), LocalStrings::Instance()->get(key)) << key;
}

TEST_F(FrontEndTest, EveryListedLogoLoads)
{
    bool ok = false;
    const std::string text = file::ReadFile(TDSplashScreens::kLogoList, nullptr, &ok);
    ASSERT_TRUE(ok);
    const std::vector<std::wstring> names = TDSplashScreens::readLogoNames(text);
    ASSERT_FALSE(names.empty());
    for (const std::wstring& name : names)
    {
        std::unique_ptr<render::Image> image{mGame->LoadImage(L"logo/" + name)};
        EXPECT_NE(nullptr, image) << name;
    }
}
} // namespace frontendtest
