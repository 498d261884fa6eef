// What the lyrics site receives: the plug-in's pages travel through web controls (the stand-in
// player's mini-browser on a player before 5.0; on a 5.x the plug-in's own lyrics window, or the
// stand-in's system web browser where the user chose it) to the
// lyrics site stand-in, which decodes each query as the sites do. The site must decode
// exactly the player's text, with "&" as "e", whatever bytes it holds.
#include "tests/win/plugin_fixture.h"

#include "player/embedded_frames.h"
#include "player/lyrics_site.h"
#include "player/sample_files.h"

#include <iomanip>
#include <sstream>

namespace {

// Long enough for a slow first request of a new web control under Wine.
constexpr DWORD SITE_TIMEOUT_MS = 20000;

struct Kind {
    const char* name;
    int32_t version;
    const char* navegador; // written to the ini file when not null
};

void PrintTo(const Kind& kind, std::ostream* out)
{
    *out << kind.name;
}

std::string with_stand_ins(std::string text)
{
    for (char& c : text) {
        if (c == '&') c = 'e';
    }
    return text;
}

std::string hex_bytes(const std::string& text)
{
    std::ostringstream out;
    for (char c : text) {
        out << std::hex << std::setw(2) << std::setfill('0') << static_cast<unsigned>(static_cast<unsigned char>(c)) << ' ';
    }
    return out.str();
}

// A stand-in player of the given kind whose pages reach the lyrics site.
class SiteTest : public PluginTest {
protected:
    void start(const Kind& kind)
    {
        const std::string reason = lyrics_site_unavailable_reason();
        if (!reason.empty()) {
            GTEST_SKIP() << reason;
        }
        static const bool proxy_set = point_proxy_at_lyrics_site();
        ASSERT_TRUE(proxy_set);
        host.script.version = kind.version;
        if (kind.navegador != nullptr) {
            write_setting("navegador", kind.navegador);
        }
        host.open_pages_in_web_controls();
        seen = lyrics_site_requests().size();
        load();
    }

    // Ticks with `entry` playing and returns the one request the site then receives (an empty
    // one, after a failure, when none came).
    SiteRequest site_request_for(int32_t entry)
    {
        play(entry);
        tick();
        if (!wait_for_site_requests(seen + 1, SITE_TIMEOUT_MS)) {
            ADD_FAILURE() << "the site received no request for " << hex_bytes(host.script.playlist[size_t(entry)].path);
            return {};
        }
        return lyrics_site_requests()[seen++];
    }

    size_t seen = 0; // requests the site had received before this test's next one
};

class SiteReceives : public SiteTest, public testing::WithParamInterface<Kind> {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        start(GetParam());
    }
};

// Every byte but NUL, in a path and in a title, a few dozen to a track so that each escaped
// address fits whole.
TEST_P(SiteReceives, EveryByteOfPathAndTitleAsThePlayerGaveIt)
{
    constexpr unsigned BYTES_PER_TRACK = 40;
    for (unsigned first = 1; first <= 0xFF; first += BYTES_PER_TRACK) {
        std::string bytes;
        for (unsigned byte = first; byte < first + BYTES_PER_TRACK && byte <= 0xFF; ++byte) {
            bytes += static_cast<char>(byte);
        }
        const std::string path = "C:\\" + bytes;
        const SiteRequest request = site_request_for(add_entry(path, bytes, 200));
        EXPECT_EQ(request.keys(), (std::vector<std::string>{"a", "t", "segundos"})) << request.address;
        EXPECT_EQ(hex_bytes(request.value("a")), hex_bytes(with_stand_ins(path))) << request.address;
        EXPECT_EQ(hex_bytes(request.value("t")), hex_bytes(with_stand_ins(bytes))) << request.address;
        EXPECT_EQ(request.value("segundos"), "200");
    }
}

struct TagCase {
    const char* name;
    SampleTag tag;
};

