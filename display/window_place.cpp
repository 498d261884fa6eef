#include "display/window_place.h"

namespace {

// Edges are widened to 64 bits: a hand-edited ini file may hold any 32-bit number.
int64_t overlap(int32_t first_start, int32_t first_end, int32_t second_start, int32_t second_end)
{
    const int64_t start = first_start > second_start ? first_start : second_start;
    const int64_t end = first_end < second_end ? first_end : second_end;
    return end > start ? end - start : 0;
}

// `start` moved so that [start, start + length) lies inside [low, high), where it fits.
int32_t moved_start(int32_t start, int64_t length, int32_t low, int32_t high)
{
    const int64_t last_start = int64_t{high} - length;
    if (start > last_start) {
        return static_cast<int32_t>(last_start);
    }
    return start < low ? low : start;
}

// `length` kept within 0 and `most`.
int64_t clamped(int64_t length, int64_t most)
{
    const int64_t longest = most > 0 ? most : 0;
    return length > longest ? longest : length < 0 ? 0 : length;
}

} // namespace

bool title_bar_reachable(const ScreenRect& place, const ScreenRect& work_area)
{
    if (int64_t{place.bottom} - place.top < TITLE_BAR_HEIGHT) {
        return false;
    }
    // No lower than its bottom edge: within 32 bits.
    const int32_t title_bottom = place.top + TITLE_BAR_HEIGHT;
    return overlap(place.top, title_bottom, work_area.top, work_area.bottom) >= REACHABLE_TITLE_HEIGHT &&
           overlap(place.left, place.right, work_area.left, work_area.right) >= REACHABLE_TITLE_WIDTH;
}

ScreenRect moved_inside(const ScreenRect& place, const ScreenRect& work_area)
{
    const int64_t area_width = int64_t{work_area.right} - work_area.left;
    const int64_t area_height = int64_t{work_area.bottom} - work_area.top;
    const int64_t width = clamped(int64_t{place.right} - place.left, area_width);
    const int64_t height = clamped(int64_t{place.bottom} - place.top, area_height);
    const int32_t left = moved_start(place.left, width, work_area.left, work_area.right);
    const int32_t top = moved_start(place.top, height, work_area.top, work_area.bottom);
    return {left, top, static_cast<int32_t>(left + width), static_cast<int32_t>(top + height)};
}
