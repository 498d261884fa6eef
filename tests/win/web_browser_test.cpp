// Pages on both kinds of player: one before 5.0 that shows them in its mini-browser, and one
// of today's without it, which also receives each page as UTF-16 text to open in the system's
// web browser (here chosen over the lyrics window by the setting `navegador`, as when no lyrics
// window can be had: lyrics_window_test.cpp). Everything else the plug-in sends is the same on
// both.
#include "tests/win/plugin_fixture.h"

#include "build_config.h"
#include "common/bounded_text.h"
#include "player/dialog_driver.h"
#include "resources/resource.h"

namespace {

const std::string PORTUGUESE = "http://" CANTOVIA_SITE_PT "/winamp.php?a=";
const std::string NOTICE_PAGE = "http://" CANTOVIA_NOTICE_HOST "/wdesabilitado.htm";

// The system's own code page 1252 conversion: what the plug-in's text must equal.
std::wstring windows_utf16(const std::string& text)
{
    if (text.empty()) {
        return {};
    }
    std::wstring wide(text.size(), L'\0');
    const int length = static_cast<int>(text.size());
    EXPECT_EQ(MultiByteToWideChar(1252, 0, text.data(), length, wide.data(), length), length);
    return wide;
}

TEST(Cp1252CrossCheck, EveryByteAsTheSystemConvertsIt)
{
    for (unsigned byte = 0; byte <= 0xFF; ++byte) {
        const char narrow = static_cast<char>(byte);
        WCHAR wide = 0x5A5A;
        ASSERT_EQ(MultiByteToWideChar(1252, 0, &narrow, 1, &wide, 1), 1) << std::hex << byte;
        EXPECT_EQ(static_cast<unsigned>(utf16_from_cp1252(static_cast<unsigned char>(byte))), static_cast<unsigned>(wide))
            << "byte 0x" << std::hex << byte;
    }
}

TEST(Cp1252CrossCheck, TextOfEveryByteAsTheSystemConvertsIt)
{
    std::string every_byte;
    for (unsigned byte = 1; byte <= 0xFF; ++byte) {
        every_byte += static_cast<char>(byte);
    }
    char16_t wide[256];
    ASSERT_TRUE(text_copy_utf16(wide, every_byte.c_str()));
    const std::wstring expected = windows_utf16(every_byte);
    ASSERT_EQ(std::char_traits<char16_t>::length(wide), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(static_cast<unsigned>(wide[i]), static_cast<unsigned>(expected[i])) << "byte " << i + 1;
    }
}

struct Kind {
    const char* name;
    int32_t version; // the player's answer to the version request
    bool web_browser; // the plug-in also sends its pages with IPC_OPEN_URL
};

void PrintTo(const Kind& kind, std::ostream* out)
{
    *out << kind.name;
}

class PlayerKind : public PluginTest, public testing::WithParamInterface<Kind> {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        host.script.version = GetParam().version;
        write_setting("navegador", "1");
    }

    // The requests a page sends after the mini-browser's four, on this kind of player.
    std::vector<int32_t> page_requests() const
    {
        std::vector<int32_t> codes = {IPC_MBBLOCK, IPC_MBOPEN, IPC_MBOPENREAL, IPC_MBBLOCK};
        if (GetParam().web_browser) {
            codes.push_back(IPC_OPEN_URL);
        }
        return codes;
    }

    // Checks that the page sent to the web browser (if any) is the mini-browser's address.
    void expect_web_page_is(const std::string& address)
    {
        const std::vector<std::wstring> web_pages = host.opened_web_pages();
        if (!GetParam().web_browser) {
            EXPECT_TRUE(web_pages.empty());
            return;
        }
        ASSERT_EQ(web_pages.size(), 1u);
        EXPECT_EQ(web_pages[0], windows_utf16(address));
        for (const RecordedRequest& request : host.requests) {
            if (request.code == IPC_OPEN_URL) {
                EXPECT_NE(request.argument, 0u) << "the player reads the address without a check";
            }
        }
    }
};

