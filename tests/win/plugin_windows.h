// The windows of the test process, to see what of the plug-in's is left: its lyrics window's
// container, the player's frames and the web controls.
#pragma once

#include "player/embedded_frames.h"
#include "player/web_control.h"

#include <windows.h>

#include <cstring>
#include <vector>

inline constexpr char CONTAINER_CLASS[] = "CantoviaLyricsWindow";

inline BOOL CALLBACK collect_window(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// Every window of this process, top-level and child.
inline std::vector<HWND> process_windows()
{
    std::vector<HWND> top_level;
    EnumWindows(collect_window, reinterpret_cast<LPARAM>(&top_level));
    std::vector<HWND> windows;
    for (HWND window : top_level) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId()) {
            windows.push_back(window);
            EnumChildWindows(window, collect_window, reinterpret_cast<LPARAM>(&windows));
        }
    }
    return windows;
}

inline size_t windows_of_class_in_process(const char* class_name)
{
    size_t count = 0;
    for (HWND window : process_windows()) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        count += std::strcmp(name, class_name) == 0 ? size_t{1} : 0;
    }
    return count;
}

inline size_t plugin_windows_in_process()
{
    return windows_of_class_in_process(CONTAINER_CLASS) + windows_of_class_in_process(EMBEDDED_FRAME_CLASS) +
           windows_of_class_in_process(WEB_CONTROL_CLASS);
}
