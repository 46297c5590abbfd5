// Fuzzes loading "profiles.xml" and the profile operations on whatever was loaded.
#include "Core/File/Profiles.h"
#include "Core/File/UserDataFileContainer.h"

#include <tinyxml2.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace
{
// Never freed, so the exit handler can still read it after static destructors ran.
const std::filesystem::path* gFolder = nullptr;

const std::filesystem::path& Folder()
{
    if (!gFolder)
    {
        gFolder = new std::filesystem::path(std::filesystem::temp_directory_path() /
                                            ("ql-fuzz-profiles-" + std::to_string(getpid())));
        std::filesystem::create_directories(*gFolder);
        (void)file::UserDataFileContainer::Instance()->SetPath(gFolder->wstring());
        std::atexit(
            []
            {
                std::error_code ignored;
                std::filesystem::remove_all(*gFolder, ignored);
            });
    }
    return *gFolder;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const std::filesystem::path folder = Folder();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    {
        std::ofstream out(folder / "profiles.xml", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    file::Profiles* profiles = file::Profiles::Instance();
    profiles->SetSecondInstance(true); // nothing is written at exit
    (void)profiles->Load();
    if (!profiles->mRootElement || !profiles->mCurrentProfile)
        std::abort(); // every load ends with a current profile
    std::wstring current = profiles->GetCurrentProfileName();
    for (const std::wstring& name : profiles->GetProfileNames())
        profiles->FindProfile(name);
    profiles->RenameCurrentProfile(current + L"\u0416");
    profiles->SelectProfile(L"other");
    profiles->DeleteProfile(current + L"\u0416");
    profiles->DeleteProfile(L"other");
    if (!profiles->mCurrentProfile)
        std::abort();
    if (profiles->Save() != QL_OK)
        std::abort();
    // What was saved loads back without damage.
    file::gProfileCorrupt = false;
    (void)profiles->Load();
    if (file::gProfileCorrupt)
        std::abort();
    return 0;
}