TEST_P(PlayerKind, InitAsksTheVersionOnceRightAfterTheIniFile)
{
    play(add_entry("C:\\a.mp3"));
    ASSERT_TRUE(host.load(plugin_dll()));
    EXPECT_EQ(host.request_codes(), (std::vector<int32_t>{IPC_GETINIFILE, IPC_GETVERSION}));
    EXPECT_EQ(host.requests[1].argument, 0u);

    host.forget_requests();
    for (int i = 0; i < 3; ++i) {
        host.tick();
    }
    play(add_entry("C:\\b.mp3"));
    host.tick();
    run_config_dialog(host, {[](HWND dialog) {
                          click_item(dialog, IDC_ENABLED);
                          click_item(dialog, IDC_OK_BUTTON);
                      }});
    host.quit();
    for (int32_t code : host.request_codes()) {
        EXPECT_NE(code, IPC_GETVERSION);
    }
}

TEST_P(PlayerKind, NewTrackTickSendsEveryPageRequestInOrderThenTheFocus)
{
    add_entry("C:\\Music\\Other.mp3");
    play(add_entry("C:\\Music\\Rock & Roll.mp3", "Band - Rock & Roll", 215));
    load();
    const std::string address = PORTUGUESE + "C:\\Music\\Rock e Roll.mp3&t=Band - Rock e Roll&segundos=215";
    EXPECT_EQ(tick(), std::vector<std::string>{address});

    std::vector<int32_t> expected = new_track_queries(GetParam().version);
    for (int32_t code : page_requests()) {
        expected.push_back(code);
    }
    EXPECT_EQ(host.request_codes(), expected);
    const size_t first_page_request = expected.size() - page_requests().size();
    EXPECT_EQ(host.requests[first_page_request].argument, 1u);
    EXPECT_EQ(host.requests[first_page_request + 1].argument, 0u);
    EXPECT_EQ(host.requests[first_page_request + 3].argument, 1u);
    expect_web_page_is(address);
    // The focus back from an old player's mini-browser after every request; a 5.x took none.
    EXPECT_EQ(host.focus_calls, host.has_minibrowser() ? 1 : 0);
    EXPECT_EQ(host.requests_before_focus, host.has_minibrowser() ? expected.size() : 0u);
    EXPECT_EQ(GetFocus(), host.window());
}

TEST_P(PlayerKind, IdleTicksAskNoMoreThanBefore)
{
    play(add_entry("C:\\a.mp3"));
    load();
    ASSERT_EQ(tick().size(), 1u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(tick().empty());
        EXPECT_EQ(host.request_codes(), IDLE_TICK);
    }
    host.minimise();
    play(add_entry("C:\\b.mp3"));
    EXPECT_TRUE(tick().empty());
    EXPECT_EQ(host.request_codes(), (std::vector<int32_t>{IPC_INETAVAILABLE, IPC_GETOUTPUTTIME}));
}

TEST_P(PlayerKind, DialogOkWithTheLookupLeftOffOpensTheNoticePage)
{
    load();
    host.forget_requests();
    const DialogRun run = run_config_dialog(host, {[](HWND dialog) {
                                                click_item(dialog, IDC_ENABLED);
                                                click_item(dialog, IDC_OK_BUTTON);
                                            }});
    ASSERT_TRUE(run.opened);
    EXPECT_FALSE(run.forced_end);
    std::vector<int32_t> expected = {IPC_MBOPENREAL};
    if (GetParam().web_browser) {
        expected.push_back(IPC_OPEN_URL);
    }
    EXPECT_EQ(host.request_codes(), expected);
    EXPECT_EQ(host.opened_pages(), std::vector<std::string>{NOTICE_PAGE});
    expect_web_page_is(NOTICE_PAGE);
}

TEST_P(PlayerKind, DialogOkWithTheLookupOnOpensNothing)
{
    load();
    host.forget_requests();
    run_config_dialog(host, {[](HWND dialog) {
                          click_item(dialog, IDC_LANG_EN);
                          click_item(dialog, IDC_OK_BUTTON);
                      }});
    EXPECT_TRUE(host.requests.empty());
}

// The version is the one the player gave at init, whatever it answers later.
TEST_P(PlayerKind, KeepsTheVersionOfInit)
{
    play(add_entry("C:\\a.mp3"));
    load();
    host.script.version = GetParam().web_browser ? OLD_PLAYER_VERSION : CURRENT_PLAYER_VERSION;
    ASSERT_EQ(tick().size(), 1u);
    EXPECT_EQ(host.opened_web_pages().size(), GetParam().web_browser ? 1u : 0u);
}

