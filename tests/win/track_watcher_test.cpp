#include "tests/win/plugin_fixture.h"

#include "build_config.h"
#include "player/dialog_driver.h"
#include "player/lyrics_site.h"
#include "resources/resource.h"

#include <cstring>
#include <functional>

namespace {

const std::string PORTUGUESE = "http://" CANTOVIA_SITE_PT "/winamp.php?a=";
const std::string ENGLISH = "http://" CANTOVIA_SITE_EN "/winamp.php?a=";

using Watcher = PluginTest;

TEST_F(Watcher, WorkedExampleWithEveryRequestInOrder)
{
    write_setting("lingua", "2");
    add_entry("C:\\Music\\Other.mp3");
    play(add_entry("C:\\Music\\Rock & Roll.mp3", "Band - Rock & Roll", 215));
    load();
    host.forget_requests();
    host.tick();

    EXPECT_EQ(host.opened_pages(),
              std::vector<std::string>{ENGLISH + "C:\\Music\\Rock e Roll.mp3&t=Band - Rock e Roll&segundos=215"});
    struct Expected {
        int32_t code;
        WPARAM argument;
    };
    const Expected expected[] = {
        {IPC_INETAVAILABLE, 0}, {IPC_GETOUTPUTTIME, 1}, {IPC_ISPLAYING, 0},     {IPC_GETLISTPOS, 0},
        {IPC_GETPLAYLISTFILE, 1}, {IPC_GETLISTPOS, 0},  {IPC_GETPLAYLISTTITLE, 1}, {IPC_GETLISTPOS, 0},
        {IPC_GETPLAYLISTFILE, 1}, {IPC_MBBLOCK, 1},     {IPC_MBOPEN, 0},        {IPC_MBOPENREAL, 0},
        {IPC_MBBLOCK, 1},
    };
    ASSERT_EQ(host.requests.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(host.requests[i].code, expected[i].code) << "request " << i;
        if (expected[i].code != IPC_MBOPENREAL) {
            EXPECT_EQ(host.requests[i].argument, expected[i].argument) << "request " << i;
        }
    }
    EXPECT_EQ(host.focus_calls, 1);
    EXPECT_EQ(GetFocus(), host.window());
}

TEST_F(Watcher, SamePathAgainOpensNothingAndAsksLittle)
{
    const int32_t first = add_entry("C:\\song.mp3", "Song", 100);
    const int32_t again = add_entry("C:\\song.mp3", "Song (again)", 100);
    play(first);
    load();
    EXPECT_EQ(tick().size(), 1u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(tick().empty());
    }
    EXPECT_EQ(host.request_codes(), (std::vector<int32_t>{IPC_INETAVAILABLE, IPC_GETOUTPUTTIME, IPC_ISPLAYING,
                                                           IPC_GETLISTPOS, IPC_GETPLAYLISTFILE}));
    play(again);
    EXPECT_TRUE(tick().empty());
    EXPECT_EQ(host.focus_calls, 1);
}

TEST_F(Watcher, AmpersandAndItsStandInNameTheSameFile)
{
    const int32_t with_ampersand = add_entry("C:\\R&B.mp3", "R&B");
    const int32_t with_e = add_entry("C:\\ReB.mp3", "ReB");
    const int32_t other = add_entry("C:\\Soul.mp3");
    play(with_ampersand);
    load();
    EXPECT_EQ(tick(), std::vector<std::string>{PORTUGUESE + "C:\\ReB.mp3&t=ReB&segundos=200"});
    play(with_e);
    EXPECT_TRUE(tick().empty());
    play(other);
    EXPECT_EQ(tick().size(), 1u);
    play(with_e);
    EXPECT_EQ(tick().size(), 1u);
}

// Each closed gate ends the tick after the same requests, opens nothing and forgets nothing:
// once it opens again, the page of the entry then playing opens.
struct Gate {
    const char* name;
    std::function<void(StandInHost&)> close;
    std::function<void(StandInHost&)> open;
    std::vector<int32_t> requests_while_closed;
};

class Gates : public PluginTest, public testing::WithParamInterface<Gate> {};

TEST_P(Gates, ClosedGateOpensNothingAndKeepsTheLastPath)
{
    const int32_t first = add_entry("C:\\first.mp3");
    const int32_t second = add_entry("C:\\second.mp3");
    play(first);
    load();
    ASSERT_EQ(tick().size(), 1u);

    play(second);
    GetParam().close(host);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(tick().empty());
        EXPECT_EQ(host.request_codes(), GetParam().requests_while_closed);
        EXPECT_EQ(host.focus_calls, 1);
    }
    GetParam().open(host);
    EXPECT_EQ(tick(), std::vector<std::string>{PORTUGUESE + "C:\\second.mp3&t=Title&segundos=200"});
    EXPECT_TRUE(tick().empty());
}

