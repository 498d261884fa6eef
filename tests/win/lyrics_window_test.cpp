// The lyrics window on a 5.x player: one frame of the player's embedded-window service with the
// real web control inside, navigated in place for each new track; the pages as before where no
// such window can be had; its place in the ini file; both orders of a player's exit; and the
// process's handles, threads and windows over many tracks.
#include "tests/win/plugin_fixture.h"
#include "tests/win/plugin_windows.h"

#include "build_config.h"
#include "plugin/player_menus.h"
#include "plugin/player_objects.h"
#include "player/dialog_driver.h"
#include "player/embedded_frames.h"
#include "player/lyrics_site.h"
#include "resources/resource.h"

#include <exdisp.h>
#include <ole2.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD NAVIGATION_TIMEOUT_MS = 10000;
// Long enough for a slow first request of a new web control under Wine.
constexpr DWORD SITE_TIMEOUT_MS = 20000;
// The longest a tick may take to send a page to a window that exists, generously.
constexpr DWORD LATER_PAGE_TICK_MS = 1000;
const std::string PORTUGUESE = "http://" CANTOVIA_SITE_PT "/winamp.php?a=";

std::string page_of(const std::string& path)
{
    return PORTUGUESE + path + "&t=Title&segundos=200";
}

// What making the lyrics window asks: the frame (the service objects, for its keys and its menu
// item, are asked at init).
const std::vector<int32_t> FRAME_ONLY = {IPC_GET_EMBEDDED_FRAME};
const std::vector<int32_t> NO_WINDOW = {};

// The requests of a new-track tick on a 5.x: the queries, the mini-browser's four, then those of
// making the window or the web browser's.
std::vector<int32_t> new_track_requests(int32_t version, const std::vector<int32_t>& window, bool web_browser)
{
    std::vector<int32_t> codes = new_track_queries(version);
    codes.insert(codes.end(), {IPC_MBBLOCK, IPC_MBOPEN, IPC_MBOPENREAL, IPC_MBBLOCK});
    codes.insert(codes.end(), window.begin(), window.end());
    if (web_browser) {
        codes.push_back(IPC_OPEN_URL);
    }
    return codes;
}

// The address as the control reports it: spaces and backslashes escaped.
std::wstring as_shown(const std::string& address)
{
    std::wstring shown;
    for (char c : address) {
        shown += c == ' ' ? L"%20" : c == '\\' ? L"%5C" : std::wstring(1, static_cast<wchar_t>(c));
    }
    return shown;
}

struct HandleEntry {
    ULONG process;
    BYTE type;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

// Handles of this process, from the system's handle table (GetProcessHandleCount answers 0
// under Wine 8).
size_t process_handles()
{
    constexpr auto SYSTEM_HANDLE_INFORMATION_CLASS = static_cast<SYSTEM_INFORMATION_CLASS>(16);
    constexpr NTSTATUS LENGTH_MISMATCH = static_cast<NTSTATUS>(0xC0000004L);
    std::vector<unsigned char> buffer(1 << 16);
    NTSTATUS status = LENGTH_MISMATCH;
    while ((status = NtQuerySystemInformation(SYSTEM_HANDLE_INFORMATION_CLASS, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), nullptr)) == LENGTH_MISMATCH) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) {
        ADD_FAILURE() << "NtQuerySystemInformation status " << std::hex << status;
        return 0;
    }
    ULONG count = 0;
    std::memcpy(&count, buffer.data(), sizeof count);
    const size_t first = offsetof(HandleTable, entries);
    size_t own = 0;
    for (ULONG i = 0; i < count; ++i) {
        HandleEntry entry;
        std::memcpy(&entry, buffer.data() + first + i * sizeof entry, sizeof entry);
        own += entry.process == GetCurrentProcessId() ? size_t{1} : 0;
    }
    return own;
}

size_t process_threads()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    size_t count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? size_t{1} : 0;
    }
    CloseHandle(snapshot);
    return count;
}

class LyricsWindow : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        host.script.version = CURRENT_PLAYER_VERSION;
        // Before the first web control of the process: the controls then reach the site.
        static const bool proxy_set = !lyrics_site_running() || point_proxy_at_lyrics_site();
        ASSERT_TRUE(proxy_set);
    }

    // Plays a new entry at `path` and ticks once.
    void play_new(const std::string& path)
    {
        play(add_entry(path));
        tick();
    }

    // Pumps messages until the lyrics window shows `address`; returns what it shows.
    std::wstring wait_until_shown(const std::string& address)
    {
        std::wstring shown;
        pump_messages_until(
            [&] {
                shown = host.lyrics_frame() != nullptr ? web_control_location(host.lyrics_frame()) : L"";
                return shown == as_shown(address);
            },
            NAVIGATION_TIMEOUT_MS);
        return shown;
    }

    std::vector<std::string> place_in_ini()
    {
        return {ini_value(PLUGIN_DESCRIPTION, "janela_esquerda"), ini_value(PLUGIN_DESCRIPTION, "janela_topo"),
                ini_value(PLUGIN_DESCRIPTION, "janela_direita"), ini_value(PLUGIN_DESCRIPTION, "janela_base")};
    }
};

TEST_F(LyricsWindow, ThreeNewTracksReachTheSiteInOrderThroughOneControl)
{
    if (!lyrics_site_running()) {
        GTEST_SKIP() << lyrics_site_unavailable_reason();
    }
    load();
    const size_t seen = lyrics_site_requests().size();
    const std::vector<std::string> paths = {"C:\\one.mp3", "C:\\two.mp3", "C:\\three.mp3"};
    for (size_t i = 0; i < paths.size(); ++i) {
        play_new(paths[i]);
        EXPECT_EQ(host.request_codes(), new_track_requests(host.script.version, i == 0 ? FRAME_ONLY : NO_WINDOW, false))
            << paths[i];
        EXPECT_EQ(host.opened_pages(), std::vector<std::string>{page_of(paths[i])}) << "the mini-browser's requests";
        EXPECT_EQ(host.focus_calls, 0) << "the focus left where it was";
        ASSERT_TRUE(wait_for_site_requests(seen + i + 1, SITE_TIMEOUT_MS)) << paths[i];
    }
    const std::vector<SiteRequest> arrived = lyrics_site_requests();
    ASSERT_EQ(arrived.size(), seen + paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(arrived[seen + i].value("a"), paths[i]);
    }
    ASSERT_EQ(host.frames.size(), 1u);
    HWND frame = host.lyrics_frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsWindowVisible(frame));
    EXPECT_EQ(window_text(frame), "Cantovia");
    EXPECT_EQ(GetFocus(), host.window());
    // One child of the plug-in's own, filling the frame, with the one control inside.
    HWND child = GetWindow(frame, GW_CHILD);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetWindow(child, GW_HWNDNEXT), nullptr);
    RECT frame_client = {};
    RECT child_client = {};
    GetClientRect(frame, &frame_client);
    GetClientRect(child, &child_client);
    EXPECT_TRUE(EqualRect(&frame_client, &child_client));
    EXPECT_EQ(windows_of_class(frame, WEB_CONTROL_CLASS).size(), 1u);
    EXPECT_EQ(windows_of_class_in_process(CONTAINER_CLASS), 1u);
    // The control opens no dialogs of its own inside the player.
    IWebBrowser2* control = browser_of_control(windows_of_class(frame, WEB_CONTROL_CLASS).at(0));
    ASSERT_NE(control, nullptr);
    VARIANT_BOOL silent = VARIANT_FALSE;
    EXPECT_EQ(control->get_Silent(&silent), S_OK);
    EXPECT_EQ(silent, VARIANT_TRUE);
    control->Release();
    // The record: the frame filled in, the GUID flagged, the window menu left to the player.
    const auto* record = reinterpret_cast<const EmbeddedWindowState*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->me, frame);
    EXPECT_EQ(record->flags, EMBEDDED_FLAG_HAS_GUID);
    GUID guid = {};
    std::memcpy(&guid, &record->tail[EMBEDDED_GUID_INDEX], sizeof guid);
    EXPECT_NE(guid.Data1, 0u);
}

