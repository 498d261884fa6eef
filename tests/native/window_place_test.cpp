#include "display/window_place.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

namespace {

constexpr ScreenRect SCREEN = {0, 0, 1024, 768};
// A second monitor left of the first, its work area above a taskbar of 40 pixels.
constexpr ScreenRect LEFT_MONITOR_WORK = {-1280, 0, 0, 984};

std::string text_of(const ScreenRect& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

struct TitleBarCase {
    const char* name;
    ScreenRect place;
    ScreenRect work_area;
    bool reachable;
};

void PrintTo(const TitleBarCase& title_bar, std::ostream* out)
{
    *out << title_bar.name;
}

class TitleBar : public testing::TestWithParam<TitleBarCase> {};

TEST_P(TitleBar, ReachableWithAHundredPixelsAndHalfItsRowsOnTheWorkArea)
{
    EXPECT_EQ(title_bar_reachable(GetParam().place, GetParam().work_area), GetParam().reachable)
        << text_of(GetParam().place);
}

INSTANTIATE_TEST_SUITE_P(
    Places, TitleBar,
    testing::Values(TitleBarCase{"Inside", {100, 100, 580, 460}, SCREEN, true},
                    TitleBarCase{"HundredPixelsOnTheLeftEdge", {-380, 100, 100, 460}, SCREEN, true},
                    TitleBarCase{"NinetyNinePixelsOnTheLeftEdge", {-381, 100, 99, 460}, SCREEN, false},
                    TitleBarCase{"HundredPixelsOnTheRightEdge", {924, 100, 1404, 460}, SCREEN, true},
                    TitleBarCase{"NinetyNinePixelsOnTheRightEdge", {925, 100, 1405, 460}, SCREEN, false},
                    TitleBarCase{"TopRow", {100, 0, 580, 360}, SCREEN, true},
                    TitleBarCase{"HalfAbove", {100, -8, 580, 352}, SCREEN, true},
                    TitleBarCase{"NineRowsAbove", {100, -9, 580, 351}, SCREEN, false},
                    TitleBarCase{"HalfBelow", {100, 760, 580, 1120}, SCREEN, true},
                    TitleBarCase{"SevenRowsLeft", {100, 761, 580, 1121}, SCREEN, false},
                    // Across two monitors each holding a part of it: stacked ones (the lower is
                    // SCREEN moved down by 768), and side by side with different tops.
                    TitleBarCase{"StackedUpperHalf", {100, 760, 580, 1120}, SCREEN, true},
                    TitleBarCase{"StackedLowerHalf", {100, 760, 580, 1120}, {0, 768, 1024, 1536}, true},
                    TitleBarCase{"BesideTooNarrowOnTheLeft", {950, 92, 1450, 452}, SCREEN, false},
                    TitleBarCase{"BesideHalfOnTheLowerRight", {950, 92, 1450, 452}, {1024, 100, 2048, 868}, true},
                    TitleBarCase{"LowerThanItsTitleBar", {100, 100, 580, 110}, SCREEN, false},
                    TitleBarCase{"OnTheOtherMonitor", {-900, 200, -420, 560}, LEFT_MONITOR_WORK, true},
                    TitleBarCase{"MostlyOverTheOtherTaskbar", {-900, 977, -420, 1337}, LEFT_MONITOR_WORK, false},
                    TitleBarCase{"FarthestEdges", {INT_MIN, INT_MAX - 10, INT_MAX, INT_MAX}, SCREEN, false},
                    TitleBarCase{"WholeRange", {INT_MIN, 0, INT_MAX, INT_MAX}, SCREEN, true}),
    [](const testing::TestParamInfo<TitleBarCase>& case_info) { return std::string(case_info.param.name); });

struct MoveCase {
    const char* name;
    ScreenRect place;
    ScreenRect work_area;
    const char* moved;
};

void PrintTo(const MoveCase& move, std::ostream* out)
{
    *out << move.name;
}

class MovedInside : public testing::TestWithParam<MoveCase> {};

TEST_P(MovedInside, LiesWhollyInTheWorkArea)
{
    EXPECT_EQ(text_of(moved_inside(GetParam().place, GetParam().work_area)), GetParam().moved);
}

INSTANTIATE_TEST_SUITE_P(
    Places, MovedInside,
    testing::Values(MoveCase{"AlreadyInside", {100, 100, 580, 460}, SCREEN, "100,100,580,460"},
                    MoveCase{"OffTheRight", {1028, -4, 1508, 356}, SCREEN, "544,0,1024,360"},
                    MoveCase{"OffTheBottomRight", {3320, 3000, 3800, 3360}, SCREEN, "544,408,1024,768"},
                    MoveCase{"OffTheTopLeft", {-5000, -5000, -4520, -4640}, SCREEN, "0,0,480,360"},
                    MoveCase{"LargerThanTheArea", {-10, -10, 2000, 2000}, SCREEN, "0,0,1024,768"},
                    MoveCase{"ToTheOtherMonitor", {100, 100, 580, 460}, LEFT_MONITOR_WORK, "-480,100,0,460"},
                    MoveCase{"Inverted", {500, 500, 100, 100}, SCREEN, "500,500,500,500"},
                    MoveCase{"FarthestEdges", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, SCREEN, "0,0,1024,768"}),
    [](const testing::TestParamInfo<MoveCase>& case_info) { return std::string(case_info.param.name); });

} // namespace
