// The player's events, for runs of the stand-in player through seeded random sequences of them:
// what the user and the player do (tracks change, pause, minimise, the configuration dialog's OK
// and Cancel, the lyrics window closed or its frame destroyed, quit, playlist edits, a station's
// next song, the lyrics window's item chosen from the player's menus), each now or inside one of the plug-in's later calls, where a modal loop of the
// player's would run it. A run follows the player's own rules: nothing reaches the plug-in after
// quit but what the player would still do, one configuration dialog at a time, ticks only while
// the plug-in's timer runs.
#pragma once

#include "player/standin_host.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

enum class PlayerEvent {
    tick,
    next_track,
    pause,
    resume,
    minimise,
    minimise_to_tray,
    restore,
    ok_lookup_off,
    ok_lookup_on,
    cancel_dialog,
    close_lyrics_window,
    destroy_frame,
    quit,
    delete_playing_entry,
    clear_and_add,
    next_song,
    choose_menu_item,
};

// One step of a run: an event now, or, where `inside` is not 0, one to three events inside the
// plug-in's next call of that kind (a request code or a REENTER_IN_... call), as one modal loop
// dispatches them, replacing a loop still pending.
struct RunStep {
    std::vector<PlayerEvent> events;
    int32_t inside;
};

// The calls of the plug-in's that may run a modal loop: the requests the player answers through
// others (an input plug-in, the skin, a browser) and the calls into the web control and the
// player's objects. Its plain reads of the player's state (status, position, paths, titles) never do.
extern const std::vector<int32_t> MODAL_LOOP_CALLS;

// `count` steps from `seed`: the same steps for the same seed on every run of either build.
std::vector<RunStep> random_steps(uint32_t seed, size_t count);

std::string step_name(const RunStep& step);

// A run's player: the playlist of files and a stream it starts with, and what the user has done.
class PlayerRun {
public:
    PlayerRun(StandInHost& host, uint32_t seed);

    void run(const RunStep& step);
    void run_event(PlayerEvent event);
    // The player calm again: restored, online, playing an entry of the playlist (a stream at one of
    // its songs), then three ticks; the lyrics window shown where the user can choose it.
    void calm_down();

    StandInHost& host;
    bool lookup_on = true;          // as the dialog's last OK left it
    bool quit_done = false;
    std::vector<PlaylistEntry> entries_ever; // every entry the playlist held, deleted ones too
    std::vector<std::string> log;   // the steps run, for a failure's report
    bool echo = false;              // print each line of the log as it comes

private:
    void add_entry(const std::string& name);
    void note(const std::string& line);
    void dialog(PlayerEvent event);

    std::mt19937 random;
    int dialogs_open = 0;
    int entries_added = 0;
};

// The stream every run's playlist holds and its moments: a status first, then songs.
constexpr char RUN_STREAM[] = "http://radio.example/live";
