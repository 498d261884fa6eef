// The player's menus, where a plug-in may put an item of its own: a command id for it, the
// menus, and the places where plug-ins' items go, which the player keeps as offsets. A command
// chosen from these menus reaches the player's main window as a posted WM_COMMAND (from the
// system menu's copy, WM_SYSCOMMAND) with the id in the low word. Shared by the plug-in and the
// stand-in player.
#pragma once

#include <cstdint>

constexpr int32_t IPC_NEW_COMMAND_ID = 3019;      // wParam 0: a command id (16 bits), unique in the player; players from 5.1
constexpr int32_t IPC_GET_MENU = 281;             // wParam MENU_MAIN_POPUP or MENU_WINDOW: that menu, or null where not offered
constexpr int32_t IPC_MAIN_MENU_OFFSET = 280;     // wParam a MENU_OFFSET_ value: the main popup's offset, moved first
constexpr int32_t IPC_WINDOW_MENU_OFFSET = 606;   // the same for the Window menu

constexpr int32_t MENU_MAIN_POPUP = 0; // the main window's title bar, logo and tray icon menu
constexpr int32_t MENU_WINDOW = 4;     // the menu bar's Window menu

constexpr int32_t MENU_OFFSET_ASK = 0;   // only answers the offset
constexpr int32_t MENU_OFFSET_DOWN = 1;  // one item more above the place
constexpr int32_t MENU_OFFSET_UP = -1;   // one item less above it

// The places of plug-ins' items, counted with the offset: in the main popup after the player's
// windows (its Options entry stands at MAIN_MENU_OPTIONS_PLACE + offset, below a separator), in
// the Window menu where the skins' own windows begin.
constexpr int32_t MAIN_MENU_ITEM_PLACE = 10;
constexpr int32_t MAIN_MENU_OPTIONS_PLACE = 11;
constexpr int32_t WINDOW_MENU_ITEM_PLACE = 3;
