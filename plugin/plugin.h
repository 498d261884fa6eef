// The plug-in's descriptor, its module-level state and the procedures that the player's
// callbacks reach. All of it runs on the player's user-interface thread.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The record the player reads through the export. Callbacks use the C calling convention.
struct PluginDescriptor {
    int32_t version;
    const char* description;
    int (*init)();
    void (*config)();
    void (*quit)();
    HWND parent_window;        // filled in by the player before init
    HINSTANCE module_instance; // filled in by the player before init
};

#if defined(_WIN64)
static_assert(sizeof(PluginDescriptor) == 56, "descriptor layout");
static_assert(offsetof(PluginDescriptor, parent_window) == 40, "descriptor layout");
static_assert(offsetof(PluginDescriptor, module_instance) == 48, "descriptor layout");
#else
static_assert(sizeof(PluginDescriptor) == 28, "descriptor layout");
static_assert(offsetof(PluginDescriptor, description) == 4, "descriptor layout");
static_assert(offsetof(PluginDescriptor, init) == 8, "descriptor layout");
static_assert(offsetof(PluginDescriptor, config) == 12, "descriptor layout");
static_assert(offsetof(PluginDescriptor, quit) == 16, "descriptor layout");
static_assert(offsetof(PluginDescriptor, parent_window) == 20, "descriptor layout");
static_assert(offsetof(PluginDescriptor, module_instance) == 24, "descriptor layout");
#endif

constexpr int32_t PLUGIN_DESCRIPTOR_VERSION = 0x10;
constexpr UINT_PTR LYRICS_TIMER_ID = 3;
constexpr UINT LYRICS_TIMER_PERIOD_MS = 1000;

extern "C" PluginDescriptor* winampGetGeneralPurposePlugin();

extern PluginDescriptor plugin_descriptor;

extern int32_t enabled;  // lookup on only when exactly 1
extern int32_t language; // 1 Portuguese, 2 English, 3 Spanish
extern int32_t quitting; // 1 once the player has begun to shut the plug-in down
extern const char* ini_path;
extern int32_t player_version; // the player's answer to IPC_GETVERSION, asked once at init

int plugin_init();
void plugin_config();
void plugin_quit();

void load_settings();
void save_settings();
// Writes "about:blank" to the player's own last_shortdesc and last_shorturl keys.
void blank_player_last_page();

LRESULT host_request(WPARAM argument, int32_t request);
// Asks for a text of the playlist entry at `index` (IPC_GETPLAYLISTFILE or IPC_GETPLAYLISTTITLE).
// The text belongs to the player; null when it has none, or answered a number below
// LOWEST_POINTER instead of one.
const char* entry_text(LRESULT index, int32_t request);
// Asks for the current playlist index, then as entry_text.
const char* current_entry_text(int32_t request);

void CALLBACK lyrics_timer_proc(HWND window, UINT message, UINT_PTR timer_id, DWORD time);