// A player that answers 0 does not answer the version request at all: it is taken as old.
INSTANTIATE_TEST_SUITE_P(
    Versions, PlayerKind,
    testing::Values(Kind{"NoAnswer", 0, false}, Kind{"NegativeAnswer", -1, false}, Kind{"Old1_9x", 0x1920, false},
                    Kind{"Old2_91", OLD_PLAYER_VERSION, false}, Kind{"Last4FFF", 0x4FFF, false},
                    Kind{"First5000", 0x5000, true}, Kind{"Current5_01", 0x5001, true},
                    Kind{"Current5_66", 0x5066, true}, Kind{"Current5_9_2", CURRENT_PLAYER_VERSION, true},
                    Kind{"Highest7FFFFFFF", INT32_MAX, true}),
    [](const testing::TestParamInfo<Kind>& case_info) { return std::string(case_info.param.name); });

class WebBrowser : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        write_setting("navegador", "1");
    }
};

TEST_F(WebBrowser, AddressWithCodePage1252BytesArrivesAsTheirEscapes)
{
    host.script.version = CURRENT_PLAYER_VERSION;
    play(add_entry("C:\\Caf\xE9 \x80 \x8A\x9F\x81\x8D.mp3", "\x93" "Fado\x94 \x85 \xC9" "dith", 200));
    load();
    ASSERT_EQ(tick().size(), 1u);
    EXPECT_EQ(host.opened_web_pages(),
              std::vector<std::wstring>{L"http://" CANTOVIA_SITE_PT L"/winamp.php?a=C:\\Caf%E9 %80 "
                                        L"%8A%9F%81%8D.mp3&t=%93Fado%94 %85 %C9dith&segundos=200"});
}

TEST_F(WebBrowser, AddressCutNear351BytesArrivesWhole)
{
    std::string path = "C:\\";
    for (int i = 0; i < 500; ++i) {
        path += "\x80\xE9";
    }
    host.script.version = CURRENT_PLAYER_VERSION;
    play(add_entry(path, "Title", 300));
    load();
    const std::vector<std::string> pages = tick();
    ASSERT_EQ(pages.size(), 1u);
    // Cut between two escapes of three bytes.
    ASSERT_GE(pages[0].size(), 349u);
    ASSERT_LE(pages[0].size(), 351u);
    const std::vector<std::wstring> web_pages = host.opened_web_pages();
    ASSERT_EQ(web_pages.size(), 1u);
    EXPECT_EQ(web_pages[0], windows_utf16(pages[0]));
    EXPECT_EQ(web_pages[0].substr(0, 4), L"http");
}

// A player that answers 1 (it does not know the request) changes nothing: no retry within the
// tick, no other way, and the next new track is sent to it again just once.
TEST_F(WebBrowser, PlayerThatRefusesTheRequestChangesNothing)
{
    host.script.version = CURRENT_PLAYER_VERSION;
    host.script.refuse_open_url = true;
    const int32_t first = add_entry("C:\\first.mp3");
    const int32_t second = add_entry("C:\\second.mp3");
    play(first);
    load();
    ASSERT_EQ(tick().size(), 1u);
    std::vector<int32_t> new_track = new_track_queries(host.script.version);
    for (int32_t code : {IPC_MBBLOCK, IPC_MBOPEN, IPC_MBOPENREAL, IPC_MBBLOCK, IPC_OPEN_URL}) {
        new_track.push_back(code);
    }
    EXPECT_EQ(host.request_codes(), new_track);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(tick().empty());
        EXPECT_EQ(host.request_codes(), IDLE_TICK) << "idle tick " << i;
    }
    play(second);
    EXPECT_EQ(tick(), std::vector<std::string>{PORTUGUESE + "C:\\second.mp3&t=Title&segundos=200"});
    EXPECT_EQ(host.request_codes(), new_track);
    EXPECT_EQ(host.opened_web_pages(), std::vector<std::wstring>{L"http://" CANTOVIA_SITE_PT
                                                                 L"/winamp.php?a=C:\\second.mp3&t=Title&segundos=200"});
    play(first);
    EXPECT_EQ(tick().size(), 1u);
}

} // namespace
