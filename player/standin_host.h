// A stand-in for the media player: it loads the plug-in DLL, answers the plug-in's requests
// from a scripted state, records every request in order (and the plug-in's file opens and
// profile writes), and drives the plug-in's timer without waiting a real second for each
// tick. One host is active at a time.
#pragma once

#include "display/embedded_window.h"
#include "player/player_menus.h"
#include "player/service_objects.h"
#include "player/web_control.h"
#include "plugin/host_requests.h"
#include "plugin/plugin.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A moment of a stream as its reader reports it: the title the player shows and the song it
// answers to FILE_INFO_STREAM_TITLE ("Artist - Song", or empty before the station names one).
struct StreamMoment {
    std::string title;
    std::string song;
};

struct PlaylistEntry {
    std::string path;
    std::string title;
    int32_t length_seconds;
    // The title and artist the player's input plug-in reads from the file's tags, answered to
    // IPC_GET_EXTENDED_FILE_INFO; none: the plug-in does not know the field.
    std::optional<std::string> file_title = std::nullopt;
    std::optional<std::string> file_artist = std::nullopt;
    // A stream's moments, one after another (HostScript::stream_moment says which): its title
    // then goes through them. None: the title stays `title`.
    std::vector<StreamMoment> stream_moments = {};
};

enum class PlayState { stopped, playing, paused };

// What the player does inside a modal loop in one of the plug-in's calls: the timer's tick, the
// user closing the player (quit), the user pressing OK in the configuration dialog after
// clearing its check box, or the player destroying the lyrics window's frame.
enum class ModalLoopCall { tick, quit, ok_with_lookup_off, destroy_frame };

// Versions the stand-in answers: a player with the mini-browser (2.91) and one of today's,
// without it (5.9.2), which opens pages in the system's web browser instead.
constexpr int32_t OLD_PLAYER_VERSION = 0x2091;
constexpr int32_t CURRENT_PLAYER_VERSION = 0x5092;

// What the player answers. Every field may be changed between ticks.
struct HostScript {
    std::vector<PlaylistEntry> playlist;
    int32_t position = 0;
    PlayState play_state = PlayState::playing;
    bool internet = true;
    std::string ini_path;        // answered to the ini-file request unless ini_answer_is_path is false
    bool ini_answer_is_path = true;
    uintptr_t ini_answer = 0;    // answered instead of a path (a player without the request)
    bool null_path = false;      // answer null for the file path
    bool null_title = false;     // answer null for the title
    uintptr_t raw_path = 0;      // when not 0, answered for the file path instead of a text
    uintptr_t raw_title = 0;     // when not 0, answered for the title instead of a text
    int32_t version = OLD_PLAYER_VERSION; // answered to IPC_GETVERSION
    bool refuse_open_url = false; // answer IPC_OPEN_URL as a player that does not know it
    // Answered to IPC_GET_EMBEDDED_FRAME instead of a new frame when not 0 (a player without the
    // service; one before 2.9 answers UNKNOWN_REQUEST_ANSWER whatever this says).
    intptr_t frame_answer = 0;
    bool no_atl = false;            // the plug-in's LoadLibraryA("atl.dll") fails
    bool web_control_fails = false; // the plug-in's AtlAxWin windows get a text that makes no control
    // A modal message loop inside a call of the plug-in's, as a dialog of another plug-in or a
    // prompt of a page would run it: once, inside the answer to request `reenter_in` (or inside
    // another call, REENTER_IN_...), the player runs `reenter_action` where there is one, else
    // the playlist moves to `reenter_position` and the player makes `reenter_call`. 0: never.
    int32_t reenter_in = 0;
    int32_t reenter_position = 0;
    ModalLoopCall reenter_call = ModalLoopCall::tick;
    std::function<void()> reenter_action;
    // Answers to IPC_GET_EXTENDED_FILE_INFO worse than the player's: the whole buffer filled with
    // no terminator (answering 1), or text written into the buffer with the answer 0.
    bool file_info_unterminated = false;
    bool file_info_junk_with_zero = false;
    // A player from 5.12 on that answers the service request as one without it.
    bool no_services = false;
    // The work areas of the monitors the plug-in finds when it looks up the monitor functions
    // (the first is the primary); empty: the system's own.
    std::vector<RECT> monitors;
    // The moment that stream entries are at (clamped to each one's last), and whether the playing
    // stream's reader knows FILE_INFO_STREAM_TITLE (else it answers 0, as other readers do).
    size_t stream_moment = 0;
    bool reader_knows_stream_title = true;
    // The station's next moment arrives while the reader answers FILE_INFO_STREAM_TITLE (its own
    // thread updates the title and the song at any time): once, the script then moves to it.
    bool next_moment_inside_song_request = false;
    // The entry that plays though the playlist no longer holds it (the user deleted it, or cleared
    // the list under it: StandInHost::delete_entry, clear_playlist); none: the entry at `position`
    // plays. The player answers IPC_GETOUTPUTTIME, IPC_GET_PLAYING_FILENAME and a stream's song
    // for the entry that plays.
    std::optional<PlaylistEntry> playing_unlisted;
    // An old player's mini-browser takes the keyboard focus when IPC_MBOPEN shows it (the bench
    // times ticks without it too: the two window activations cost milliseconds under Wine).
    bool minibrowser_takes_focus = true;
    // Answer IPC_GET_MENU with null, as a player that offers neither menu to plug-ins.
    bool no_menus = false;
};

