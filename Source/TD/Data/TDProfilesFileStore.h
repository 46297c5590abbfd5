// The progress store's profiles document: the engine's "profiles.xml" (file::Profiles).
#pragma once

#include "Source/TD/Data/TDProfileStore.h"

class TDProfilesFileStore : public TDProfileStore
{
public:
    // Loads the profiles file when nothing is loaded yet.
    TDProfilesFileStore();

    tinyxml2::XMLElement* currentProfile() override;
    void save() override;
    void selectProfile(const std::wstring& name) override;
    void renameCurrentProfile(const std::wstring& name) override;
    void deleteProfile(const std::wstring& name) override;
    std::vector<std::wstring> profileNames() override;
    std::wstring currentProfileName() override;
    bool firstReport(const std::string& key) override;
};