TEST_F(LyricsWindow, DialogNoticePageGoesToTheLyricsWindow)
{
    load();
    const DialogRun run = run_config_dialog(host, {[](HWND dialog) {
                                                click_item(dialog, IDC_ENABLED);
                                                click_item(dialog, IDC_OK_BUTTON);
                                            }});
    ASSERT_TRUE(run.opened);
    EXPECT_EQ(host.request_codes(), (std::vector<int32_t>{IPC_MBOPENREAL, IPC_GET_EMBEDDED_FRAME}));
    const std::string notice = "http://" CANTOVIA_NOTICE_HOST "/wdesabilitado.htm";
    EXPECT_EQ(wait_until_shown(notice), as_shown(notice));
    ASSERT_NE(host.lyrics_frame(), nullptr);
    EXPECT_TRUE(IsWindowVisible(host.lyrics_frame()));
}

// What happens to the window between two new tracks; the second page then shows it.
struct Between {
    const char* name;
    void (*change)(StandInHost& host);
    size_t frames; // made in all
    bool no_menus = false; // a player without menus for plug-ins: the window has no menu item
};

// Destroys the lyrics window's frame, as the player does; the control goes with it: the plug-in
// held exactly one reference to it.
void destroy_frame_and_expect_the_control_released(StandInHost& host)
{
    IWebBrowser2* control = browser_of_control(windows_of_class(host.lyrics_frame(), WEB_CONTROL_CLASS).at(0));
    ASSERT_NE(control, nullptr);
    DestroyWindow(host.lyrics_frame());
    // A page still loading holds the control for a while: wait until only this test's reference
    // is left, or the time is up.
    pump_messages_until(
        [&] {
            control->AddRef();
            return control->Release() == 1;
        },
        NAVIGATION_TIMEOUT_MS);
    EXPECT_EQ(control->Release(), 0u) << "references left to the control";
}

void PrintTo(const Between& between, std::ostream* out)
{
    *out << between.name;
}

class WindowBetweenTracks : public LyricsWindow, public testing::WithParamInterface<Between> {};

