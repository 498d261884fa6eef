// The lyrics window: on a player without the mini-browser, the pages go to one window inside the
// player that follows the track, as the mini-browser did. It is a frame of the player's
// embedded-window service holding one child of the plug-in's own, with the system's web browser
// control inside; later pages navigate the same control in place. Where no such window can be
// had, the pages go to the system's web browser through the player, decided once. Where the
// window has its menu item, a window the user closed stays closed, and loads no page, until the
// user chooses the item again. It never shows over the desktop while the player is minimised.
//
// Any of these calls may run a modal message loop of the player's, inside which everything else
// the player does can happen (a tick, the dialog's OK, a choice from the menu, quit, the user
// closing the window, the player destroying its frame): a request to the player, a call on the
// player's objects, a message to the player's frame (parenting, showing, hiding, the title: the
// skin engine answers them, and DestroyWindow), the web control's creation and its Navigate2. So
// after each such call the window is looked at again before any of it is used: a frame the player
// destroyed takes the container and the control with it, and the container's WM_DESTROY clears
// all three (`container`, `browser`, `frame`) at once. A window that went inside a call is not
// used: its page waits for the next page, or for the menu item, which make a window anew.
#include "display/display.h"

#include "common/bounded_text.h"
#include "display/lyrics_window.h"
#include "display/window_place.h"
#include "host/player.h"
#include "plugin/description.h"
#include "plugin/host_requests.h"
#include "plugin/system_function.h"

#include <exdisp.h>

#include <cstring>

EmbeddedWindowState lyrics_window_state; // static: the player keeps its address while the frame lives
uint32_t pages_begun = 0;
int32_t prefers_web_browser = 0;
bool lyrics_window_wanted = true;
bool lyrics_window_waits = false;

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

// What making the lyrics window came to: a window; none for good (no web control or no frame:
// the pages go to the web browser); or one that went inside a call of its making (the player
// quit, or destroyed its frame), which is no failure of the player or the system.
enum class Window { made, none, gone };

AtlAxGetControlFunction get_control = nullptr;
HWND container = nullptr;     // the plug-in's own window, from its creation on; null once destroyed
IWebBrowser2* browser = nullptr; // the control in the container, once it is there
HWND frame = nullptr;         // the player's frame, while the container is in it
bool place_is_ours = false;   // the last frame was the plug-in's to place (no skin hosts it)

// Any request into the player and any call into the web control may run a modal message loop,
// where the player's timer and the configuration dialog's OK bring further pages. Such a page is
// kept as the latest and shown by the call already under way, once its step is done: one window
// is made, one frame asked for, and the page that arrived last is shown last.
bool showing_page = false;
bool page_waiting = false;
char latest_page[PAGE_ADDRESS_SIZE];
bool window_requested = false; // chosen from the menu: the window is shown even without a new page

// The user closed the window where the menu item can bring it back: no page shows it, or loads
// into it, until then. Once no lyrics window can be had, the pages go to the web browser as ever.
bool closed_by_the_user()
{
    return !lyrics_window_wanted && lyrics_menu_item_exists() && !lyrics_window_failed;
}

// Checked while the window is there and not closed by the user, shown or waiting for the player.
void mark_menu_item()
{
    mark_lyrics_menu_item(lyrics_window_wanted && container != nullptr);
}

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

// The keyboard focus into the web control: its innermost window, which holds the page.
void focus_control(HWND window)
{
    HWND inner = window;
    while (HWND child = GetWindow(inner, GW_CHILD)) {
        inner = child;
    }
    if (inner != window) {
        SetFocus(inner);
    }
}

