// The once-a-second look at the player: when a playlist entry with a new file path plays, or a
// stream plays a new song, open its lyrics page in the player's mini-browser and, on a player
// without one, in the lyrics window or the system's web browser.
#include "common/bounded_text.h"
#include "display/display.h"
#include "lookup/page_address.h"
#include "lookup/stream_song.h"
#include "lookup/tag_reader.h"
#include "plugin/host_requests.h"
#include "plugin/plugin.h"

#include <cstring>

static_assert(sizeof(WINDOWPLACEMENT) == 44, "WINDOWPLACEMENT length field");

namespace {

// The path (with "&" replaced) of the last entry whose page was opened, or of the stream whose
// songs are followed.
char last_path[PATH_TEXT_SIZE];

// The stream in last_path: the title its last tick saw, whether that title has been dealt with
// (it settled: it was the same on two ticks in a row), and the song of its last page.
char stream_title[TITLE_TEXT_SIZE];
bool stream_title_settled = false;
char stream_song[TITLE_TEXT_SIZE];

// A page never takes the keyboard from where the user types: the player's plain letters are its
// main window's playback keys. Where showing the page moved the focus (an old player's
// mini-browser takes it when it opens), it goes back to the window that had it, or, where that is
// gone, to the player's main window.
void give_focus_back(HWND had_focus)
{
    if (GetFocus() != had_focus) {
        SetFocus(IsWindow(had_focus) ? had_focus : plugin_descriptor.parent_window);
    }
}

// The player may quit inside any request (a modal loop dispatches its close): from then on the
// tick opens nothing more.
void open_page(const char* address)
{
    HWND had_focus = GetFocus();
    const uint32_t page = ++pages_begun;
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
        if (pages_begun != page) { // a later page came inside the last request
            give_focus_back(had_focus);
            return;
        }
        host_request(step.argument, step.request);
    }
    if (pages_begun == page) {
        show_page(address);
    }
    if (quitting == 0) {
        give_focus_back(had_focus);
    }
}

// Whether the entry at `index` is the file that plays. The playlist position is not always what
// plays: the player keeps playing an entry the user deleted (the position moves back one) or a
// list the user cleared (the position is then the first entry added). Players that cannot tell
// (before 5.5) count the entry at the position as playing. The player's text of the playing file
// is read at once, before it is asked anything else.
__attribute__((noinline)) bool plays_entry(LRESULT index)
{
    if (player_version < FIRST_VERSION_WITH_PLAYING_FILE) {
        return true;
    }
    const LRESULT playing = host_request(0, IPC_GET_PLAYING_FILENAME);
    if (static_cast<uintptr_t>(playing) < LOWEST_POINTER) {
        return true;
    }
    char16_t playing_path[PATH_TEXT_SIZE];
    text_copy_utf16(playing_path, reinterpret_cast<const char16_t*>(playing));
    const LRESULT entry = host_request(static_cast<WPARAM>(index), IPC_GETPLAYLISTFILEW);
    if (static_cast<uintptr_t>(entry) < LOWEST_POINTER) {
        return true;
    }
    return utf16_equal(playing_path, reinterpret_cast<const char16_t*>(entry), PATH_TEXT_SIZE);
}

// True while a tick runs. A request into the player or a call into the web control may run a
// modal message loop (a dialog of another plug-in, a prompt of a page), which dispatches the
// player's timer: a tick that started there would run to its end first, and the outer tick
// would then open the older track's page last.
bool tick_running = false;

// The title of the entry at `index`, as the player shows it (cut to fit), into `title`; empty
// where the player has none.
void copy_entry_title(LRESULT index, char (&title)[TITLE_TEXT_SIZE])
{
    const char* text = entry_text(index, IPC_GETPLAYLISTTITLE);
    text_copy(title, text != nullptr ? text : "");
}

