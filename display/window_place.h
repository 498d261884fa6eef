// Where the lyrics window may stand: a place the user can reach, so that a window whose saved
// place lies off every monitor (a monitor undocked since), or beside a player that fills the
// screen, does not open where its title bar cannot be grabbed. Screen rectangles in pixels,
// right and bottom edges exclusive, as Windows gives them.
#pragma once

#include <cstdint>

struct ScreenRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The strip of the title bar that must be on a monitor, and how much of its width.
constexpr int32_t TITLE_BAR_HEIGHT = 16;
constexpr int32_t REACHABLE_TITLE_WIDTH = 100;

// True when at least REACHABLE_TITLE_WIDTH pixels of the width of the top TITLE_BAR_HEIGHT rows
// of `place` lie inside `work_area` (all of those rows), so that the title bar can be grabbed.
bool title_bar_reachable(const ScreenRect& place, const ScreenRect& work_area);

// `place` moved, and cut where it is larger, so that it lies inside `work_area` whole.
ScreenRect moved_inside(const ScreenRect& place, const ScreenRect& work_area);
