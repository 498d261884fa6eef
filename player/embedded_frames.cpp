#include "player/embedded_frames.h"

#include "player/web_control.h"

#include <exdisp.h>

#include <cstring>

namespace {

constexpr RECT DEFAULT_PLACE = {400, 40, 800, 340};
HWND active_frame = nullptr;

HWND first_tab_stop(HWND frame)
{
    for (HWND child = GetWindow(frame, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if ((style & WS_TABSTOP) != 0 && (style & WS_VISIBLE) != 0) {
            return child;
        }
    }
    return nullptr;
}

EmbeddedWindowState* state_of(HWND frame)
{
    return reinterpret_cast<EmbeddedWindowState*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
}

void fit_first_child(HWND frame)
{
    HWND child = GetWindow(frame, GW_CHILD);
    if (child == nullptr) {
        return;
    }
    RECT client = {};
    GetClientRect(frame, &client);
    MoveWindow(child, 0, 0, client.right, client.bottom, TRUE);
}

LRESULT CALLBACK frame_proc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam)
{
    if ((message == WM_SETTEXT || message == WM_SHOWWINDOW) && frame_message_hook != nullptr) {
        frame_message_hook();
    }
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrA(frame, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams));
        break;
    case WM_WINDOWPOSCHANGED:
        // The player follows the user's moves in the record, unless a skin hosts the frame.
        if (EmbeddedWindowState* state = state_of(frame); state != nullptr && (GetWindowLongPtrA(frame, GWL_STYLE) & WS_CHILD) == 0) {
            GetWindowRect(frame, &state->r);
        }
        break;
    case WM_SIZE:
    case WM_SHOWWINDOW:
        fit_first_child(frame);
        break;
    case WM_ACTIVATE:
        if (LOWORD(wparam) != WA_INACTIVE) {
            active_frame = frame;
        } else if (active_frame == frame) {
            active_frame = nullptr;
        }
        break;
    case WM_SETFOCUS:
        if (HWND tab_stop = first_tab_stop(frame)) {
            SetFocus(tab_stop);
            return 0;
        }
        break;
    case WM_DESTROY:
        if (active_frame == frame) {
            active_frame = nullptr;
        }
        break;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {EMBEDDED_MIN_WIDTH, EMBEDDED_MIN_HEIGHT};
        return 0;
    case WM_CLOSE: // the close button: the first child decides
        if (HWND child = GetWindow(frame, GW_CHILD)) {
            SendMessageA(child, WM_CLOSE, 0, 0);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcA(frame, message, wparam, lparam);
}

BOOL CALLBACK collect_of_class(HWND window, LPARAM lparam)
{
    auto* found = reinterpret_cast<std::pair<const char*, std::vector<HWND>*>*>(lparam);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, found->first) == 0) {
        found->second->push_back(window);
    }
    return TRUE;
}

} // namespace

void (*frame_message_hook)() = nullptr;

void register_player_class(const char* name, WNDPROC procedure, int background_color)
{
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = name;
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background_color + 1));
    RegisterClassA(&window_class);
}

HWND make_embedded_frame(HWND owner, EmbeddedWindowState* state)
{
    register_player_class(EMBEDDED_FRAME_CLASS, frame_proc, COLOR_BTNFACE);
    const RECT place = IsRectEmpty(&state->r) ? DEFAULT_PLACE : state->r;
    HWND frame = CreateWindowExA(WS_EX_TOOLWINDOW, EMBEDDED_FRAME_CLASS, "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                 place.left, place.top, place.right - place.left, place.bottom - place.top, owner,
                                 nullptr, GetModuleHandleA(nullptr), state);
    state->me = frame;
    return frame;
}

HWND active_embedded_frame()
{
    return active_frame;
}

void press_close_button(HWND frame)
{
    SendMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::vector<HWND> windows_of_class(HWND window, const char* class_name)
{
    std::vector<HWND> windows;
    std::pair<const char*, std::vector<HWND>*> found = {class_name, &windows};
    collect_of_class(window, reinterpret_cast<LPARAM>(&found));
    EnumChildWindows(window, collect_of_class, reinterpret_cast<LPARAM>(&found));
    return windows;
}

std::wstring web_control_location(HWND window)
{
    const std::vector<HWND> controls = windows_of_class(window, WEB_CONTROL_CLASS);
    IWebBrowser2* browser = browser_of_control(controls.empty() ? nullptr : controls[0]);
    if (browser == nullptr) {
        return {};
    }
    std::wstring location;
    BSTR text = nullptr;
    if (SUCCEEDED(browser->get_LocationURL(&text)) && text != nullptr) {
        location = text;
        SysFreeString(text);
    }
    browser->Release();
    return location;
}
