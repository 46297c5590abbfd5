// The unlock message over the demo layout "td/data/message": unlocks shown one by one, ids
// without an icon skipped, "ok" answered after the last, and the battle closing the window.
#include "ShopFixture.h"

#include "Source/TD/Shell/HUDUnlockMessage.h"
#include "Source/TD/Sprites/TDFrameEntry.h"

#include <algorithm>

using UnlockMessage = shoptest::ShopFixture;

namespace
{
// The "ok" button of the demo layout.
constexpr int kOkX = 512, kOkY = 524;

std::wstring VisibleIcon(const HUDUnlockMessage& w)
{
    std::wstring name;
    for (const TDFrameEntry* icon : w.icons)
        if (icon->mVisible)
            name += icon->mName;
    return name;
}
} // namespace

TEST_F(UnlockMessage, IdsWithoutAnIconAreSkippedEntirely)
{
    HUDUnlockMessage some({777, 20000, 888});
    EXPECT_EQ(std::vector<i32>{20000}, some.shownIds);
    EXPECT_EQ(L"icons/id20000", VisibleIcon(some));
    EXPECT_EQ(L"ok", some.ButtonNameAt(kOkX, kOkY));

    HUDUnlockMessage none({777});
    EXPECT_TRUE(none.shownIds.empty());
    EXPECT_EQ(L"", VisibleIcon(none));
    EXPECT_EQ(nullptr, none.getText(L"message"));
    EXPECT_EQ(L"ok", none.ButtonNameAt(kOkX, kOkY));
}
