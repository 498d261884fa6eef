// What the lyrics window's key handling reads of it, and how it joins the player's message loop.
#pragma once

#include <windows.h>

struct IWebBrowser2;

// The plug-in's own window in the player's frame, and the web control in it (not add-ref'd);
// null when there is none (not made yet, or destroyed with the frame).
HWND lyrics_window_container();
IWebBrowser2* lyrics_window_control();

// On a player with the service objects, registers the lyrics window's message processor, once
// for the session; a player without them gets nothing. Undone by remove_message_processor, which
// quit calls before it returns: the player then never calls the plug-in's code again.
void add_message_processor();
void remove_message_processor();