const std::vector<int32_t> STATUS = {IPC_INETAVAILABLE, IPC_GETOUTPUTTIME};
const std::vector<int32_t> STATUS_AND_PLAYING = {IPC_INETAVAILABLE, IPC_GETOUTPUTTIME, IPC_ISPLAYING};
const std::vector<int32_t> UP_TO_PATH = {IPC_INETAVAILABLE, IPC_GETOUTPUTTIME, IPC_ISPLAYING, IPC_GETLISTPOS,
                                         IPC_GETPLAYLISTFILE};

INSTANTIATE_TEST_SUITE_P(
    Watcher, Gates,
    testing::Values(
        Gate{"Minimised", [](StandInHost& h) { h.minimise(); }, [](StandInHost& h) { h.restore(); }, STATUS},
        Gate{"Offline", [](StandInHost& h) { h.script.internet = false; },
             [](StandInHost& h) { h.script.internet = true; }, STATUS},
        Gate{"Paused", [](StandInHost& h) { h.script.play_state = PlayState::paused; },
             [](StandInHost& h) { h.script.play_state = PlayState::playing; }, STATUS_AND_PLAYING},
        Gate{"Stopped", [](StandInHost& h) { h.script.play_state = PlayState::stopped; },
             [](StandInHost& h) { h.script.play_state = PlayState::playing; }, STATUS_AND_PLAYING},
        Gate{"NullPath", [](StandInHost& h) { h.script.null_path = true; },
             [](StandInHost& h) { h.script.null_path = false; }, UP_TO_PATH},
        Gate{"EmptyPath", [](StandInHost& h) { h.script.playlist[1].path.clear(); },
             [](StandInHost& h) { h.script.playlist[1].path = "C:\\second.mp3"; }, UP_TO_PATH}),
    [](const testing::TestParamInfo<Gate>& case_info) { return case_info.param.name; });

TEST_F(Watcher, EmptyPathNeverCountsAsNew)
{
    play(add_entry(""));
    load();
    EXPECT_TRUE(tick().empty());
}

TEST_F(Watcher, PauseAndResumeOpenNothingNewTrackAfterStopDoes)
{
    const int32_t first = add_entry("C:\\first.mp3");
    const int32_t second = add_entry("C:\\second.mp3");
    play(first);
    load();
    EXPECT_EQ(tick().size(), 1u);
    host.script.play_state = PlayState::paused;
    EXPECT_TRUE(tick().empty());
    host.script.play_state = PlayState::playing;
    EXPECT_TRUE(tick().empty());
    host.script.play_state = PlayState::stopped;
    EXPECT_TRUE(tick().empty());
    play(second);
    EXPECT_EQ(tick().size(), 1u);
}

TEST_F(Watcher, TitleIsSentAsTheHostGivesItApartFromAmpersandsAndEscapes)
{
    play(add_entry("C:\\a.mp3", "  Spaced  & \xC9lan: 100% #1?  ", 0));
    load();
    EXPECT_EQ(tick(), std::vector<std::string>{PORTUGUESE + "C:\\a.mp3&t=  Spaced  e %C9lan: 100%25 %231?  "});
}

