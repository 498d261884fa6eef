// What the lyrics site receives: the plug-in's pages travel through web controls (the stand-in
// player's mini-browser on a player before 5.0; on a 5.x the plug-in's own lyrics window, or the
// stand-in's system web browser where the user chose it) to the
// lyrics site stand-in, which decodes each query as the sites do. The site must decode
// exactly the player's text, with "&" as "e", whatever bytes it holds.
#include "tests/win/plugin_fixture.h"

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

class SiteReceives : public PluginTest, public testing::WithParamInterface<Kind> {
protected:
    void SetUp() override
    {
        const std::string reason = lyrics_site_unavailable_reason();
        if (!reason.empty()) {
            GTEST_SKIP() << reason;
        }
        PluginTest::SetUp();
        static const bool proxy_set = point_proxy_at_lyrics_site();
        ASSERT_TRUE(proxy_set);
        host.script.version = GetParam().version;
        if (GetParam().navegador != nullptr) {
            write_setting("navegador", GetParam().navegador);
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

} // namespace
