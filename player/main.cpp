// The stand-in player: loads the plug-in, plays a playlist one simulated second at a time and
// prints what the plug-in asked of it.
//
//   standin_player                       the built-in sample playlist, with pauses, a minimised
//                                        window, a lost connection and the lyrics window closed
//                                        and chosen again from the menu along the way, on a
//                                        player with the mini-browser and on one without it
//   standin_player --playlist FILE       one entry a line: path<TAB>title<TAB>length in seconds,
//                                        then optionally <TAB>title<TAB>artist as the player
//                                        reads them from the file's tags;
//                                        with --player-version V (such as 0x2091) the player
//                                        answers V to the version request (default 0x5092)
//   standin_player --bench [TICKS]       times the plug-in's ticks against the bare host calls
//   standin_player --dialog              opens the configuration dialog for a person to use, then
//                                        prints the settings it left; with --language N the
//                                        ini file chooses language N first, and --close-after
//                                        SECONDS cancels the dialog after that long
//   --plugin DLL                         the plug-in to load (default: gen_cantovia.dll)
#include "player/dialog_driver.h"
#include "player/embedded_frames.h"
#include "player/lyrics_site.h"
#include "player/sample_files.h"
#include "player/standin_host.h"
#include "plugin/description.h"
#include "plugin/host_requests.h"
#include "resources/resource.h"

#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <climits>
#include <fstream>
#include <functional>
#include <utility>

