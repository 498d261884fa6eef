// Where a page appears on a player without the mini-browser: the lyrics window inside the
// player, or the system's web browser. The lookup, the configuration dialog and the plug-in's
// init and quit call it; it reaches the player through host/.
#pragma once

#include "display/address_size.h"
#include "display/embedded_window.h"

#include <windows.h>

#include <cstdint>

// Every page the plug-in opens (a track's, the dialog's notice) counts here as it begins. A page
// begun inside another's requests (the dialog's OK in a modal loop there) is the later one: the
// earlier sends nothing more, so that the last page the mini-browser and the lyrics window get is
// the one begun last.
extern uint32_t pages_begun;
extern int32_t prefers_web_browser; // 1: pages on a 5.x go to the system's web browser, not the lyrics window
// The lyrics window's record: its place `r` is read from the ini file at init (checked only when
// the window is made), then kept up to date by the player.
extern EmbeddedWindowState lyrics_window_state;

// On a player without the mini-browser (player_version 0x5000 or more), shows `address` (code
// page 1252, at most PAGE_ADDRESS_SIZE - 1 bytes) in the lyrics window, made by the first page
// and shown again when hidden; where no lyrics window can be had (decided once), or the user
// prefers it, has the player open it in the system's web browser instead.
void show_page(const char* address);
// True when the lyrics window was made and its place is the plug-in's to keep (no skin hosts it).
bool lyrics_window_place_is_kept();
// At init, on a player from 5.12 on whose pages may go to the lyrics window: the window's message
// processor and its menu item.
void start_lyrics_window();
// At quit: takes the processor and the menu item away, destroys the lyrics window if it is still
// there and unregisters its window class.
void close_lyrics_window();

// The user's choice from the menu item: the lyrics window shown (true), or closed. Read from the
// ini file at init; written at quit where the item exists.
extern bool lyrics_window_wanted;
bool lyrics_menu_item_exists();
// True while the lyrics window waits for the minimised player: the first tick after the player is
// restored calls show_lyrics_window_with_player, which shows it (or, closed meanwhile, hides it).
extern bool lyrics_window_waits;
void show_lyrics_window_with_player();

// Has the player open `address` (code page 1252, at most PAGE_ADDRESS_SIZE - 1 bytes) in the
// system's web browser; for show_page, on a player without the mini-browser. Its answer is not
// examined: a player that refuses changes nothing.
void open_in_web_browser(const char* address);
