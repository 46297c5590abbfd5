// The episode row's motion on its own: drags clamped at the row's ends, swipe ends by distance
// and by speed, arrows, and the slide back at 800 pixels per second.
#include "Source/TD/Shell/EpisodeCarousel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct Row
{
    explicit Row(int plates, int page = 0) : row(page)
    {
        row.plates.resize(static_cast<size_t>(plates));
        row.onPageChanged = [this](i32 p) { events.push_back("page " + std::to_string(p)); };
        row.onMoveStart = [this] { events.push_back("start"); };
        row.onMoveEnd = [this] { events.push_back("end"); };
    }
    // A drag from x0 to x1 in one step, held for seconds before the release.
    void swipe(float x0, float x1, float seconds)
    {
        row.startDrag(x0, 384.0f);
        row.update(seconds);
        row.dragStep(x1, 384.0f);
        row.swipeEnd();
    }
    void settle()
    {
        for (int i = 0; i < 100 && row.motion != EpisodeCarousel::kIdle; ++i)
            row.update(0.05f);
    }
    EpisodeCarousel row;
    std::vector<std::string> events;
};
} // namespace

TEST(EpisodeCarousel, PlatesShrinkAwayFromTheCentre)
{
    Row r(3, 1);
    EXPECT_FLOAT_EQ(512.0f, r.row.plateX(1));
    EXPECT_FLOAT_EQ(192.0f, r.row.plateX(0));
    EXPECT_FLOAT_EQ(1.0f, r.row.plateScale(512.0f));
    EXPECT_FLOAT_EQ(0.55f, r.row.plateScale(632.0f));
    EXPECT_FLOAT_EQ(0.55f, r.row.plateScale(100.0f)) << "never below 0.55";
    r.row.offset = 60.0f;
    EXPECT_FLOAT_EQ(452.0f, r.row.plateX(1)) << "a positive offset moves the row left";
}

TEST(EpisodeCarousel, TheRowDoesNotMovePastItsEndsAndOneEpisodeNeverMoves)
{
    Row first(3);
    first.row.startDrag(400.0f, 384.0f);
    first.row.dragStep(600.0f, 384.0f);
    EXPECT_EQ(0.0f, first.row.offset) << "nothing before the first page";
    Row last(3, 2);
    last.row.startDrag(600.0f, 384.0f);
    last.row.dragStep(100.0f, 384.0f);
    EXPECT_EQ(0.0f, last.row.offset);
    last.row.swipeEnd();
    EXPECT_EQ(2, last.row.page);
    EXPECT_EQ(EpisodeCarousel::kIdle, last.row.motion);

    Row one(1);
    one.row.startDrag(600.0f, 384.0f);
    one.row.dragStep(100.0f, 384.0f);
    EXPECT_EQ(0.0f, one.row.offset);
    one.row.step(1);
    one.row.step(-1);
    EXPECT_EQ(0, one.row.page) << "no arrow turns a single page";
}