TEST_P(SiteReceives, TagFieldsAsTheFileHoldsThem)
{
    const TagCase cases[] = {
        {"escape characters", {"C# + 100% %41", "A+B #1 & %zz", "x"}},
        {"high bytes", {"Caf\xE9 \x96 \x81\x8D\x8F\x90\x9D\xAD\xFF", "\xC0\xC1 \x7F", ""}},
        {"thirty bytes", {"%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%", "+", ""}},
    };
    for (const TagCase& tag_case : cases) {
        const std::string path = folder + tag_case.name + ".mp3";
        ASSERT_TRUE(write_sample_file(path, 1000, &tag_case.tag));
        const SiteRequest request = site_request_for(add_entry(path, "T", 200));
        EXPECT_EQ(request.keys(), (std::vector<std::string>{"a", "t", "segundos", "musica", "artista"}))
            << tag_case.name;
        EXPECT_EQ(hex_bytes(request.value("musica")), hex_bytes(with_stand_ins(tag_case.tag.title))) << tag_case.name;
        EXPECT_EQ(hex_bytes(request.value("artista")), hex_bytes(with_stand_ins(tag_case.tag.artist)))
            << tag_case.name;
    }
}

// A file without an ID3v1 title or artist: a player of 2.9 or later gives them, and the site
// decodes exactly its text; an older player is not asked.
TEST_P(SiteReceives, TitleAndArtistAsThePlayerRead)
{
    // A stream's song, as the player reports it (before 2.9: its title), once its title has settled.
    const int32_t stream = add_entry("http://radio.example/live", "", -1);
    host.script.playlist[size_t(stream)].stream_moments = {{"Band & Co - Caf\xE9", "Band & Co - Caf\xE9"}};
    play(stream);
    tick();
    const SiteRequest song = site_request_for(stream);
    EXPECT_EQ(song.value("a") + "|" + song.value("musica") + "|" + song.value("artista"),
              "http://radio.example/live|Caf\xE9|Band e Co");
    const int32_t entry = add_entry(folder + "song.flac", "T", 200);
    host.script.playlist[size_t(entry)].file_title = "Ca\xE7\xE3o #1 + 100% & \x7F\x01";
    host.script.playlist[size_t(entry)].file_artist = "A\xE9 & %41 \xFF";
    const SiteRequest request = site_request_for(entry);
    if (GetParam().version < FIRST_VERSION_WITH_FILE_INFO) {
        EXPECT_EQ(request.keys(), (std::vector<std::string>{"a", "t", "segundos"})) << request.address;
        return;
    }
    EXPECT_EQ(request.keys(), (std::vector<std::string>{"a", "t", "segundos", "musica", "artista"}))
        << request.address;
    EXPECT_EQ(hex_bytes(request.value("musica")), hex_bytes(with_stand_ins(*host.script.playlist[size_t(entry)].file_title)));
    EXPECT_EQ(hex_bytes(request.value("artista")), hex_bytes(with_stand_ins(*host.script.playlist[size_t(entry)].file_artist)));
}

// An address cut to fit ends between escapes: the site reads the start of the title, never a
// broken byte.
TEST_P(SiteReceives, CutTitleArrivesAsItsFirstBytes)
{
    const std::string title(300, '\xE9');
    const SiteRequest request = site_request_for(add_entry("C:\\cut.mp3", title, 200));
    const std::string received = request.value("t");
    EXPECT_FALSE(received.empty());
    EXPECT_EQ(received, title.substr(0, received.size()));
    EXPECT_EQ(request.keys(), (std::vector<std::string>{"a", "t"}));
}

const Kind KINDS[] = {
    {"MiniBrowser", OLD_PLAYER_VERSION, nullptr},
    {"LyricsWindow", CURRENT_PLAYER_VERSION, nullptr},
    {"WebBrowser", CURRENT_PLAYER_VERSION, "1"},
};
INSTANTIATE_TEST_SUITE_P(Players, SiteReceives, testing::ValuesIn(KINDS),
                         [](const testing::TestParamInfo<Kind>& kind) { return std::string(kind.param.name); });

