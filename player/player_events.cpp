#include "player/player_events.h"

#include "player/dialog_driver.h"
#include "player/embedded_frames.h"
#include "player/message_pump.h"
#include "plugin/player_objects.h"
#include "resources/resource.h"

#include <cstdio>

namespace {

struct Weighted {
    PlayerEvent event;
    const char* name;
    int weight;
};

// Ticks most, then track changes; quit seldom, as every run ends with one anyway.
constexpr Weighted EVENTS[] = {
    {PlayerEvent::tick, "tick", 30},
    {PlayerEvent::next_track, "next track", 10},
    {PlayerEvent::pause, "pause", 3},
    {PlayerEvent::resume, "resume", 4},
    {PlayerEvent::minimise, "minimise", 2},
    {PlayerEvent::minimise_to_tray, "minimise to the tray", 2},
    {PlayerEvent::restore, "restore", 4},
    {PlayerEvent::ok_lookup_off, "OK, lookup off", 3},
    {PlayerEvent::ok_lookup_on, "OK, lookup on", 3},
    {PlayerEvent::cancel_dialog, "Cancel", 2},
    {PlayerEvent::close_lyrics_window, "close the lyrics window", 4},
    {PlayerEvent::destroy_frame, "the player destroys the frame", 4},
    {PlayerEvent::quit, "quit", 2},
    {PlayerEvent::delete_playing_entry, "delete the entry at the position", 2},
    {PlayerEvent::clear_and_add, "clear the playlist, add two", 2},
    {PlayerEvent::next_song, "the station's next song", 4},
    {PlayerEvent::choose_menu_item, "choose \"Cantovia\" in the menu", 4},
};

// One step in this many runs inside a later call of the plug-in's.
constexpr int INSIDE_ONE_IN = 4;

const char* event_name(PlayerEvent event)
{
    for (const Weighted& weighted : EVENTS) {
        if (weighted.event == event) {
            return weighted.name;
        }
    }
    return "?";
}

std::string call_name(int32_t call)
{
    switch (call) {
    case REENTER_IN_CONTROL_CREATION: return "the control's creation";
    case REENTER_IN_NAVIGATION: return "Navigate2";
    case REENTER_IN_FRAME_MESSAGE: return "a frame message";
    case REENTER_IN_OBJECT_CALL: return "a call on the player's objects";
    default: return "request " + std::to_string(call);
    }
}

const std::vector<StreamMoment> STREAM_MOMENTS = {
    {"[Connecting] http://radio.example/live", ""}, {"Band - One (Radio)", "Band - One"},
    {"Duo - Two (Radio)", "Duo - Two"},             {"Trio - Three (Radio)", "Trio - Three"},
    {"Quartet - Four (Radio)", "Quartet - Four"},   {"Band - Five (Radio)", "Band - Five"},
};

} // namespace

const std::vector<int32_t> MODAL_LOOP_CALLS = {
    IPC_MBOPEN, IPC_MBBLOCK, IPC_MBOPENREAL, IPC_GET_EXTENDED_FILE_INFO, IPC_GET_EMBEDDED_FRAME, IPC_GET_SERVICES,
    IPC_OPEN_URL, REENTER_IN_CONTROL_CREATION, REENTER_IN_NAVIGATION, REENTER_IN_FRAME_MESSAGE, REENTER_IN_OBJECT_CALL,
};

std::vector<RunStep> random_steps(uint32_t seed, size_t count)
{
    std::mt19937 random(seed);
    int total = 0;
    for (const Weighted& weighted : EVENTS) {
        total += weighted.weight;
    }
    const auto random_event = [&] {
        int pick = std::uniform_int_distribution<int>(0, total - 1)(random);
        for (const Weighted& weighted : EVENTS) {
            if (pick < weighted.weight) {
                return weighted.event;
            }
            pick -= weighted.weight;
        }
        return PlayerEvent::tick;
    };
    std::vector<RunStep> steps;
    for (size_t i = 0; i < count; ++i) {
        RunStep step = {{random_event()}, 0};
        if (std::uniform_int_distribution<int>(0, INSIDE_ONE_IN - 1)(random) == 0) {
            step.inside = MODAL_LOOP_CALLS[std::uniform_int_distribution<size_t>(0, MODAL_LOOP_CALLS.size() - 1)(random)];
            for (int more = std::uniform_int_distribution<int>(0, 2)(random); more > 0; --more) {
                step.events.push_back(random_event());
            }
        }
        steps.push_back(step);
    }
    return steps;
}

std::string step_name(const RunStep& step)
{
    std::string name;
    for (PlayerEvent event : step.events) {
        name += (name.empty() ? "" : ", ") + std::string(event_name(event));
    }
    return step.inside == 0 ? name : name + " inside " + call_name(step.inside);
}

PlayerRun::PlayerRun(StandInHost& run_host, uint32_t seed) : host(run_host), random(seed ^ 0x9E3779B9u)
{
    for (const char* name : {"one", "two", "three"}) {
        add_entry(name);
    }
    host.script.playlist.push_back({RUN_STREAM, "", -1});
    host.script.playlist.back().stream_moments = STREAM_MOMENTS;
    entries_ever.push_back(host.script.playlist.back());
    host.script.position = 0;
    host.script.play_state = PlayState::playing;
    // The old player's mini-browser need not take the focus: each activation costs milliseconds.
    host.script.minibrowser_takes_focus = false;
}

