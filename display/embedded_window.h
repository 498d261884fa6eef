// The window-state record of the player's embedded-window service (IPC_GET_EMBEDDED_FRAME): the
// plug-in fills it in and passes its address; the player keeps that address for the whole life
// of the frame it makes, fills in `me` and keeps `r` up to date as the user moves the frame.
// Shared by the plug-in and the stand-in player.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

constexpr int32_t EMBEDDED_FLAG_NO_WINDOW_MENU = 0x4; // left unset: the player lists the window in its menu
constexpr int32_t EMBEDDED_FLAG_HAS_GUID = 0x8;       // a GUID stands at EMBEDDED_GUID_INDEX of the tail
constexpr size_t EMBEDDED_GUID_INDEX = 4;
constexpr size_t EMBEDDED_TAIL_COUNT = 64;

struct EmbeddedWindowState {
    HWND me;          // the frame, filled in by the player
    int32_t flags;
    RECT r;           // the frame's place on the screen
    void* user_ptr;
    // The player's own use, but for the GUID: the newest player declares it as a union of its own
    // fields with intptr_t[64], so it is pointer-sized words on each build.
    intptr_t tail[EMBEDDED_TAIL_COUNT];
};

// The smallest frame the player makes.
constexpr LONG EMBEDDED_MIN_WIDTH = 275;
constexpr LONG EMBEDDED_MIN_HEIGHT = 116;

static_assert(sizeof(GUID) == 16, "GUID size");
static_assert(sizeof(GUID) <= sizeof(intptr_t) * (EMBEDDED_TAIL_COUNT - EMBEDDED_GUID_INDEX), "GUID fits the tail");
#if defined(_WIN64)
static_assert(sizeof(EmbeddedWindowState) == 552, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, me) == 0, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, flags) == 8, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, r) == 12, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, user_ptr) == 32, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, tail) == 40, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, tail) + EMBEDDED_GUID_INDEX * sizeof(intptr_t) == 72, "GUID offset");
#else
static_assert(sizeof(EmbeddedWindowState) == 284, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, me) == 0, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, flags) == 4, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, r) == 8, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, user_ptr) == 24, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, tail) == 28, "window-state layout");
static_assert(offsetof(EmbeddedWindowState, tail) + EMBEDDED_GUID_INDEX * sizeof(intptr_t) == 44, "GUID offset");
#endif
