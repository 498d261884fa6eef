// A stand-in for the media player: it loads the plug-in DLL, answers the plug-in's requests
// from a scripted state, records every request in order, and drives the plug-in's timer
// without waiting a real second for each tick. One host is active at a time.
#pragma once

#include "plugin/plugin.h"

#include <cstdint>
#include <string>
#include <vector>

struct PlaylistEntry {
    std::string path;
    std::string title;
    int32_t length_seconds;
};

enum class PlayState { stopped, playing, paused };

// What the player answers. Every field may be changed between ticks.
struct HostScript {
    std::vector<PlaylistEntry> playlist;
    int32_t position = 0;
    PlayState play_state = PlayState::playing;
    bool internet = true;
    std::string ini_path;        // answered to the ini-file request unless ini_answer_is_path is false
    bool ini_answer_is_path = true;
    uintptr_t ini_answer = 0;    // answered instead of a path (a player without the request)
    bool null_path = false;      // answer null for the file path
    bool null_title = false;     // answer null for the title
};

struct RecordedRequest {
    int32_t code;
    WPARAM argument;
    std::string text; // the address, for IPC_MBOPENREAL
};

struct TimerCall {
    bool set; // SetTimer, else KillTimer
    HWND window;
    UINT_PTR id;
    UINT period_ms;
};

class StandInHost {
public:
    StandInHost();
    ~StandInHost();
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    // Loads the DLL, fills in the descriptor and calls init. False when any of it failed.
    bool load(const char* dll_path);
    void tick();
    void configure();
    void quit();
    void unload(); // quits first if the plug-in is still running

    void minimise();
    void restore();

    HostScript script;
    std::vector<RecordedRequest> requests;
    std::vector<TimerCall> timer_calls;
    int focus_calls = 0;
    int init_result = -1;

    HWND window() const { return main_window; }
    HMODULE module() const { return plugin_module; }
    PluginDescriptor* descriptor() const { return plugin; }
    TIMERPROC timer_callback() const { return timer_proc; }
    std::vector<std::string> opened_pages() const;
    std::vector<int32_t> request_codes() const;
    void forget_requests() { requests.clear(); }

    LRESULT answer(WPARAM argument, int32_t code);
    void record_timer(HWND window, UINT_PTR id, UINT period, TIMERPROC callback);
    void record_kill(HWND window, UINT_PTR id);

private:
    HWND main_window = nullptr;
    HMODULE plugin_module = nullptr;
    PluginDescriptor* plugin = nullptr;
    TIMERPROC timer_proc = nullptr;
    bool running = false;
};

// Text in code page 1252 as UTF-8, for printing to a terminal.
std::string utf8_from_cp1252(const std::string& text);