LRESULT CALLBACK container_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_SETFOCUS: // the container is the frame's tab stop: it hands the focus on
        focus_control(window);
        return 0;
    case WM_MOUSEACTIVATE: // a click anywhere inside, the frame not active yet
        focus_control(window);
        return DefWindowProcA(window, message, wparam, lparam);
    case WM_SIZE:
        if (HWND control = GetWindow(window, GW_CHILD)) {
            MoveWindow(control, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
        }
        return 0;
    case WM_CLOSE: // the frame's close button: hide, keep the window for the next page, or for the
                   // menu item where there is one
        if (lyrics_menu_item_exists()) {
            lyrics_window_wanted = false;
        }
        ShowWindow(frame, SW_HIDE);
        mark_menu_item();
        return 0;
    case WM_DESTROY: // with the frame, by the player or at quit, or a container not finished
        if (window == container) {
            IWebBrowser2* control = browser; // cleared first: its release may run code of the control
            container = nullptr;
            browser = nullptr;
            frame = nullptr;
            if (control != nullptr) {
                control->Release();
            }
            mark_menu_item();
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

using MonitorFromRectFunction = HMONITOR(WINAPI*)(LPCRECT, DWORD);
using GetMonitorInfoFunction = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
using EnumDisplayMonitorsFunction = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);

ScreenRect screen_rect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

RECT window_rect(const ScreenRect& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

ScreenRect primary_screen()
{
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// The work area of the monitor that holds the most of `place`, or of the one nearest to it.
// The monitor functions came with Windows 98 and 2000, so they are looked up rather than
// imported: NT 4, which lacks them, shows one screen, which stands in for the monitors there.
// Asked afresh each time: monitors come and go.
ScreenRect work_area_nearest(const RECT& place)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    MonitorFromRectFunction monitor_from_rect = nullptr;
    GetMonitorInfoFunction get_monitor_info = nullptr;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (find_function(user32, "MonitorFromRect", monitor_from_rect) &&
        find_function(user32, "GetMonitorInfoA", get_monitor_info) &&
        get_monitor_info(monitor_from_rect(&place, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return screen_rect(monitor.rcWork);
    }
    return primary_screen();
}

struct TitleBarSearch {
    ScreenRect place;
    GetMonitorInfoFunction get_monitor_info;
    bool reachable;
};

BOOL CALLBACK look_at_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM search_data)
{
    auto* search = reinterpret_cast<TitleBarSearch*>(search_data);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    // A monitor gone since the enumeration began has no information: passed over.
    search->reachable = search->get_monitor_info(monitor, &info) && title_bar_reachable(search->place, screen_rect(info.rcWork));
    return search->reachable ? FALSE : TRUE; // found: the rest need not be asked
}

// Whether the title bar of a frame at `place` can be grabbed on any one monitor.
bool reachable(const RECT& place)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    EnumDisplayMonitorsFunction enum_display_monitors = nullptr;
    TitleBarSearch search = {screen_rect(place), nullptr, false};
    if (find_function(user32, "EnumDisplayMonitors", enum_display_monitors) &&
        find_function(user32, "GetMonitorInfoA", search.get_monitor_info)) {
        enum_display_monitors(nullptr, nullptr, look_at_monitor, reinterpret_cast<LPARAM>(&search));
        return search.reachable;
    }
    return title_bar_reachable(search.place, primary_screen());
}

// A place the user can reach, no smaller than the player's smallest frame and no larger than
// all the monitors together. The sizes are checked first: they keep the edges far from the
// ends of their range.
bool plausible_place(const RECT& place)
{
    const int64_t width = int64_t{place.right} - place.left;
    const int64_t height = int64_t{place.bottom} - place.top;
    return width >= EMBEDDED_MIN_WIDTH && height >= EMBEDDED_MIN_HEIGHT &&
           width <= GetSystemMetrics(SM_CXVIRTUALSCREEN) && height <= GetSystemMetrics(SM_CYVIRTUALSCREEN) &&
           reachable(place);
}

// Beside the player's main window: on its right, or on its left where only that is reachable;
// where neither is (a player as wide as the screen, or away off screen), inside the work area
// of the monitor nearest the player.
RECT place_beside_player()
{
    RECT player = {};
    GetWindowRect(plugin_descriptor.parent_window, &player);
    const RECT right = {player.right, player.top, player.right + DEFAULT_WIDTH, player.top + DEFAULT_HEIGHT};
    const RECT left = {player.left - DEFAULT_WIDTH, player.top, player.left, player.top + DEFAULT_HEIGHT};
    if (reachable(right)) {
        return right;
    }
    if (reachable(left)) {
        return left;
    }
    return window_rect(moved_inside(screen_rect(right), work_area_nearest(player)));
}

// The container with the web control inside, as a hidden pop-up until the frame takes it; none
// when no control could be made (an AtlAxWin window is made even then: only its control tells),
// gone when the player quit while it was made. The container is recorded from its creation on,
// so that a quit inside the control's creation destroys it; `browser` only once the control is
// there, from when the container's destruction releases it.
Window make_container()
{
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = container_proc;
    window_class.hInstance = plugin_descriptor.module_instance;
    window_class.lpszClassName = CONTAINER_CLASS;
    RegisterClassA(&window_class); // already there when a page earlier in the session made it
    container = CreateWindowExA(0, CONTAINER_CLASS, "", WS_POPUP | WS_CLIPCHILDREN, 0, 0, DEFAULT_WIDTH,
                                DEFAULT_HEIGHT, nullptr, nullptr, plugin_descriptor.module_instance, nullptr);
    if (container == nullptr) {
        return Window::none;
    }
    // Windows shows the control's scroll bars only when its style asks for them.
    HWND control = CreateWindowExA(0, WEB_CONTROL_CLASS, FIRST_CONTROL_PAGE,
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, DEFAULT_WIDTH,
                                   DEFAULT_HEIGHT, container, nullptr, plugin_descriptor.module_instance, nullptr);
    IUnknown* unknown = nullptr;
    void* found = nullptr;
    if (control != nullptr && SUCCEEDED(get_control(control, &unknown)) && unknown != nullptr) {
        if (FAILED(unknown->QueryInterface(IID_IWebBrowser2, &found))) {
            found = nullptr;
        }
        unknown->Release();
    }
    if (container == nullptr) { // destroyed by a quit inside the control's creation
        if (found != nullptr) {
            static_cast<IWebBrowser2*>(found)->Release();
        }
        return Window::gone;
    }
    browser = static_cast<IWebBrowser2*>(found);
    if (quitting != 0) {
        return Window::gone;
    }
    if (browser == nullptr) {
        return Window::none;
    }
    // The control's own dialogs (script errors and the like) would run a modal loop in the player.
    browser->put_Silent(VARIANT_TRUE);
    return Window::made;
}

// A frame of the player's for the container: the last one while it still lives (the player
// still holds the record then, and a record given twice while linked hangs the player), else a
// new one. Null when the player has none to give (`made` none), or quit inside the request
// (`made` gone).
HWND frame_for_container(Window& made)
{
    made = Window::made;
    if (IsWindow(lyrics_window_state.me)) {
        return lyrics_window_state.me;
    }
    // A later window (after the player destroyed one) goes where the last one was, if the user
    // can still reach it there.
    if (!plausible_place(lyrics_window_state.r)) {
        lyrics_window_state.r = place_beside_player();
    }
    // The tail is the player's: a skin engine may have kept the last frame's state there.
    lyrics_window_state.me = nullptr;
    lyrics_window_state.flags = EMBEDDED_FLAG_HAS_GUID;
    for (intptr_t& word : lyrics_window_state.tail) {
        word = 0;
    }
    std::memcpy(&lyrics_window_state.tail[EMBEDDED_GUID_INDEX], &LYRICS_WINDOW_GUID, sizeof LYRICS_WINDOW_GUID);
    HWND answer = reinterpret_cast<HWND>(host_request(reinterpret_cast<WPARAM>(&lyrics_window_state), IPC_GET_EMBEDDED_FRAME));
    // None to give; or one made (the player fills in the record's frame) and destroyed inside the
    // request, or a quit there: gone.
    if (!IsWindow(answer)) {
        made = lyrics_window_state.me != nullptr || quitting != 0 ? Window::gone : Window::none;
        return nullptr;
    }
    // Quit inside the request destroyed the container: the frame, which holds the record, goes too.
    if (quitting != 0 || container == nullptr) {
        DestroyWindow(answer);
        made = Window::gone;
        return nullptr;
    }
    return answer;
}

// Whether the window made is still whole after a call that may have run a modal loop.
bool window_whole()
{
    return container != nullptr && browser != nullptr && IsWindow(frame);
}

// The control first, then the player's frame, so that a failure leaves the player no frame.
Window make_lyrics_window()
{
    if (!web_control_available()) {
        return Window::none;
    }
    Window made = make_container();
    HWND made_frame = made == Window::made ? frame_for_container(made) : nullptr;
    if (made_frame != nullptr) {
        frame = made_frame;
        // A tab stop: the frame's focus handling gives it the focus, which it hands on to the control.
        SetWindowLongPtrA(container, GWL_STYLE, WS_CHILD | WS_CLIPCHILDREN | WS_TABSTOP);
        SetParent(container, frame);
    }
    if (made_frame != nullptr && window_whole()) {
        RECT client = {};
        GetClientRect(frame, &client);
        MoveWindow(container, 0, 0, client.right, client.bottom, FALSE);
        ShowWindow(container, SW_SHOWNA);
        SetWindowTextA(frame, LYRICS_WINDOW_TITLE);
    }
    if (made_frame != nullptr && window_whole()) {
        mark_menu_item();
        return Window::made;
    }
    // A container not finished, or left without its frame, goes, and its control with it.
    if (container != nullptr) {
        DestroyWindow(container);
    }
    return made == Window::made ? Window::gone : made;
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
    if (V_BSTR(&target) != nullptr && browser != nullptr) {
        // The call's own reference: the frame may be destroyed inside it (a modal loop there),
        // and the container's reference with it.
        IWebBrowser2* control = browser;
        control->AddRef();
        control->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
        control->Release();
        SysFreeString(V_BSTR(&target));
    }
}

// The lyrics window, made now if it is not there (the player may have destroyed the last one);
// none where the player or the system cannot give one, decided once.
Window lyrics_window_ready()
{
    if (lyrics_window_failed || player_version < FIRST_VERSION_WITH_EMBEDDED_FRAMES || prefers_web_browser == 1) {
        return Window::none;
    }
    if (container != nullptr) {
        return Window::made;
    }
    const Window made = make_lyrics_window();
    lyrics_window_failed = made == Window::none;
    return made;
}

// Shows the frame, but not over the desktop: while the player is minimised (in the tray too) it
// waits, and the first tick after the player is restored shows it.
void show_frame()
{
    if (container == nullptr || closed_by_the_user()) {
        return;
    }
    if (IsIconic(plugin_descriptor.parent_window)) {
        lyrics_window_waits = true;
        return;
    }
    if (!IsWindowVisible(frame)) {
        ShowWindow(frame, SW_SHOWNA);
    }
    note_whose_place();
}

// Each pass shows the latest page, and the window where the user chose it; a pass that let a
// later page (or choice) in takes another. They end with the calls that bring pages, each a tick,
// an OK or a choice from the menu that ran inside the pass before.
void show_pages()
{
    if (showing_page) {
        return; // the call under way shows it
    }
    showing_page = true;
    while ((page_waiting || window_requested) && quitting == 0 && !closed_by_the_user()) {
        window_requested = false;
        const Window window = lyrics_window_ready();
        if (quitting != 0) {
            break;
        }
        if (page_waiting) {
            char page[PAGE_ADDRESS_SIZE];
            text_copy(page, latest_page);
            page_waiting = false;
            if (window == Window::none) {
                open_in_web_browser(page);
                continue;
            }
            navigate(page);
        }
        show_frame();
    }
    showing_page = false;
}

} // namespace

void show_page(const char* address)
{
    // Once the player has begun to quit, no page and no window.
    if (quitting != 0 || player_version < FIRST_VERSION_WITHOUT_MINIBROWSER) {
        return;
    }
    text_copy(latest_page, address);
    page_waiting = true;
    show_pages();
}

void toggle_lyrics_window()
{
    if (quitting != 0) {
        return;
    }
    if (lyrics_window_wanted && container != nullptr) {
        lyrics_window_wanted = false;
        ShowWindow(frame, SW_HIDE);
        // Windows shows a minimised player's windows again with it: the first tick after hides it.
        lyrics_window_waits = lyrics_window_waits || IsIconic(plugin_descriptor.parent_window);
    } else {
        lyrics_window_wanted = true;
        window_requested = true;
        // A window made anew shows the latest page.
        page_waiting = page_waiting || (container == nullptr && latest_page[0] != '\0');
        show_pages();
    }
    mark_menu_item();
}

void show_lyrics_window_with_player()
{
    lyrics_window_waits = false;
    if (quitting != 0 || container == nullptr) {
        return;
    }
    if (closed_by_the_user()) {
        ShowWindow(frame, SW_HIDE);
        return;
    }
    show_frame();
}

void start_lyrics_window()
{
    if (prefers_web_browser == 1) {
        return;
    }
    add_message_processor();
    add_lyrics_menu_item();
}

bool lyrics_window_place_is_kept()
{
    note_whose_place();
    return place_is_ours;
}

HWND lyrics_window_container()
{
    return container;
}

IWebBrowser2* lyrics_window_control()
{
    return browser;
}

void close_lyrics_window()
{
    remove_message_processor();
    remove_lyrics_menu_item();
    // At a player's exit the frame and the container may be gone already, with its main window.
    // A container still being made has no frame yet.
    if (frame != nullptr) {
        DestroyWindow(frame);
    }
    if (container != nullptr) {
        DestroyWindow(container);
    }
    // A class is only unregistered when no window of it is left.
    if (container == nullptr) {
        UnregisterClassA(CONTAINER_CLASS, plugin_descriptor.module_instance);
    }
}
