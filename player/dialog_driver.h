// Drives the plug-in's modal configuration dialog from inside its own modal loop, as a user
// would: a thread timer set before the player's configure call runs one scripted step on the
// open dialog each time it fires. The player and the tests share it.
#pragma once

#include "player/standin_host.h"

#include <functional>
#include <string>
#include <vector>

// One step on the open dialog. Posted messages (keys, WM_CLOSE) take effect by the next step.
using DialogStep = std::function<void(HWND dialog)>;

struct DialogRun {
    bool opened = false;     // the dialog was shown when the driver's timer fired
    size_t steps_run = 0;
    bool forced_end = false; // still open after every step and the spare timer calls, or never
                             // shown: the driver ended it
};

constexpr UINT DIALOG_STEP_PERIOD_MS = 30;
// The shortest period the system's timers keep: for runs of many dialogs.
constexpr UINT RUN_DIALOG_STEP_PERIOD_MS = 10;
constexpr int DIALOG_SPARE_TIMER_CALLS = 20;
// How long, from the call of configure, a step waits for the open dialog to be shown.
constexpr DWORD DIALOG_SHOW_TIMEOUT_MS = 10000;

// Calls the plug-in's configure callback and runs `steps` on the dialog it opens, each once the
// dialog is shown. Returns once configure has: a dialog the steps leave open is ended with
// EndDialog (which applies nothing) after `spare_calls` more timer calls, and one not shown
// after DIALOG_SHOW_TIMEOUT_MS, so a run never hangs.
DialogRun run_config_dialog(StandInHost& host, const std::vector<DialogStep>& steps,
                            int spare_calls = DIALOG_SPARE_TIMER_CALLS, UINT step_period_ms = DIALOG_STEP_PERIOD_MS);

// This thread's dialog window (class "#32770"), or null.
HWND find_thread_dialog();

std::string window_text(HWND window);
std::string item_text(HWND dialog, int control);
bool item_checked(HWND dialog, int control);
// A mouse click on a button, through BM_CLICK: it notifies the dialog as a real click does.
void click_item(HWND dialog, int control);
// The dialog's rectangle on the screen, as "left,top widthxheight".
std::string screen_rectangle_text(HWND window);
