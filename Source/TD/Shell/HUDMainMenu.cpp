// The main menu: its layout, buttons, effects, greeting and the notice of profiles that are
// damaged, unreadable or cannot be saved.
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
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDProgress.h"

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

HUDMainMenu::HUDMainMenu(TDMap* map) : mMap(map)
{
    k2::SoundTags::Instance()->PlayMusic(kMusic);
    if (!buildFromLayout(kLayout))
        QL_LOG(L"Main menu layout '%s' not opened: the menu is empty\n") << base::LogStyle::Error << kLayout;
    // The menu's buttons are its own over-buttons, not the base's picture buttons.
    mButtons.clear();
    mMenuButtons.build(mLayout.get());
    setFont(HUDWindowContext::Get().windowFont);
    createEmitters();
    Refresh();
    const bool russian = gLanguageCode == L"ru";
    setFrameVisible(L"ru", russian);
    setFrameVisible(L"en", !russian);
    reportDamagedProfiles();
}

HUDMainMenu::~HUDMainMenu() { mEmitters.clear(); }

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
        emitter->SetState(render::ParticleEmitter::PLAYING);
        mEmitters.push_back(emitter);
    }
}

void HUDMainMenu::reportDamagedProfiles()
{
    // One notice: a file that could not be set aside saves nothing either, so "unsaved" comes
    // before "corrupt".
    const wchar_t* notice = file::gProfileUnreadable ? L"profile_unreadable"
                            : file::gProfilesUnsaved ? L"profile_unsaved"
                            : file::gProfileCorrupt  ? L"profile_corrupt"
                                                     : nullptr;
    if (!notice)
        return;
    file::gProfileCorrupt = file::gProfileUnreadable = file::gProfilesUnsaved = false;
    framework::GameApplication* app = framework::GameApplication::Get();
    auto* frames = app ? dynamic_cast<widget::FrameManager*>(app->mFrameManager) : nullptr;
    if (!frames)
        return;
    auto box = std::make_unique<TMessageBox>(notice, L"");
    if (box->Build() != QL_OK || frames->ShowModal(box.get(), true) != QL_OK)
    {
        QL_LOG(L"The damaged-profiles notice could not be shown\n") << base::LogStyle::Error;
        return;
    }
    (void)box.release(); // removed and deleted by the frame manager when it closes
}

void HUDMainMenu::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    HUDWindow::Draw(graphics);
    mMenuButtons.draw(graphics);
    for (render::ParticleEmitter* emitter : mEmitters)
        graphics->DrawParticles(emitter);
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
}

void HUDMainMenu::Update(float dt)
{
    HUDWindow::Update(dt);
    HUDRootPointer(mPointerX, mPointerY);
    mMenuButtons.update(dt);
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

void HUDMainMenu::MouseMove(int x, int y) { mMenuButtons.hover(x, y); }

void HUDMainMenu::Release(int x, int y) { mMenuButtons.release(x, y); }

void HUDMainMenu::Press(int x, int y) { mMenuButtons.press(x, y); }

std::wstring HUDMainMenu::ButtonNameAt(int x, int y)
{
    if (y >= kProfileBandTop && y <= kProfileBandBottom)
        return L"profile";
    return mMenuButtons.nameAt(x, y);
}
