// The player answering as badly as it can: the plug-in must neither crash nor send an address
// longer than its 351 bytes, and must behave the same after many ticks as at the start.
#include "tests/win/plugin_fixture.h"

#include "build_config.h"
#include "player/sample_files.h"

#include <climits>
#include <cstring>

namespace {

constexpr size_t LONGEST_ADDRESS = 351;

class HostileHost : public PluginTest {
protected:
    // Plays each entry for two ticks, with the script changed as `before` says, and returns
    // every address opened.
    std::vector<std::string> play_all(const std::function<void(size_t)>& before = [](size_t) {})
    {
        std::vector<std::string> pages;
        for (size_t i = 0; i < host.script.playlist.size(); ++i) {
            play(static_cast<int32_t>(i));
            before(i);
            for (int t = 0; t < 2; ++t) {
                for (const std::string& page : tick()) {
                    pages.push_back(page);
                }
            }
        }
        return pages;
    }
};

TEST_F(HostileHost, OversizedAndMissingAnswersNeverOverrunTheAddress)
{
    const std::string tag_of_ff = "TAG" + std::string(125, '\xFF');
    ASSERT_TRUE(write_file(folder + "ff.mp3", std::string(500, 'a') + tag_of_ff));
    add_entry("C:\\" + std::string(3997, 'p'), std::string(100000, 't'), INT_MAX); // 4,000-byte path
    add_entry("C:\\" + std::string(1020, 'q'), std::string(100000, '&'), INT_MIN); // 1,023 bytes: cut
    add_entry("C:\\" + std::string(1021, 'r'), "T", 100);                          // 1,024 bytes: skipped
    add_entry(folder + "ff.mp3", std::string(300, 'u'), 200);
    add_entry(folder + "ff.mp3?", "", 0);
    add_entry(std::string(1000, '&'), std::string(1000, '&'), -1);
    load();

    const std::vector<std::string> pages = play_all();
    ASSERT_EQ(pages.size(), 4u);
    for (const std::string& page : pages) {
        EXPECT_LE(page.size(), LONGEST_ADDRESS);
    }
    EXPECT_EQ(pages[0].size(), LONGEST_ADDRESS) << "1,023-byte path, cut";
    EXPECT_EQ(pages[0].find("&t="), std::string::npos);
    EXPECT_EQ(pages[1].size(), LONGEST_ADDRESS) << "a tagged file with a long title, cut";
    // No file has that name; the cut tag keys of the file before it must not come back.
    EXPECT_EQ(pages[2], "http://" CANTOVIA_SITE_PT "/winamp.php?a=" + folder + "ff.mp3?&t=");
    EXPECT_EQ(pages[3].rfind("http://" CANTOVIA_SITE_PT "/winamp.php?a=" + std::string(1000, 'e').substr(0, 100), 0),
              0u);
}

TEST_F(HostileHost, TrailerOfFfBytesIsSentByteForByte)
{
    const std::string tag_of_ff = "TAG" + std::string(125, '\xFF');
    ASSERT_TRUE(write_file(folder + "ff.mp3", tag_of_ff));
    play(add_entry(folder + "ff.mp3", "T", 0));
    load();
    const std::vector<std::string> pages = tick();
    ASSERT_EQ(pages.size(), 1u);
    std::string thirty_ff;
    for (int i = 0; i < 30; ++i) {
        thirty_ff += "%FF";
    }
    EXPECT_EQ(pages[0], "http://" CANTOVIA_SITE_PT "/winamp.php?a=" + folder + "ff.mp3&t=T&musica=" + thirty_ff +
                            "&artista=" + thirty_ff);
}

TEST_F(HostileHost, NullAnswersEverywhereOpenNothingAndCrashNothing)
{
    add_entry("C:\\a.mp3");
    host.script.null_path = true;
    host.script.null_title = true;
    host.script.ini_answer_is_path = false;
    host.script.ini_answer = 0;
    load();
    EXPECT_TRUE(play_all().empty());
    host.script.null_path = false;
    EXPECT_EQ(play_all(), std::vector<std::string>{"http://" CANTOVIA_SITE_PT "/winamp.php?a=C:\\a.mp3&t=&segundos=200"});
}

// A number answered instead of the path or the title: below LOWEST_POINTER (a player that lacks
// the request answers 1) it is no text; from LOWEST_POINTER on it is the text's address, down to
// the lowest one this Windows maps.
struct RawAnswer {
    const char* name;
    uintptr_t path;  // 0: the entry's own path
    uintptr_t title; // 0: the entry's own title
    std::vector<std::string> pages;
};

class RawEntryAnswers : public HostileHost, public testing::WithParamInterface<RawAnswer> {};

const std::string LOW_PAGE = "http://" CANTOVIA_SITE_PT "/winamp.php?a=";
constexpr char LOW_TEXT[] = "C:\\low.mp3";
// Stands for the text at the lowest address this Windows maps, from LOWEST_POINTER on.
constexpr uintptr_t LOW_TEXT_ANSWER = 2;

// Places LOW_TEXT at the lowest 64 KiB boundary from LOWEST_POINTER on that can be mapped (Wine
// keeps 0x10000 and more for itself); null when none below 2 GiB can.
void* map_low_text()
{
    for (uintptr_t address = LOWEST_POINTER; address < 0x80000000; address += 0x10000) {
        void* mapped = VirtualAlloc(reinterpret_cast<void*>(address), sizeof LOW_TEXT, MEM_RESERVE | MEM_COMMIT,
                                    PAGE_READWRITE);
        if (mapped != nullptr) {
            std::memcpy(mapped, LOW_TEXT, sizeof LOW_TEXT);
            return mapped;
        }
    }
    return nullptr;
}

TEST_P(RawEntryAnswers, BelowTheLowestPointerIsNoText)
{
    const RawAnswer& answer = GetParam();
    void* low_text = nullptr;
    if (answer.path == LOW_TEXT_ANSWER || answer.title == LOW_TEXT_ANSWER) {
        low_text = map_low_text();
        ASSERT_NE(low_text, nullptr) << "no low address could be mapped";
    }
    const uintptr_t low = reinterpret_cast<uintptr_t>(low_text);
    add_entry("C:\\a.mp3", "T", 200);
    host.script.raw_path = answer.path == LOW_TEXT_ANSWER ? low : answer.path;
    host.script.raw_title = answer.title == LOW_TEXT_ANSWER ? low : answer.title;
    load();
    EXPECT_EQ(play_all(), answer.pages) << "the low text at " << low_text;
    host.unload();
    if (low_text != nullptr) {
        VirtualFree(low_text, 0, MEM_RELEASE);
    }
}

INSTANTIATE_TEST_SUITE_P(
    HostileHost, RawEntryAnswers,
    testing::Values(RawAnswer{"path_1", 1, 0, {}}, RawAnswer{"path_0xFFFF", 0xFFFF, 0, {}},
                    RawAnswer{"title_1", 0, 1, {LOW_PAGE + "C:\\a.mp3&t=&segundos=200"}},
                    RawAnswer{"title_0xFFFF", 0, 0xFFFF, {LOW_PAGE + "C:\\a.mp3&t=&segundos=200"}},
                    RawAnswer{"path_at_lowest_mapped", LOW_TEXT_ANSWER, 0, {LOW_PAGE + LOW_TEXT + "&t=T&segundos=200"}},
                    RawAnswer{"title_at_lowest_mapped", 0, LOW_TEXT_ANSWER,
                              {LOW_PAGE + "C:\\a.mp3&t=" + LOW_TEXT + "&segundos=200"}}),
    [](const testing::TestParamInfo<RawAnswer>& case_info) { return std::string(case_info.param.name); });

TEST_F(HostileHost, PlaylistPositionOutsideThePlaylist)
{
    add_entry("C:\\a.mp3");
    load();
    for (int32_t position : {-1, 1, INT_MAX, INT_MIN}) {
        host.script.position = position;
        EXPECT_TRUE(tick().empty()) << position;
    }
}

TEST_F(HostileHost, SoakOfTwentyThousandTicksBehavesAsAtTheStart)
{
    for (int i = 0; i < 7; ++i) {
        const std::string path = folder + "soak-" + std::to_string(i) + ".mp3";
        const SampleTag tag = {"Song " + std::to_string(i), "Artist & Co", ""};
        ASSERT_TRUE(write_sample_file(path, 512, i % 2 == 0 ? &tag : nullptr));
        add_entry(path, "Soak & " + std::to_string(i), 100 + i);
    }
    load();
    constexpr int TICKS = 20000;
    constexpr int TICKS_PER_TRACK = 10;
    std::vector<std::string> first_pages(host.script.playlist.size());
    std::vector<int32_t> first_idle_requests;
    int pages_opened = 0;
    for (int t = 0; t < TICKS; ++t) {
        const int32_t entry = (t / TICKS_PER_TRACK) % static_cast<int32_t>(host.script.playlist.size());
        play(entry);
        const std::vector<std::string> pages = tick();
        if (t % TICKS_PER_TRACK == 0) {
            ASSERT_EQ(pages.size(), 1u) << "tick " << t;
            std::string& first = first_pages[static_cast<size_t>(entry)];
            if (first.empty()) {
                first = pages[0];
            }
            ASSERT_EQ(pages[0], first) << "tick " << t;
            ++pages_opened;
        } else {
            ASSERT_TRUE(pages.empty()) << "tick " << t;
            if (first_idle_requests.empty()) {
                first_idle_requests = host.request_codes();
            }
            ASSERT_EQ(host.request_codes(), first_idle_requests) << "tick " << t;
        }
    }
    EXPECT_EQ(pages_opened, TICKS / TICKS_PER_TRACK);
    EXPECT_NE(first_pages[0].find("&musica=Song 0&artista=Artist e Co"), std::string::npos) << first_pages[0];
    EXPECT_EQ(first_pages[1].find("&musica="), std::string::npos) << first_pages[1];
}

} // namespace
