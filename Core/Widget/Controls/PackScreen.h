// The screen shown instead of the game with "--pack": its start rebuilds every mounted pack from
// the loose folder of its prefix, and it keeps what it did for the log and the tests.
#pragma once

#include "Core/Widget/BaseBoard.h"

#include <string>
#include <vector>

namespace gui
{
class PackScreen : public widget::BaseBoard
{
public:
    struct Report
    {
        std::wstring folder;
        std::wstring pack;
        u32 files = 0; // files copied
        QLResultEnum result = QL_OK;
        std::wstring reason; // why it failed
    };

    explicit PackScreen(const std::wstring& value) : mValue(value) {}

    // Every mount in prefix order; the first failure ends the walk and is returned.
    QLResultEnum Start() override;
    QLResultEnum BuildPack(const std::wstring& folder, const std::wstring& packPath);

    const std::vector<Report>& GetReports() const { return mReports; }
    // The file being copied: its name and place.
    const std::wstring& GetCurrentFile() const { return mCurrentFile; }

    std::wstring mValue; // given after "--pack"; the build does not use it

private:
    std::vector<Report> mReports;
    std::wstring mCurrentFile;
};
} // namespace gui