TEST_F(Watcher, NullTitleCountsAsEmpty)
{
    play(add_entry("C:\\a.mp3", "ignored", 42));
    host.script.null_title = true;
    load();
    EXPECT_EQ(tick(), std::vector<std::string>{PORTUGUESE + "C:\\a.mp3&t=&segundos=42"});
}

class LengthKey : public PluginTest, public testing::WithParamInterface<std::pair<int32_t, const char*>> {};

TEST_P(LengthKey, OnlyLengthsAboveOneSecondAreSent)
{
    play(add_entry("C:\\a.mp3", "T", GetParam().first));
    load();
    EXPECT_EQ(tick(), std::vector<std::string>{PORTUGUESE + "C:\\a.mp3&t=T" + GetParam().second});
}

INSTANTIATE_TEST_SUITE_P(Watcher, LengthKey,
                         testing::Values(std::make_pair(-1, ""), std::make_pair(0, ""), std::make_pair(1, ""),
                                         std::make_pair(2, "&segundos=2"),
                                         std::make_pair(INT32_MIN, ""),
                                         std::make_pair(INT32_MAX, "&segundos=2147483647")),
                         [](const testing::TestParamInfo<std::pair<int32_t, const char*>>& case_info) {
                             const int64_t seconds = case_info.param.first;
                             return (seconds < 0 ? "seconds_minus_" : "seconds_") +
                                    std::to_string(seconds < 0 ? -seconds : seconds);
                         });

TEST_F(Watcher, PathTooLongToRememberIsSkippedWithoutForgettingTheLastOne)
{
    const int32_t normal = add_entry("C:\\normal.mp3");
    const int32_t longest = add_entry("C:\\" + std::string(1020, 'x'));        // 1,023 bytes
    const int32_t too_long = add_entry("C:\\" + std::string(1021, 'x'));       // 1,024 bytes
    const int32_t huge = add_entry("C:\\" + std::string(4000, 'y'), std::string(100000, 't'));
    play(normal);
    load();
    ASSERT_EQ(tick().size(), 1u);

    play(too_long);
    EXPECT_TRUE(tick().empty());
    play(huge);
    EXPECT_TRUE(tick().empty());
    play(normal);
    EXPECT_TRUE(tick().empty()) << "the last path looked up is still the normal one";

    play(longest);
    const std::vector<std::string> pages = tick();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].size(), 351u);
    EXPECT_EQ(pages[0], (PORTUGUESE + "C:\\" + std::string(1020, 'x')).substr(0, 351));
    EXPECT_TRUE(tick().empty());
}

TEST_F(Watcher, HugeTitleIsCutToTheAddress)
{
    play(add_entry("C:\\a.mp3", std::string(100000, 'T'), 300));
    load();
    const std::vector<std::string> pages = tick();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], (PORTUGUESE + "C:\\a.mp3&t=" + std::string(400, 'T')).substr(0, 351));
}

// Where the user types when a page opens: the focus stays in the search field of another player
// window (a media library's), so the letters typed next are text there, not the main window's
// playback keys (V stops the music). A user on the main window stays there, even where the old
// player's mini-browser takes the focus when it opens.
enum class PageFrom { file, stream_song, dialog_ok };

struct FocusCase {
    const char* name;
    int32_t version;
    PageFrom page;
    bool in_search_field; // else on the main window
    std::vector<WORD> commands_typed; // the playback commands "vocal" then fires
};

void PrintTo(const FocusCase& focus_case, std::ostream* out)
{
    *out << focus_case.name;
}

class PageFocus : public PluginTest, public testing::WithParamInterface<FocusCase> {};

