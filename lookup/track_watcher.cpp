// The once-a-second look at the player: when a playlist entry with a new file path plays,
// open its lyrics page in the player's mini-browser and, on a player without one, in the
// lyrics window or the system's web browser.
#include "common/bounded_text.h"
#include "display/display.h"
#include "lookup/page_address.h"
#include "lookup/tag_reader.h"
#include "plugin/host_requests.h"
#include "plugin/plugin.h"

#include <cstring>

static_assert(sizeof(WINDOWPLACEMENT) == 44, "WINDOWPLACEMENT length field");

namespace {

// The path (with "&" replaced) of the last entry whose page was opened.
char last_path[PATH_TEXT_SIZE];

// The player may quit inside any request (a modal loop dispatches its close): from then on the
// tick opens nothing more.
void open_page(const char* address)
{
    const struct {
        WPARAM argument;
        int32_t request;
    } minibrowser_requests[] = {
        {MINIBROWSER_BLOCK, IPC_MBBLOCK},
        {0, IPC_MBOPEN},
        {reinterpret_cast<WPARAM>(address), IPC_MBOPENREAL},
        {MINIBROWSER_BLOCK, IPC_MBBLOCK},
    };
    for (const auto& step : minibrowser_requests) {
        if (quitting != 0) {
            return;
        }
        host_request(step.argument, step.request);
    }
    show_page(address);
    if (quitting == 0) {
        SetFocus(plugin_descriptor.parent_window);
    }
}

// True while a tick runs. A request into the player or a call into the web control may run a
// modal message loop (a dialog of another plug-in, a prompt of a page), which dispatches the
// player's timer: a tick that started there would run to its end first, and the outer tick
// would then open the older track's page last.
bool tick_running = false;

void run_tick()
{
    // The three status queries are made on every tick, before any test.
    const LRESULT internet = host_request(0, IPC_INETAVAILABLE);
    const int32_t seconds = static_cast<int32_t>(host_request(OUTPUT_TIME_LENGTH_SECONDS, IPC_GETOUTPUTTIME));
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(plugin_descriptor.parent_window, &placement);

    if (quitting != 0 || enabled != 1 || placement.showCmd == SW_SHOWMINIMIZED || internet != 1) {
        return;
    }
    // A language outside 1 to 3 (a hand-edited ini file) has no site: treat it as off.
    const char* base = site_base_address(language);
    if (base == nullptr) {
        return;
    }
    if (host_request(0, IPC_ISPLAYING) != HOST_PLAYING) {
        return;
    }

    const char* path = current_entry_text(IPC_GETPLAYLISTFILE);
    if (path == nullptr) {
        return;
    }
    char path_copy[PATH_TEXT_SIZE];
    // A path too long to remember whole would be looked up again on every tick: skip it.
    if (!copy_address_value(path_copy, path) || path_copy[0] == '\0' ||
        std::strcmp(path_copy, last_path) == 0) {
        return;
    }
    text_copy(last_path, path_copy);

    const char* title = current_entry_text(IPC_GETPLAYLISTTITLE);
    char title_copy[TITLE_TEXT_SIZE];
    // Too long a title is cut: the address could not hold more of it anyway.
    copy_address_value(title_copy, title != nullptr ? title : "");

    char address[PAGE_ADDRESS_SIZE];
    const bool whole = compose_page_address(address, base, last_path, title_copy, seconds);
    append_song_part(address, whole, last_path);
    open_page(address);
}

} // namespace

void CALLBACK lyrics_timer_proc(HWND, UINT, UINT_PTR, DWORD)
{
    // A tick inside another returns at once: the next one sees whatever plays then, so the last
    // page opened is always that of the track that plays.
    if (tick_running) {
        return;
    }
    tick_running = true;
    run_tick();
    tick_running = false;
}
