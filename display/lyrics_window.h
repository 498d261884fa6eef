// What the lyrics window's key handling and its menu item read of it, and how they join the
// player's message loop and menus.
#pragma once

#include <windows.h>

struct IWebBrowser2;

// The plug-in's own window in the player's frame, and the web control in it (not add-ref'd);
// null when there is none (not made yet, or destroyed with the frame).
HWND lyrics_window_container();
IWebBrowser2* lyrics_window_control();

// On a player with the service objects, registers the lyrics window's message processor (its
// keys and its menu item's command), once for the session; a player without them gets nothing.
// Undone by remove_message_processor, which quit calls before it returns: the player then never
// calls the plug-in's code again.
void add_message_processor();
void remove_message_processor();
bool message_processor_added();

// The menu item "Cantovia" in the player's main popup and Window menu, on a player that passes
// the main window's commands to the message processor and offers either menu; added at init,
// removed at quit, with the offsets of the player's places for plug-ins' items moved and moved
// back. Checked while `shown`.
void add_lyrics_menu_item();
void remove_lyrics_menu_item();
void mark_lyrics_menu_item(bool shown);
// Whether `message` (a WM_COMMAND or WM_SYSCOMMAND) is the item's, chosen by the user.
bool is_lyrics_menu_command(const MSG& message);
// What choosing the item does: a window that shows is hidden; one that does not, or none yet, is
// shown (made where there is none) with the latest page, or blank where no page came yet.
void toggle_lyrics_window();
