#include "player/standin_host.h"

#include "player/dialog_driver.h"
#include "player/embedded_frames.h"
#include "player/import_patch.h"
#include "player/navigation_hook.h"
#include "plugin/system_function.h"
#include "plugin/host_requests.h"
#include "plugin/player_menus.h"
#include "plugin/player_objects.h"
#include "resources/resource.h"

#include <exdisp.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr char WINDOW_CLASS[] = "CantoviaStandInPlayer";
constexpr WORD NEXT_WINDOW_COMMAND = 40001; // the player's Ctrl+Tab, for its own windows
// The main window's plain letter keys and the playback commands they fire.
constexpr ACCEL PLAYBACK_KEYS[] = {
    {FVIRTKEY, 'Z', 40044}, // previous
    {FVIRTKEY, 'X', 40045}, // play
    {FVIRTKEY, 'C', 40046}, // pause
    {FVIRTKEY, 'V', 40047}, // stop
    {FVIRTKEY, 'B', 40048}, // next
};
constexpr char LIBRARY_CLASS[] = "CantoviaStandInLibrary";
// No such control is registered: the web control's window then holds none.
constexpr char NO_SUCH_CONTROL[] = "{8C0F5D84-5C3A-4A43-9E07-3D1B8F4F0001}";
StandInHost* current_host = nullptr;

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == HOST_REQUEST_MESSAGE && current_host != nullptr) {
        return current_host->answer(wparam, static_cast<int32_t>(lparam));
    }
    if (message == WM_COMMAND && current_host != nullptr) {
        for (const ACCEL& key : PLAYBACK_KEYS) {
            if (LOWORD(wparam) == key.cmd) {
                current_host->playback_commands.push_back(key.cmd);
                return 0;
            }
        }
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// The plug-in's timer calls come here instead of to user32: the host ticks by itself.
UINT_PTR WINAPI recording_set_timer(HWND window, UINT_PTR id, UINT period, TIMERPROC callback)
{
    if (current_host != nullptr) {
        current_host->record_timer(window, id, period, callback);
    }
    return id;
}

BOOL WINAPI recording_kill_timer(HWND window, UINT_PTR id)
{
    if (current_host != nullptr) {
        current_host->record_kill(window, id);
    }
    return TRUE;
}

HWND WINAPI recording_set_focus(HWND window)
{
    if (current_host != nullptr) {
        ++current_host->focus_calls;
        current_host->requests_before_focus = current_host->requests.size();
    }
    return SetFocus(window);
}

// Whether another program could open `path` with `access` now. It shares everything itself,
// so only the share mode of a handle already open can stop it.
bool another_opener_can(LPCSTR path, DWORD access)
{
    HANDLE other = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (other == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(other);
    return true;
}

// The plug-in's file opens and profile writes come here and go on to kernel32.
HANDLE WINAPI recording_create_file(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                    DWORD disposition, DWORD attributes, HANDLE template_file)
{
    HANDLE file = CreateFileA(path, access, share, security, disposition, attributes, template_file);
    if (current_host != nullptr) {
        const bool probe = file != INVALID_HANDLE_VALUE && current_host->probe_sharing;
        current_host->file_opens.push_back({path != nullptr ? path : NULL_TEXT, access, share, disposition,
                                            file != INVALID_HANDLE_VALUE, probe && another_opener_can(path, GENERIC_READ),
                                            probe && another_opener_can(path, GENERIC_WRITE)});
    }
    return file;
}

BOOL WINAPI recording_write_profile_string(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file)
{
    if (current_host != nullptr) {
        const auto text = [](LPCSTR pointer) { return std::string(pointer != nullptr ? pointer : NULL_TEXT); };
        current_host->profile_writes.push_back({text(section), text(key), text(value), text(file)});
    }
    return WritePrivateProfileStringA(section, key, value, file);
}

HMODULE WINAPI recording_load_library(LPCSTR name)
{
    if (current_host != nullptr && current_host->script.no_atl && name != nullptr && lstrcmpiA(name, "atl.dll") == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return LoadLibraryA(name);
}

HWND WINAPI recording_create_window(DWORD ex_style, LPCSTR class_name, LPCSTR text, DWORD style, int x, int y,
                                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    const bool named_class = reinterpret_cast<uintptr_t>(class_name) >= LOWEST_POINTER;
    if (current_host != nullptr && current_host->script.web_control_fails && named_class &&
        lstrcmpiA(class_name, WEB_CONTROL_CLASS) == 0) {
        text = NO_SUCH_CONTROL;
    }
    HWND made = CreateWindowExA(ex_style, class_name, text, style, x, y, width, height, parent, menu, instance, param);
    if (current_host != nullptr && named_class && lstrcmpiA(class_name, WEB_CONTROL_CLASS) == 0) {
        if (IWebBrowser2* control = browser_of_control(made)) {
            current_host->note_plugin_control(control);
            control->Release();
        }
        current_host->reenter_if_due(REENTER_IN_CONTROL_CREATION);
    }
    return made;
}

// The plug-in's looked-up monitor functions, for script.monitors. A monitor's handle is one more
// than its index.
HMONITOR fake_monitor_handle(size_t index)
{
    return reinterpret_cast<HMONITOR>(index + 1);
}

const RECT* fake_monitor(HMONITOR monitor)
{
    const size_t index = reinterpret_cast<uintptr_t>(monitor) - 1;
    return current_host != nullptr && index < current_host->script.monitors.size() ? &current_host->script.monitors[index]
                                                                                    : nullptr;
}

BOOL WINAPI fake_enum_display_monitors(HDC, LPCRECT, MONITORENUMPROC callback, LPARAM data)
{
    for (size_t i = 0; current_host != nullptr && i < current_host->script.monitors.size(); ++i) {
        RECT area = current_host->script.monitors[i];
        if (!callback(fake_monitor_handle(i), nullptr, &area, data)) {
            break;
        }
    }
    return TRUE;
}

BOOL WINAPI fake_get_monitor_info(HMONITOR monitor, LPMONITORINFO info)
{
    const RECT* area = fake_monitor(monitor);
    if (area == nullptr || info == nullptr || info->cbSize < sizeof(MONITORINFO)) {
        return FALSE;
    }
    info->rcMonitor = *area;
    info->rcWork = *area;
    info->dwFlags = monitor == fake_monitor_handle(0) ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

// The monitor that holds the most of `rect`, else the nearest one, as Windows picks it.
HMONITOR WINAPI fake_monitor_from_rect(LPCRECT rect, DWORD flags)
{
    HMONITOR best = nullptr;
    long long best_area = 0;
    long long best_distance = -1;
    for (size_t i = 0; current_host != nullptr && i < current_host->script.monitors.size(); ++i) {
        const RECT& area = current_host->script.monitors[i];
        const long long width = std::min(area.right, rect->right) - std::max(area.left, rect->left);
        const long long height = std::min(area.bottom, rect->bottom) - std::max(area.top, rect->top);
        const long long dx = std::max({0L, area.left - rect->right, rect->left - area.right});
        const long long dy = std::max({0L, area.top - rect->bottom, rect->top - area.bottom});
        const long long distance = dx * dx + dy * dy;
        if (width > 0 && height > 0) {
            if (width * height > best_area) {
                best = fake_monitor_handle(i);
                best_area = width * height;
            }
        } else if (best_area == 0 && (best_distance < 0 || distance < best_distance)) {
            best = fake_monitor_handle(i);
            best_distance = distance;
        }
    }
    return best_area == 0 && flags == MONITOR_DEFAULTTONULL ? nullptr : best;
}

template <typename Function>
FARPROC as_proc(Function* function)
{
    FARPROC proc = nullptr;
    static_assert(sizeof proc == sizeof function, "function pointer size");
    std::memcpy(&proc, &function, sizeof proc);
    return proc;
}

FARPROC WINAPI recording_get_proc_address(HMODULE module, LPCSTR name)
{
    const bool named = reinterpret_cast<uintptr_t>(name) >= LOWEST_POINTER;
    if (current_host != nullptr && !current_host->script.monitors.empty() && named &&
        module == GetModuleHandleA("user32.dll")) {
        if (lstrcmpA(name, "EnumDisplayMonitors") == 0) {
            return as_proc(fake_enum_display_monitors);
        }
        if (lstrcmpA(name, "GetMonitorInfoA") == 0) {
            return as_proc(fake_get_monitor_info);
        }
        if (lstrcmpA(name, "MonitorFromRect") == 0) {
            return as_proc(fake_monitor_from_rect);
        }
    }
    return GetProcAddress(module, name);
}

// The player's service objects (IPC_GET_SERVICES): the service gives the application's factory,
// the factory the application object, and the application keeps the host's processors.
class StandInApplication final : public PlayerDispatchable {
public:
    int dispatch(int code, void*, void** params, int count) override
    {
        if (current_host != nullptr) {
            current_host->reenter_if_due(REENTER_IN_OBJECT_CALL);
        }
        if (current_host == nullptr || count != 1 ||
            (code != APPLICATION_ADD_PROCESSOR && code != APPLICATION_REMOVE_PROCESSOR)) {
            return 0;
        }
        auto* processor = *static_cast<PlayerDispatchable**>(params[0]);
        std::vector<PlayerDispatchable*>& processors = current_host->processors;
        if (code == APPLICATION_ADD_PROCESSOR) {
            processors.push_back(processor);
        } else {
            processors.erase(std::remove(processors.begin(), processors.end(), processor), processors.end());
        }
        return 1;
    }
} application_object;

class StandInFactory final : public PlayerDispatchable {
public:
    int dispatch(int code, void* result, void** params, int count) override
    {
        if (current_host != nullptr) {
            current_host->reenter_if_due(REENTER_IN_OBJECT_CALL);
        }
        if (current_host == nullptr || count != 1) {
            return 0;
        }
        if (code == FACTORY_MAKE) {
            *static_cast<PlayerDispatchable**>(result) = &application_object;
            ++current_host->applications_made;
            return 1;
        }
        if (code == FACTORY_RELEASE) {
            current_host->applications_released += *static_cast<PlayerDispatchable**>(params[0]) == &application_object ? 1 : 0;
            return 1;
        }
        return 0;
    }
} factory_object;

class StandInService final : public PlayerDispatchable {
public:
    int dispatch(int code, void* result, void** params, int count) override
    {
        if (current_host != nullptr) {
            current_host->reenter_if_due(REENTER_IN_OBJECT_CALL);
        }
        if (code != SERVICE_FIND_FACTORY || count != 1) {
            return 0;
        }
        const bool application = IsEqualGUID(*static_cast<GUID*>(params[0]), APPLICATION_SERVICE_GUID) != FALSE;
        *static_cast<PlayerDispatchable**>(result) = application ? &factory_object : nullptr;
        return 1;
    }
} service_object;

LRESULT CALLBACK offer_modal_loop_message(int code, WPARAM wparam, LPARAM lparam)
{
    if (code >= 0 && current_host != nullptr && current_host->offer_to_processors(*reinterpret_cast<MSG*>(lparam))) {
        return TRUE;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

// What a skin engine keeps in the tail of a frame's record: every word but the GUID's.
void keep_skin_state(EmbeddedWindowState& record)
{
    constexpr size_t GUID_WORDS = sizeof(GUID) / sizeof record.tail[0];
    for (size_t i = 0; i < EMBEDDED_TAIL_COUNT; ++i) {
        if (i < EMBEDDED_GUID_INDEX || i >= EMBEDDED_GUID_INDEX + GUID_WORDS) {
            record.tail[i] = static_cast<intptr_t>(0x5C1A0000 + i);
        }
    }
}

// The moment a stream entry is at; null for an entry without moments.
const StreamMoment* moment_of(const PlaylistEntry* entry, size_t moment)
{
    if (entry == nullptr || entry->stream_moments.empty()) {
        return nullptr;
    }
    return &entry->stream_moments[std::min(moment, entry->stream_moments.size() - 1)];
}

} // namespace

StandInHost::StandInHost()
{
    register_player_class(WINDOW_CLASS, main_window_proc, COLOR_WINDOW);
    main_window = CreateWindowExA(0, WINDOW_CLASS, "Stand-in player", WS_OVERLAPPEDWINDOW, 40, 40, 320, 120,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(main_window, SW_SHOWNORMAL);
    current_host = this;
    ACCEL keys[std::size(PLAYBACK_KEYS) + 1] = {{FVIRTKEY | FCONTROL, VK_TAB, NEXT_WINDOW_COMMAND}};
    std::copy(std::begin(PLAYBACK_KEYS), std::end(PLAYBACK_KEYS), keys + 1);
    accelerators = CreateAcceleratorTableW(keys, 1);
    main_accelerators = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
    modal_loop_filter = SetWindowsHookExW(WH_MSGFILTER, offer_modal_loop_message, nullptr, GetCurrentThreadId());
    frame_message_hook = [] {
        if (current_host != nullptr) {
            current_host->reenter_if_due(REENTER_IN_FRAME_MESSAGE);
        }
    };
}

StandInHost::~StandInHost()
{
    unload();
    if (main_window != nullptr) {
        DestroyWindow(main_window);
    }
    if (library_window != nullptr) {
        DestroyWindow(library_window);
    }
    UnhookWindowsHookEx(modal_loop_filter);
    DestroyAcceleratorTable(accelerators);
    DestroyAcceleratorTable(main_accelerators);
    if (current_host == this) {
        current_host = nullptr;
    }
}

bool StandInHost::load(const char* dll_path, bool call_init)
{
    current_host = this;
    plugin_module = LoadLibraryA(dll_path);
    if (plugin_module == nullptr) {
        return false;
    }
    if (!redirect_import(plugin_module, "user32.dll", "SetTimer", recording_set_timer) ||
        !redirect_import(plugin_module, "user32.dll", "KillTimer", recording_kill_timer) ||
        !redirect_import(plugin_module, "user32.dll", "SetFocus", recording_set_focus) ||
        !redirect_import(plugin_module, "kernel32.dll", "CreateFileA", recording_create_file) ||
        !redirect_import(plugin_module, "kernel32.dll", "WritePrivateProfileStringA", recording_write_profile_string) ||
        !redirect_import(plugin_module, "kernel32.dll", "LoadLibraryA", recording_load_library) ||
        !redirect_import(plugin_module, "user32.dll", "CreateWindowExA", recording_create_window) ||
        !redirect_import(plugin_module, "kernel32.dll", "GetProcAddress", recording_get_proc_address)) {
        return false;
    }
    PluginDescriptor* (*get_descriptor)() = nullptr;
    if (!find_function(plugin_module, "winampGetGeneralPurposePlugin", get_descriptor)) {
        return false;
    }
    plugin = get_descriptor();
    plugin->parent_window = main_window;
    plugin->module_instance = plugin_module;
    // Running from init on: the user may quit inside one of its requests.
    running = true;
    if (call_init) {
        init_result = plugin->init();
    }
    return true;
}

void StandInHost::tick()
{
    if (timer_proc != nullptr) {
        timer_proc(main_window, WM_TIMER, LYRICS_TIMER_ID, GetTickCount());
    }
}

void StandInHost::configure()
{
    if (plugin != nullptr) {
        plugin->config();
    }
}

void StandInHost::quit()
{
    // Once: a modal loop inside quit's own calls does not quit again.
    if (plugin != nullptr && running) {
        running = false;
        plugin->quit();
        requests_at_quit = requests.size();
    }
}

void StandInHost::unload()
{
    quit();
    if (plugin_module != nullptr) {
        FreeLibrary(plugin_module);
    }
    plugin_module = nullptr;
    plugin = nullptr;
    timer_proc = nullptr;
}

void StandInHost::open_pages_in_web_controls()
{
    pages_in_web_controls = true;
    if (!web_browser) {
        web_browser = std::make_unique<WebControl>("Web browser");
    }
}

void StandInHost::minimise()
{
    ShowWindow(main_window, SW_MINIMIZE);
    ShowOwnedPopups(main_window, FALSE);
}

void StandInHost::restore()
{
    ShowWindow(main_window, SW_RESTORE);
    ShowOwnedPopups(main_window, TRUE);
}

void StandInHost::minimise_to_tray()
{
    minimise();
    ShowWindow(main_window, SW_HIDE);
}

void StandInHost::choose(UINT command, UINT message)
{
    PostMessageW(main_window, message, command, 0);
    dispatch_waiting_messages();
}

void StandInHost::delete_entry(size_t index)
{
    if (index >= script.playlist.size()) {
        return;
    }
    const bool at_position = script.position >= 0 && index == static_cast<size_t>(script.position);
    if (at_position && !script.playing_unlisted && script.play_state != PlayState::stopped) {
        script.playing_unlisted = script.playlist[index];
    }
    script.playlist.erase(script.playlist.begin() + static_cast<std::ptrdiff_t>(index));
    if (script.position > 0 && index <= static_cast<size_t>(script.position)) {
        --script.position;
    }
}

void StandInHost::clear_playlist()
{
    const PlaylistEntry* playing = playing_entry();
    if (playing != nullptr && !script.playing_unlisted && script.play_state != PlayState::stopped) {
        script.playing_unlisted = *playing;
    }
    script.playlist.clear();
    script.position = 0;
}

const PlaylistEntry* StandInHost::playing_entry() const
{
    if (script.playing_unlisted) {
        return &*script.playing_unlisted;
    }
    const bool listed = script.position >= 0 && static_cast<size_t>(script.position) < script.playlist.size();
    return listed ? &script.playlist[static_cast<size_t>(script.position)] : nullptr;
}

HWND StandInHost::search_field()
{
    if (library_window == nullptr) {
        register_player_class(LIBRARY_CLASS, DefWindowProcA, COLOR_BTNFACE);
        library_window = CreateWindowExA(0, LIBRARY_CLASS, "Media library", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 200,
                                         400, 200, main_window, nullptr, GetModuleHandleA(nullptr), nullptr);
        library_search = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 8, 8, 300,
                                         24, library_window, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    return library_search;
}

void StandInHost::close_main_window()
{
    DestroyWindow(main_window);
    main_window = nullptr;
}

std::vector<std::string> StandInHost::opened_pages() const
{
    std::vector<std::string> pages;
    for (const RecordedRequest& request : requests) {
        if (request.code == IPC_MBOPENREAL) {
            pages.push_back(request.text);
        }
    }
    return pages;
}

std::vector<std::wstring> StandInHost::opened_web_pages() const
{
    std::vector<std::wstring> pages;
    for (const RecordedRequest& request : requests) {
        if (request.code == IPC_OPEN_URL) {
            pages.push_back(request.wide_text);
        }
    }
    return pages;
}

std::vector<int32_t> StandInHost::request_codes() const
{
    std::vector<int32_t> codes;
    for (const RecordedRequest& request : requests) {
        codes.push_back(request.code);
    }
    return codes;
}

LRESULT StandInHost::answer(WPARAM argument, int32_t code)
{
    // Recorded in the order sent: a request sent inside this one's modal loop comes after it.
    requests.push_back({code, argument, {}, {}, {}});
    const size_t slot = requests.size() - 1;
    RecordedRequest record = {code, argument, {}, {}, {}};
    const PlaylistEntry* current = playing_entry();
    const PlaylistEntry* asked = argument < script.playlist.size() ? &script.playlist[argument] : nullptr;

    LRESULT result = 0;
    switch (code) {
    case IPC_ISPLAYING:
        result = script.play_state == PlayState::playing ? 1 : script.play_state == PlayState::paused ? 3 : 0;
        break;
    case IPC_GETOUTPUTTIME:
        result = current != nullptr && argument == OUTPUT_TIME_LENGTH_SECONDS ? current->length_seconds : -1;
        break;
    case IPC_GETLISTPOS:
        result = script.position;
        break;
    case IPC_GETPLAYLISTFILE:
        if (script.raw_path != 0) {
            result = static_cast<LRESULT>(script.raw_path);
        } else if (asked != nullptr && !script.null_path) {
            result = reinterpret_cast<LRESULT>(asked->path.c_str());
        }
        break;
    case IPC_GETPLAYLISTTITLE:
        if (script.raw_title != 0) {
            result = static_cast<LRESULT>(script.raw_title);
        } else if (asked != nullptr && !script.null_title) {
            const StreamMoment* moment = moment_of(asked, script.stream_moment);
            result = reinterpret_cast<LRESULT>(moment != nullptr ? moment->title.c_str() : asked->title.c_str());
        }
        break;
    case IPC_GETPLAYLISTFILEW:
        if (script.version < FIRST_VERSION_WITHOUT_MINIBROWSER) {
            result = UNKNOWN_REQUEST_ANSWER;
        } else if (asked != nullptr) {
            entry_path_text = utf16_from_cp1252_text(asked->path);
            result = reinterpret_cast<LRESULT>(entry_path_text.c_str());
        }
        break;
    case IPC_GET_PLAYING_FILENAME:
        if (script.version < FIRST_VERSION_WITH_PLAYING_FILE) {
            result = UNKNOWN_REQUEST_ANSWER;
        } else {
            playing_path_text = current != nullptr ? utf16_from_cp1252_text(current->path) : std::wstring();
            result = reinterpret_cast<LRESULT>(playing_path_text.c_str());
        }
        break;
    case IPC_INETAVAILABLE:
        result = script.internet ? 1 : 0;
        break;
    case IPC_GETVERSION:
        result = script.version;
        break;
    case IPC_MBOPENREAL:
        if (argument != 0) {
            record.text = reinterpret_cast<const char*>(argument);
            if (minibrowser && has_minibrowser() && pages_in_web_controls) {
                minibrowser->navigate(utf16_from_cp1252_text(record.text));
            }
        }
        // A player without the mini-browser does not know its requests.
        result = has_minibrowser() ? 0 : UNKNOWN_REQUEST_ANSWER;
        break;
    case IPC_MBOPEN:
        // The mini-browser takes the keyboard focus when it opens.
        if (has_minibrowser()) {
            if (!minibrowser) {
                minibrowser = std::make_unique<WebControl>("Mini-browser");
            }
            script.minibrowser_takes_focus ? minibrowser->show_focused() : minibrowser->show();
        }
        result = has_minibrowser() ? 0 : UNKNOWN_REQUEST_ANSWER;
        break;
    case IPC_MBBLOCK:
        result = has_minibrowser() ? 0 : UNKNOWN_REQUEST_ANSWER;
        break;
    case IPC_OPEN_URL:
        // The real player would read a null pointer without a check; here it is recorded.
        if (argument != 0) {
            record.wide_text = reinterpret_cast<const WCHAR*>(argument);
            if (web_browser && !script.refuse_open_url) {
                web_browser->show();
                web_browser->navigate(record.wide_text);
            }
        }
        result = script.refuse_open_url ? UNKNOWN_REQUEST_ANSWER : 0;
        break;
    case IPC_GET_EMBEDDED_FRAME:
        if (script.version < FIRST_VERSION_WITH_EMBEDDED_FRAMES) {
            result = UNKNOWN_REQUEST_ANSWER;
        } else if (script.frame_answer != 0) {
            result = script.frame_answer;
        } else {
            auto* state = reinterpret_cast<EmbeddedWindowState*>(argument);
            frame_records.push_back(*state);
            frames.push_back(make_embedded_frame(main_window, state));
            keep_skin_state(*state);
            result = reinterpret_cast<LRESULT>(frames.back());
        }
        break;
    case IPC_GET_EXTENDED_FILE_INFO:
        result = answer_file_info(argument, record);
        break;
    case IPC_GET_SERVICES:
        result = script.version >= FIRST_VERSION_WITH_SERVICES && !script.no_services
                     ? reinterpret_cast<LRESULT>(static_cast<PlayerDispatchable*>(&service_object))
                     : UNKNOWN_REQUEST_ANSWER;
        break;
    case IPC_NEW_COMMAND_ID:
    case IPC_GET_MENU:
    case IPC_MAIN_MENU_OFFSET:
    case IPC_WINDOW_MENU_OFFSET:
        result = menus.answer(code, argument, !script.no_menus);
        break;
    case IPC_GETINIFILE:
        result = script.ini_answer_is_path ? reinterpret_cast<LRESULT>(script.ini_path.c_str())
                                           : static_cast<LRESULT>(script.ini_answer);
        break;
    default:
        break;
    }
    if (slot < requests.size() && requests[slot].code == code) {
        requests[slot] = std::move(record);
    } else { // forgotten meanwhile
        requests.push_back(std::move(record));
    }
    reenter_if_due(code);
    return result;
}

LRESULT StandInHost::answer_file_info(WPARAM argument, RecordedRequest& record)
{
    // A player before the request answers as to any request it does not know.
    if (script.version < FIRST_VERSION_WITH_FILE_INFO) {
        return UNKNOWN_REQUEST_ANSWER;
    }
    auto* info = reinterpret_cast<ExtendedFileInfo*>(argument);
    const auto pointer = [](const void* text) { return reinterpret_cast<uintptr_t>(text) >= LOWEST_POINTER; };
    if (argument < LOWEST_POINTER || !pointer(info->filename) || !pointer(info->metadata) || !pointer(info->ret) ||
        info->retlen == 0 || info->retlen > 65536 || info->filename[0] == '\0' || info->metadata[0] == '\0') {
        return 0;
    }
    record.text = info->filename;
    record.field = info->metadata;
    info->ret[0] = '\0';
    const std::optional<std::string>* value = nullptr;
    std::optional<std::string> stream_song;
    if (record.field == FILE_INFO_STREAM_TITLE) {
        // The reader answers for whatever plays once the request's modal loop (if any) is over,
        // whatever file was named.
        reenter_if_due(IPC_GET_EXTENDED_FILE_INFO);
        if (script.next_moment_inside_song_request) {
            script.next_moment_inside_song_request = false;
            ++script.stream_moment;
        }
        const StreamMoment* moment = moment_of(playing_entry(), script.stream_moment);
        if (moment != nullptr && script.reader_knows_stream_title) {
            stream_song = moment->song;
        }
        value = &stream_song;
    } else {
        for (const PlaylistEntry& entry : script.playlist) {
            if (entry.path == record.text) {
                value = record.field == "title"    ? &entry.file_title
                        : record.field == "artist" ? &entry.file_artist
                                                   : nullptr;
                break;
            }
        }
    }
    if (script.file_info_unterminated) {
        std::memset(info->ret, 'u', info->retlen);
        return 1;
    }
    if (value == nullptr || !value->has_value()) {
        if (script.file_info_junk_with_zero) {
            lstrcpynA(info->ret, "junk", static_cast<int>(info->retlen));
        }
        return 0;
    }
    lstrcpynA(info->ret, (*value)->c_str(), static_cast<int>(info->retlen));
    return 1;
}

void StandInHost::note_plugin_control(IWebBrowser2* control)
{
    plugin_controls.push_back(control);
    watch_navigations(control, [](const void* navigated, const wchar_t* address) {
        if (current_host == nullptr) {
            return;
        }
        std::vector<const void*>& controls = current_host->plugin_controls;
        if (std::find(controls.begin(), controls.end(), navigated) != controls.end()) {
            current_host->navigations.push_back(address != nullptr ? address : L"");
            current_host->reenter_if_due(REENTER_IN_NAVIGATION);
        }
    });
}

void StandInHost::reenter_if_due(int32_t call)
{
    if (script.reenter_in != 0 && script.reenter_in == call) {
        script.reenter_in = 0;
        if (script.reenter_action) {
            const std::function<void()> action = std::move(script.reenter_action);
            script.reenter_action = nullptr;
            action();
            return;
        }
        script.position = script.reenter_position;
        switch (script.reenter_call) {
        case ModalLoopCall::tick:
            tick();
            break;
        case ModalLoopCall::quit:
            quit();
            break;
        case ModalLoopCall::destroy_frame:
            if (HWND frame = lyrics_frame()) {
                DestroyWindow(frame);
            }
            break;
        case ModalLoopCall::ok_with_lookup_off:
            run_config_dialog(*this, {[](HWND dialog) {
                                  if (item_checked(dialog, IDC_ENABLED)) {
                                      click_item(dialog, IDC_ENABLED);
                                  }
                                  click_item(dialog, IDC_OK_BUTTON);
                              }});
            break;
        }
    }
}

bool StandInHost::offer_to_processors(MSG& message)
{
    MSG* offered = &message;
    void* params[] = {&offered};
    // By index: a processor may be removed while one runs (a quit inside a dispatch).
    for (size_t i = 0; i < processors.size(); ++i) {
        bool taken = false;
        processors[i]->dispatch(PROCESSOR_TAKE_MESSAGE, &taken, params, 1);
        if (taken) {
            return true;
        }
    }
    return false;
}

void StandInHost::dispatch_as_player(MSG& message)
{
    if (offer_to_processors(message)) {
        return;
    }
    const bool own_window = message.hwnd != nullptr &&
                            (message.hwnd == main_window || std::find(frames.begin(), frames.end(), message.hwnd) != frames.end());
    if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && own_window &&
        TranslateAcceleratorW(main_window, message.hwnd == main_window ? main_accelerators : accelerators, &message)) {
        return;
    }
    HWND active_dialog = active_embedded_frame();
    if (active_dialog != nullptr && IsDialogMessageW(active_dialog, &message)) {
        return;
    }
    if (!own_window) {
        TranslateMessage(&message);
    }
    DispatchMessageW(&message);
}

void dispatch_as_the_player(MSG& message)
{
    if (current_host != nullptr) {
        current_host->dispatch_as_player(message);
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void StandInHost::record_timer(HWND window, UINT_PTR id, UINT period, TIMERPROC callback)
{
    timer_calls.push_back({true, window, id, period});
    timer_proc = callback;
}

void StandInHost::record_kill(HWND window, UINT_PTR id)
{
    timer_calls.push_back({false, window, id, 0});
}

std::wstring utf16_from_cp1252_text(const std::string& text)
{
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    std::wstring wide(text.size(), L'\0');
    MultiByteToWideChar(1252, 0, text.data(), length, wide.data(), length);
    return wide;
}

std::string utf8_from_cp1252(const std::string& text)
{
    return utf8_from_utf16(utf16_from_cp1252_text(text));
}

std::string utf8_from_utf16(const std::wstring& text)
{
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}
