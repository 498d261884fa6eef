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

// The title bar: the top rows of a place; how much of its width and of its height one monitor's
// work area must hold for the user to grab it.
constexpr int32_t TITLE_BAR_HEIGHT = 16;
constexpr int32_t REACHABLE_TITLE_WIDTH = 100;
constexpr int32_t REACHABLE_TITLE_HEIGHT = TITLE_BAR_HEIGHT / 2;

// True when `work_area` holds at least REACHABLE_TITLE_WIDTH pixels of the width and
// REACHABLE_TITLE_HEIGHT rows of the title bar of `place` (its top TITLE_BAR_HEIGHT rows), so
// that the title bar can be grabbed there. A title bar across two monitors can be grabbed on
// either: each is asked on its own.
bool title_bar_reachable(const ScreenRect& place, const ScreenRect& work_area);

// `place` moved, and cut where it is larger, so that it lies inside `work_area` whole.
ScreenRect moved_inside(const ScreenRect& place, const ScreenRect& work_area);