// A modal message loop inside one of the plug-in's calls (a dialog of another plug-in while the
// player answers, a page's prompt or script error inside the web control) dispatches the
// player's timer while the next track already plays. Whatever the tick does then, the last page
// the site receives, and the lyrics window shows, is the playing track's.
struct Reentry {
    const char* name;
    Kind kind;
    int32_t inside; // the request, or REENTER_IN_CONTROL_CREATION
};

void PrintTo(const Reentry& reentry, std::ostream* out)
{
    *out << reentry.name;
}

class ReenteredTick : public SiteTest, public testing::WithParamInterface<Reentry> {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        start(GetParam().kind);
    }
};

TEST_P(ReenteredTick, EndsOnThePageOfTheTrackThatPlays)
{
    const int32_t first = add_entry("C:\\first.mp3");
    const int32_t second = add_entry("C:\\second.mp3");
    // Untagged files, whose titles a player of 2.9 or later gives.
    host.script.playlist[size_t(first)].file_title = "First";
    host.script.playlist[size_t(first)].file_artist = "One";
    host.script.playlist[size_t(second)].file_title = "Second";
    host.script.playlist[size_t(second)].file_artist = "Two";
    host.script.reenter_in = GetParam().inside;
    host.script.reenter_position = second;
    play(first);
    tick();
    ASSERT_EQ(host.script.reenter_in, 0) << "no modal loop ran";
    ASSERT_TRUE(wait_for_site_requests(seen + 1, SITE_TIMEOUT_MS));
    tick();
    tick();
    ASSERT_TRUE(wait_for_site_requests(seen + 2, SITE_TIMEOUT_MS)) << "no page after the loop";
    const std::vector<SiteRequest> arrived = lyrics_site_requests();
    EXPECT_EQ(arrived.size(), seen + 2);
    EXPECT_EQ(arrived.back().value("a"), "C:\\second.mp3");
    if (GetParam().kind.version >= FIRST_VERSION_WITH_FILE_INFO) {
        EXPECT_EQ(arrived.back().value("musica") + " " + arrived.back().value("artista"), "Second Two");
    }
    for (size_t i = seen; i < arrived.size(); ++i) { // no page of the first track with the second's tags
        EXPECT_TRUE(arrived[i].value("a") != "C:\\first.mp3" || arrived[i].value("musica") != "Second");
    }
    if (GetParam().kind.version >= FIRST_VERSION_WITHOUT_MINIBROWSER && GetParam().kind.navegador == nullptr) {
        ASSERT_NE(host.lyrics_frame(), nullptr);
        std::wstring shown;
        pump_messages_until(
            [&] {
                shown = web_control_location(host.lyrics_frame());
                return shown.find(L"second.mp3") != std::wstring::npos;
            },
            SITE_TIMEOUT_MS);
        EXPECT_NE(shown.find(L"a=C:%5Csecond.mp3&"), std::wstring::npos) << utf8_from_utf16(shown);
        EXPECT_EQ(host.frames.size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Loops, ReenteredTick,
    testing::Values(Reentry{"InsideShowingTheMiniBrowser", KINDS[0], IPC_MBOPEN},
                    Reentry{"InsideTheMiniBrowserRequestOnA5x", KINDS[1], IPC_MBOPENREAL},
                    Reentry{"InsideTheFrameRequest", KINDS[1], IPC_GET_EMBEDDED_FRAME},
                    Reentry{"InsideTheControlsCreation", KINDS[1], REENTER_IN_CONTROL_CREATION},
                    Reentry{"InsideTheWebBrowserRequest", KINDS[2], IPC_OPEN_URL},
                    Reentry{"InsideTheFileInfoRequest", KINDS[1], IPC_GET_EXTENDED_FILE_INFO},
                    Reentry{"InsideTheTitleRequest", KINDS[1], IPC_GETPLAYLISTTITLE}),
    [](const testing::TestParamInfo<Reentry>& reentry) { return std::string(reentry.param.name); });

} // namespace
