// The player in any order and any mix: seeded random runs of its events, each now or inside one of
// the plug-in's calls where the player runs a modal loop. After each step at most one lyrics window
// stands; once the player is calm, the last page is the playing entry's (or the notice of a later
// OK) and the lyrics window shows it; after quit nothing of the plug-in's is left and it asks
// nothing more. A failing run names its seed: CANTOVIA_RANDOM_SEED=N runs that one alone,
// CANTOVIA_RANDOM_SEEDS=N runs N from the first (CANTOVIA_RANDOM_FIRST_SEED), and
// CANTOVIA_RANDOM_SECONDS=S goes on with further seeds until S seconds have passed;
// CANTOVIA_RANDOM_ECHO=1 prints each step as it runs.
#include "tests/win/crash_exit.h"
#include "tests/win/plugin_fixture.h"
#include "tests/win/plugin_windows.h"

#include "build_config.h"
#include "player/message_pump.h"
#include "player/player_events.h"
#include "plugin/player_objects.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

constexpr uint32_t SEEDS_IN_A_TEST_RUN = 12;
constexpr size_t STEPS_IN_A_RUN = 40;
const std::string NOTICE_PAGE = "http://" CANTOVIA_NOTICE_HOST "/wdesabilitado.htm";

uint32_t environment_number(const char* name, uint32_t otherwise)
{
    const char* text = std::getenv(name);
    return text != nullptr && text[0] != '\0' ? static_cast<uint32_t>(std::strtoul(text, nullptr, 10)) : otherwise;
}

// A page's value of `key`, up to the next key.
std::string page_value(const std::string& page, const std::string& key)
{
    const size_t start = page.find((page.find('?' + key + '=') != std::string::npos ? '?' : '&') + key + '=');
    if (start == std::string::npos) {
        return "<missing>";
    }
    const size_t value = start + key.size() + 2;
    return page.substr(value, page.find('&', value) - value);
}

struct RunKind {
    const char* name;
    int32_t version;
};

void PrintTo(const RunKind& kind, std::ostream* out)
{
    *out << kind.name;
}

class RandomRun : public testing::TestWithParam<RunKind> {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        ini_path = std::string(temp) + "cantovia-random-run-" + GetParam().name + ".ini";
    }

    // Runs one seed's steps; false, with the failure reported, when a check failed.
    bool run_seed(uint32_t seed);
    void expect_one_lyrics_window(const StandInHost& host);
    void expect_last_page_of_the_playing_entry(const PlayerRun& run);
    void expect_nothing_left_after_quit(const PlayerRun& run, const std::vector<int32_t>& offsets);

    std::string ini_path;
};

void RandomRun::expect_one_lyrics_window(const StandInHost& host)
{
    EXPECT_LE(windows_of_class_in_process(CONTAINER_CLASS), 1u);
    EXPECT_LE(std::count_if(host.frames.begin(), host.frames.end(), [](HWND frame) { return IsWindow(frame) != FALSE; }), 1);
}

void RandomRun::expect_last_page_of_the_playing_entry(const PlayerRun& run)
{
    const std::vector<std::string> pages = run.host.opened_pages();
    // Every page's title is its own entry's: a file's title, or one of the stream's.
    for (const std::string& page : pages) {
        if (page == NOTICE_PAGE) {
            continue;
        }
        const std::string path = page_value(page, "a");
        const std::string title = page_value(page, "t");
        const auto entry = std::find_if(run.entries_ever.begin(), run.entries_ever.end(),
                                        [&](const PlaylistEntry& e) { return e.path == path; });
        ASSERT_NE(entry, run.entries_ever.end()) << page;
        const bool own_title = entry->stream_moments.empty()
                                   ? title == entry->title
                                   : std::any_of(entry->stream_moments.begin(), entry->stream_moments.end(),
                                                 [&](const StreamMoment& m) { return m.title == title; });
        EXPECT_TRUE(own_title) << page;
    }
    const PlaylistEntry* playing = run.host.playing_entry();
    if (pages.empty() || playing == nullptr) {
        return;
    }
    const std::string& last = pages.back();
    const bool playing_page = page_value(last, "a") == playing->path;
    if (last == NOTICE_PAGE) {
        // Lookup on: the playing entry had its page before (a page opens once per entry).
        const bool had_page = std::any_of(pages.begin(), pages.end(),
                                          [&](const std::string& page) { return page_value(page, "a") == playing->path; });
        EXPECT_TRUE(!run.lookup_on || had_page) << "the notice last, though " << playing->path << " never had a page";
    } else {
        EXPECT_TRUE(playing_page) << "the last page is " << last << ", not that of " << playing->path;
    }
    // The lyrics window shows the last page.
    HWND frame = run.host.lyrics_frame();
    if (frame != nullptr && IsWindowVisible(frame) && !run.host.navigations.empty()) {
        EXPECT_EQ(utf8_from_utf16(run.host.navigations.back()), last);
    }
}

