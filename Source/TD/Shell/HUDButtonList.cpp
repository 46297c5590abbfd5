// The own button list of the small windows and the profile screens.
#include "Source/TD/Shell/HUDButtonList.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Framework/GameApplication.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUDWindow.h"

#include <algorithm>

HUDButtonList::~HUDButtonList() { clear(); }

void HUDButtonList::clear() { mButtons.clear(); }

std::vector<std::wstring> HUDButtonList::fullNames(file::ImageContainer* layout)
{
    std::vector<std::wstring> names;
    if (!layout)
        return names;
    const std::wstring group = L"button/";
    for (u32 i = 0; i < layout->GetImageCount(); ++i)
    {
        const base::ImageInfo* info = layout->GetImage(i);
        if (!info || info->mName.rfind(group, 0) != 0)
            continue;
        // "button/b1_normal" is a picture of the style, not a button.
        const size_t slash = info->mName.find(L'/', group.size());
        if (slash == std::wstring::npos)
            continue;
        const std::wstring name = info->mName.substr(group.size(), slash - group.size());
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

void HUDButtonList::build(file::ImageContainer* layout)
{
    clear();
    const HUDWindowContext& context = HUDWindowContext::Get();
    for (const std::wstring& full : fullNames(layout))
    {
        auto button = std::make_unique<HUDButtonOver>(layout, full);
        button->mLabel = LocalStrings::Instance()->get(full);
        button->mFont = full == L"b2_play" ? context.captionFont : context.windowFont;
        mButtons.push_back(std::move(button));
    }
}

void HUDButtonList::draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    render::Font* previous = graphics->mFont;
    for (HUDButtonOver* button : mButtons)
        button->Draw(graphics);
    graphics->mFont = previous;
}

void HUDButtonList::update(float dt)
{
    for (HUDButtonOver* button : mButtons)
        button->update(dt);
}

void HUDButtonList::hover(int x, int y)
{
    for (HUDButtonOver* button : mButtons)
        button->onHover(x, y);
}

void HUDButtonList::press(int x, int y)
{
    for (HUDButtonOver* button : mButtons)
        button->onPress(x, y);
}

void HUDButtonList::release(int x, int y)
{
    for (HUDButtonOver* button : mButtons)
        button->onRelease(x, y);
}

int HUDButtonList::hitIndex(int x, int y) const
{
    for (size_t i = 0; i < mButtons.size(); ++i)
        if (mButtons[i]->contains(x, y))
            return static_cast<int>(i);
    return -1;
}

std::wstring HUDButtonList::nameAt(int x, int y) const
{
    const int index = hitIndex(x, y);
    if (index < 0)
        return std::wstring();
    HUDPlaySound(L"simple");
    return mButtons[static_cast<size_t>(index)]->mName;
}

HUDButtonOver* HUDButtonList::find(const std::wstring& name) const
{
    for (HUDButtonOver* button : mButtons)
        if (button->mName == name)
            return button;
    return nullptr;
}

bool HUDButtonList::centre(const std::wstring& name, float& x, float& y) const { return centreOf(find(name), x, y); }

bool HUDButtonList::centreOf(const HUDButtonOver* button, float& x, float& y)
{
    if (!button || !button->mNormal)
        return false;
    x = button->mNormal->mX + button->mNormal->mWidth * 0.5f + button->mOffsetX;
    y = button->mNormal->mY + button->mNormal->mHeight * 0.5f;
    return true;
}

void HUDButtonList::listOf(const base::OwnedList<HUDButtonOver>& buttons, std::vector<HUDButtonPlace>& out)
{
    for (const HUDButtonOver* button : buttons)
        if (button->mNormal)
            out.push_back({button->mName, button->mNormal->mX + button->mOffsetX, button->mNormal->mY,
                           button->mNormal->mWidth, button->mNormal->mHeight, button->mVisible != 0});
}

GameWindow* HUDRootBoard()
{
    framework::GameApplication* app = framework::GameApplication::Get();
    return app ? dynamic_cast<GameWindow*>(app->mScreen) : nullptr;
}

bool HUDRootPointer(float& x, float& y)
{
    const GameWindow* board = HUDRootBoard();
    if (!board)
        return false;
    x = static_cast<float>(board->mPointerX);
    y = static_cast<float>(board->mPointerY);
    return true;
}

void HUDPlaySound(const std::wstring& tag)
{
    if (auto play = HUDWindowContext::Get().playSound)
        play(tag);
}