// Calls of the plug-in's besides its requests that may run a modal loop.
constexpr int32_t REENTER_IN_CONTROL_CREATION = -1; // the creation of its web control's window
constexpr int32_t REENTER_IN_NAVIGATION = -2;       // its web control's Navigate2 (a "leave this page?" prompt)
constexpr int32_t REENTER_IN_FRAME_MESSAGE = -3;    // a message it sends the player's frame (title, showing): the skin answers it
constexpr int32_t REENTER_IN_OBJECT_CALL = -4;      // a call on the player's service objects

struct RecordedRequest {
    int32_t code;
    WPARAM argument;
    std::string text;       // the address, for IPC_MBOPENREAL; the file, for IPC_GET_EXTENDED_FILE_INFO
    std::string field;      // the field asked for, for IPC_GET_EXTENDED_FILE_INFO
    std::wstring wide_text; // the address, for IPC_OPEN_URL
};

struct TimerCall {
    bool set; // SetTimer, else KillTimer
    HWND window;
    UINT_PTR id;
    UINT period_ms;
};

// One CreateFileA call of the plug-in, passed on to kernel32. When the host probes sharing,
// it tried, while the plug-in held the file, to open it again itself as another program would,
// for reading and for writing (else both are false).
struct FileOpen {
    std::string path;
    DWORD access;
    DWORD share;
    DWORD disposition;
    bool opened;
    bool others_could_read;
    bool others_could_write;
};

// One WritePrivateProfileStringA call of the plug-in, passed on to kernel32; a null pointer
// is recorded as NULL_TEXT.
struct ProfileWrite {
    std::string section;
    std::string key;
    std::string value;
    std::string file;
};
constexpr char NULL_TEXT[] = "(null)";

class StandInHost {
public:
    StandInHost();
    ~StandInHost();
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    // Loads the DLL, fills in the descriptor and calls init (unless `call_init` is false: a
    // player that calls quit without init). False when any of it failed.
    bool load(const char* dll_path, bool call_init = true);
    void tick();
    void configure();
    void quit();
    void unload(); // quits first if the plug-in is still running

    // As Windows does with a minimised window, which hides the windows it owns and shows them
    // again with it (Wine leaves them as they are: the stand-in does it itself).
    void minimise();
    void restore();

    // The user's playlist edits, by the player's rules: deleting the playing entry keeps it
    // playing and moves the position back one (an entry before the position moves it back with
    // it); clearing the list keeps the playing entry playing, and the position is 0, the first
    // entry added next.
    void delete_entry(size_t index);
    void clear_playlist();

    // The search field of another window of the player's (as its media library has one), made on
    // first use; keys typed there are text, not playback commands.
    HWND search_field();
    // The player's minimise to the tray: its main window minimised and hidden.
    void minimise_to_tray();
    // The user chooses the item with `command` from the player's menus (WM_COMMAND) or from the
    // system menu's copy (WM_SYSCOMMAND): the player's main window gets it posted, through the
    // player's loop.
    void choose(UINT command, UINT message = WM_COMMAND);
    // Destroys the main window, and with it the frames it owns, as a player does at its exit
    // before it calls quit.
    void close_main_window();

    // From now on the pages the plug-in opens are really opened: the mini-browser (241, 249)
    // and the system's web browser (3032) become web controls that navigate to them. Their
    // requests reach the lyrics site stand-in where the proxy points at it.
    void open_pages_in_web_controls();