TEST_P(PageFocus, StaysWhereTheUserTypes)
{
    const FocusCase& c = GetParam();
    host.script.version = c.version;
    static const bool proxy_set = !lyrics_site_running() || point_proxy_at_lyrics_site(); // the 5.x's window
    ASSERT_TRUE(proxy_set);
    add_entry("http://radio.example/live", "", -1);
    host.script.playlist[0].stream_moments = {{"Band - One (Radio)", "Band - One"}};
    add_entry("C:\a.mp3");
    play(c.page == PageFrom::stream_song ? 0 : 1);
    load();
    HWND user_at = c.in_search_field ? host.search_field() : host.window();
    SetFocus(user_at);
    ASSERT_EQ(GetFocus(), user_at);
    HWND focus_after = nullptr;
    size_t pages = 0;
    if (c.page == PageFrom::dialog_ok) {
        host.script.play_state = PlayState::stopped;
        run_config_dialog(host, {[&](HWND dialog) {
                              click_item(dialog, IDC_ENABLED);
                              SetFocus(user_at); // the user is back in the field before OK arrives
                              SendMessageA(dialog, WM_COMMAND, IDC_OK_BUTTON, 0);
                              focus_after = GetFocus();
                          }});
        pages = host.opened_pages().size();
    } else {
        host.tick(); // a stream's title settles over two ticks
        host.tick();
        focus_after = GetFocus();
        pages = host.opened_pages().size();
    }
    EXPECT_EQ(pages, 1u);
    EXPECT_EQ(focus_after, user_at);
    for (char letter : std::string("VOCAL")) {
        PostMessageW(focus_after, WM_KEYDOWN, static_cast<WPARAM>(letter), 0);
    }
    pump_messages_for(100);
    EXPECT_EQ(window_text(host.search_field()), c.in_search_field ? "vocal" : "");
    EXPECT_EQ(host.playback_commands, c.commands_typed);
}

const std::vector<WORD> STOP_AND_PAUSE = {40047, 40046}; // V, C

INSTANTIATE_TEST_SUITE_P(
    Players, PageFocus,
    testing::Values(FocusCase{"OldPlayerFile", OLD_PLAYER_VERSION, PageFrom::file, true, {}},
                    FocusCase{"OldPlayerStreamSong", OLD_PLAYER_VERSION, PageFrom::stream_song, true, {}},
                    FocusCase{"OldPlayerDialogOk", OLD_PLAYER_VERSION, PageFrom::dialog_ok, true, {}},
                    FocusCase{"CurrentPlayerFile", CURRENT_PLAYER_VERSION, PageFrom::file, true, {}},
                    FocusCase{"CurrentPlayerStreamSong", CURRENT_PLAYER_VERSION, PageFrom::stream_song, true, {}},
                    FocusCase{"CurrentPlayerDialogOk", CURRENT_PLAYER_VERSION, PageFrom::dialog_ok, true, {}},
                    // The mini-browser took the focus: the main window has it back.
                    FocusCase{"OldPlayerFileOnTheMainWindow", OLD_PLAYER_VERSION, PageFrom::file, false, STOP_AND_PAUSE}),
    [](const testing::TestParamInfo<FocusCase>& case_info) { return std::string(case_info.param.name); });

// The entry at the playlist position is not always the one that plays: the user deleted the
// playing entry (the position moves back one), or cleared the list and added entries (the position
// is the first of them), and the song plays on. No page opens for an entry that does not play; the
// next entry to start gets its page on its first tick, once. A player that cannot tell which file
// plays (before 5.5) opens pages by the position, as ever.
struct PlayStep {
    void (*act)(StandInHost& host);
    const char* page; // the path of the page this step's tick opens; "" for none
};

struct PlayingCase {
    const char* name;
    int32_t version;
    std::vector<PlayStep> steps;
};

void PrintTo(const PlayingCase& playing_case, std::ostream* out)
{
    *out << playing_case.name;
}

class PlayingEntry : public PluginTest, public testing::WithParamInterface<PlayingCase> {};

