// The lyrics window: on a player without the mini-browser, the pages go to one window inside the
// player that follows the track, as the mini-browser did. It is a frame of the player's
// embedded-window service holding one child of the plug-in's own, with the system's web browser
// control inside; later pages navigate the same control in place. Where no such window can be
// had, the pages go to the system's web browser through the player, decided once.
#include "plugin/plugin.h"

#include "common/bounded_text.h"
#include "lookup/page_address.h"
#include "plugin/description.h"
#include "plugin/host_requests.h"
#include "plugin/system_function.h"

#include <exdisp.h>

#include <cstring>

EmbeddedWindowState lyrics_window_state; // static: the player keeps its address while the frame lives
int32_t prefers_web_browser = 0;

namespace {

constexpr char CONTAINER_CLASS[] = "CantoviaLyricsWindow";
constexpr char WEB_CONTROL_CLASS[] = "AtlAxWin"; // registered by atl.dll's AtlAxWinInit
constexpr char FIRST_CONTROL_PAGE[] = "about:blank";
constexpr LONG DEFAULT_WIDTH = 480;
constexpr LONG DEFAULT_HEIGHT = 360;
// Skinned players remember the window by this GUID.
constexpr GUID LYRICS_WINDOW_GUID = {0xe36f41f9, 0xf407, 0x47d2, {0x9f, 0xbc, 0xda, 0xe6, 0x6b, 0x29, 0xdb, 0x36}};

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

// Set once no lyrics window could be made: the pages then go to the web browser for good.
bool lyrics_window_failed = false;

AtlAxGetControlFunction get_control = nullptr;
HWND frame = nullptr;         // the player's frame, once the window was made
HWND container = nullptr;     // the frame's one child, the plug-in's own; null once destroyed
IWebBrowser2* browser = nullptr;
bool place_is_ours = false;

// atl.dll registers the web control's window class; it is loaded once and never freed, as the
// class is its own.
bool web_control_available()
{
    if (get_control != nullptr) {
        return true;
    }
    HMODULE atl = LoadLibraryA("atl.dll");
    AtlAxWinInitFunction init = nullptr;
    if (!find_function(atl, "AtlAxWinInit", init) || !find_function(atl, "AtlAxGetControl", get_control)) {
        get_control = nullptr;
        return false;
    }
    init(); // FALSE the second time in a process: no failure signal
    return true;
}

LRESULT CALLBACK container_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_SIZE:
        if (HWND control = GetWindow(window, GW_CHILD)) {
            MoveWindow(control, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
        }
        return 0;
    case WM_CLOSE: // the frame's close button: hide, keep the window for the next page
        ShowWindow(frame, SW_HIDE);
        return 0;
    case WM_DESTROY: // with the frame, by the player or at quit
        if (browser != nullptr) {
            browser->Release();
            browser = nullptr;
        }
        container = nullptr;
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

using MonitorFromRectFunction = HMONITOR(WINAPI*)(LPCRECT, DWORD);

// Whether `place` lies at least partly on a monitor. MonitorFromRect came with Windows 98 and
// 2000, so it is looked up rather than imported: NT 4, which lacks it, shows one screen, and
// the primary screen stands in for the monitors there.
bool on_some_monitor(const RECT& place)
{
    MonitorFromRectFunction monitor_from_rect = nullptr;
    if (find_function(GetModuleHandleA("user32.dll"), "MonitorFromRect", monitor_from_rect)) {
        return monitor_from_rect(&place, MONITOR_DEFAULTTONULL) != nullptr;
    }
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT overlap = {};
    return IntersectRect(&overlap, &place, &screen) != FALSE;
}

// A place on some monitor, no smaller than the player's smallest frame and no larger than all
// the monitors together.
bool plausible_place(const RECT& place)
{
    const int64_t width = int64_t{place.right} - place.left;
    const int64_t height = int64_t{place.bottom} - place.top;
    return width >= EMBEDDED_MIN_WIDTH && height >= EMBEDDED_MIN_HEIGHT &&
           width <= GetSystemMetrics(SM_CXVIRTUALSCREEN) && height <= GetSystemMetrics(SM_CYVIRTUALSCREEN) &&
           on_some_monitor(place);
}

// Beside the player's main window: on its right, or on its left where the right is off screen.
RECT place_beside_player()
{
    RECT player = {};
    GetWindowRect(plugin_descriptor.parent_window, &player);
    RECT place = {player.right, player.top, player.right + DEFAULT_WIDTH, player.top + DEFAULT_HEIGHT};
    if (!on_some_monitor(place)) {
        place = {player.left - DEFAULT_WIDTH, player.top, player.left, player.top + DEFAULT_HEIGHT};
    }
    return place;
}

// The container with the web control inside, as a hidden pop-up until the frame takes it; null
// when no control could be made (an AtlAxWin window is made even then: only its control tells).
HWND make_container()
{
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = container_proc;
    window_class.hInstance = plugin_descriptor.module_instance;
    window_class.lpszClassName = CONTAINER_CLASS;
    RegisterClassA(&window_class); // already there when a page earlier in the session made it
    HWND made = CreateWindowExA(0, CONTAINER_CLASS, "", WS_POPUP | WS_CLIPCHILDREN, 0, 0, DEFAULT_WIDTH,
                                DEFAULT_HEIGHT, nullptr, nullptr, plugin_descriptor.module_instance, nullptr);
    if (made == nullptr) {
        return nullptr;
    }
    container = made;
    // Windows shows the control's scroll bars only when its style asks for them.
    HWND control = CreateWindowExA(0, WEB_CONTROL_CLASS, FIRST_CONTROL_PAGE,
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, DEFAULT_WIDTH,
                                   DEFAULT_HEIGHT, made, nullptr, plugin_descriptor.module_instance, nullptr);
    IUnknown* unknown = nullptr;
    if (control != nullptr && SUCCEEDED(get_control(control, &unknown)) && unknown != nullptr) {
        void* found = nullptr;
        if (SUCCEEDED(unknown->QueryInterface(IID_IWebBrowser2, &found))) {
            browser = static_cast<IWebBrowser2*>(found);
        }
        unknown->Release();
    }
    if (browser == nullptr) {
        DestroyWindow(made);
        return nullptr;
    }
    return made;
}

// The control first, then the player's frame, so that a failure leaves the player no frame.
bool make_lyrics_window()
{
    if (!web_control_available() || make_container() == nullptr) {
        return false;
    }
    // A later window (after the player destroyed one) goes where the last one was.
    if (frame == nullptr && !plausible_place(lyrics_window_state.r)) {
        lyrics_window_state.r = place_beside_player();
    }
    lyrics_window_state.flags = EMBEDDED_FLAG_HAS_GUID;
    std::memcpy(&lyrics_window_state.tail[EMBEDDED_GUID_INDEX], &LYRICS_WINDOW_GUID, sizeof LYRICS_WINDOW_GUID);
    HWND answer = reinterpret_cast<HWND>(host_request(reinterpret_cast<WPARAM>(&lyrics_window_state), IPC_GET_EMBEDDED_FRAME));
    if (!IsWindow(answer)) {
        DestroyWindow(container);
        return false;
    }
    frame = answer;
    SetWindowLongPtrA(container, GWL_STYLE, WS_CHILD | WS_CLIPCHILDREN);
    SetParent(container, frame);
    RECT client = {};
    GetClientRect(frame, &client);
    MoveWindow(container, 0, 0, client.right, client.bottom, FALSE);
    ShowWindow(container, SW_SHOWNA);
    SetWindowTextA(frame, LYRICS_WINDOW_TITLE);
    return true;
}

// A skin engine that hosts the frame makes it a child window: its place is then the skin's.
void note_whose_place()
{
    if (container != nullptr && IsWindow(frame)) {
        place_is_ours = (GetWindowLongPtrA(frame, GWL_STYLE) & WS_CHILD) == 0;
    }
}

void navigate(const char* address)
{
    char16_t wide_address[PAGE_ADDRESS_SIZE];
    text_copy_utf16(wide_address, address);
    VARIANT target = {};
    V_VT(&target) = VT_BSTR;
    V_BSTR(&target) = SysAllocString(reinterpret_cast<const OLECHAR*>(wide_address));
    if (V_BSTR(&target) != nullptr) {
        browser->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
        SysFreeString(V_BSTR(&target));
    }
}

bool show_in_lyrics_window(const char* address)
{
    if (lyrics_window_failed || player_version < FIRST_VERSION_WITH_EMBEDDED_FRAMES || prefers_web_browser == 1) {
        return false;
    }
    // The player may have destroyed the frame since the last page: the next page makes a new one.
    if (container == nullptr && !make_lyrics_window()) {
        lyrics_window_failed = true;
        return false;
    }
    navigate(address);
    if (!IsWindowVisible(frame)) {
        ShowWindow(frame, SW_SHOWNA);
    }
    note_whose_place();
    return true;
}

} // namespace

void show_page(const char* address)
{
    if (player_version >= FIRST_VERSION_WITHOUT_MINIBROWSER && !show_in_lyrics_window(address)) {
        open_in_web_browser(address);
    }
}

bool lyrics_window_place_is_kept()
{
    note_whose_place();
    return frame != nullptr && place_is_ours;
}

void close_lyrics_window()
{
    // At a player's exit the frame and the container may be gone already, with its main window.
    if (container != nullptr && IsWindow(frame)) {
        DestroyWindow(frame);
    }
    if (container != nullptr) {
        DestroyWindow(container);
    }
    UnregisterClassA(CONTAINER_CLASS, plugin_descriptor.module_instance);
}
