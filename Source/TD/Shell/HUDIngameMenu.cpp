// The in-game pause menu.
#include "Source/TD/Shell/HUDIngameMenu.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Widget/Controls/TMessageBox.h"
#include "Core/Widget/FrameManager.h"
#include "Framework/GameApplication.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Shell/HUDButtonList.h"
#include "Source/TD/Shell/HUDButtonOver.h"

namespace
{
// The folders directly under "button/" ("menu_resume" for "button/menu_resume/pos"), each once,
// in listing order.
std::vector<std::wstring> buttonFolders(file::ImageContainer* layout)
{
    std::vector<std::wstring> folders;
    const u32 count = layout->GetImageCount();
    for (u32 i = 0; i < count; ++i)
    {
        const base::ImageInfo* info = layout->GetImage(i);
        if (!info || info->mName.rfind(L"button/", 0) != 0)
            continue;
        const size_t slash = info->mName.find(L'/', 7);
        if (slash == std::wstring::npos)
            continue;
        std::wstring folder = info->mName.substr(7, slash - 7);
        bool seen = false;
        for (const std::wstring& f : folders)
            seen = seen || f == folder;
        if (!seen)
            folders.push_back(folder);
    }
    return folders;
}

// Whether a frame of the frame manager's stack passes the test.
template <class Test> bool anyFrame(Test test)
{
    framework::GameApplication* app = framework::GameApplication::Get();
    auto* frames = app ? dynamic_cast<widget::FrameManager*>(app->mFrameManager) : nullptr;
    if (!frames)
        return false;
    for (const auto& entry : frames->GetStack())
        if (test(entry))
            return true;
    return false;
}
} // namespace

HUDIngameMenu::HUDIngameMenu(const std::wstring& layout)
{
    const HUDWindowContext& c = HUDWindowContext::Get();
    if (buildFromLayout(layout))
    {
        // The "button" group holds the menu buttons' pictures and places, not plain buttons.
        mButtons.clear();
        setFrameVisible(L"main_menu_ico", false);
        for (const std::wstring& folder : buttonFolders(mLayout.get()))
        {
            auto button = std::make_unique<HUDButtonOver>(mLayout.get(), folder);
            button->mLabel = LocalStrings::Instance()->get(folder);
            button->mFont = c.captionFont;
            mMenuButtons.push_back(std::move(button));
        }
    }
    setFont(c.captionFont);
    setText(L"caption", LocalStrings::Instance()->get(L"ingame_caption"));
}

HUDIngameMenu::~HUDIngameMenu() { mMenuButtons.clear(); }

bool HUDIngameMenu::underMessageBox()
{
    return anyFrame([](const widget::FrameManager::Entry& entry)
                    { return dynamic_cast<const TMessageBox*>(entry.frame) != nullptr; });
}

bool HUDIngameMenu::underDialog()
{
    return anyFrame([](const widget::FrameManager::Entry& entry)
                    { return entry.mode == widget::FrameManager::MODE_MODAL; });
}

void HUDIngameMenu::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    // A confirmation box stands in the panel's place, over the shaded battle: the panel's medal
    // and caption would stick out above it.
    if (underMessageBox())
    {
        for (const TDFrameEntry* image : mImages)
            if (image->mVisible && image->mName == L"shade")
                drawEntryImage(graphics, *image);
        return;
    }
    HUDWindow::Draw(graphics);
    for (HUDButtonOver* button : mMenuButtons)
        button->Draw(graphics);
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    for (const TDFrameEntry* image : mImages)
        if (image->mName == L"main_menu_ico")
        {
            drawEntryImage(graphics, *image);
            break;
        }
}

void HUDIngameMenu::Update(float dt)
{
    HUDWindow::Update(dt);
    // Under a dialog (a confirmation box, which hides the panel, or the options) the pointer is
    // the dialog's: no button keeps its hover or its press (the release that opened the dialog
    // does not reach the panel) for when the panel is uncovered; the hover then follows the
    // pointer where it stands.
    const bool covered = underDialog();
    for (HUDButtonOver* button : mMenuButtons)
    {
        if (covered)
        {
            button->mHovered = 0;
            button->mPressed = 0;
            button->mScale = 1.0f;
        }
        button->update(dt);
    }
}

void HUDIngameMenu::MouseMove(int x, int y)
{
    HUDWindow::MouseMove(x, y);
    for (HUDButtonOver* button : mMenuButtons)
        button->onHover(x, y);
}

void HUDIngameMenu::Release(int x, int y)
{
    for (HUDButtonOver* button : mMenuButtons)
        button->onRelease(x, y);
}

void HUDIngameMenu::Press(int x, int y)
{
    for (HUDButtonOver* button : mMenuButtons)
        button->onPress(x, y);
}

std::wstring HUDIngameMenu::ButtonNameAt(int x, int y)
{
    for (HUDButtonOver* button : mMenuButtons)
        if (button->contains(x, y))
        {
            if (auto play = HUDWindowContext::Get().playSound)
                play(L"simple");
            return button->mName;
        }
    return std::wstring();
}

void HUDIngameMenu::listButtons(std::vector<ButtonPlace>& out) const
{
    HUDButtonList::listOf(mMenuButtons, out);
    HUDWindow::listButtons(out);
}
