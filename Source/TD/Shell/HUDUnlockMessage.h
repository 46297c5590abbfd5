// The unlock message ("td/data/message", screen 11): the towers and spells a level unlocked,
// one at a time with their layout icon and text; "ok" steps to the next and, after the last,
// answers "ok" so that the battle closes the window. Ids without an icon are skipped.
#pragma once

#include "Source/TD/Shell/HUDWindow.h"

#include <vector>

class HUDUnlockMessage : public HUDWindow
{
public:
    explicit HUDUnlockMessage(const std::vector<i32>& ids, const std::wstring& layout = L"td/data/message");

    // Only the named-button path acts on this window.
    int ButtonAt(int, int) override { return -1; }
    std::wstring ButtonNameAt(int x, int y) override;

    // The id's icon alone becomes visible, with its text.
    void show(i32 id);

    std::vector<i32> shownIds;
    i32 current = 0;
    std::vector<TDFrameEntry*> icons; // owned through the base's images
};