namespace {

struct Step {
    std::string what;
    std::function<void(StandInHost&)> change;
    bool chooses_lyrics_item = false; // then the user chooses "Cantovia" in the player's menu
};

std::string read_ini(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string lines;
    for (char c : text) {
        if (c != '\r') {
            lines += c;
        }
    }
    return lines;
}

// Prints the pages the plug-in opened since the requests were last forgotten, as the player
// receives them: for its mini-browser (ignored by a player without one), for the web browser
// and, once the lyrics window shows an address other than `window_before`, for that window.
void print_pages(const StandInHost& host, const char* indent, const std::wstring& window_before = {})
{
    const std::vector<std::string> pages = host.opened_pages();
    const std::vector<std::wstring> web_pages = host.opened_web_pages();
    if (pages.empty() && web_pages.empty()) {
        std::printf("%sno page\n", indent);
    }
    HWND frame = host.lyrics_frame();
    if (frame != nullptr && !host.has_minibrowser() && !pages.empty() && web_pages.empty() && !IsWindowVisible(frame)) {
        std::printf("%slyrics window (closed): the page waits, nothing is loaded\n", indent);
    } else if (frame != nullptr && !host.has_minibrowser() && !pages.empty() && web_pages.empty()) {
        // The control navigates as the thread's messages are pumped.
        std::wstring shown;
        pump_messages_until(
            [&] {
                shown = web_control_location(frame);
                return shown != window_before && shown != L"about:blank" && !shown.empty();
            },
            5000);
        std::printf("%slyrics window%s %s\n", indent, IsWindowVisible(frame) ? ":        " : " (hidden):",
                    utf8_from_utf16(shown).c_str());
    }
    for (const std::string& page : pages) {
        std::printf("%smini-browser%s %s\n", indent, host.has_minibrowser() ? ":          " : " (ignored):",
                    utf8_from_cp1252(page).c_str());
    }
    for (const std::wstring& page : web_pages) {
        std::printf("%sweb browser (UTF-16): %s\n", indent, utf8_from_utf16(page).c_str());
    }
}

// How long a page may take to reach the lyrics site stand-in.
constexpr DWORD SITE_WAIT_MS = 10000;

// Prints what the lyrics site stand-in received since it had `seen` requests, decoded key by
// key as the site reads it, waiting for the `pages` that were sent to it.
void print_site_arrivals(size_t seen, size_t pages, const char* indent)
{
    if (!lyrics_site_running() || pages == 0) {
        return;
    }
    if (!wait_for_site_requests(seen + pages, SITE_WAIT_MS)) {
        std::printf("%sthe lyrics site received nothing within %lu s\n", indent, SITE_WAIT_MS / 1000);
    }
    const std::vector<SiteRequest> requests = lyrics_site_requests();
    for (size_t i = seen; i < requests.size(); ++i) {
        std::printf("%sthe site received %s\n", indent, requests[i].address.c_str());
        for (const auto& [key, value] : requests[i].values) {
            std::printf("%s  %-9s %s\n", indent, (key + ":").c_str(), utf8_from_cp1252(value).c_str());
        }
    }
}

// The pages of the last requests that the stand-in's web controls or the plug-in's lyrics
// window loaded.
size_t pages_sent_to_site(const StandInHost& host)
{
    if (host.has_minibrowser()) {
        return host.opened_pages().size();
    }
    if (host.opened_web_pages().empty() && host.lyrics_frame() != nullptr) {
        return IsWindowVisible(host.lyrics_frame()) ? host.opened_pages().size() : 0;
    }
    return host.script.refuse_open_url ? 0 : host.opened_web_pages().size();
}

// The user chooses "Cantovia" in the player's menu, which the player posts to its main window:
// prints what the lyrics window shows then.
void print_chosen_window(StandInHost& host, int second, const std::string& what, const std::wstring& window_before)
{
    std::printf("%3d s  %s\n", second, what.c_str());
    const UINT command = menu_command(host.menus.main_popup, LYRICS_WINDOW_TITLE);
    if (command == 0) {
        std::printf("       no such item: this player has no lyrics window to show\n");
        return;
    }
    host.choose(command);
    HWND frame = host.lyrics_frame();
    std::wstring shown;
    pump_messages_until(
        [&] {
            shown = frame != nullptr ? web_control_location(frame) : L"";
            return shown != window_before;
        },
        5000);
    std::printf("       lyrics window%s %s\n", frame != nullptr && IsWindowVisible(frame) ? ":        " : " (hidden):",
                utf8_from_utf16(shown).c_str());
}

// Runs one simulated second: applies the change, ticks, prints the pages opened and what the
// lyrics site received of them.
void play_second(StandInHost& host, int second, const Step& step)
{
    step.change(host);
    host.forget_requests();
    const size_t seen = lyrics_site_requests().size();
    const std::wstring window_before = host.lyrics_frame() != nullptr ? web_control_location(host.lyrics_frame()) : L"";
    if (step.chooses_lyrics_item) {
        print_chosen_window(host, second, step.what, window_before);
        print_site_arrivals(seen, host.lyrics_frame() != nullptr ? 1 : 0, "       ");
        return;
    }
    host.tick();
    std::printf("%3d s  %s\n", second, step.what.c_str());
    print_pages(host, "       ", window_before);
    print_site_arrivals(seen, pages_sent_to_site(host), "       ");
}

// Loads the plug-in into `host` with an empty ini file of its own in the temporary folder
// `folder_name`; says why on the error stream when it cannot.
bool load_plugin(StandInHost& host, const char* plugin, const char* folder_name)
{
    host.script.ini_path = temporary_folder(folder_name) + "player.ini";
    DeleteFileA(host.script.ini_path.c_str());
    if (lyrics_site_running()) {
        host.open_pages_in_web_controls();
    }
    if (!host.load(plugin)) {
        std::fprintf(stderr, "could not load the plug-in %s (error %lu)\n", plugin, GetLastError());
        return false;
    }
    return true;
}

void print_saved_settings(StandInHost& host)
{
    host.quit();
    std::printf("\nQuit. The player's ini file now holds:\n%s", utf8_from_cp1252(read_ini(host.script.ini_path)).c_str());
}

int run_script(const char* plugin, int32_t version, std::vector<PlaylistEntry> playlist, const std::vector<Step>& steps)
{
    StandInHost host;
    host.script.playlist = std::move(playlist);
    host.script.version = version;
    if (!load_plugin(host, plugin, "cantovia-player")) {
        return 1;
    }
    std::printf("A player that answers 0x%04X to the version request: %s.\n", static_cast<unsigned>(version),
                host.has_minibrowser() ? "before 5.0, with the mini-browser" : "a 5.x, without the mini-browser");
    std::printf("Loaded %s: \"%s\"\n\n", plugin, utf8_from_cp1252(host.descriptor()->description).c_str());
    int second = 1;
    for (const Step& step : steps) {
        play_second(host, second++, step);
    }
    print_saved_settings(host);
    return 0;
}

std::function<void(StandInHost&)> play(int32_t position)
{
    return [position](StandInHost& host) {
        host.script.position = position;
        host.script.play_state = PlayState::playing;
    };
}

Step play_entry(const std::vector<PlaylistEntry>& playlist, size_t index)
{
    return {"plays \"" + utf8_from_cp1252(playlist[index].title) + "\"", play(static_cast<int32_t>(index))};
}

// The sample stream at `index`, one second a step from its reader's first status to its second
// song, each step naming the title the player shows then.
std::vector<Step> stream_steps(const std::vector<PlaylistEntry>& playlist, size_t index)
{
    const struct {
        size_t moment;
        const char* what;
    } seconds[] = {
        {0, "a radio stream starts"},   {1, "the server answers"},
        {2, "buffering"},               {3, "the station's name"},
        {3, "the same a second later"}, {4, "the first song"},
        {4, "the same a second later"}, {4, "the station sends the same title again"},
        {5, "a song without a name"},   {5, "the same a second later"},
        {6, "the second song"},         {6, "the same a second later"},
    };
    std::vector<Step> steps;
    for (const auto& second : seconds) {
        const std::string& title = playlist[index].stream_moments[second.moment].title;
        steps.push_back({std::string(second.what) + ": \"" + utf8_from_cp1252(title) + "\"",
                         [index, moment = second.moment](StandInHost& host) {
                             play(static_cast<int32_t>(index))(host);
                             host.script.stream_moment = moment;
                         }});
    }
    return steps;
}

int run_sample(const char* plugin, int32_t version)
{
    const std::vector<PlaylistEntry> playlist = make_sample_playlist(temporary_folder("cantovia-sample"));
    std::vector<Step> steps = {
        play_entry(playlist, 0),
        {"still the same track", [](StandInHost&) {}},
        {"paused", [](StandInHost& host) { host.script.play_state = PlayState::paused; }},
        {"resumed", [](StandInHost& host) { host.script.play_state = PlayState::playing; }},
        play_entry(playlist, 1),
        {"window minimised; next track starts", [](StandInHost& host) {
             host.minimise();
             play(2)(host);
         }},
        {"window restored", [](StandInHost& host) { host.restore(); }},
        {"Internet lost; next track starts", [](StandInHost& host) {
             host.script.internet = false;
             play(3)(host);
         }},
        {"Internet back", [](StandInHost& host) { host.script.internet = true; }},
        play_entry(playlist, 4),
        {"the lyrics window closed by the user; next track starts", [](StandInHost& host) {
             if (HWND frame = host.lyrics_frame()) {
                 press_close_button(frame);
             }
             play(5)(host);
         }},
        {"the user chooses \"Cantovia\" in the player's menu", [](StandInHost&) {}, true},
    };
    for (Step& step : stream_steps(playlist, 6)) {
        steps.push_back(std::move(step));
    }
    steps.insert(steps.end(), {
        play_entry(playlist, 7),
        play_entry(playlist, 8),
        {"stopped", [](StandInHost& host) { host.script.play_state = PlayState::stopped; }},
        play_entry(playlist, 0),
    });
    return run_script(plugin, version, playlist, steps);
}

int run_playlist(const char* plugin, int32_t version, const char* file_name)
{
    std::ifstream file(file_name, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", file_name);
        return 1;
    }
    std::vector<PlaylistEntry> playlist;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const size_t first_tab = line.find('\t');
        const size_t second_tab = first_tab == std::string::npos ? std::string::npos : line.find('\t', first_tab + 1);
        if (line.empty() || second_tab == std::string::npos) {
            continue;
        }
        PlaylistEntry entry = {line.substr(0, first_tab), line.substr(first_tab + 1, second_tab - first_tab - 1),
                               std::atoi(line.c_str() + second_tab + 1)};
        // Optional fields: what the player's input plug-ins read as the file's title and artist.
        const size_t title_tab = line.find('\t', second_tab + 1);
        if (title_tab != std::string::npos) {
            const size_t artist_tab = line.find('\t', title_tab + 1);
            if (artist_tab == std::string::npos) {
                entry.file_title = line.substr(title_tab + 1);
            } else {
                entry.file_title = line.substr(title_tab + 1, artist_tab - title_tab - 1);
                entry.file_artist = line.substr(artist_tab + 1);
            }
        }
        playlist.push_back(entry);
    }
    std::vector<Step> steps;
    for (size_t i = 0; i < playlist.size(); ++i) {
        steps.push_back(play_entry(playlist, i));
        // A stream's page waits until its title has stayed the same over two seconds.
        if (playlist[i].path.find("://") != std::string::npos) {
            steps.push_back({"the same title a second later", [](StandInHost&) {}});
        }
    }
    return run_script(plugin, version, playlist, steps);
}

