// Checking the start files through the file manager, so a pack and loose files count alike.
#include "App/StartFiles.h"

#include "Core/Base/Stream.h"
#include "Core/File/Archiver.h"
#include "Core/File/FileManager.h"
#include "Platform/Os/Text.h"
#include "Source/TD/Shell/HUDMainMenu.h"

#include <filesystem>
#include <memory>

namespace
{
// Opens and reads at least its first byte (a pack may list bytes it does not hold).
bool Readable(const std::wstring& path)
{
    std::unique_ptr<file::FileInfo> info(file::FileManager::Instance()->GetFileInfo(path));
    std::unique_ptr<base::Stream> stream(info ? info->Open() : nullptr);
    if (!stream)
        return false;
    char byte = 0;
    return stream->GetSize() == 0 || stream->Read(&byte, 1) == 1;
}

bool LayoutReadable(const std::wstring& layout)
{
    return Readable(layout + L"/layers.xml") || Readable(layout + L".psd");
}

// "a, b and 3 more"
std::wstring ListOf(const std::vector<std::wstring>& names)
{
    constexpr size_t kShown = 3;
    std::wstring text;
    for (size_t i = 0; i < names.size() && i < kShown; ++i)
        text += (i == 0 ? L"" : i + 1 == names.size() ? L" and " : L", ") + names[i];
    if (names.size() > kShown)
        text += L" and " + std::to_wstring(names.size() - kShown) + L" more";
    return text;
}
} // namespace

const std::vector<std::wstring>& StartFiles()
{
    static const std::vector<std::wstring> files = {
        L"td/strings_en.csv",  L"td/towers_sheet.csv", L"td/units_sheet.csv", L"td/ammo_sheet.csv",
        L"td/setup_sheet.csv", L"td/spells_sheet.csv", L"td/unlocks.csv",     L"td/sounds_sheet.csv",
        L"td/upgrades.xml",    HUDMainMenu::kLayout};
    return files;
}

std::wstring CheckStartFiles()
{
    file::FileManager* files = file::FileManager::Instance();
    std::vector<std::wstring> missing;
    for (const std::wstring& name : StartFiles())
        if (!(name == HUDMainMenu::kLayout ? LayoutReadable(name) : Readable(name)))
            missing.push_back(name);
    if (missing.empty())
        return {};

    const std::wstring folder = os::FromSystemPath(std::filesystem::current_path().string()) + L"/";
    const std::wstring needed = L"the game cannot start without " + ListOf(missing) + L".";
    // The pack mounted over the first missing file, if any: it is the likely culprit.
    for (const auto& [prefix, packPath] : files->mMounts)
    {
        if (missing.front().compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::wstring pack = L"The data pack '" + folder + packPath + L"'";
        std::wstring rest;
        file::Archiver* archiver = files->ResolveMount(missing.front(), rest);
        if (!archiver)
            return pack + L" is missing, and the folder '" + prefix + L"' does not hold the files in its place: " +
                   needed;
        if (!archiver->GetOpenFailure().empty())
            return pack + L" cannot be opened (" + archiver->GetOpenFailure() + L"): " + needed;
        if (!archiver->GetFault().empty())
            return pack + L" is damaged (" + archiver->GetFault() + L"): " + needed;
        return pack + L" lacks files or cannot give them: " + needed;
    }
    return L"The data folder '" + folder + L"' is incomplete: " + needed;
}
