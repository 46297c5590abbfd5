// The progress store's profiles document: the engine's "profiles.xml".
#include "Source/TD/Data/TDProfilesFileStore.h"

#include "Core/File/Profiles.h"

TDProfilesFileStore::TDProfilesFileStore()
{
    file::Profiles* profiles = file::Profiles::Instance();
    if (!profiles->mRootElement)
        (void)profiles->Load();
}

tinyxml2::XMLElement* TDProfilesFileStore::currentProfile()
{
    file::Profiles* profiles = file::Profiles::Instance();
    if (!profiles->mCurrentProfile)
        profiles->SelectProfile(base::kDefaultProfileName);
    return profiles->mCurrentProfile;
}

void TDProfilesFileStore::save() { (void)file::Profiles::Instance()->Save(); }

void TDProfilesFileStore::selectProfile(const std::wstring& name) { file::Profiles::Instance()->SelectProfile(name); }

void TDProfilesFileStore::renameCurrentProfile(const std::wstring& name)
{
    file::Profiles::Instance()->RenameCurrentProfile(name);
}

void TDProfilesFileStore::deleteProfile(const std::wstring& name) { file::Profiles::Instance()->DeleteProfile(name); }

std::vector<std::wstring> TDProfilesFileStore::profileNames() { return file::Profiles::Instance()->GetProfileNames(); }

std::wstring TDProfilesFileStore::currentProfileName() { return file::Profiles::Instance()->GetCurrentProfileName(); }

bool TDProfilesFileStore::firstReport(const std::string& key) { return file::Profiles::Instance()->FirstReport(key); }
