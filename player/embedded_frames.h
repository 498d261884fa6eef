// The player's embedded-window service as the stand-in models it (IPC_GET_EMBEDDED_FRAME): a
// frame created hidden and owned by the player's main window, placed where the plug-in's record
// says, which sizes its first child to fill it, sends WM_CLOSE to that child when its close
// button is pressed (hiding or destroying nothing itself), keeps the record's place up to
// date as it moves, registers itself as the active dialog while it is active and gives the
// focus it gets to its first tab stop, as a dialog does. Also what the stand-in and the tests read of a web control in such a frame.
#pragma once

#include "player/message_pump.h"
#include "display/embedded_window.h"

#include <windows.h>

#include <string>
#include <vector>

constexpr char EMBEDDED_FRAME_CLASS[] = "CantoviaStandInFrame";

// Registers a window class of the stand-in player's own; a second registration fails harmlessly.
void register_player_class(const char* name, WNDPROC procedure, int background_color);

// A new hidden frame owned by `owner` at `state->r` (a default place when that is empty); fills
// in `state->me`. The record must outlive the frame.
HWND make_embedded_frame(HWND owner, EmbeddedWindowState* state);

// The frame that is active, as the player registers it as the active dialog of its message
// loop while it is; null when none is.
HWND active_embedded_frame();

// Called inside the messages the frame gets when its title is set or it is shown or hidden, where
// a skin engine answers them (and may run a modal loop there); null for none.
extern void (*frame_message_hook)();

// What a press on the frame's close button does.
void press_close_button(HWND frame);

// `window` and its descendants of the window class `class_name`.
std::vector<HWND> windows_of_class(HWND window, const char* class_name);

// The address the web control shows in the first AtlAxWin window under `window`, or empty.
std::wstring web_control_location(HWND window);