double seconds_now()
{
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The host calls an idle tick makes, made directly: what the plug-in cannot do without.
void bare_host_calls(HWND window)
{
    SendMessageA(window, HOST_REQUEST_MESSAGE, 0, IPC_INETAVAILABLE);
    SendMessageA(window, HOST_REQUEST_MESSAGE, OUTPUT_TIME_LENGTH_SECONDS, IPC_GETOUTPUTTIME);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    SendMessageA(window, HOST_REQUEST_MESSAGE, 0, IPC_ISPLAYING);
    const LRESULT position = SendMessageA(window, HOST_REQUEST_MESSAGE, 0, IPC_GETLISTPOS);
    SendMessageA(window, HOST_REQUEST_MESSAGE, static_cast<WPARAM>(position), IPC_GETPLAYLISTFILE);
}

// Mean nanoseconds of `body` over `ticks` calls, forgetting the host's record of requests now
// and then so that it stays small.
double timed_ticks(StandInHost& host, int ticks, const std::function<void(int)>& body)
{
    const double start = seconds_now();
    for (int i = 0; i < ticks; ++i) {
        body(i);
        if (host.requests.size() > 4096) {
            host.forget_requests();
        }
    }
    return (seconds_now() - start) / ticks * 1e9;
}

// How many requests one more tick makes.
size_t requests_of_one_tick(StandInHost& host)
{
    host.forget_requests();
    host.tick();
    return host.requests.size();
}

// Two entries from `first` in turn: every tick opens a page and reads a tag.
std::function<void(int)> alternate_entries(StandInHost& host, int32_t first)
{
    return [&host, first](int i) {
        host.script.position = first + i % 2;
        host.tick();
    };
}

// Ends a bench's player and removes the files it played.
void quit_and_remove_files(StandInHost& host)
{
    host.quit();
    for (const PlaylistEntry& entry : host.script.playlist) {
        DeleteFileA(entry.path.c_str());
    }
}

// A player of 2.9 to 4.x: pages go to its mini-browser, as on the bench's first player, and it
// answers the file-info request.
constexpr int32_t FILE_INFO_BENCH_VERSION = 0x4FFF;

// New-track ticks on files whose title and artist the player gives (no ID3v1 tag) against the
// same ticks on files with an ID3v1 tag, all on one player that answers the file-info request.
bool bench_player_tags(const char* plugin, const std::string& folder, int ticks)
{
    StandInHost host;
    host.script.version = FILE_INFO_BENCH_VERSION;
    host.script.minibrowser_takes_focus = false; // the plug-in's work alone
    for (const char* name : {"tagged-1.mp3", "tagged-2.mp3", "player-1.flac", "player-2.flac"}) {
        const std::string path = folder + name;
        const bool tagged = name[0] == 't';
        const SampleTag tag = {"Title", "Artist", "Album"};
        if (!write_sample_file(path, 1024, tagged ? &tag : nullptr)) {
            std::fprintf(stderr, "could not write %s\n", path.c_str());
            return false;
        }
        host.script.playlist.push_back({path, name, 200});
        if (!tagged) {
            host.script.playlist.back().file_title = "Title";
            host.script.playlist.back().file_artist = "Artist";
        }
    }
    if (!load_plugin(host, plugin, "cantovia-bench")) {
        return false;
    }
    const std::string player_file = host.script.playlist[2].path;
    const double tagged = timed_ticks(host, ticks, alternate_entries(host, 0));
    const double asked = timed_ticks(host, ticks, alternate_entries(host, 2));
    // The player's side of the two requests, made directly, is not the plug-in's cost.
    const double answers = timed_ticks(host, ticks, [&](int) {
        for (const char* field : {"title", "artist"}) {
            char value[352];
            ExtendedFileInfo request = {player_file.c_str(), field, value, sizeof value};
            SendMessageA(host.window(), HOST_REQUEST_MESSAGE, reinterpret_cast<WPARAM>(&request),
                         IPC_GET_EXTENDED_FILE_INFO);
        }
    });
    std::printf("on a player of version 0x%04X, 1 KiB files:\n", static_cast<unsigned>(FILE_INFO_BENCH_VERSION));
    std::printf("new-track tick, ID3v1 tag:       %9.0f ns\n", tagged);
    std::printf("new-track tick, player's tags:   %9.0f ns  %6.2f x the ID3v1 tick\n", asked, asked / tagged);
    std::printf("  the player's two answers:      %9.0f ns\n", answers);
    std::printf("  the plug-in's own part:        %9.0f ns  %6.2f x the ID3v1 tick\n", asked - answers,
                (asked - answers) / tagged);
    quit_and_remove_files(host);
    return true;
}

// The lyrics window's message processor, which the player offers every message of its loop, for a
// message that is not its own (a mouse move over the player's main window), against the same
// offer with no processor; and the idle tick with the window and the processor there.
bool bench_key_processor(const char* plugin, int ticks)
{
    StandInHost host;
    host.script.version = CURRENT_PLAYER_VERSION;
    host.script.playlist.push_back({"C:\\Music\\window.mp3", "Window", 200});
    if (!load_plugin(host, plugin, "cantovia-bench")) {
        return false;
    }
    host.tick(); // init added the processor; the first page makes the lyrics window
    if (host.processors.size() != 1) {
        std::fprintf(stderr, "the plug-in added %zu message processors, not one\n", host.processors.size());
        return false;
    }
    // Many offers to one tick: an offer takes nanoseconds.
    constexpr int OFFERS_PER_TICK = 100;
    MSG message = {host.window(), WM_MOUSEMOVE, 0, 0, 0, {}};
    const auto offer = [&](int) {
        for (int i = 0; i < OFFERS_PER_TICK; ++i) {
            host.offer_to_processors(message);
        }
    };
    const double offered = timed_ticks(host, ticks, offer) / OFFERS_PER_TICK;
    const std::vector<PlayerDispatchable*> processors = host.processors;
    host.processors.clear();
    const double none = timed_ticks(host, ticks, offer) / OFFERS_PER_TICK;
    host.processors = processors;
    const double bare = timed_ticks(host, ticks, [&](int) { bare_host_calls(host.window()); });
    const double idle = timed_ticks(host, ticks, [&](int) { host.tick(); });
    std::printf("on a 5.x with the lyrics window:\n");
    std::printf("a message offered, no processor: %9.1f ns\n", none);
    std::printf("  with the plug-in's processor:  %9.1f ns  %6.1f ns the processor's own\n", offered, offered - none);
    std::printf("idle tick (same track):          %9.0f ns  %6.2f x bare (%.0f ns)\n", idle, idle / bare, bare);
    host.quit();
    return true;
}

// The first page on a 5.x, which makes the lyrics window (its frame, its container, the web
// control), against a later page in the same window; each on a player of its own, loaded anew.
bool bench_first_page(const char* plugin)
{
    constexpr int PLAYERS = 10;
    double first = 0;
    double later = 0;
    for (int i = 0; i < PLAYERS; ++i) {
        StandInHost host;
        host.script.version = CURRENT_PLAYER_VERSION;
        host.script.playlist = {{"C:\\Music\\first.mp3", "First", 200}, {"C:\\Music\\later.mp3", "Later", 200}};
        if (!load_plugin(host, plugin, "cantovia-bench")) {
            return false;
        }
        first += timed_ticks(host, 1, [&](int) { host.tick(); });
        host.script.position = 1;
        later += timed_ticks(host, 1, [&](int) { host.tick(); });
        if (host.frames.size() != 1) {
            std::fprintf(stderr, "the first page made %zu frames, not one\n", host.frames.size());
            return false;
        }
        host.quit();
    }
    std::printf("first page, the window made:     %9.0f ns  %6.2f x a later page (%.0f ns), %d players\n",
                first / PLAYERS, first / later, later / PLAYERS, PLAYERS);
    return true;
}

int run_bench(const char* plugin, int ticks)
{
    const std::string folder = temporary_folder("cantovia-bench");
    const long long small_size = 1024;
    const long long large_size = 2LL << 30;
    {
        StandInHost host;
        for (const char* name : {"small-1.mp3", "small-2.mp3", "large-1.mp3", "large-2.mp3"}) {
            const std::string path = folder + name;
            if (!write_sparse_tagged_file(path, name[0] == 's' ? small_size : large_size, {"Title", "Artist", "Album"})) {
                std::fprintf(stderr, "could not write %s\n", path.c_str());
                return 1;
            }
            host.script.playlist.push_back({path, name, 200});
        }
        const auto stream = static_cast<int32_t>(host.script.playlist.size());
        host.script.playlist.push_back({"http://radio.example/stream", "", -1});
        host.script.playlist.back().stream_moments = {{"Band - Song (Radio Example)", "Band - Song"}};
        if (!load_plugin(host, plugin, "cantovia-bench")) {
            return 1;
        }
        host.tick(); // the first entry's page: later idle ticks see the same path
        const double bare = timed_ticks(host, ticks, [&](int) { bare_host_calls(host.window()); });
        const double idle = timed_ticks(host, ticks, [&](int) { host.tick(); });
        const size_t idle_requests = requests_of_one_tick(host);
        // The stream's title is seen, then settles and opens its page; from then on it is unchanged.
        host.script.position = stream;
        host.tick();
        host.tick();
        const double stream_idle = timed_ticks(host, ticks, [&](int) { host.tick(); });
        const size_t stream_requests = requests_of_one_tick(host);
        const double title_request = timed_ticks(host, ticks, [&](int) {
            SendMessageA(host.window(), HOST_REQUEST_MESSAGE, static_cast<WPARAM>(stream), IPC_GETPLAYLISTTITLE);
        });
        // The plug-in's own work; then with the mini-browser taking the focus, which the plug-in gives
        // back (two window activations, the system's).
        host.script.minibrowser_takes_focus = false;
        const double new_small = timed_ticks(host, ticks, alternate_entries(host, 0));
        const double new_large = timed_ticks(host, ticks, alternate_entries(host, 2));
        host.script.minibrowser_takes_focus = true;
        const int focus_ticks = ticks / 100 + 2;
        const double new_focus = timed_ticks(host, focus_ticks, alternate_entries(host, 0));
        std::printf("ticks per case:                  %d\n", ticks);
        std::printf("bare host calls:                 %9.0f ns\n", bare);
        std::printf("idle tick (same track):          %9.0f ns  %6.2f x bare, %zu requests\n", idle, idle / bare,
                    idle_requests);
        std::printf("stream tick (same title):        %9.0f ns  %6.2f x the idle tick, %zu requests\n", stream_idle,
                    stream_idle / idle, stream_requests);
        std::printf("  the title request, made alone: %9.0f ns; the rest %6.2f x the idle tick\n", title_request,
                    (stream_idle - title_request) / idle);
        std::printf("new-track tick, 1 KiB files:     %9.0f ns  %6.2f x bare\n", new_small, new_small / bare);
        std::printf("new-track tick, 2 GiB files:     %9.0f ns  %6.2f x bare, %.2f x the 1 KiB files\n", new_large,
                    new_large / bare, new_large / new_small);
        std::printf("  the focus taken and given back: %8.0f ns  %6.2f x the 1 KiB files (%d ticks)\n", new_focus,
                    new_focus / new_small, focus_ticks);
        quit_and_remove_files(host);
    } // the plug-in is unloaded before the next player loads it
    const bool measured =
        bench_player_tags(plugin, folder, ticks) && bench_key_processor(plugin, ticks) && bench_first_page(plugin);
    return measured ? 0 : 1;
}

std::string quoted_item(HWND dialog, int control)
{
    return "\"" + utf8_from_cp1252(item_text(dialog, control)) + "\"";
}

std::string mark_if_checked(HWND dialog, int control)
{
    return item_checked(dialog, control) ? " (checked)" : "";
}

void print_dialog(HWND dialog, const char* what)
{
    std::printf("  %s\n", what);
    std::printf("    check box %s%s, label %s, buttons %s %s\n", quoted_item(dialog, IDC_ENABLED).c_str(),
                mark_if_checked(dialog, IDC_ENABLED).c_str(), quoted_item(dialog, IDC_LANGUAGE_LABEL).c_str(),
                quoted_item(dialog, IDC_OK_BUTTON).c_str(), quoted_item(dialog, IDC_CANCEL_BUTTON).c_str());
    std::printf("    languages");
    for (int radio : {IDC_LANG_PT, IDC_LANG_EN, IDC_LANG_ES}) {
        std::printf(" %s%s", quoted_item(dialog, radio).c_str(), mark_if_checked(dialog, radio).c_str());
    }
    std::printf("\n");
}

// A scripted pass through the configuration dialog, as a user would make it.
int run_dialog_pass(const char* plugin, int32_t version)
{
    StandInHost host;
    host.script.playlist = {{"C:\\Music\\After the dialog.mp3", "After the dialog", 180}};
    host.script.version = version;
    if (!load_plugin(host, plugin, "cantovia-dialog")) {
        return 1;
    }
    std::printf("\nOn a player that answers 0x%04X, the configure action opens the plug-in's dialog;\n"
                "a script clicks through it.\n", static_cast<unsigned>(version));
    const std::vector<DialogStep> steps = {
        [](HWND dialog) {
            std::printf("  caption \"%s\"\n", utf8_from_cp1252(window_text(dialog)).c_str());
            print_dialog(dialog, "as it opens:");
        },
        [](HWND dialog) {
            click_item(dialog, IDC_LANG_EN);
            print_dialog(dialog, "clicks English:");
        },
        [](HWND dialog) {
            click_item(dialog, IDC_LANG_ES);
            print_dialog(dialog, "clicks Spanish:");
        },
        [](HWND dialog) {
            click_item(dialog, IDC_LANG_PT);
            print_dialog(dialog, "clicks Portuguese:");
        },
        [](HWND dialog) {
            click_item(dialog, IDC_ENABLED);
            print_dialog(dialog, "clears the check box:");
            std::printf("  presses OK\n");
            click_item(dialog, IDC_OK_BUTTON);
        },
    };
    host.forget_requests();
    const size_t seen = lyrics_site_requests().size();
    const DialogRun run = run_config_dialog(host, steps);
    if (!run.opened || run.forced_end) {
        std::fprintf(stderr, "the dialog %s\n", run.opened ? "did not close on OK" : "did not open");
        return 1;
    }
    std::printf("  the dialog opened the notice page:\n");
    print_pages(host, "    ");
    print_site_arrivals(seen, pages_sent_to_site(host), "    ");
    play_second(host, 1, {"plays \"After the dialog\" with the lookup off", play(0)});
    print_saved_settings(host);
    return 0;
}

// The dialog for a person to use; `close_after_seconds` 0 leaves it open until it is closed.
int run_dialog_for_person(const char* plugin, const char* language_value, int close_after_seconds)
{
    const std::string folder = temporary_folder("cantovia-dialog");
    StandInHost host;
    host.script.ini_path = folder + "person.ini";
    DeleteFileA(host.script.ini_path.c_str());
    if (language_value != nullptr) {
        WritePrivateProfileStringA(PLUGIN_DESCRIPTION, "lingua", language_value, host.script.ini_path.c_str());
    }
    if (!host.load(plugin)) {
        std::fprintf(stderr, "could not load the plug-in %s\n", plugin);
        return 1;
    }
    const std::vector<DialogStep> steps = {[](HWND dialog) {
        std::printf("Dialog open at %s; close it to go on.\n", screen_rectangle_text(dialog).c_str());
        std::fflush(stdout);
    }};
    const int spare_calls =
        close_after_seconds > 0 ? close_after_seconds * 1000 / static_cast<int>(DIALOG_STEP_PERIOD_MS) : INT_MAX;
    host.forget_requests();
    run_config_dialog(host, steps, spare_calls);
    if (!host.opened_pages().empty() || !host.opened_web_pages().empty()) {
        std::printf("The dialog opened the notice page:\n");
        print_pages(host, "  ");
    }
    print_saved_settings(host);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* plugin = "gen_cantovia.dll";
    const char* playlist = nullptr;
    int32_t version = CURRENT_PLAYER_VERSION;
    int bench_ticks = 0;
    bool dialog = false;
    const char* dialog_language = nullptr;
    int close_after_seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc) {
            plugin = argv[++i];
        } else if (std::strcmp(argv[i], "--playlist") == 0 && i + 1 < argc) {
            playlist = argv[++i];
        } else if (std::strcmp(argv[i], "--player-version") == 0 && i + 1 < argc) {
            version = static_cast<int32_t>(std::strtol(argv[++i], nullptr, 0));
        } else if (std::strcmp(argv[i], "--bench") == 0) {
            bench_ticks = i + 1 < argc && argv[i + 1][0] != '-' ? std::atoi(argv[++i]) : 20000;
        } else if (std::strcmp(argv[i], "--dialog") == 0) {
            dialog = true;
        } else if (std::strcmp(argv[i], "--language") == 0 && i + 1 < argc) {
            dialog_language = argv[++i];
        } else if (std::strcmp(argv[i], "--close-after") == 0 && i + 1 < argc) {
            close_after_seconds = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: standin_player [--plugin DLL] [--playlist FILE [--player-version V] | --bench [TICKS] |\n"
                                 "                      --dialog [--language N] [--close-after SECONDS]]\n");
            return 2;
        }
    }
    // As in the player, whose user-interface thread has OLE ready before plug-ins load.
    OleInitialize(nullptr);
    if (bench_ticks > 0) {
        return run_bench(plugin, bench_ticks);
    }
    const std::string site_reason = lyrics_site_unavailable_reason();
    if (!site_reason.empty()) {
        std::printf("Pages are not opened: %s.\n\n", site_reason.c_str());
    } else if (!point_proxy_at_lyrics_site()) {
        std::printf("Pages are not opened: the proxy setting could not be written.\n\n");
    } else {
        std::printf("Pages open in web controls; the lyrics site stand-in receives them on the loopback address.\n\n");
    }
    if (dialog) {
        return run_dialog_for_person(plugin, dialog_language, close_after_seconds);
    }
    if (playlist != nullptr) {
        return run_playlist(plugin, version, playlist);
    }
    // The same pass on both kinds of player: the pages reach each in its own way.
    int status = run_sample(plugin, OLD_PLAYER_VERSION);
    if (status == 0) {
        std::printf("\n");
        status = run_sample(plugin, CURRENT_PLAYER_VERSION);
    }
    return status != 0 ? status : run_dialog_pass(plugin, CURRENT_PLAYER_VERSION);
}
