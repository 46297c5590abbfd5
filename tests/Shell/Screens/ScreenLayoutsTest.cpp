// Every layout the profile screens and small windows name loads from the demo data and holds
// every layer their code asks for.
#include "ScreenFixture.h"

#include "Core/File/FileManager.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDModalMessage.h"
#include "Source/TD/Shell/HUDProfiles.h"

#include <memory>

namespace
{
class ScreenLayouts : public ScreenFixture
{
protected:
    std::unique_ptr<file::ImageContainer> Open(const std::wstring& name)
    {
        return std::unique_ptr<file::ImageContainer>(file::FileManager::Instance()->OpenImageContainer(name));
    }
    // Every named layer, and for every button its place and the pictures of its style.
    static void ExpectLayers(file::ImageContainer& layout, const std::vector<std::wstring>& layers,
                             const std::vector<std::wstring>& buttons)
    {
        for (const std::wstring& name : layers)
            EXPECT_NE(nullptr, layout.FindImage(name)) << std::string(name.begin(), name.end());
        const std::vector<std::wstring> listed = HUDButtonList::fullNames(&layout);
        for (const std::wstring& full : buttons)
        {
            const std::string printable(full.begin(), full.end());
            EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), full)) << printable;
            EXPECT_NE(nullptr, layout.FindImage(L"button/" + full + L"/pos")) << printable;
            const std::wstring style = full.substr(0, full.find(L'_'));
            EXPECT_NE(nullptr, layout.FindImage(L"button/" + style + L"_normal")) << printable;
            EXPECT_NE(nullptr, layout.FindImage(L"button/" + style + L"_over")) << printable;
        }
    }
};
} // namespace

TEST_F(ScreenLayouts, TheSmallWindowsLayoutListsCancelThenOkAndHoldsTheNameField)
{
    auto layout = Open(HUDModalMessage::kLayout);
    ASSERT_NE(nullptr, layout);
    ExpectLayers(*layout, {L"back", L"input", L"text/caption", L"text/message"}, {L"b1_cancel", L"b1_ok"});
    EXPECT_EQ((std::vector<std::wstring>{L"b1_cancel", L"b1_ok"}), HUDButtonList::fullNames(layout.get()));
    // The lone "ok" of a message, moved right, still sits inside the box.
    const base::ImageInfo* back = layout->FindImage(L"back");
    const base::ImageInfo* ok = layout->FindImage(L"button/b1_ok/pos");
    ASSERT_TRUE(back && ok);
    EXPECT_GE(ok->mX + HUDModalMessage::kOkShift, back->mX);
    EXPECT_LE(ok->mX + HUDModalMessage::kOkShift + ok->mWidth, back->mX + back->mWidth);
    EXPECT_EQ(std::wstring(HUDModalMessage::kLayout), std::wstring(HUDModalInput::kLayout));
}

TEST_F(ScreenLayouts, TheProfilesLayoutHoldsItsTextsButtonsAndFiveHighlights)
{
    auto layout = Open(HUDProfiles::kLayout);
    ASSERT_NE(nullptr, layout);
    std::vector<std::wstring> texts = {L"text/caption", L"text/select"};
    std::vector<std::wstring> buttons;
    for (int i = 1; i <= 5; ++i)
    {
        texts.push_back(L"text/profile" + std::to_wstring(i));
        buttons.push_back(L"b3_p" + std::to_wstring(i));
    }
    for (const wchar_t* name : {L"b1_create", L"b1_rename", L"b1_delete", L"b4_back", L"b4_confirm"})
        buttons.push_back(name);
    ExpectLayers(*layout, texts, buttons);

    // Each name line stands for its own profile.
    HUDProfiles screen(mHud, mMap);
    for (int i = 1; i <= 5; ++i)
    {
        const TDFrameEntry* area = screen.mTextAreas.at(L"profile" + std::to_wstring(i));
        EXPECT_EQ(i - 1, screen.lineIndexAt(static_cast<int>(area->mX + area->mWidth * 0.5f),
                                            static_cast<int>(area->mY + area->mHeight * 0.5f)));
    }
    EXPECT_EQ(-1, screen.lineIndexAt(0, 0));
}
