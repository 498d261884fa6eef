// Keys in the lyrics window, as in a browser, and its menu item's command. The player's message
// loop hands no key to the web control's own handling (its accelerators: copy, paste, select all,
// delete, tab between a page's fields), and while the player's frame is active it turns Tab,
// Enter, Escape and the arrows into dialog navigation first. Players from 5.12 on offer every
// message of their loop to the message processors of plug-ins before anything else: the lyrics
// window's processor gives the keys of its own windows to the control first, and dispatches those
// the control leaves itself; and it takes the command of the window's menu item, which the player
// posts to its main window.
#include "display/lyrics_window.h"

#include "host/player.h"
#include "plugin/host_requests.h"
#include "plugin/player_objects.h"
#include "plugin/system_function.h"

#include <exdisp.h>
#include <ole2.h>

namespace {

// The player's application object and the factory it came from, while the processor is added.
PlayerObject* key_factory = nullptr;
PlayerObject* key_application = nullptr;
bool processor_added = false; // the application knew the call that adds it

// The keys of the window, by one comparison: WM_KEYDOWN, WM_KEYUP, WM_CHAR. System keys (Alt
// combinations, the player's menus) are other messages.
static_assert(WM_KEYUP == WM_KEYDOWN + 1 && WM_CHAR == WM_KEYDOWN + 2, "key messages in a row");
bool is_key_message(const MSG& message)
{
    return message.message - WM_KEYDOWN <= WM_CHAR - WM_KEYDOWN;
}

// Ctrl+Tab steps through the player's windows.
bool players_key(const MSG& message)
{
    return message.message != WM_CHAR && message.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0;
}

// The web control's own key handling: true when it took the key.
bool control_takes(MSG& message)
{
    IWebBrowser2* control = lyrics_window_control();
    void* found = nullptr;
    if (control == nullptr || FAILED(control->QueryInterface(IID_IOleInPlaceActiveObject, &found)) ||
        found == nullptr) {
        return false;
    }
    auto* active_object = static_cast<IOleInPlaceActiveObject*>(found);
    const bool taken = active_object->TranslateAccelerator(&message) == S_OK;
    active_object->Release();
    return taken;
}

using DispatchMessageFunction = LRESULT(WINAPI*)(const MSG*);

// Dispatches as the player does: in UTF-16 where the system has it (the NT line), so that a
// character goes on as itself. Windows 98 has only the ANSI form working, so the wide one is
// looked up, not imported.
void dispatch(const MSG& message)
{
    constexpr DWORD WINDOWS_9X = 0x80000000;
    DispatchMessageFunction dispatch_wide = nullptr;
    if ((GetVersion() & WINDOWS_9X) == 0 &&
        find_function(GetModuleHandleA("user32.dll"), "DispatchMessageW", dispatch_wide)) {
        dispatch_wide(&message);
        return;
    }
    DispatchMessageA(&message);
}

// A key of the lyrics window's own windows: the control's handling first, else translated and
// dispatched here, so that the frame's dialog handling never sees it.
bool takes(MSG message)
{
    HWND container = lyrics_window_container();
    if (container == nullptr || (message.hwnd != container && !IsChild(container, message.hwnd)) ||
        players_key(message)) {
        return false;
    }
    if (!control_takes(message)) {
        TranslateMessage(&message);
        dispatch(message);
    }
    return true;
}

// The menu item's command, from the player's menus or from the system menu's copy, by one
// comparison.
static_assert(WM_SYSCOMMAND == WM_COMMAND + 1, "command messages in a row");
bool is_command_message(const MSG& message)
{
    return message.message - WM_COMMAND <= WM_SYSCOMMAND - WM_COMMAND;
}

bool takes_command(const MSG& message)
{
    if (!is_lyrics_menu_command(message)) {
        return false;
    }
    toggle_lyrics_window();
    return true;
}

// The processor: the player calls it for every message of its thread, so all but keys and
// commands leave at the first two comparisons.
PLAYER_METHODS_BEGIN
int PLAYER_METHOD take_message(PlayerObject*, int code, void* result, void** params, int count)
{
    if (code != PROCESSOR_TAKE_MESSAGE || count != 1 || params == nullptr || result == nullptr) {
        return 0;
    }
    const MSG* message = *static_cast<MSG**>(params[0]);
    *static_cast<bool*>(result) = is_key_message(*message) ? takes(*message) : is_command_message(*message) && takes_command(*message);
    return 1;
}
PLAYER_METHODS_END

constexpr PlayerObjectTable KEY_PROCESSOR_TABLE = {take_message};
PlayerObject key_processor = {&KEY_PROCESSOR_TABLE};

} // namespace

void add_message_processor()
{
    if (key_application != nullptr || player_version < FIRST_VERSION_WITH_SERVICES) {
        return;
    }
    const LRESULT answer = host_request(0, IPC_GET_SERVICES);
    if (static_cast<uintptr_t>(answer) < LOWEST_POINTER || quitting != 0) {
        return;
    }
    auto* service = reinterpret_cast<PlayerObject*>(answer);
    GUID application_id = APPLICATION_SERVICE_GUID;
    PlayerObject* factory = nullptr;
    void* find_params[] = {&application_id};
    if (!call_player_object(service, SERVICE_FIND_FACTORY, &factory, find_params) || factory == nullptr ||
        quitting != 0) {
        return;
    }
    int make_what = FACTORY_MAKE_ONE;
    PlayerObject* application = nullptr;
    void* make_params[] = {&make_what};
    if (!call_player_object(factory, FACTORY_MAKE, &application, make_params) || application == nullptr) {
        return;
    }
    key_factory = factory;
    key_application = application;
    PlayerObject* processor = &key_processor;
    void* add_params[] = {&processor};
    if (quitting == 0) {
        processor_added = call_player_object(application, APPLICATION_ADD_PROCESSOR, nullptr, add_params);
    }
    // A quit inside one of these calls found nothing to remove yet: it is removed now.
    if (quitting != 0) {
        remove_message_processor();
    }
}

void remove_message_processor()
{
    if (key_application == nullptr) {
        return;
    }
    PlayerObject* application = key_application;
    key_application = nullptr;
    processor_added = false;
    PlayerObject* processor = &key_processor;
    void* remove_params[] = {&processor};
    call_player_object(application, APPLICATION_REMOVE_PROCESSOR, nullptr, remove_params);
    void* release_params[] = {&application};
    call_player_object(key_factory, FACTORY_RELEASE, nullptr, release_params);
    key_factory = nullptr;
}

bool message_processor_added()
{
    return processor_added;
}
