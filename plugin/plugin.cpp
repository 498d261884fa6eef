// The export, the descriptor and the player's init and quit callbacks.
#include "plugin/plugin.h"

#include "display/display.h"
#include "plugin/description.h"
#include "plugin/host_requests.h"
#include "plugin/languages.h"

PluginDescriptor plugin_descriptor = {
    PLUGIN_DESCRIPTOR_VERSION, PLUGIN_DESCRIPTION, plugin_init, plugin_config, plugin_quit, nullptr, nullptr,
};

int32_t enabled = 1;
int32_t language = LANGUAGE_PORTUGUESE;

extern "C" PluginDescriptor* winampGetGeneralPurposePlugin()
{
    return &plugin_descriptor;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

int plugin_init()
{
    load_settings();
    // Asked once: the idle ticks make no request for it.
    player_version = static_cast<int32_t>(host_request(0, IPC_GETVERSION));
    KillTimer(plugin_descriptor.parent_window, LYRICS_TIMER_ID);
    SetTimer(plugin_descriptor.parent_window, LYRICS_TIMER_ID, LYRICS_TIMER_PERIOD_MS, lyrics_timer_proc);
    blank_player_last_page();
    // Last: a quit inside one of its requests finds the timer running and stops it.
    start_lyrics_window();
    return 0;
}

void plugin_quit()
{
    quitting = 1;
    KillTimer(plugin_descriptor.parent_window, LYRICS_TIMER_ID);
    save_settings();
    close_lyrics_window();
}