TEST_P(WindowBetweenTracks, SecondPageShowsTheWindowAgain)
{
    host.script.no_menus = GetParam().no_menus;
    load();
    play_new("C:\\one.mp3");
    ASSERT_EQ(wait_until_shown(page_of("C:\\one.mp3")), as_shown(page_of("C:\\one.mp3")));
    GetParam().change(host);
    pump_messages_for(50);
    EXPECT_EQ(tick(), std::vector<std::string>{}) << "an idle tick";
    EXPECT_EQ(host.request_codes(), IDLE_TICK);
    play_new("C:\\two.mp3");
    EXPECT_EQ(host.request_codes(), new_track_requests(host.script.version, GetParam().frames == 2 ? FRAME_ONLY : NO_WINDOW, false))
        << "a new frame only";
    EXPECT_EQ(wait_until_shown(page_of("C:\\two.mp3")), as_shown(page_of("C:\\two.mp3")));
    EXPECT_EQ(host.frames.size(), GetParam().frames);
    ASSERT_NE(host.lyrics_frame(), nullptr);
    EXPECT_TRUE(IsWindowVisible(host.lyrics_frame()));
    EXPECT_EQ(GetFocus(), host.window());
    EXPECT_EQ(windows_of_class_in_process(CONTAINER_CLASS), 1u);
    EXPECT_EQ(windows_of_class_in_process(WEB_CONTROL_CLASS), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, WindowBetweenTracks,
    testing::Values(
        Between{"LeftAlone", [](StandInHost&) {}, 1},
        // The frame's close button hides it, its child and control stay for the next page (where no
        // menu item can bring it back).
        Between{"ClosedByTheUserWithoutAMenuItem",
                [](StandInHost& host) {
                    press_close_button(host.lyrics_frame());
                    EXPECT_FALSE(IsWindowVisible(host.lyrics_frame()));
                    EXPECT_NE(GetWindow(host.lyrics_frame(), GW_CHILD), nullptr) << "no empty frame";
                },
                1, true},
        // The control goes with the frame: the plug-in held exactly one reference to it.
        Between{"DestroyedByThePlayer", destroy_frame_and_expect_the_control_released, 2}),
    [](const testing::TestParamInfo<Between>& case_info) { return std::string(case_info.param.name); });

// The window's menu item, on players from 5.12 on: once in each menu, at the player's place for
// plug-ins' items, checked while the window shows. Choosing it (the player posts the command
// through its loop) hides or shows the window; a window the user closed stays closed and loads
// nothing until chosen again, after a restart too; no window shows while the player is minimised.
// Quit takes the item away and the offsets back.
class WindowMenuItem;
struct MenuCase {
    const char* name;
    int32_t version;
    void (*use)(WindowMenuItem& test);
    const char* saved; // janela_visivel after quit
};

void PrintTo(const MenuCase& menu_case, std::ostream* out)
{
    *out << menu_case.name;
}

const std::string NOTICE = "http://" CANTOVIA_NOTICE_HOST "/wdesabilitado.htm";
const std::string NO_ITEM = "0 -; 0 -; ";

class WindowMenuItem : public LyricsWindow, public testing::WithParamInterface<MenuCase> {
public:
    using LyricsWindow::host;
    using LyricsWindow::load;
    using LyricsWindow::play_new;
    using LyricsWindow::tick;
    using LyricsWindow::wait_until_shown;

    // How often the item is in each menu, and what stands at its place.
    std::string item_in_menus()
    {
        std::string found;
        const std::pair<HMENU, int32_t> places[] = {{host.menus.main_popup, MAIN_MENU_ITEM_PLACE + offsets[0]},
                                                    {host.menus.window_menu, WINDOW_MENU_ITEM_PLACE + offsets[1]}};
        for (const auto& [menu, place] : places) {
            const std::vector<std::string> items = menu_items(menu);
            const auto ours = std::count_if(items.begin(), items.end(), [](const std::string& item) { return item.rfind("Cantovia", 0) == 0; });
            found += std::to_string(ours) + " " + items.at(static_cast<size_t>(place)) + "; ";
        }
        return found;
    }
    static std::string item(bool checked)
    {
        const std::string text = checked ? "Cantovia (checked)" : "Cantovia";
        return "1 " + text + "; 1 " + text + "; ";
    }
    void choose(UINT message = WM_COMMAND) { host.choose(menu_command(host.menus.main_popup, "Cantovia"), message); }
    bool visible() { return host.lyrics_frame() != nullptr && IsWindowVisible(host.lyrics_frame()); }
    void close() { press_close_button(host.lyrics_frame()); }

    std::vector<int32_t> offsets;
};

TEST_P(WindowMenuItem, FollowsTheUsersChoice)
{
    host.script.version = GetParam().version;
    offsets = {host.menus.main_offset, host.menus.window_offset};
    load();
    const int32_t added = GetParam().version >= FIRST_VERSION_WITH_SERVICES ? 1 : 0;
    EXPECT_EQ(item_in_menus(), added == 1 ? item(false) : NO_ITEM) << "no window yet";
    EXPECT_EQ((std::vector<int32_t>{host.menus.main_offset, host.menus.window_offset}),
              (std::vector<int32_t>{offsets[0] + added, offsets[1] + added}));
    EXPECT_EQ(menu_items(host.menus.main_popup).at(static_cast<size_t>(MAIN_MENU_OPTIONS_PLACE + host.menus.main_offset)), "Options");
    GetParam().use(*this);
    host.quit();
    EXPECT_EQ(item_in_menus(), NO_ITEM);
    EXPECT_EQ((std::vector<int32_t>{host.menus.main_offset, host.menus.window_offset}), offsets);
    EXPECT_TRUE(host.processors.empty());
    EXPECT_EQ(ini_value(PLUGIN_DESCRIPTION, "janela_visivel"), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Uses, WindowMenuItem,
    testing::Values(
        MenuCase{"ChoosingHidesAndShows", CURRENT_PLAYER_VERSION, [](WindowMenuItem& use) {
                     use.play_new("C:\\one.mp3");
                     EXPECT_EQ(use.item_in_menus(), use.item(true));
                     use.choose();
                     EXPECT_FALSE(use.visible());
                     EXPECT_EQ(use.item_in_menus(), use.item(false));
                     use.choose(WM_SYSCOMMAND);
                     EXPECT_TRUE(use.visible());
                     EXPECT_EQ(use.item_in_menus(), use.item(true));
                     EXPECT_EQ(use.wait_until_shown(page_of("C:\\one.mp3")), as_shown(page_of("C:\\one.mp3")));
                 }, "1"},
        MenuCase{"MakesTheWindowWhereThereWasNone", CURRENT_PLAYER_VERSION, [](WindowMenuItem& use) {
                     use.choose();
                     ASSERT_EQ(use.host.frames.size(), 1u);
                     EXPECT_TRUE(use.visible());
                     EXPECT_EQ(use.item_in_menus(), use.item(true));
                     EXPECT_EQ(web_control_location(use.host.lyrics_frame()), L"about:blank");
                     use.play_new("C:\\one.mp3");
                     EXPECT_EQ(use.wait_until_shown(page_of("C:\\one.mp3")), as_shown(page_of("C:\\one.mp3")));
                     EXPECT_EQ(use.host.frames.size(), 1u);
                 }, "1"},
        // Nothing reaches the site while the window is closed; showing it loads the latest page.
        MenuCase{"ClosedStaysClosedAndLoadsNothing", CURRENT_PLAYER_VERSION, [](WindowMenuItem& use) {
                     use.play_new("C:\\one.mp3");
                     ASSERT_EQ(use.wait_until_shown(page_of("C:\\one.mp3")), as_shown(page_of("C:\\one.mp3")));
                     use.close();
                     EXPECT_EQ(use.item_in_menus(), use.item(false));
                     pump_messages_for(300);
                     const size_t seen = lyrics_site_requests().size();
                     use.play_new("C:\\two.mp3");
                     use.play_new("C:\\three.mp3");
                     pump_messages_for(500);
                     EXPECT_FALSE(use.visible());
                     EXPECT_EQ(lyrics_site_requests().size(), seen);
                     EXPECT_EQ(web_control_location(use.host.lyrics_frame()), as_shown(page_of("C:\\one.mp3")));
                     use.choose();
                     EXPECT_TRUE(use.visible());
                     EXPECT_EQ(use.wait_until_shown(page_of("C:\\three.mp3")), as_shown(page_of("C:\\three.mp3")));
                 }, "1"},
        MenuCase{"ClosedAfterARestart", CURRENT_PLAYER_VERSION, [](WindowMenuItem& use) {
                     use.play_new("C:\\one.mp3");
                     use.close();
                     use.host.unload();
                     use.load();
                     EXPECT_EQ(use.item_in_menus(), use.item(false));
                     use.play_new("C:\\two.mp3");
                     EXPECT_EQ(use.host.frames.size(), 1u) << "no window made for a page";
                 }, "0"},
        MenuCase{"Before5_12ComesBackWithTheNextTrack", FIRST_VERSION_WITH_SERVICES - 1, [](WindowMenuItem& use) {
                     use.play_new("C:\\one.mp3");
                     use.close();
                     use.play_new("C:\\two.mp3");
                     EXPECT_TRUE(use.visible());
                 }, "<missing>"},
        // Over the desktop never: the page loads, the window shows with the player.
        MenuCase{"OkInTheTrayShowsAtRestore", CURRENT_PLAYER_VERSION, [](WindowMenuItem& use) {
                     use.host.minimise_to_tray();
                     run_config_dialog(use.host, {[](HWND dialog) {
                                           click_item(dialog, IDC_ENABLED);
                                           click_item(dialog, IDC_OK_BUTTON);
                                       }});
                     EXPECT_EQ(use.wait_until_shown(NOTICE), as_shown(NOTICE));
                     use.tick();
                     EXPECT_FALSE(use.visible());
                     use.host.restore();
                     use.tick();
                     EXPECT_TRUE(use.visible());
                     EXPECT_EQ(use.item_in_menus(), use.item(true));
                 }, "1"},
        // The player shows its windows again with it: the first tick hides the closed one.
        MenuCase{"ClosedWhileMinimisedStaysClosed", CURRENT_PLAYER_VERSION, [](WindowMenuItem& use) {
                     use.play_new("C:\\one.mp3");
                     use.host.minimise();
                     use.choose();
                     use.host.restore();
                     use.tick();
                     EXPECT_FALSE(use.visible());
                 }, "0"}),
    [](const testing::TestParamInfo<MenuCase>& case_info) { return std::string(case_info.param.name); });

// Where no lyrics window can be had, or the user prefers the web browser, or the player is older
// than 5.0: the pages go where they went before, and which way is decided once.
struct Fallback {
    const char* name;
    int32_t version;
    intptr_t frame_answer;   // instead of a frame, when not 0
    bool no_atl;
    bool web_control_fails;
    const char* navegador;   // written to the ini file when not null
    bool asks_for_frame;     // on the first page
};

void PrintTo(const Fallback& fallback, std::ostream* out)
{
    *out << fallback.name;
}

class PagesWithoutLyricsWindow : public LyricsWindow, public testing::WithParamInterface<Fallback> {};

TEST_P(PagesWithoutLyricsWindow, GoWhereTheyWentBefore)
{
    const Fallback& fallback = GetParam();
    host.script.version = fallback.version;
    host.script.frame_answer = fallback.frame_answer;
    host.script.no_atl = fallback.no_atl;
    host.script.web_control_fails = fallback.web_control_fails;
    if (fallback.navegador != nullptr) {
        write_setting("navegador", fallback.navegador);
    }
    load();
    const std::vector<std::string> paths = {"C:\\one.mp3", "C:\\two.mp3"};
    for (size_t page = 0; page < paths.size(); ++page) {
        play_new(paths[page]);
        EXPECT_EQ(host.request_codes(), new_track_requests(fallback.version, fallback.asks_for_frame && page == 0 ? FRAME_ONLY : NO_WINDOW,
                                                           fallback.version >= FIRST_VERSION_WITHOUT_MINIBROWSER))
            << paths[page];
        // The focus back where the old player's mini-browser took it from, and nowhere else moved.
        EXPECT_EQ(host.focus_calls, host.has_minibrowser() ? static_cast<int>(page + 1) : 0);
    }
    EXPECT_EQ(plugin_windows_in_process(), 0u);
    host.quit();
    EXPECT_EQ(place_in_ini(), std::vector<std::string>(4, "<missing>"));
    for (const ProfileWrite& write : host.profile_writes) {
        EXPECT_NE(write.key, "navegador") << "the choice is the user's alone";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Players, PagesWithoutLyricsWindow,
    testing::Values(
        Fallback{"NoServiceAnswersOne", CURRENT_PLAYER_VERSION, UNKNOWN_REQUEST_ANSWER, false, false, nullptr, true},
        Fallback{"AnswerNotAWindow", CURRENT_PLAYER_VERSION, 0x5A5A0, false, false, nullptr, true},
        // The control is tried first: a player is left no frame.
        Fallback{"NoAtl", CURRENT_PLAYER_VERSION, 0, true, false, nullptr, false},
        Fallback{"NoControl", CURRENT_PLAYER_VERSION, 0, false, true, nullptr, false},
        Fallback{"NavegadorSetting", CURRENT_PLAYER_VERSION, 0, false, false, "1", false},
        Fallback{"OldPlayer2_91", OLD_PLAYER_VERSION, 0, false, false, nullptr, false},
        // The service without the need: the mini-browser still shows the pages.
        Fallback{"OldPlayer4FFFWithTheService", 0x4FFF, 0, false, false, nullptr, false},
        Fallback{"OldPlayer2_91WithNavegador0", OLD_PLAYER_VERSION, 0, false, false, "0", false}),
    [](const testing::TestParamInfo<Fallback>& case_info) { return std::string(case_info.param.name); });

// The place of the ini file where the user can reach it (100 pixels of the width and half the
// height of the title bar's top 16 rows on one monitor), else beside the player's main window: on
// its right, on its left, or moved onto the screen. The stand-in's screen is one monitor of
// 1024 x 768, its work area all of it, unless the case gives the monitors the plug-in finds.
struct Place {
    const char* name;
    const char* edges[4]; // left, top, right, bottom; null: the key is missing
    RECT player;          // the player's main window
    const char* expected; // the frame's "left,top,right,bottom"
    std::vector<RECT> monitors = {};
};

void PrintTo(const Place& place, std::ostream* out)
{
    *out << place.name;
}

std::string rect_text(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

class WindowPlace : public LyricsWindow, public testing::WithParamInterface<Place> {};

TEST_P(WindowPlace, FromTheIniFileOrBesideThePlayer)
{
    const char* keys[] = {"janela_esquerda", "janela_topo", "janela_direita", "janela_base"};
    for (size_t i = 0; i < 4; ++i) {
        if (GetParam().edges[i] != nullptr) {
            write_setting(keys[i], GetParam().edges[i]);
        }
    }
    host.script.monitors = GetParam().monitors;
    const RECT& player = GetParam().player;
    SetWindowPos(host.window(), nullptr, player.left, player.top, player.right - player.left,
                 player.bottom - player.top, SWP_NOZORDER | SWP_NOACTIVATE);
    load();
    play_new("C:\\one.mp3");
    ASSERT_NE(host.lyrics_frame(), nullptr);
    RECT frame = {};
    GetWindowRect(host.lyrics_frame(), &frame);
    EXPECT_EQ(rect_text(frame), GetParam().expected);
}

constexpr RECT PLAYER = {40, 40, 360, 160}; // the stand-in's own place
constexpr char RIGHT_OF_PLAYER[] = "360,40,840,400";

INSTANTIATE_TEST_SUITE_P(
    Places, WindowPlace,
    testing::Values(Place{"Saved", {"100", "120", "500", "420"}, PLAYER, "100,120,500,420"},
                    Place{"SmallestFrame", {"100", "120", "375", "236"}, PLAYER, "100,120,375,236"},
                    Place{"PartlyOnScreen", {"-100", "50", "300", "350"}, PLAYER, "-100,50,300,350"},
                    Place{"Missing", {nullptr, nullptr, nullptr, nullptr}, PLAYER, RIGHT_OF_PLAYER},
                    Place{"OneKeyMissing", {"100", "120", "500", nullptr}, PLAYER, RIGHT_OF_PLAYER},
                    Place{"Empty", {"", "", "", ""}, PLAYER, RIGHT_OF_PLAYER},
                    Place{"NotNumbers", {"left", "top", "right", "bottom"}, PLAYER, RIGHT_OF_PLAYER},
                    Place{"NarrowerThanTheFrame", {"100", "120", "374", "420"}, PLAYER, RIGHT_OF_PLAYER},
                    Place{"LowerThanTheFrame", {"100", "120", "500", "235"}, PLAYER, RIGHT_OF_PLAYER},
                    Place{"Inverted", {"500", "420", "100", "120"}, PLAYER, RIGHT_OF_PLAYER},
                    Place{"OffEveryMonitor", {"-5000", "-5000", "-4500", "-4600"}, PLAYER, RIGHT_OF_PLAYER},
                    Place{"Huge", {"-2147483647", "-2147483647", "2147483647", "2147483647"}, PLAYER, RIGHT_OF_PLAYER},
                    // Places a monitor undocked since leaves with the title bar out of reach.
                    Place{"CornerOnScreen", {"-460", "-340", "20", "20"}, PLAYER, RIGHT_OF_PLAYER},
                    Place{"TitleBarAboveTheScreen", {"100", "-355", "580", "5"}, PLAYER, RIGHT_OF_PLAYER},
                    Place{"FourPixelsOnTheRight", {"1020", "100", "1500", "460"}, PLAYER, RIGHT_OF_PLAYER},
                    // Beside a player near the right edge: on its left.
                    Place{"LeftOfThePlayer", {nullptr, nullptr, nullptr, nullptr}, {700, 40, 1020, 160}, "220,40,700,400"},
                    // Neither side reachable: moved onto the screen.
                    Place{"MaximisedPlayer", {nullptr, nullptr, nullptr, nullptr}, {-4, -4, 1028, 772}, "544,0,1024,360"},
                    Place{"PlayerAsWideAsTheScreen", {nullptr, nullptr, nullptr, nullptr}, {0, 40, 1024, 400}, "544,40,1024,400"},
                    Place{"PlayerAwayOffScreen", {nullptr, nullptr, nullptr, nullptr}, {3000, 3000, 3320, 3120}, "544,408,1024,768"},
                    // Title bars across two monitors, each holding half of its rows: kept.
                    Place{"AcrossStackedMonitors", {"100", "760", "580", "1120"}, PLAYER, "100,760,580,1120",
                          {{0, 0, 1024, 768}, {0, 768, 1024, 1536}}},
                    Place{"AcrossMonitorsWithOtherTops", {"950", "92", "1450", "452"}, PLAYER, "950,92,1450,452",
                          {{0, 0, 1024, 768}, {1024, 100, 2048, 868}}},
                    Place{"OnAMonitorGoneSince", {"1200", "200", "1680", "560"}, PLAYER, RIGHT_OF_PLAYER,
                          {{0, 0, 1024, 768}}},
                    Place{"BesideAPlayerOnTheSecondMonitor", {nullptr, nullptr, nullptr, nullptr}, {1700, 300, 2020, 420},
                          "1220,300,1700,660", {{0, 0, 1024, 768}, {1024, 100, 2048, 868}}}),
    [](const testing::TestParamInfo<Place>& case_info) { return std::string(case_info.param.name); });

// Each new frame (after the player destroyed the last one, at a skin change) goes where the user
// left the last one, if the title bar can still be grabbed there. The player gets the record as
// the last frame left it, its tail clear but for the GUID: the skin's state there was the last
// frame's.
struct Moved {
    const char* name;
    RECT to;
    const char* expected;
};

void PrintTo(const Moved& moved, std::ostream* out)
{
    *out << moved.name;
}

class NextFrame : public LyricsWindow, public testing::WithParamInterface<Moved> {};

TEST_P(NextFrame, GoesWhereTheUserLeftTheLastIfReachable)
{
    load();
    play_new("C:\\one.mp3");
    ASSERT_NE(host.lyrics_frame(), nullptr);
    const RECT& to = GetParam().to;
    SetWindowPos(host.lyrics_frame(), nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(host.lyrics_frame());
    play_new("C:\\two.mp3");
    ASSERT_EQ(host.frames.size(), 2u);
    ASSERT_NE(host.lyrics_frame(), nullptr);
    RECT frame = {};
    GetWindowRect(host.lyrics_frame(), &frame);
    EXPECT_EQ(rect_text(frame), GetParam().expected);

    const EmbeddedWindowState& record = host.frame_records.back();
    EXPECT_EQ(rect_text(record.r), GetParam().expected);
    EXPECT_EQ(record.flags, EMBEDDED_FLAG_HAS_GUID);
    EXPECT_EQ(record.me, nullptr);
    GUID guid = {};
    std::memcpy(&guid, &record.tail[EMBEDDED_GUID_INDEX], sizeof guid);
    const GUID first_guid = [&] {
        GUID first = {};
        std::memcpy(&first, &host.frame_records.front().tail[EMBEDDED_GUID_INDEX], sizeof first);
        return first;
    }();
    EXPECT_TRUE(IsEqualGUID(guid, first_guid)) << "the same GUID for every frame";
    EXPECT_NE(guid.Data1, 0u);
    for (size_t i = 0; i < EMBEDDED_TAIL_COUNT; ++i) {
        if (i < EMBEDDED_GUID_INDEX || i >= EMBEDDED_GUID_INDEX + sizeof(GUID) / sizeof(intptr_t)) {
            EXPECT_EQ(record.tail[i], 0) << "tail word " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Moves, NextFrame,
                         testing::Values(Moved{"OnScreen", {200, 150, 650, 500}, "200,150,650,500"},
                                         Moved{"AwayOffScreen", {-5000, -5000, -4550, -4650}, RIGHT_OF_PLAYER}),
                         [](const testing::TestParamInfo<Moved>& case_info) { return std::string(case_info.param.name); });

// A 5.9 player destroys its main window, and the frame with it, before quit; at a session's end
// quit comes first. Either way quit leaves no window and no class of the plug-in's, and nothing
// of the plug-in runs once it is unloaded while the player goes on pumping messages.
struct Exit {
    const char* name;
    bool main_window_first;
    bool skin_hosts_frame; // a skin engine made the frame its child: its place is the skin's
};

void PrintTo(const Exit& exit, std::ostream* out)
{
    *out << exit.name;
}

class PlayerExit : public LyricsWindow, public testing::WithParamInterface<Exit> {};

TEST_P(PlayerExit, LeavesNoWindowAndSavesThePlace)
{
    load();
    play_new("C:\\one.mp3");
    ASSERT_EQ(wait_until_shown(page_of("C:\\one.mp3")), as_shown(page_of("C:\\one.mp3")));
    HWND frame = host.lyrics_frame();
    // The user moves the frame; the player follows it in the record.
    SetWindowPos(frame, nullptr, 210, 160, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    if (GetParam().skin_hosts_frame) {
        SetWindowLongPtrA(frame, GWL_STYLE, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN);
        SetParent(frame, host.window());
    }
    if (GetParam().main_window_first) {
        host.close_main_window();
        EXPECT_FALSE(IsWindow(frame));
    }
    host.profile_writes.clear();
    host.quit();
    EXPECT_TRUE(host.processors.empty()) << "a processor left after quit";
    EXPECT_EQ(host.applications_released, host.applications_made);
    std::vector<std::string> keys_written;
    for (const ProfileWrite& write : host.profile_writes) {
        keys_written.push_back(write.key);
    }
    std::vector<std::string> expected_keys = {"habilitado", "lingua", "last_shortdesc", "last_shorturl"};
    if (!GetParam().skin_hosts_frame) {
        expected_keys.insert(expected_keys.end(), {"janela_esquerda", "janela_topo", "janela_direita", "janela_base"});
    }
    expected_keys.push_back("janela_visivel");
    EXPECT_EQ(keys_written, expected_keys) << "the window's place after the settings";
    WNDCLASSA registered = {};
    EXPECT_FALSE(GetClassInfoA(host.module(), CONTAINER_CLASS, &registered)) << "the class stays registered";
    EXPECT_EQ(plugin_windows_in_process(), 0u);
    const std::vector<std::string> moved = {"210", "160", "610", "460"};
    EXPECT_EQ(place_in_ini(), GetParam().skin_hosts_frame ? std::vector<std::string>(4, "<missing>") : moved);
    host.forget_requests();
    host.unload();
    PostMessageW(host.window(), WM_KEYDOWN, 'A', 0);
    pump_messages_for(300);
    EXPECT_TRUE(host.requests.empty());
    EXPECT_EQ(plugin_windows_in_process(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Orders, PlayerExit,
                         testing::Values(Exit{"MainWindowThenQuit", true, false}, Exit{"QuitFirst", false, false},
                                         Exit{"QuitFirstWithSkin", false, true}),
                         [](const testing::TestParamInfo<Exit>& case_info) { return std::string(case_info.param.name); });

// What a modal loop inside one of the plug-in's calls (the tick's, or init's: the service and menu
// requests) dispatches besides the timer: the user closing
// the player (quit), or pressing OK in the configuration dialog with the lookup left off. After
// quit no window of the plug-in's is left or made, and the player goes on once it has freed the
// DLL; OK's notice page goes to the one lyrics window, and the page that arrived last shows last.
struct LoopCall {
    const char* name;
    int32_t inside; // the request, or REENTER_IN_CONTROL_CREATION
    ModalLoopCall call;
    bool stream = false; // a station's song, which opens its page on the second tick
    int32_t version = CURRENT_PLAYER_VERSION;
};

void PrintTo(const LoopCall& loop_call, std::ostream* out)
{
    *out << loop_call.name;
}

class InsideAModalLoop : public LyricsWindow, public testing::WithParamInterface<LoopCall> {};

TEST_P(InsideAModalLoop, QuitLeavesNoWindowAndOkShowsTheLastPage)
{
    host.script.reenter_in = GetParam().inside;
    host.script.reenter_call = GetParam().call;
    host.script.version = GetParam().version;
    const std::vector<int32_t> offsets = {host.menus.main_offset, host.menus.window_offset};
    load();
    if (host.timer_running()) { // the player quit inside init: its timer calls nothing more
        if (GetParam().stream) {
            play(add_entry("http://radio.example/live", "", -1));
            host.script.playlist.back().stream_moments = {{"Band - One (Radio)", "Band - One"}};
            tick();
            tick();
        } else {
            play_new("C:\\one.mp3");
        }
    }
    ASSERT_EQ(host.script.reenter_in, 0) << "no modal loop ran";
    if (GetParam().call == ModalLoopCall::quit) {
        EXPECT_EQ(host.requests.size(), host.requests_at_quit) << "requests after quit";
        EXPECT_EQ(menu_command(host.menus.main_popup, "Cantovia") + menu_command(host.menus.window_menu, "Cantovia"), 0u);
        EXPECT_EQ((std::vector<int32_t>{host.menus.main_offset, host.menus.window_offset}), offsets);
        EXPECT_EQ(plugin_windows_in_process(), 0u);
        EXPECT_TRUE(host.processors.empty()) << "a processor left after quit";
        EXPECT_EQ(host.applications_released, host.applications_made);
        WNDCLASSA registered = {};
        EXPECT_FALSE(GetClassInfoA(host.module(), CONTAINER_CLASS, &registered)) << "the class stays registered";
        play_new("C:\\two.mp3");
        EXPECT_EQ(host.request_codes(), (std::vector<int32_t>{IPC_INETAVAILABLE, IPC_GETOUTPUTTIME}));
        EXPECT_EQ(plugin_windows_in_process(), 0u);
        host.unload();
        for (HWND window : process_windows()) {
            SendMessageA(window, WM_NULL, 0, 0); // crashes where the window's procedure was freed
        }
        pump_messages_for(300);
        return;
    }
    if (GetParam().call == ModalLoopCall::destroy_frame) {
        // The window went with its frame, inside its own making; the next track makes one anew.
        EXPECT_EQ(plugin_windows_in_process(), 0u);
        play_new("C:\\two.mp3");
        EXPECT_EQ(wait_until_shown(page_of("C:\\two.mp3")), as_shown(page_of("C:\\two.mp3")));
        EXPECT_EQ(windows_of_class_in_process(CONTAINER_CLASS), 1u);
        return;
    }
    // The page begun last is the last: OK's notice, but where OK came before the track's page.
    const std::string notice = "http://" CANTOVIA_NOTICE_HOST "/wdesabilitado.htm";
    const std::string last = GetParam().inside == IPC_GET_EXTENDED_FILE_INFO ? page_of("C:\\one.mp3") : notice;
    EXPECT_EQ(host.opened_pages().back(), last) << "the mini-browser's last";
    if (host.has_minibrowser()) {
        return;
    }
    const std::vector<int32_t> codes = host.request_codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), IPC_GET_EMBEDDED_FRAME), 1);
    EXPECT_EQ(host.frames.size(), 1u);
    EXPECT_EQ(windows_of_class_in_process(CONTAINER_CLASS), 1u);
    EXPECT_EQ(windows_of_class_in_process(WEB_CONTROL_CLASS), 1u);
    EXPECT_EQ(host.processors.size(), 1u);
    EXPECT_EQ(wait_until_shown(last), as_shown(last));
    pump_messages_for(300);
    EXPECT_EQ(web_control_location(host.lyrics_frame()), as_shown(last)) << "a page after the last";
    destroy_frame_and_expect_the_control_released(host);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, InsideAModalLoop,
    testing::Values(LoopCall{"QuitInsideTheFrameRequest", IPC_GET_EMBEDDED_FRAME, ModalLoopCall::quit},
                    LoopCall{"QuitInsideTheControlsCreation", REENTER_IN_CONTROL_CREATION, ModalLoopCall::quit},
                    LoopCall{"QuitInsideTheFileInfoRequest", IPC_GET_EXTENDED_FILE_INFO, ModalLoopCall::quit},
                    LoopCall{"QuitInsideTheStreamsSongRequest", IPC_GET_EXTENDED_FILE_INFO, ModalLoopCall::quit, true},
                    LoopCall{"QuitInsideTheMiniBrowserRequest", IPC_MBOPENREAL, ModalLoopCall::quit},
                    LoopCall{"FrameDestroyedInsideItsTitle", REENTER_IN_FRAME_MESSAGE, ModalLoopCall::destroy_frame},
                    LoopCall{"FrameDestroyedInsideNavigate2", REENTER_IN_NAVIGATION, ModalLoopCall::destroy_frame},
                    LoopCall{"QuitInsideTheServiceRequest", IPC_GET_SERVICES, ModalLoopCall::quit},
                    LoopCall{"QuitInsideTheWindowMenuRequest", IPC_WINDOW_MENU_OFFSET, ModalLoopCall::quit},
                    LoopCall{"OkInsideTheFrameRequest", IPC_GET_EMBEDDED_FRAME, ModalLoopCall::ok_with_lookup_off},
                    LoopCall{"OkInsideTheControlsCreation", REENTER_IN_CONTROL_CREATION, ModalLoopCall::ok_with_lookup_off},
                    LoopCall{"OkInsideTheFileInfoRequest", IPC_GET_EXTENDED_FILE_INFO, ModalLoopCall::ok_with_lookup_off},
                    LoopCall{"OkInsideTheMiniBrowserRequest", IPC_MBOPENREAL, ModalLoopCall::ok_with_lookup_off},
                    LoopCall{"OkInsideTheOldPlayersMiniBrowserRequest", IPC_MBBLOCK, ModalLoopCall::ok_with_lookup_off, false,
                             OLD_PLAYER_VERSION}),
    [](const testing::TestParamInfo<LoopCall>& case_info) { return std::string(case_info.param.name); });

// Keys in the lyrics window while its frame is the player's active dialog: on a player with the
// service objects, the window's processor hands them to the web control's window (after its own
// key handling, spied on here, was offered them); without, the dialog handling turns Tab, Enter
// and the arrows into navigation. The focus, given to the frame or by a click, goes into the
// control.
struct KeyPlayer {
    const char* name;
    int32_t version;
    bool no_services;
    bool processor; // the plug-in added one
};

void PrintTo(const KeyPlayer& player, std::ostream* out)
{
    *out << player.name;
}

// What the web control's window and its key handling received, in order: "key 9", "char 120",
// "offered 67".
std::vector<std::string> key_log;
WNDPROC control_window_proc = nullptr;
using TranslateAcceleratorMethod = HRESULT(STDMETHODCALLTYPE*)(IOleInPlaceActiveObject*, LPMSG);
TranslateAcceleratorMethod control_translate_accelerator = nullptr;
constexpr WPARAM KEY_THE_CONTROL_TAKES = 'C'; // as the control takes Ctrl+C to copy

LRESULT CALLBACK logging_control_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_KEYDOWN || message == WM_CHAR) {
        key_log.push_back((message == WM_KEYDOWN ? "key " : "char ") + std::to_string(wparam));
    }
    return CallWindowProcW(control_window_proc, window, message, wparam, lparam);
}

HRESULT STDMETHODCALLTYPE spying_translate_accelerator(IOleInPlaceActiveObject* self, LPMSG message)
{
    if (message->message == WM_KEYDOWN) {
        key_log.push_back("offered " + std::to_string(message->wParam));
    }
    const HRESULT own = control_translate_accelerator(self, message);
    return message->message == WM_KEYDOWN && message->wParam == KEY_THE_CONTROL_TAKES ? S_OK : own;
}

// Points the TranslateAccelerator entry of `object`'s table at `replacement`; returns the old one.
TranslateAcceleratorMethod patch_translate_accelerator(IOleInPlaceActiveObject* object, TranslateAcceleratorMethod replacement)
{
    constexpr size_t TRANSLATE_ACCELERATOR_ENTRY = 5; // after IUnknown's three and IOleWindow's two
    void** table = *reinterpret_cast<void***>(object);
    TranslateAcceleratorMethod old = nullptr;
    DWORD protection = 0;
    VirtualProtect(&table[TRANSLATE_ACCELERATOR_ENTRY], sizeof(void*), PAGE_READWRITE, &protection);
    std::memcpy(&old, &table[TRANSLATE_ACCELERATOR_ENTRY], sizeof old);
    std::memcpy(&table[TRANSLATE_ACCELERATOR_ENTRY], &replacement, sizeof replacement);
    VirtualProtect(&table[TRANSLATE_ACCELERATOR_ENTRY], sizeof(void*), protection, &protection);
    return old;
}

class LyricsWindowKeys : public LyricsWindow, public testing::WithParamInterface<KeyPlayer> {};

TEST_P(LyricsWindowKeys, ReachTheControlAsInABrowser)
{
    host.script.version = GetParam().version;
    host.script.no_services = GetParam().no_services;
    load();
    play_new("C:\\one.mp3");
    ASSERT_EQ(wait_until_shown(page_of("C:\\one.mp3")), as_shown(page_of("C:\\one.mp3")));
    EXPECT_EQ(host.processors.size(), GetParam().processor ? 1u : 0u);
    HWND frame = host.lyrics_frame();
    SetActiveWindow(frame);
    ASSERT_EQ(active_embedded_frame(), frame);
    HWND inner = windows_of_class(frame, WEB_CONTROL_CLASS).at(0);
    while (HWND child = GetWindow(inner, GW_CHILD)) {
        inner = child;
    }
    EXPECT_EQ(GetFocus(), inner) << "the focus in the control";
    SetFocus(host.window());
    SendMessageW(inner, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(GetFocus(), inner) << "a click puts the focus in the control";

    IWebBrowser2* control = browser_of_control(windows_of_class(frame, WEB_CONTROL_CLASS).at(0));
    ASSERT_NE(control, nullptr);
    void* found = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IOleInPlaceActiveObject, &found), S_OK);
    auto* active_object = static_cast<IOleInPlaceActiveObject*>(found);
    control_translate_accelerator = patch_translate_accelerator(active_object, spying_translate_accelerator);
    control_window_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(inner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(logging_control_proc)));
    key_log.clear();
    // X is typed: its character comes of the key's translation.
    for (WPARAM key : {WPARAM{VK_TAB}, WPARAM{VK_RETURN}, WPARAM{VK_DOWN}, KEY_THE_CONTROL_TAKES, WPARAM{'X'}}) {
        PostMessageW(inner, WM_KEYDOWN, key, 0);
    }
    pump_messages_for(200);
    SetWindowLongPtrW(inner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control_window_proc));
    patch_translate_accelerator(active_object, control_translate_accelerator);
    active_object->Release();
    control->Release();

    if (GetParam().processor) {
        // Each key offered to the control first, the one it took not dispatched; the characters
        // of the translated keys after the keys.
        EXPECT_EQ(key_log, (std::vector<std::string>{"offered 9", "key 9", "offered 13", "key 13", "offered 40", "key 40",
                                                     "offered 67", "offered 88", "key 88", "char 9", "char 13", "char 120"}));
    } else {
        for (const char* navigation : {"key 9", "key 13", "key 40"}) {
            EXPECT_EQ(std::find(key_log.begin(), key_log.end(), navigation), key_log.end()) << navigation;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Players, LyricsWindowKeys,
    testing::Values(KeyPlayer{"WithTheServices", CURRENT_PLAYER_VERSION, false, true},
                    KeyPlayer{"Before5_12", FIRST_VERSION_WITH_SERVICES - 1, false, false},
                    KeyPlayer{"AnsweringOne", CURRENT_PLAYER_VERSION, true, false}),
    [](const testing::TestParamInfo<KeyPlayer>& case_info) { return std::string(case_info.param.name); });

// What the processor leaves to the player: every message but a key to the lyrics window's own
// windows, and Ctrl+Tab, and but its menu item's command to the main window; and every key once
// the player destroyed the window.
struct Offer {
    const char* name;
    bool to_main_window; // else to the control's window
    UINT message;
    WPARAM key; // or the command; ITEM_COMMAND: the menu item's
    bool control_held;
    bool frame_destroyed;
    bool taken;
};

constexpr WPARAM ITEM_COMMAND = 0;

void PrintTo(const Offer& offer, std::ostream* out)
{
    *out << offer.name;
}

class ProcessorOffer : public LyricsWindow, public testing::WithParamInterface<Offer> {};

TEST_P(ProcessorOffer, TakesOnlyKeysOfItsOwnWindows)
{
    load();
    play_new("C:\\one.mp3");
    ASSERT_EQ(host.processors.size(), 1u);
    HWND control_window = windows_of_class(host.lyrics_frame(), WEB_CONTROL_CLASS).at(0);
    if (GetParam().frame_destroyed) {
        DestroyWindow(host.lyrics_frame());
    }
    BYTE keyboard[256] = {};
    GetKeyboardState(keyboard);
    const BYTE control_before = keyboard[VK_CONTROL];
    keyboard[VK_CONTROL] = GetParam().control_held ? 0x80 : 0;
    SetKeyboardState(keyboard);
    const WPARAM key = GetParam().key == ITEM_COMMAND ? menu_command(host.menus.main_popup, "Cantovia") : GetParam().key;
    MSG message = {GetParam().to_main_window ? host.window() : control_window, GetParam().message, key, 0, 0, {}};
    EXPECT_EQ(host.offer_to_processors(message), GetParam().taken);
    keyboard[VK_CONTROL] = control_before;
    SetKeyboardState(keyboard);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ProcessorOffer,
    testing::Values(Offer{"KeyToTheControl", false, WM_KEYDOWN, 'A', false, false, true},
                    Offer{"CharacterToTheControl", false, WM_CHAR, 'a', false, false, true},
                    Offer{"KeyToThePlayer", true, WM_KEYDOWN, 'A', false, false, false},
                    Offer{"MouseOnTheControl", false, WM_LBUTTONDOWN, 0, false, false, false},
                    Offer{"AltKeyOnTheControl", false, WM_SYSKEYDOWN, 'F', false, false, false},
                    Offer{"CtrlTabOnTheControl", false, WM_KEYDOWN, VK_TAB, true, false, false},
                    Offer{"KeyAfterThePlayerDestroyedTheWindow", false, WM_KEYDOWN, 'A', false, true, false},
                    Offer{"ItemCommandToThePlayer", true, WM_COMMAND, ITEM_COMMAND, false, false, true},
                    Offer{"ItemCommandToTheControl", false, WM_COMMAND, ITEM_COMMAND, false, false, false},
                    Offer{"PlayersOwnCommand", true, WM_SYSCOMMAND, SC_CLOSE, false, false, false}),
    [](const testing::TestParamInfo<Offer>& case_info) { return std::string(case_info.param.name); });

// Ticks never wait for the site: with a site that records every request and answers none, each
// new-track tick still returns with the requests it makes against a site that answers, its
// page's request goes out all the same, and the idle ticks after it are as ever.
TEST_F(LyricsWindow, SiteThatNeverAnswersLeavesTheTicksAsTheyWere)
{
    if (!lyrics_site_running()) {
        GTEST_SKIP() << lyrics_site_unavailable_reason();
    }
    struct SilentSite {
        SilentSite() { set_lyrics_site_silent(true); }
        ~SilentSite() { set_lyrics_site_silent(false); }
    } silent_site;
    load();
    const size_t seen = lyrics_site_requests().size();
    const std::vector<std::string> paths = {"C:\\hung-1.mp3", "C:\\hung-2.mp3", "C:\\hung-3.mp3"};
    for (size_t i = 0; i < paths.size(); ++i) {
        const DWORD start = GetTickCount();
        play_new(paths[i]);
        const DWORD tick_ms = GetTickCount() - start;
        // The first page makes the window and its control; a later page's tick that waited
        // for the site would take seconds, a loaded machine a few milliseconds.
        if (i > 0) {
            EXPECT_LT(tick_ms, LATER_PAGE_TICK_MS) << paths[i];
        }
        EXPECT_EQ(host.request_codes(), new_track_requests(host.script.version, i == 0 ? FRAME_ONLY : NO_WINDOW, false))
            << paths[i];
        ASSERT_TRUE(wait_for_site_requests(seen + i + 1, SITE_TIMEOUT_MS)) << paths[i];
        for (int idle = 0; idle < 2; ++idle) {
            EXPECT_TRUE(tick().empty());
            EXPECT_EQ(host.request_codes(), IDLE_TICK) << paths[i];
        }
    }
    EXPECT_EQ(lyrics_site_requests().back().value("a"), paths.back());
    EXPECT_EQ(host.frames.size(), 1u);
}

// Against a site that answers and closes its connections, as the stand-in does.
TEST_F(LyricsWindow, AThousandTracksKeepOneWindowAndFlatCounts)
{
    if (!lyrics_site_running()) {
        GTEST_SKIP() << lyrics_site_unavailable_reason();
    }
    load();
    int track = 0;
    auto play_tracks = [&](int count) {
        for (int i = 0; i < count; ++i, ++track) {
            play_new("C:\\track" + std::to_string(track) + ".mp3");
            pump_messages_for(1);
        }
        // Until the last page has reached the site and the control has settled. The site may
        // record an earlier page after it: requests still in flight finish in any order.
        const std::string last = "C:\\track" + std::to_string(track - 1) + ".mp3";
        const auto last_arrived = [&] {
            for (const SiteRequest& request : lyrics_site_requests()) {
                if (request.value("a") == last) {
                    return true;
                }
            }
            return false;
        };
        pump_messages_until(last_arrived, SITE_TIMEOUT_MS);
        EXPECT_TRUE(last_arrived()) << last;
        EXPECT_EQ(wait_until_shown(page_of(last)), as_shown(page_of(last)));
        pump_messages_for(500);
    };
    play_tracks(50);
    const size_t handles = process_handles();
    const size_t threads = process_threads();
    const size_t windows = process_windows().size();
    const size_t seen = lyrics_site_requests().size();
    play_tracks(1000);
    EXPECT_EQ(host.frames.size(), 1u);
    EXPECT_EQ(windows_of_class_in_process(WEB_CONTROL_CLASS), 1u);
    // Flat: a leak of one a page would add a thousand. The web control's own pools grow with
    // the load (measured here over 1,000 pages: 1 to 16 more threads, 2 to 17 more handles), and
    // the threads and handles of requests it still finishes go later on a loaded machine: allow
    // a tenth of the pages, and wait for them as long as for a page.
    constexpr size_t POOL_GROWTH = 100;
    const auto flat = [&] {
        return process_handles() <= handles + POOL_GROWTH && process_threads() <= threads + POOL_GROWTH &&
               process_windows().size() == windows;
    };
    pump_messages_until(flat, SITE_TIMEOUT_MS);
    std::printf("after 50 tracks: %zu handles, %zu threads, %zu windows; after 1,050: %zu, %zu, %zu; "
                "the site received %zu of the last 1,000 pages\n",
                handles, threads, windows, process_handles(), process_threads(), process_windows().size(),
                lyrics_site_requests().size() - seen);
    EXPECT_LE(process_handles(), handles + POOL_GROWTH);
    EXPECT_LE(process_threads(), threads + POOL_GROWTH);
    EXPECT_EQ(process_windows().size(), windows);
}

} // namespace