void RandomRun::expect_nothing_left_after_quit(const PlayerRun& run, const std::vector<int32_t>& offsets)
{
    EXPECT_EQ(menu_command(run.host.menus.main_popup, "Cantovia") + menu_command(run.host.menus.window_menu, "Cantovia"), 0u);
    EXPECT_EQ((std::vector<int32_t>{run.host.menus.main_offset, run.host.menus.window_offset}), offsets);
    EXPECT_EQ(plugin_windows_in_process(), 0u);
    WNDCLASSA registered = {};
    EXPECT_FALSE(GetClassInfoA(run.host.module(), CONTAINER_CLASS, &registered)) << "the class stays registered";
    EXPECT_TRUE(run.host.processors.empty()) << "a processor left after quit";
    EXPECT_EQ(run.host.applications_released, run.host.applications_made);
    const std::vector<int32_t> codes = run.host.request_codes();
    EXPECT_EQ(std::vector<int32_t>(codes.begin() + static_cast<std::ptrdiff_t>(std::min(run.host.requests_at_quit, codes.size())), codes.end()),
              std::vector<int32_t>{})
        << "requests after quit";
}

bool RandomRun::run_seed(uint32_t seed)
{
    std::ostringstream note;
    note << "random run " << GetParam().name << " seed " << seed << " (CANTOVIA_RANDOM_SEED=" << seed
         << " replays it alone)";
    set_crash_note(note.str().c_str());
    DeleteFileA(ini_path.c_str());
    bool passed = true;
    {
        StandInHost host;
        host.script.version = GetParam().version;
        host.script.ini_path = ini_path;
        PlayerRun run(host, seed);
        run.echo = environment_number("CANTOVIA_RANDOM_ECHO", 0) != 0;
        const std::vector<int32_t> offsets = {host.menus.main_offset, host.menus.window_offset};
        const std::vector<RunStep> steps = random_steps(seed, STEPS_IN_A_RUN);
        // A first step inside a call may come inside init's.
        size_t first_step = 0;
        if (steps[0].inside != 0) {
            run.run(steps[first_step++]);
        }
        if (!host.load(plugin_dll())) {
            ADD_FAILURE() << "LoadLibrary error " << GetLastError();
            return false;
        }
        const auto failed = [] { return testing::Test::HasFailure(); };
        const bool failed_before = failed();
        for (size_t i = first_step; i < steps.size(); ++i) {
            run.run(steps[i]);
            dispatch_waiting_messages();
            expect_one_lyrics_window(host);
            if (failed() && !failed_before) {
                break;
            }
        }
        if (!run.quit_done) {
            run.calm_down();
            expect_last_page_of_the_playing_entry(run);
            run.run_event(PlayerEvent::quit);
        }
        dispatch_waiting_messages();
        expect_nothing_left_after_quit(run, offsets);
        host.unload();
        // A window procedure of the plug-in's left behind would crash here, its code freed.
        for (HWND window : process_windows()) {
            SendMessageA(window, WM_NULL, 0, 0);
        }
        dispatch_waiting_messages();
        if (failed() && !failed_before) {
            std::ostringstream report;
            for (const std::string& line : run.log) {
                report << "\n  " << line;
            }
            ADD_FAILURE() << note.str() << ", its steps:" << report.str();
            passed = false;
        }
    }
    set_crash_note("");
    return passed;
}

TEST_P(RandomRun, LeavesOneWindowTheLastPageAndNothingAfterQuit)
{
    const uint32_t only = environment_number("CANTOVIA_RANDOM_SEED", 0);
    const uint32_t first = only != 0 ? only : environment_number("CANTOVIA_RANDOM_FIRST_SEED", 1);
    const uint32_t count = only != 0 ? 1 : environment_number("CANTOVIA_RANDOM_SEEDS", SEEDS_IN_A_TEST_RUN);
    const uint32_t seconds = only != 0 ? 0 : environment_number("CANTOVIA_RANDOM_SECONDS", 0);
    const DWORD start = GetTickCount();
    uint32_t seed = first;
    for (; seed - first < count || (seconds > 0 && GetTickCount() - start < seconds * 1000); ++seed) {
        if (!run_seed(seed)) {
            break;
        }
    }
    std::printf("random run %s: seeds %u to %u in %lu ms\n", GetParam().name, first, seed - 1,
                static_cast<unsigned long>(GetTickCount() - start));
}

INSTANTIATE_TEST_SUITE_P(
    Players, RandomRun,
    testing::Values(RunKind{"MiniBrowser", OLD_PLAYER_VERSION},
                    RunKind{"LyricsWindowBefore5_12", FIRST_VERSION_WITH_SERVICES - 1},
                    RunKind{"LyricsWindow", CURRENT_PLAYER_VERSION}),
    [](const testing::TestParamInfo<RunKind>& kind) { return std::string(kind.param.name); });

} // namespace
