#include "tests/win/plugin_fixture.h"

#include "build_config.h"

#include <cstring>

namespace {

using Lifecycle = PluginTest;

const std::vector<int32_t> STATUS_QUERIES_ONLY = {IPC_INETAVAILABLE, IPC_GETOUTPUTTIME};

TEST_F(Lifecycle, ExportGivesTheDescriptorBeforeAnythingElse)
{
    HMODULE module = LoadLibraryA(plugin_dll());
    ASSERT_NE(module, nullptr);
    FARPROC exported = GetProcAddress(module, "winampGetGeneralPurposePlugin");
    ASSERT_NE(exported, nullptr);
    PluginDescriptor* (*get_descriptor)() = nullptr;
    std::memcpy(&get_descriptor, &exported, sizeof exported);
    const PluginDescriptor* descriptor = get_descriptor();
    EXPECT_EQ(descriptor, get_descriptor());
    EXPECT_EQ(descriptor->version, 0x10);
    EXPECT_STREQ(descriptor->description, "Cantovia - Plugin para cantovia de m\xFAsicas");
    EXPECT_NE(descriptor->init, nullptr);
    EXPECT_NE(descriptor->config, nullptr);
    EXPECT_NE(descriptor->quit, nullptr);
    EXPECT_EQ(descriptor->parent_window, nullptr);
    EXPECT_EQ(descriptor->module_instance, nullptr);
    FreeLibrary(module);
}

TEST_F(Lifecycle, InitRestartsTheTimerOnThePlayerWindowAndQuitStopsIt)
{
    load();
    EXPECT_EQ(host.init_result, 0);
    ASSERT_EQ(host.timer_calls.size(), 2u);
    EXPECT_FALSE(host.timer_calls[0].set);
    EXPECT_TRUE(host.timer_calls[1].set);
    for (const TimerCall& call : host.timer_calls) {
        EXPECT_EQ(call.window, host.window());
        EXPECT_EQ(call.id, 3u);
    }
    EXPECT_EQ(host.timer_calls[1].period_ms, 1000u);
    ASSERT_NE(host.timer_callback(), nullptr);

    host.quit();
    ASSERT_EQ(host.timer_calls.size(), 3u);
    EXPECT_FALSE(host.timer_calls[2].set);
    EXPECT_EQ(host.timer_calls[2].window, host.window());
    EXPECT_EQ(host.timer_calls[2].id, 3u);
}

TEST_F(Lifecycle, MissingSectionGivesDefaultsThatQuitWrites)
{
    write_ini("other", "key", "value");
    play(add_entry("C:\\a.mp3"));
    load();
    const std::vector<std::string> pages = tick();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].rfind("http://" CANTOVIA_SITE_PT "/", 0), 0u) << pages[0];
    EXPECT_EQ(ini_value(PLUGIN_DESCRIPTION, "habilitado"), "<missing>");
    host.quit();
    EXPECT_EQ(ini_value(PLUGIN_DESCRIPTION, "habilitado"), "1");
    EXPECT_EQ(ini_value(PLUGIN_DESCRIPTION, "lingua"), "1");
    EXPECT_EQ(ini_value("other", "key"), "value");
}

TEST_F(Lifecycle, SettingsAreReadAtInitAndWrittenBackUnchangedAtQuit)
{
    write_setting("habilitado", "1");
    write_setting("lingua", "3");
    play(add_entry("C:\\a.mp3"));
    load();
    write_setting("lingua", "2"); // read once, at init only
    const std::vector<std::string> pages = tick();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].rfind("http://" CANTOVIA_SITE_ES "/", 0), 0u) << pages[0];
    host.quit();
    EXPECT_EQ(ini_value(PLUGIN_DESCRIPTION, "lingua"), "3");
}

TEST_F(Lifecycle, LookupOffStillRunsTheTimerAndBlanksThePlayerPage)
{
    write_setting("habilitado", "0");
    write_ini("winamp", "last_shorturl", "http://old.example/");
    play(add_entry("C:\\a.mp3"));
    load();
    EXPECT_EQ(ini_value("winamp", "last_shortdesc"), "about:blank");
    EXPECT_EQ(ini_value("winamp", "last_shorturl"), "about:blank");
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(tick().empty());
        EXPECT_EQ(host.request_codes(), STATUS_QUERIES_ONLY);
    }
    host.quit();
    EXPECT_EQ(ini_value(PLUGIN_DESCRIPTION, "habilitado"), "0");
}

