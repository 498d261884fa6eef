// The player as the plug-in reaches it: the descriptor the player reads and fills in (its main
// window, the plug-in's module), the version it answered at init, whether it has begun to shut
// the plug-in down, and its requests. Everything else of the plug-in's (the lifecycle, the
// lookup, the dialog, the display) reaches the player through this; it reaches nothing of theirs.
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

extern PluginDescriptor plugin_descriptor;

extern int32_t quitting;       // 1 once the player has begun to shut the plug-in down
extern int32_t player_version; // the player's answer to IPC_GETVERSION, asked once at init

LRESULT host_request(WPARAM argument, int32_t request);
// Asks for a text of the playlist entry at `index` (IPC_GETPLAYLISTFILE or IPC_GETPLAYLISTTITLE).
// The text belongs to the player; null when it has none, or answered a number below
// LOWEST_POINTER instead of one.
const char* entry_text(LRESULT index, int32_t request);
// Asks for the current playlist index, then as entry_text.
const char* current_entry_text(int32_t request);