void PlayerRun::add_entry(const std::string& name)
{
    PlaylistEntry entry = {"C:\\Music\\" + name + ".mp3", "Band - " + name, 180 + entries_added};
    if (entries_added % 2 == 0) { // the player gives this one's title and artist
        entry.file_title = "Song " + name;
        entry.file_artist = "Band";
    }
    ++entries_added;
    host.script.playlist.push_back(entry);
    entries_ever.push_back(entry);
}

void PlayerRun::note(const std::string& line)
{
    log.push_back(line);
    if (echo) {
        std::printf("%s\n", line.c_str());
    }
}

void PlayerRun::run(const RunStep& step)
{
    note(step_name(step));
    if (step.inside == 0) {
        for (PlayerEvent event : step.events) {
            run_event(event);
        }
        return;
    }
    host.script.reenter_in = step.inside;
    const std::vector<PlayerEvent> events = step.events;
    host.script.reenter_action = [this, events] {
        note("  (" + step_name({events, 0}) + " ran)");
        for (PlayerEvent event : events) {
            run_event(event);
        }
    };
}

void PlayerRun::run_event(PlayerEvent event)
{
    switch (event) {
    case PlayerEvent::tick:
        // The player's timer calls it only while it runs: never after quit.
        if (host.timer_running() && !quit_done) {
            host.tick();
        }
        break;
    case PlayerEvent::next_track:
        if (!host.script.playlist.empty()) {
            host.script.position = static_cast<int32_t>(
                std::uniform_int_distribution<size_t>(0, host.script.playlist.size() - 1)(random));
            host.script.playing_unlisted.reset();
            host.script.play_state = PlayState::playing;
        }
        break;
    case PlayerEvent::pause:
        host.script.play_state = PlayState::paused;
        break;
    case PlayerEvent::resume:
        host.script.play_state = PlayState::playing;
        break;
    case PlayerEvent::minimise:
        host.minimise();
        break;
    case PlayerEvent::minimise_to_tray:
        host.minimise_to_tray();
        break;
    case PlayerEvent::restore:
        host.restore();
        break;
    case PlayerEvent::ok_lookup_off:
    case PlayerEvent::ok_lookup_on:
    case PlayerEvent::cancel_dialog:
        dialog(event);
        break;
    case PlayerEvent::close_lyrics_window:
        if (HWND frame = host.lyrics_frame(); frame != nullptr && IsWindowVisible(frame)) {
            press_close_button(frame);
        }
        break;
    case PlayerEvent::destroy_frame:
        if (HWND frame = host.lyrics_frame()) {
            DestroyWindow(frame);
        }
        break;
    case PlayerEvent::quit:
        if (!quit_done) {
            quit_done = true;
            host.quit();
        }
        break;
    case PlayerEvent::delete_playing_entry:
        host.delete_entry(static_cast<size_t>(host.script.position));
        break;
    case PlayerEvent::clear_and_add:
        host.clear_playlist();
        for (int i = 0; i < 2; ++i) {
            add_entry("added" + std::to_string(entries_added));
        }
        break;
    case PlayerEvent::choose_menu_item:
        // From the main popup, or now and then from the system menu's copy; never after quit,
        // which takes the item away.
        if (const UINT command = menu_command(host.menus.main_popup, "Cantovia"); command != 0 && !quit_done) {
            host.choose(command, std::uniform_int_distribution<int>(0, 3)(random) == 0 ? WM_SYSCOMMAND : WM_COMMAND);
        }
        break;
    case PlayerEvent::next_song:
        ++host.script.stream_moment;
        if (host.script.stream_moment >= STREAM_MOMENTS.size()) {
            host.script.stream_moment = 1; // the station goes on from its first song
        }
        break;
    }
}

// The user opens the configuration dialog (the player's preferences, never twice at once, never
// after quit) and presses OK with the lookup off or on, or Cancel.
void PlayerRun::dialog(PlayerEvent event)
{
    if (dialogs_open > 0 || quit_done) {
        return;
    }
    ++dialogs_open;
    run_config_dialog(host, {[event](HWND dialog) {
                          if (event == PlayerEvent::cancel_dialog) {
                              click_item(dialog, IDC_CANCEL_BUTTON);
                              return;
                          }
                          if (item_checked(dialog, IDC_ENABLED) != (event == PlayerEvent::ok_lookup_on)) {
                              click_item(dialog, IDC_ENABLED);
                          }
                          click_item(dialog, IDC_OK_BUTTON);
                      }},
                      DIALOG_SPARE_TIMER_CALLS, RUN_DIALOG_STEP_PERIOD_MS);
    --dialogs_open;
    if (event != PlayerEvent::cancel_dialog) {
        lookup_on = event == PlayerEvent::ok_lookup_on;
    }
}

void PlayerRun::calm_down()
{
    note("calm");
    host.script.reenter_in = 0;
    host.script.reenter_action = nullptr;
    host.restore();
    host.script.internet = true;
    host.script.play_state = PlayState::playing;
    // The song that played on under an edit has ended: the entry at the position plays.
    host.script.playing_unlisted.reset();
    if (host.script.playlist.empty()) {
        add_entry("calm");
    }
    if (host.script.position < 0 || static_cast<size_t>(host.script.position) >= host.script.playlist.size()) {
        host.script.position = 0;
    }
    if (host.script.stream_moment == 0) {
        host.script.stream_moment = 1;
    }
    for (int i = 0; i < 3 && !quit_done; ++i) {
        run_event(PlayerEvent::tick);
        dispatch_waiting_messages();
    }
    // The user brings back the window closed with the item, or made none of the pages' own.
    const HWND frame = host.lyrics_frame();
    if (!quit_done && (frame == nullptr || !IsWindowVisible(frame))) {
        run_event(PlayerEvent::choose_menu_item);
        dispatch_waiting_messages();
    }
}
