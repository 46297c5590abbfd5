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

TEST_F(UnlockMessage, ShowsEachUnlockInTurnAndAnswersOkAfterTheLast)
{
    files.put(L"td/strings_en.csv", "unlock_10000;darts\r\nunlock_0;meteor\r\nunlock_1;frost\r\n");
    LocalStrings::Instance()->load(L"td/strings_en.csv");
    HUDUnlockMessage w({10000, 0, 1});
    ASSERT_EQ((std::vector<i32>{10000, 0, 1}), w.shownIds);
    EXPECT_EQ(L"icons/id10000", VisibleIcon(w));
    ASSERT_NE(nullptr, w.getText(L"message"));
    EXPECT_EQ(L"darts", *w.getText(L"message"));
    EXPECT_EQ(-1, w.ButtonAt(kOkX, kOkY));
    EXPECT_EQ(L"", w.ButtonNameAt(10, 10));
    EXPECT_EQ(L"", w.ButtonNameAt(kOkX, kOkY));
    EXPECT_EQ(L"icons/id0", VisibleIcon(w));
    EXPECT_EQ(L"meteor", *w.getText(L"message"));
    EXPECT_EQ(L"", w.ButtonNameAt(kOkX, kOkY));
    EXPECT_EQ(L"icons/id1", VisibleIcon(w));
    EXPECT_EQ(L"ok", w.ButtonNameAt(kOkX, kOkY));
    // The icons are among the window's pictures in layout order.
    EXPECT_TRUE(std::is_sorted(w.mImages.begin(), w.mImages.end(), TDFrameEntry::lessByOrder));
    EXPECT_EQ(4u, w.mImages.size());
}

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

TEST_F(UnlockMessage, TheBattleClosesTheWindowOnTheLastOk)
{
    hud->showUnlockMessage({10000, 30000});
    hud->Update(0.0f);
    ASSERT_EQ(1u, hud->windows().size());
    ASSERT_EQ(11, map->mScreen);
    map->onPointerUp(kOkX, kOkY);
    EXPECT_EQ(1u, hud->windows().size()) << "the first ok shows the second unlock";
    map->onPointerUp(kOkX, kOkY);
    EXPECT_TRUE(hud->windows().empty());
    EXPECT_EQ(0, map->mScreen);
}
