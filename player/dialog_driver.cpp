#include "player/dialog_driver.h"

namespace {

struct DriveState {
    const std::vector<DialogStep>* steps;
    int spare_calls_left;
    DWORD started; // GetTickCount() when configure was called
    DialogRun run;
};

DriveState* active_drive = nullptr;

void CALLBACK drive_dialog(HWND, UINT, UINT_PTR, DWORD)
{
    DriveState* drive = active_drive;
    const HWND dialog = find_thread_dialog();
    if (drive == nullptr || dialog == nullptr) {
        return;
    }
    const bool shown = IsWindowVisible(dialog) != FALSE;
    drive->run.opened = drive->run.opened || shown;
    if (drive->run.steps_run < drive->steps->size()) {
        if (shown) {
            (*drive->steps)[drive->run.steps_run++](dialog);
            return;
        }
        // The modal loop shows a dialog made without WS_VISIBLE only once its queue is first
        // empty, and a timer message already due comes before that (a dialog slow to make, a
        // loaded machine): a step waits until the dialog is shown, as a user does.
        if (GetTickCount() - drive->started >= DIALOG_SHOW_TIMEOUT_MS) {
            drive->run.forced_end = true; // not shown in time
            EndDialog(dialog, IDCANCEL);
        }
        return;
    }
    // Past the spare calls, end whatever dialog is open, a nested one first.
    if (--drive->spare_calls_left < 0) {
        drive->run.forced_end = true;
        EndDialog(dialog, IDCANCEL);
    }
}

BOOL CALLBACK keep_dialog(HWND window, LPARAM found)
{
    char class_name[16] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (lstrcmpA(class_name, "#32770") != 0) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

} // namespace

DialogRun run_config_dialog(StandInHost& host, const std::vector<DialogStep>& steps, int spare_calls,
                            UINT step_period_ms)
{
    DriveState drive = {&steps, spare_calls, GetTickCount(), {}};
    active_drive = &drive;
    const UINT_PTR timer = SetTimer(nullptr, 0, step_period_ms, drive_dialog);
    host.configure();
    KillTimer(nullptr, timer);
    active_drive = nullptr;
    return drive.run;
}

HWND find_thread_dialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), keep_dialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string window_text(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string item_text(HWND dialog, int control)
{
    char text[512] = {};
    GetDlgItemTextA(dialog, control, text, sizeof text);
    return text;
}

bool item_checked(HWND dialog, int control)
{
    return IsDlgButtonChecked(dialog, control) == BST_CHECKED;
}

void click_item(HWND dialog, int control)
{
    SendDlgItemMessageA(dialog, control, BM_CLICK, 0, 0);
}

std::string screen_rectangle_text(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
           "x" + std::to_string(rect.bottom - rect.top);
}