TEST_F(Lifecycle, QuitBlanksThePlayerPageAgainAfterItsOwnKeys)
{
    load();
    write_ini("winamp", "last_shortdesc", "Some page");
    write_ini("winamp", "last_shorturl", "http://old.example/");
    host.quit();
    EXPECT_EQ(ini_value("winamp", "last_shortdesc"), "about:blank");
    EXPECT_EQ(ini_value("winamp", "last_shorturl"), "about:blank");
    EXPECT_EQ(ini_value(PLUGIN_DESCRIPTION, "lingua"), "1");
}

TEST_F(Lifecycle, NoTickOpensAPageAfterQuit)
{
    play(add_entry("C:\\a.mp3"));
    load();
    host.quit();
    host.forget_requests();
    host.tick();
    EXPECT_TRUE(host.opened_pages().empty());
    EXPECT_EQ(host.request_codes(), STATUS_QUERIES_ONLY);
}

// A player without the ini-file request: the profile functions then use winamp.ini in the
// Windows folder.
class WithoutIniRequest : public PluginTest, public testing::WithParamInterface<uintptr_t> {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        char windows[MAX_PATH + 1] = {};
        GetWindowsDirectoryA(windows, sizeof windows);
        fallback_ini = std::string(windows) + "\\winamp.ini";
        DeleteFileA(fallback_ini.c_str());
    }
    void TearDown() override
    {
        PluginTest::TearDown();
        DeleteFileA(fallback_ini.c_str());
    }
    std::string fallback_ini;
};

TEST_P(WithoutIniRequest, SettingsLiveInWinampIniOfTheWindowsFolder)
{
    WritePrivateProfileStringA(PLUGIN_DESCRIPTION, "lingua", "2", fallback_ini.c_str());
    host.script.ini_answer_is_path = false;
    host.script.ini_answer = GetParam();
    play(add_entry("C:\\a.mp3"));
    load();
    const std::vector<std::string> pages = tick();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].rfind("http://" CANTOVIA_SITE_EN "/", 0), 0u) << pages[0];
    host.quit();
    EXPECT_EQ(ini_value(PLUGIN_DESCRIPTION, "habilitado", fallback_ini), "1");
    EXPECT_EQ(ini_value("winamp", "last_shorturl", fallback_ini), "about:blank");
    EXPECT_EQ(ini_value(PLUGIN_DESCRIPTION, "habilitado"), "<missing>");
}

INSTANTIATE_TEST_SUITE_P(Answers, WithoutIniRequest, testing::Values(uintptr_t{0}, uintptr_t{1}, uintptr_t{0xFFFF}));

struct StoredSettings {
    const char* enabled;
    const char* language;
    bool opens_page;
};

class StoredValues : public PluginTest, public testing::WithParamInterface<StoredSettings> {};

// Values are taken as the profile functions read them, and written back the same way.
TEST_P(StoredValues, OnlyExactlyOneWithAKnownLanguageLooksUp)
{
    write_setting("habilitado", GetParam().enabled);
    write_setting("lingua", GetParam().language);
    play(add_entry("C:\\a.mp3"));
    load();
    EXPECT_EQ(tick().size(), GetParam().opens_page ? 1u : 0u);
    host.quit();
}

INSTANTIATE_TEST_SUITE_P(Ini, StoredValues,
                         testing::Values(StoredSettings{"1", "1", true}, StoredSettings{"0", "1", false},
                                         StoredSettings{"2", "1", false}, StoredSettings{"-1", "2", false},
                                         StoredSettings{"abc", "1", false}, StoredSettings{"1", "0", false},
                                         StoredSettings{"1", "4", false}, StoredSettings{"1", "-7", false},
                                         StoredSettings{"1", "3", true}, StoredSettings{"", "", true}));

} // namespace
