// Radio streams: the address stays while a stream plays, so the page follows the song.
#include "tests/win/plugin_fixture.h"

namespace {

// Where a tick finds the player: playing the stream (minimised or not; going on to its next moment
// inside the song's request), another station showing the same title, or a file.
enum class At { stream, minimised, next_while_asked, other, file };

struct Moment {
    const char* title; // as the player shows it
    const char* song;  // as the reader answers "streamtitle" (the other station: "Trio - Three")
    At at = At::stream;
    int32_t loop_in = 0; // the request inside which a modal loop brings up the other station
};

struct StreamCase {
    const char* name;
    int32_t version;
    std::vector<Moment> ticks;
    std::vector<std::string> pages; // "<tick from 1>: <address after a=>"
    std::string path = "http://radio.example/live";
    bool reader_knows = true; // else it answers 0 to "streamtitle"
};

class StreamPages : public PluginTest, public testing::WithParamInterface<StreamCase> {};

TEST_P(StreamPages, OnePagePerSongOnceItsTitleSettles)
{
    const StreamCase& c = GetParam();
    host.script.version = c.version;
    host.script.reader_knows_stream_title = c.reader_knows;
    add_entry(c.path, "", -1);                  // 0
    add_entry("http://other.example/", "", -1); // 1
    add_entry("C:\\file.mp3", "File", 200);     // 2
    for (const Moment& moment : c.ticks) {
        host.script.playlist[0].stream_moments.push_back({moment.title, moment.song});
        host.script.playlist[1].stream_moments.push_back({moment.title, "Trio - Three"});
    }
    host.script.reenter_position = 1;
    load();
    std::vector<std::string> pages;
    for (size_t t = 0; t < c.ticks.size(); ++t) {
        const At at = c.ticks[t].at;
        host.script.stream_moment = t;
        play(at == At::file ? 2 : at == At::other ? 1 : 0);
        host.script.next_moment_inside_song_request = at == At::next_while_asked;
        host.script.reenter_in = c.ticks[t].loop_in;
        at == At::minimised ? host.minimise() : host.restore();
        for (const std::string& page : tick()) {
            pages.push_back(std::to_string(t + 1) + ": " + page.substr(page.find("a=") + 2));
        }
    }
    EXPECT_EQ(pages, c.pages);
    // Once the title stays the same, a stream's tick asks it and nothing more than a file's does.
    std::vector<int32_t> unchanged = IDLE_TICK;
    if (c.ticks.back().at != At::file && c.path.find("http") == 0) {
        unchanged.push_back(IPC_GETPLAYLISTTITLE);
    }
    tick();
    EXPECT_EQ(host.request_codes(), unchanged);
}

const Moment CONNECTING = {"[Connecting] http://radio.example/live", ""}, NAME = {"Radio - Example", ""};
const Moment BUFFER = {"[Buffer: 37%] Radio - Example", ""}, UNNAMED = {"(Radio - Example)", ""};
const Moment BUFFER_TWO = {"[Buffer: 80%] Radio - Example", "Duo - Two"};
const Moment ONE = {"Band - One (Radio)", "Band - One"}, TWO = {"Duo - Two (Radio)", "Duo - Two"};
const std::string PAGE_ONE = "http://radio.example/live&t=Band - One (Radio)&musica=One&artista=Band";
const std::string PAGE_TWO = "http://radio.example/live&t=Duo - Two (Radio)&musica=Two&artista=Duo";
const std::string OTHER_PAGE = "http://other.example/&t=Band - One (Radio)&musica=Three&artista=Trio";
const std::string FILE_PAGE = "C:\\file.mp3&t=File&segundos=200";
const Moment FILE_TICK = {"", "", At::file}, OTHER = {ONE.title, "", At::other};

INSTANTIATE_TEST_SUITE_P(
    Streams, StreamPages,
    testing::Values(
        // The station's name has " - " in it: the player's empty song still says it is none. The
        // player may have the next song while its status still shows.
        StreamCase{"StatusesNameSongsRepeatAndUnnamed", FIRST_VERSION_WITH_FILE_INFO,
                   {CONNECTING, BUFFER, BUFFER, NAME, NAME, ONE, ONE, ONE, UNNAMED, UNNAMED, ONE, ONE, BUFFER_TWO,
                    BUFFER_TWO, TWO, TWO},
                   {"7: " + PAGE_ONE, "16: " + PAGE_TWO}},
        StreamCase{"SongFromTheTitleWhereTheReaderAnswers0", FIRST_VERSION_WITH_FILE_INFO,
                   {CONNECTING, {"[Buffering]A - B", ""}, {"[Buffering]A - B", ""}, {"Radio", ""}, {"Radio", ""}, ONE,
                    ONE, {"(Radio)", ""}, {"(Radio)", ""}},
                   {"7: http://radio.example/live&t=Band - One (Radio)&musica=One (Radio)&artista=Band"},
                   "http://radio.example/live", false},
        StreamCase{"SongFromTheTitleBefore2_9", OLD_PLAYER_VERSION,
                   {{"A - B", "C - D"}, {"E - F", "C - D"}, {"A&B - 100% #1", "C - D"}, {"A&B - 100% #1", "C - D"}},
                   {"4: http://radio.example/live&t=AeB - 100%25 %231&musica=100%25 %231&artista=AeB"}},
        // A page's title and song belong together. Minimised ticks do not look at the title.
        StreamCase{"SongChangedWhileAskedOrMinimised", FIRST_VERSION_WITH_FILE_INFO,
                   {ONE, {ONE.title, ONE.song, At::next_while_asked}, TWO, {ONE.title, ONE.song, At::minimised},
                    {ONE.title, ONE.song, At::minimised}, ONE, ONE},
                   {"3: " + PAGE_TWO, "7: " + PAGE_ONE}},
        StreamCase{"LoopsInsideTheTitleAndTheSongRequestsOnA5x", CURRENT_PLAYER_VERSION,
                   {ONE, {ONE.title, ONE.song, At::stream, IPC_GETPLAYLISTTITLE}, OTHER, OTHER, ONE,
                    {ONE.title, ONE.song, At::stream, IPC_GET_EXTENDED_FILE_INFO}, OTHER, OTHER},
                   {"4: " + OTHER_PAGE, "8: " + OTHER_PAGE}},
        StreamCase{"AnotherEntryStartsAfresh", FIRST_VERSION_WITH_FILE_INFO, {ONE, ONE, FILE_TICK, ONE, ONE, FILE_TICK},
                   {"2: " + PAGE_ONE, "3: " + FILE_PAGE, "5: " + PAGE_ONE, "6: " + FILE_PAGE}},
        // Not streams: a page at the first tick, as for a file.
        StreamCase{"CdTrack", FIRST_VERSION_WITH_FILE_INFO, {ONE, TWO}, {"1: cda://D,3&t=Band - One (Radio)"},
                   "cda://D,3"},
        StreamCase{"FileAddress", FIRST_VERSION_WITH_FILE_INFO, {ONE, TWO}, {"1: FILE:///a&t=Band - One (Radio)"},
                   "FILE:///a"}),
    [](const testing::TestParamInfo<StreamCase>& case_info) { return std::string(case_info.param.name); });

} // namespace