    HostScript script;
    std::vector<RecordedRequest> requests;
    std::vector<TimerCall> timer_calls;
    std::vector<FileOpen> file_opens;
    bool probe_sharing = false; // two more opens on each of the plug-in's: off for timings
    std::vector<ProfileWrite> profile_writes;
    // The playback commands the main window's plain letter keys fired (its accelerators: Z
    // previous, X play, C pause, V stop, B next), in order.
    std::vector<WORD> playback_commands;
    size_t requests_at_quit = 0; // how many requests were recorded when quit returned
    int focus_calls = 0;
    size_t requests_before_focus = 0; // how many requests came before the last SetFocus
    int init_result = -1;
    std::vector<HWND> frames; // every frame made for IPC_GET_EMBEDDED_FRAME, in order
    // The message processors plug-ins added through the service objects, in the order added;
    // every message of the player's loop, and of its modal loops, goes to them first.
    std::vector<PlayerDispatchable*> processors;
    int applications_made = 0;     // application objects the factory gave out
    int applications_released = 0; // and took back
    // The window-state record as each IPC_GET_EMBEDDED_FRAME received it. Once a frame is made, the
    // stand-in keeps state of its own in the record's tail, as skin engines do.
    std::vector<EmbeddedWindowState> frame_records;
    PlayerMenus menus;

    HWND window() const { return main_window; }
    HMODULE module() const { return plugin_module; }
    PluginDescriptor* descriptor() const { return plugin; }
    TIMERPROC timer_callback() const { return timer_proc; }
    std::vector<std::string> opened_pages() const;          // in the mini-browser (IPC_MBOPENREAL)
    std::vector<std::wstring> opened_web_pages() const;     // in the web browser (IPC_OPEN_URL)
    bool has_minibrowser() const { return script.version < FIRST_VERSION_WITHOUT_MINIBROWSER; }
    std::vector<int32_t> request_codes() const;
    void forget_requests()
    {
        requests.clear();
        requests_at_quit = 0; // from here on every request counts as after quit
    }
    // The last frame made, while it is a window; else null.
    HWND lyrics_frame() const { return !frames.empty() && IsWindow(frames.back()) ? frames.back() : nullptr; }
    // Whether the plug-in's timer runs: set, and not killed since.
    bool timer_running() const { return !timer_calls.empty() && timer_calls.back().set; }
    // The entry that plays: script.playing_unlisted, else the one at the position; null for none.
    const PlaylistEntry* playing_entry() const;
    // The addresses the plug-in's own web controls were told to navigate to, in order.
    std::vector<std::wstring> navigations;

    LRESULT answer(WPARAM argument, int32_t code);
    // The answer to IPC_GET_EXTENDED_FILE_INFO: per file, from the playlist entry of that path.
    LRESULT answer_file_info(WPARAM argument, RecordedRequest& record);
    // Runs the scripted modal loop if it is due inside `call` (a request code, or
    // REENTER_IN_CONTROL_CREATION).
    void reenter_if_due(int32_t call);
    // A web control the plug-in made: its navigations are recorded, and may run a modal loop.
    void note_plugin_control(IWebBrowser2* control);
    void record_timer(HWND window, UINT_PTR id, UINT period, TIMERPROC callback);
    void record_kill(HWND window, UINT_PTR id);
    // The processors, in order, until one takes the message: true when one did.
    bool offer_to_processors(MSG& message);
    // The player's message loop for one message of its thread.
    void dispatch_as_player(MSG& message);

private:
    HWND main_window = nullptr;
    HMODULE plugin_module = nullptr;
    PluginDescriptor* plugin = nullptr;
    TIMERPROC timer_proc = nullptr;
    bool running = false;
    std::vector<const void*> plugin_controls; // for identity only: never called through

    bool pages_in_web_controls = false;
    std::unique_ptr<WebControl> minibrowser; // an old player's, made when it first opens
    std::unique_ptr<WebControl> web_browser;
    HWND library_window = nullptr;
    HWND library_search = nullptr;
    // The text answered to IPC_GET_PLAYING_FILENAME and IPC_GETPLAYLISTFILEW, valid until the next.
    std::wstring playing_path_text;
    std::wstring entry_path_text;
    HACCEL accelerators = nullptr;      // for the player's own windows: Ctrl+Tab
    HACCEL main_accelerators = nullptr; // for its main window: Ctrl+Tab and the plain letters
    HHOOK modal_loop_filter = nullptr; // modal loops offer their messages to the processors too
};

// Code page 1252 text as UTF-16, as the player converts the address it is given.
std::wstring utf16_from_cp1252_text(const std::string& text);
// Text in code page 1252 as UTF-8, for printing to a terminal.
std::string utf8_from_cp1252(const std::string& text);
// UTF-16 text as UTF-8, for printing to a terminal.
std::string utf8_from_utf16(const std::wstring& text);
