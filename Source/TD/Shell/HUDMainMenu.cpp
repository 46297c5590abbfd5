// The main menu: its layout, buttons, effects, greeting and the damaged-profiles notice.
#include "Source/TD/Shell/HUDMainMenu.h"

#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/Profiles.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Media/Particles/ParticleEmitter.h"
#include "Core/Media/Particles/ParticleSystem.h"
#include "Core/Media/Sound/SoundTags.h"
#include "Core/Widget/Controls/TMessageBox.h"
#include "Core/Widget/FrameManager.h"
#include "Framework/GameApplication.h"
#include "Source/TD/LocalStrings.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUDButtonOver.h"
#include "Source/TD/TDMap.h"
#include "Source/TD/TDProgress.h"

#include <algorithm>

std::wstring gLanguageCode = L"en";

namespace
{
struct EmitterPlace
{
    const char* name;
    float x, y;
};
const EmitterPlace kEmitters[] = {
    {"fog_01", 401.0f, 263.0f},
    {"blik_1", 335.0f, 28.0f},
    {"blik_2", 509.0f, 100.0f},
    {"blik_4", 366.0f, 640.0f},
};

std::wstring localised(const std::wstring& key) { return LocalStrings::Instance()->get(key); }
} // namespace

std::vector<std::wstring> HUDMainMenu::buttonNames(file::ImageContainer* layout)
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
        // Only folders: "button/b2_play/pos" names the button "b2_play"; "button/b2_normal" is a
        // picture of the style.
        const size_t slash = info->mName.find(L'/', group.size());
        if (slash == std::wstring::npos)
            continue;
        const std::wstring name = info->mName.substr(group.size(), slash - group.size());
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

HUDMainMenu::HUDMainMenu(TDMap* map) : mMap(map)
{
    k2::SoundTags::Instance()->PlayMusic(kMusic);
    if (!buildFromLayout(kLayout))
        QL_LOG(L"Main menu layout '%s' not opened: the menu is empty\n") << base::LogStyle::Error << kLayout;
    // The menu's buttons are its own over-buttons, not the base's picture buttons.
    for (TDButtonFrame* button : mButtons)
        delete button;
    mButtons.clear();
    const HUDWindowContext& context = HUDWindowContext::Get();
    for (const std::wstring& name : buttonNames(mLayout))
    {
        auto* button = new HUDButtonOver(mLayout, name);
        button->mLabel = localised(name);
        button->mFont = name == L"b2_play" ? context.captionFont : context.windowFont;
        mMenuButtons.push_back(button);
    }
    setFont(context.windowFont);
    createEmitters();
    Refresh();
    const bool russian = gLanguageCode == L"ru";
    setFrameVisible(L"ru", russian);
    setFrameVisible(L"en", !russian);
    reportDamagedProfiles();
}

HUDMainMenu::~HUDMainMenu()
{
    for (render::ParticleEmitter* emitter : mEmitters)
        delete emitter;
    delete mLayout;
    mLayout = nullptr;
    for (HUDButtonOver* button : mMenuButtons)
        delete button;
}

void HUDMainMenu::createEmitters()
{
    render::ParticleSystem* particles = render::ParticleSystem::Instance();
    for (const EmitterPlace& place : kEmitters)
    {
        render::ParticleEmitter* emitter = particles->CreateEmitter(std::string(place.name));
        if (!emitter)
        {
            QL_LOG(L"Main menu effect '%s' is not in the effect library\n")
                << base::LogStyle::Error << base::StringToWString(place.name, 0);
            continue;
        }
        emitter->SetPosition(place.x, place.y, 1);
        emitter->SetLoopMode(1);
        emitter->SetState(1);
        mEmitters.push_back(emitter);
    }
}

void HUDMainMenu::reportDamagedProfiles()
{
    if (!file::gProfileCorrupt)
        return;
    file::gProfileCorrupt = false;
    framework::GameApplication* app = framework::GameApplication::Get();
    auto* frames = app ? dynamic_cast<widget::FrameManager*>(app->mFrameManager) : nullptr;
    if (!frames)
        return;
    auto* box = new TMessageBox(L"profile_corrupt", L"");
    if (box->Build() != QL_OK || frames->ShowModal(box, true) != QL_OK)
    {
        QL_LOG(L"The damaged-profiles notice could not be shown\n") << base::LogStyle::Error;
        delete box;
    }
}

HUDButtonOver* HUDMainMenu::findMenuButton(const std::wstring& name) const
{
    for (HUDButtonOver* button : mMenuButtons)
        if (button->mName == name)
            return button;
    return nullptr;
}

void HUDMainMenu::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    HUDWindow::Draw(graphics);
    render::Font* previous = graphics->mFont;
    for (HUDButtonOver* button : mMenuButtons)
        button->Draw(graphics);
    graphics->mFont = previous;
    for (render::ParticleEmitter* emitter : mEmitters)
        graphics->DrawParticles(emitter);
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
}

void HUDMainMenu::Update(float dt)
{
    HUDWindow::Update(dt);
    framework::GameApplication* app = framework::GameApplication::Get();
    if (const auto* board = app ? dynamic_cast<const GameWindow*>(app->mScreen) : nullptr)
    {
        mPointerX = static_cast<float>(board->mPointerX);
        mPointerY = static_cast<float>(board->mPointerY);
    }
    for (HUDButtonOver* button : mMenuButtons)
        button->update(dt);
    for (render::ParticleEmitter* emitter : mEmitters)
        emitter->Update(dt);
}

void HUDMainMenu::Refresh()
{
    std::wstring name = mMap && mMap->mProgress ? mMap->mProgress->currentName() : std::wstring();
    if (name.empty())
        name = localised(L"unnamed_player");
    setText(L"greet", localised(L"greet_1") + name + localised(L"greet_2"));
}

void HUDMainMenu::MouseMove(int x, int y)
{
    for (HUDButtonOver* button : mMenuButtons)
        button->onHover(x, y);
}

void HUDMainMenu::Release(int x, int y)
{
    for (HUDButtonOver* button : mMenuButtons)
        button->onRelease(x, y);
}

void HUDMainMenu::Press(int x, int y)
{
    for (HUDButtonOver* button : mMenuButtons)
        button->onPress(x, y);
}

std::wstring HUDMainMenu::ButtonNameAt(int x, int y)
{
    if (y >= kProfileBandTop && y <= kProfileBandBottom)
        return L"profile";
    for (HUDButtonOver* button : mMenuButtons)
        if (button->contains(x, y))
        {
            if (auto play = HUDWindowContext::Get().playSound)
                play(L"simple");
            return button->mName;
        }
    return std::wstring();
}
