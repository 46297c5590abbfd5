// Rebuilding the mounted packs.
#include "Core/Widget/Controls/PackScreen.h"

#include "Core/Base/Log.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"

namespace gui
{
QLResultEnum PackScreen::Start()
{
    QL_LOG(L"Building packs (%s)\n") << mValue;
    // A copy: the table must not change under the walk.
    const auto mounts = file::FileManager::Instance()->mMounts;
    for (const auto& [folder, pack] : mounts)
        if (QLResultEnum r = BuildPack(folder, pack))
            return r;
    return QL_OK;
}

QLResultEnum PackScreen::BuildPack(const std::wstring& folder, const std::wstring& packPath)
{
    Report report;
    report.folder = folder;
    report.pack = packPath;
    mReports.push_back(report);
    const size_t index = mReports.size() - 1;
    const QLResultEnum result = file::BuildPack(
        folder, packPath,
        [this, index](const std::wstring& name, u32 number, u32 count)
        {
            mCurrentFile = name;
            mReports[index].files = number + 1;
        },
        &mReports[index].reason);
    mReports[index].result = result;
    mCurrentFile.clear();
    // The next look-up reads the new index.
    file::FileManager::Instance()->ForgetPack(packPath);
    QL_LOG(L"Pack '%s' from '%s': %s (%u files)\n")
        << (result ? base::LogStyle::Error : base::LogStyle::Default) << packPath << folder
        << (result ? "failed" : "built") << mReports[index].files;
    return result;
}
} // namespace gui