// A tick on the stream at `index`, whose address with "&" replaced is `path_sent`. Its page
// follows the song: once the title has stayed the same over two ticks (the reader's statuses and
// the station's name come and go while it connects), and only for a song other than that of its
// last page (stations send the same title again).
void follow_stream(LRESULT index, const char* path_sent, const char* base, int32_t seconds)
{
    const bool fresh = std::strcmp(path_sent, last_path) != 0;
    if (fresh) {
        text_copy(last_path, path_sent);
        stream_song[0] = '\0';
    }
    char title[TITLE_TEXT_SIZE];
    copy_entry_title(index, title);
    if (fresh || std::strcmp(title, stream_title) != 0) {
        text_copy(stream_title, title);
        stream_title_settled = false;
        return;
    }
    if (stream_title_settled) {
        return;
    }
    stream_title_settled = true;
    if (is_status_title(title)) {
        return;
    }
    char song[TITLE_TEXT_SIZE];
    // Only the player's answer of 0 (a reader that does not know the field) leaves the title as
    // the song; its empty text means no song yet.
    const bool asked = player_version >= FIRST_VERSION_WITH_FILE_INFO;
    // The player answers the song of the stream that plays, whatever file it is given: the
    // address as remembered does.
    if (!asked || !ask_player_for(last_path, FILE_INFO_STREAM_TITLE, song)) {
        text_copy(song, title);
    }
    if (quitting != 0) { // inside the request
        return;
    }
    if (asked) {
        // The player answers the song of whatever plays now: where another entry or title came
        // up inside a request (a modal loop there), this song need not be the title's. Then
        // nothing opens, and the title now shown settles on the next tick.
        const LRESULT index_now = host_request(0, IPC_GETLISTPOS);
        char title_now[TITLE_TEXT_SIZE];
        copy_entry_title(index_now, title_now);
        if (index_now != index || std::strcmp(title_now, title) != 0) {
            text_copy(stream_title, title_now);
            stream_title_settled = false;
            return;
        }
    }
    char artist[TITLE_TEXT_SIZE];
    char song_title[TITLE_TEXT_SIZE];
    if (!split_song(song, artist, song_title) || std::strcmp(song, stream_song) == 0) {
        return;
    }
    // A stream at the position that does not play is looked at again when its title changes.
    if (!plays_entry(index)) {
        return;
    }
    text_copy(stream_song, song);
    replace_char(title, AMPERSAND, AMPERSAND_STAND_IN); // the title as sent
    char address[PAGE_ADDRESS_SIZE];
    bool whole = compose_page_address(address, base, last_path, title, seconds);
    append_song_keys(address, song_title, artist, whole);
    open_page(address);
}

void run_tick()
{
    // The three status queries are made on every tick, before any test.
    const LRESULT internet = host_request(0, IPC_INETAVAILABLE);
    const int32_t seconds = static_cast<int32_t>(host_request(OUTPUT_TIME_LENGTH_SECONDS, IPC_GETOUTPUTTIME));
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(plugin_descriptor.parent_window, &placement);
    // The lyrics window shows with the player, once it is restored: one comparison on other ticks.
    if (lyrics_window_waits && placement.showCmd != SW_SHOWMINIMIZED) {
        show_lyrics_window_with_player();
    }

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

    const LRESULT index = host_request(0, IPC_GETLISTPOS);
    const char* path = entry_text(index, IPC_GETPLAYLISTFILE);
    if (path == nullptr) {
        return;
    }
    char path_copy[PATH_TEXT_SIZE];
    // A path too long to remember whole would be looked up again on every tick: skip it.
    if (!copy_address_value(path_copy, path) || path_copy[0] == '\0') {
        return;
    }
    if (is_stream_entry(path)) {
        follow_stream(index, path_copy, base, seconds);
        return;
    }
    // An entry at the position that does not play is looked at again on the next tick: its page
    // opens once it plays.
    if (std::strcmp(path_copy, last_path) == 0 || !plays_entry(index)) {
        return;
    }
    // The title is the path's entry's: where another entry started inside one of this tick's
    // requests, the page would carry one entry's path and another's title. Then nothing opens and
    // the path is not remembered: the next tick looks again.
    const LRESULT title_index = host_request(0, IPC_GETLISTPOS);
    if (title_index != index) {
        return;
    }
    text_copy(last_path, path_copy);

    const char* title = entry_text(title_index, IPC_GETPLAYLISTTITLE);
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
