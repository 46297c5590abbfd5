// The episode row on its own: plate places and scales, drags clamped at the first page, a single
// episode that never moves (swipes and arrows run in the selection screen's walk).
#include "Source/TD/Shell/EpisodeCarousel.h"

#include <gtest/gtest.h>

namespace
{
struct Row
{
    explicit Row(int plates, int page = 0) : row(page) { row.plates.resize(static_cast<size_t>(plates)); }
    EpisodeCarousel row;
};
} // namespace

TEST(EpisodeCarousel, PlatesShrinkAwayFromTheCentreAndTheRowStopsAtItsEnds)
{
    Row r(3, 1);
    EXPECT_FLOAT_EQ(512.0f, r.row.plateX(1));
    EXPECT_FLOAT_EQ(192.0f, r.row.plateX(0));
    EXPECT_FLOAT_EQ(1.0f, r.row.plateScale(512.0f));
    EXPECT_FLOAT_EQ(0.55f, r.row.plateScale(632.0f));
    EXPECT_FLOAT_EQ(0.55f, r.row.plateScale(100.0f)) << "never below 0.55";
    r.row.offset = 60.0f;
    EXPECT_FLOAT_EQ(452.0f, r.row.plateX(1)) << "a positive offset moves the row left";

    // The row does not move past its first page; a single episode never moves.
    Row first(3);
    first.row.startDrag(400.0f, 384.0f);
    first.row.dragStep(600.0f, 384.0f);
    EXPECT_EQ(0.0f, first.row.offset) << "nothing before the first page (the last: the selection screen's walk)";

    Row one(1);
    one.row.startDrag(600.0f, 384.0f);
    one.row.dragStep(100.0f, 384.0f);
    EXPECT_EQ(0.0f, one.row.offset);
    one.row.step(1);
    one.row.step(-1);
    EXPECT_EQ(0, one.row.page) << "no arrow turns a single page";
}
