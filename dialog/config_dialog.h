// The configuration dialog that the player's "configure" action opens (plugin_config): the
// user switches the lyrics lookup on or off and picks the language, and with it the lyrics
// site. Choices apply to the live settings on OK only; the dialog writes nothing to the ini
// file (the settings are saved at quit).
#pragma once

#include <windows.h>

#include <cstdint>

INT_PTR CALLBACK config_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Puts the labels of `language` on the check box, the language label and Cancel (a value
// that is no language leaves those three as they are), and the languages' own names on the
// radio buttons.
void apply_dialog_language(HWND dialog, int32_t language);
