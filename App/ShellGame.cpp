// Configuration step and screen-mode choice of the game.
#include "App/ShellGame.h"

#include "Core/Base/Log.h"
#include "Core/File/FileManager.h"
#include "Core/File/Profiles.h"
#include "Core/Media/Container/ImageContainers.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Core/Media/Sound/SoundTags.h"
#include "Core/Widget/Controls/DialogEffectsManager.h"
#include "Framework/GameWindow.h"
#include "Platform/Os/Dialogs.h"
#include "Platform/Os/Files.h"
#include "Platform/Os/Text.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDProgress.h"

#include <tinyxml2.h>

#include <string>

ShellGame::ShellGame()
{
    mLayout.coreWidth = 1024;
    mLayout.height = 768;
    mLayout.fullWidth = 1366;
    mPublisherName = L"Marrowgate";
    mGameName = L"Brackenmoor";
}

ShellGame::~ShellGame()
{
    // The publisher's page, opened when the game ends (never under tests or CI).
    const std::wstring page = mModuleFolder + L"play.url";
    if (base::Singletone<file::FileManager>::Exists() && file::FileManager::Instance()->Exists(L"play.url") &&
        !IsSecondInstance() && os::IsFile(os::SystemPath(page)))
        os::ShellOpen(page);
}

QLResultEnum ShellGame::LoadConfig()
{
    file::FileManager* files = file::FileManager::Instance();
    if (!files->Exists(L"play.url"))
    {
        Stop();
        QL_LOG(L"File play.url not found!\n") << base::LogStyle::Error;
        os::ShowErrorBox(L"Error", L"File play.url not found!");
        return QL_FAIL;
    }
    files->mMounts[L"td/"] = L"data.dat";
    // Layouts open as PSD files or folders with "layers.xml" from here on.
    file::RegisterImageContainers();
    mCaption = LocalStrings::Instance()->get(L"game_caption");
    // Building packs plays nothing: the player's files are left as they are.
    if (mBuildingPacks)
        return QL_OK;
    (void)file::Profiles::Instance()->Load();
    mWindowed = !TDProgress::storedFullscreen(file::Profiles::Instance()->mCurrentProfile);
    return QL_OK;
}

QLResultEnum ShellGame::LoadDialogEffects(tinyxml2::XMLElement* element)
{
    // A malformed definition is logged where it is read; the game still starts, with the effects
    // read before the fault (a dialog without effects opens at once).
    (void)widget::DialogEffectsManager::Instance()->Load(element);
    return QL_OK;
}

QLResultEnum ShellGame::StartGame()
{
    // The screens start their own music: the intro its sound track, the main menu its tune.
    k2::SoundTags::Instance()->Load(L"td/sounds_sheet.csv");
    return QL_OK;
}

QLResultEnum ShellGame::OnFrame(float dt)
{
    if (base::Singletone<SoundSystem>::Exists())
        SoundSystem::Instance()->Update();
    return QL_OK;
}

void ShellGame::OnPause()
{
    if (base::Singletone<SoundSystem>::Exists())
        SoundSystem::Instance()->Pause();
}

void ShellGame::OnResume()
{
    if (base::Singletone<SoundSystem>::Exists())
        SoundSystem::Instance()->Resume();
}

QLResultEnum ShellGame::SwitchScreenMode()
{
    const bool wasWindowed = mWindow->IsWindowed();
    if (QLResultEnum r = GameApplication::SwitchScreenMode())
        return r;
    if (mWindow->IsWindowed() != wasWindowed)
        (void)WriteFullScreen(!mWindow->IsWindowed()); // the mode did switch; only the preference is lost
    return QL_OK;
}

QLResultEnum WriteFullScreen(bool fullScreen)
{
    file::Profiles* profiles = file::Profiles::Instance();
    tinyxml2::XMLElement* profile = profiles->mCurrentProfile;
    if (!profile)
        return QL_FAIL;
    tinyxml2::XMLElement* fs = profile->FirstChildElement("fs");
    if (!fs)
        fs = profile->InsertNewChildElement("fs");
    fs->SetAttribute("v", fullScreen ? 1 : 0);
    return profiles->Save();
}
