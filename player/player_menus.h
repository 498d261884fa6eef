// The player's menus as the stand-in models them: its main popup (the menu of the main window's
// title bar, its logo and its tray icon) and the Window menu of its menu bar, real menus with the
// player's items in the player's order, as on a player without a video plug-in (its Video item
// left out) where the media library and another plug-in have put items of their own; the offsets
// of the places for plug-ins' items (IPC_MAIN_MENU_OFFSET, IPC_WINDOW_MENU_OFFSET); and the command
// ids the player gives out (IPC_NEW_COMMAND_ID), from a counter.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class PlayerMenus {
public:
    PlayerMenus();
    ~PlayerMenus();
    PlayerMenus(const PlayerMenus&) = delete;
    PlayerMenus& operator=(const PlayerMenus&) = delete;

    // The answer to IPC_NEW_COMMAND_ID, IPC_GET_MENU (`offered` false: null, as a player that
    // offers neither menu), IPC_MAIN_MENU_OFFSET or IPC_WINDOW_MENU_OFFSET.
    LRESULT answer(int32_t code, WPARAM argument, bool offered);

    HMENU main_popup = nullptr;
    HMENU window_menu = nullptr;
    int32_t main_offset = 0;
    int32_t window_offset = 0;

private:
    // Inserts `text` with `command` at `place` + the offset, and moves the offset down, as a plug-in does.
    void insert_item(HMENU menu, int32_t place, int32_t& offset, const char* text, UINT command);
    UINT next_command;
};

// The items of `menu`, one text each ("-" for a separator), with " (checked)" after a checked one.
std::vector<std::string> menu_items(HMENU menu);
// The command of the item of `menu` whose text is `text`; 0 where there is none.
UINT menu_command(HMENU menu, const std::string& text);
