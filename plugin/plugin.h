// The plug-in's export, its settings and the procedures that the player's callbacks reach; the
// descriptor and the player's requests are in host/player.h. All of it runs on the player's
// user-interface thread.
#pragma once

#include "host/player.h"

#include <windows.h>

#include <cstdint>

constexpr int32_t PLUGIN_DESCRIPTOR_VERSION = 0x10;
constexpr UINT_PTR LYRICS_TIMER_ID = 3;
constexpr UINT LYRICS_TIMER_PERIOD_MS = 1000;

extern "C" PluginDescriptor* winampGetGeneralPurposePlugin();

extern int32_t enabled;  // lookup on only when exactly 1
extern int32_t language; // 1 Portuguese, 2 English, 3 Spanish
extern const char* ini_path;

int plugin_init();
void plugin_config();
void plugin_quit();

void load_settings();
void save_settings();
// Writes "about:blank" to the player's own last_shortdesc and last_shorturl keys.
void blank_player_last_page();

void CALLBACK lyrics_timer_proc(HWND window, UINT message, UINT_PTR timer_id, DWORD time);