TEST_P(PlayingEntry, GetsThePageOnceItPlays)
{
    host.script.version = GetParam().version;
    host.script.playlist = {{"C:\\a.mp3", "A", 200}, {"C:\\b.mp3", "B", 200}, {"C:\\c.mp3", "C", 200}};
    load();
    std::vector<std::string> expected;
    std::vector<std::string> pages;
    for (size_t i = 0; i < GetParam().steps.size(); ++i) {
        const PlayStep& step = GetParam().steps[i];
        step.act(host);
        if (step.page[0] != '\0') {
            expected.push_back(std::to_string(i + 1) + ": " + step.page);
        }
        for (const std::string& page : tick()) {
            const size_t path = page.find("a=") + 2;
            pages.push_back(std::to_string(i + 1) + ": " + page.substr(path, page.find('&', path) - path));
        }
    }
    EXPECT_EQ(pages, expected);
}

void start_b(StandInHost& host) { host.script.position = 1, host.script.playing_unlisted.reset(); }
void start_at_position(StandInHost& host) { host.script.playing_unlisted.reset(); }
void delete_b(StandInHost& host) { host.delete_entry(1); }
void clear_and_add(StandInHost& host)
{
    host.clear_playlist();
    host.script.playlist = {{"C:\\x.mp3", "X", 200}, {"C:\\y.mp3", "Y", 200}};
}
void clear_and_add_stream(StandInHost& host)
{
    host.clear_playlist();
    host.script.playlist = {{"http://radio.example/live", "", -1}, {"C:\\y.mp3", "Y", 200}};
    host.script.playlist[0].stream_moments = {{"Band - One (Radio)", "Band - One"}, {"Duo - Two (Radio)", "Duo - Two"}};
}
void next_song(StandInHost& host) { ++host.script.stream_moment; }
void next_entry(StandInHost& host) { ++host.script.position, host.script.playing_unlisted.reset(); }
// Inside the tick's look at B's path, C starts: the tick has B's path, the position says C.
void c_starts_inside_the_path_request(StandInHost& host)
{
    start_b(host);
    host.script.reenter_in = IPC_GETPLAYLISTFILEW;
    host.script.reenter_action = [&host] { next_entry(host); };
}
void same(StandInHost&) {}

INSTANTIATE_TEST_SUITE_P(
    Edits, PlayingEntry,
    testing::Values(
        PlayingCase{"DeleteThePlayingEntry", CURRENT_PLAYER_VERSION,
                    {{start_b, "C:\\b.mp3"}, {delete_b, ""}, {same, ""}, {next_entry, "C:\\c.mp3"}, {same, ""}}},
        PlayingCase{"ClearAndAddWhileASongPlays", CURRENT_PLAYER_VERSION,
                    {{start_b, "C:\\b.mp3"}, {clear_and_add, ""}, {same, ""}, {start_at_position, "C:\\x.mp3"}, {same, ""}}},
        PlayingCase{"AnotherEntryStartsInsideTheTick", CURRENT_PLAYER_VERSION,
                    {{c_starts_inside_the_path_request, ""}, {same, "C:\\c.mp3"}, {start_b, "C:\\b.mp3"}}},
        // A stream at the position is looked at again when its title changes once it plays.
        PlayingCase{"ClearAndAddAStreamWhileASongPlays", CURRENT_PLAYER_VERSION,
                    {{start_b, "C:\\b.mp3"}, {clear_and_add_stream, ""}, {same, ""}, {same, ""}, {start_at_position, ""},
                     {next_song, ""}, {same, "http://radio.example/live"}, {same, ""}}},
        // Before 5.5: the entry at the position, playing or not, and none when it starts.
        PlayingCase{"DeleteOnAPlayerThatCannotTell", FIRST_VERSION_WITH_PLAYING_FILE - 1,
                    {{start_b, "C:\\b.mp3"}, {delete_b, "C:\\a.mp3"}, {same, ""}, {next_entry, "C:\\c.mp3"}}},
        PlayingCase{"ClearAndAddOnAPlayerThatCannotTell", FIRST_VERSION_WITH_PLAYING_FILE - 1,
                    {{start_b, "C:\\b.mp3"}, {clear_and_add, "C:\\x.mp3"}, {start_at_position, ""}}}),
    [](const testing::TestParamInfo<PlayingCase>& case_info) { return std::string(case_info.param.name); });

} // namespace
