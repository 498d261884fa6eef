#include "tests/win/plugin_fixture.h"

#include "build_config.h"
#include "plugin/system_function.h"


namespace {

using Lifecycle = PluginTest;

const std::vector<int32_t> STATUS_QUERIES_ONLY = {IPC_INETAVAILABLE, IPC_GETOUTPUTTIME};

TEST_F(Lifecycle, ExportGivesTheDescriptorBeforeAnythingElse)
{
    HMODULE module = LoadLibraryA(plugin_dll());
    ASSERT_NE(module, nullptr);
    PluginDescriptor* (*get_descriptor)() = nullptr;
    ASSERT_TRUE(find_function(module, "winampGetGeneralPurposePlugin", get_descriptor));
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

std::string file_text(const std::string& path)
{
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<no file>";
    }
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
        text.append(chunk, read);
    }
    CloseHandle(file);
    return text;
}

std::string windows_folder_file(const char* name)
{
    char windows[MAX_PATH + 1] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\" + name;
}

TEST_F(Lifecycle, QuitWithoutInitWritesNothing)
{
    const std::string win_ini = windows_folder_file("win.ini");
    const std::string fallback_ini = windows_folder_file("winamp.ini");
    DeleteFileA(fallback_ini.c_str());
    const std::string win_ini_before = file_text(win_ini);
    ASSERT_TRUE(host.load(plugin_dll(), false));
    host.quit();
    EXPECT_TRUE(host.profile_writes.empty()) << "first write: [" << host.profile_writes.front().section << "] "
                                             << host.profile_writes.front().key << " to "
                                             << host.profile_writes.front().file;
    EXPECT_EQ(file_text(win_ini), win_ini_before);
    EXPECT_EQ(file_text(fallback_ini), "<no file>");
    EXPECT_EQ(file_text(host.script.ini_path), "<no file>");
    // The rest of the quit still happens: the timer is killed.
    ASSERT_EQ(host.timer_calls.size(), 1u);
    EXPECT_FALSE(host.timer_calls[0].set);
}

// The order of the writes, as the calls reach kernel32.
TEST_F(Lifecycle, InitBlanksThePlayerPageAndQuitSavesInOrder)
{
    write_setting("lingua", "2");
    load();
    const std::string ini = host.script.ini_path;
    const std::vector<std::string> expected_init = {"[winamp] last_shortdesc=about:blank " + ini,
                                                    "[winamp] last_shorturl=about:blank " + ini};
    const auto writes = [this] {
        std::vector<std::string> lines;
        for (const ProfileWrite& write : host.profile_writes) {
            lines.push_back("[" + write.section + "] " + write.key + "=" + write.value + " " + write.file);
        }
        return lines;
    };
    EXPECT_EQ(writes(), expected_init);
    host.quit();
    std::vector<std::string> expected_all = expected_init;
    expected_all.push_back(std::string("[") + PLUGIN_DESCRIPTION + "] habilitado=1 " + ini);
    expected_all.push_back(std::string("[") + PLUGIN_DESCRIPTION + "] lingua=2 " + ini);
    expected_all.insert(expected_all.end(), expected_init.begin(), expected_init.end());
    EXPECT_EQ(writes(), expected_all);
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

INSTANTIATE_TEST_SUITE_P(Answers, WithoutIniRequest, testing::Values(uintptr_t{0}, uintptr_t{1}, uintptr_t{0xFFFF}),
                         [](const testing::TestParamInfo<uintptr_t>& case_info) {
                             return "answer_" + std::to_string(case_info.param);
                         });

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
                                         StoredSettings{"1", "3", true}, StoredSettings{"", "", true}),
                         [](const testing::TestParamInfo<StoredSettings>& case_info) {
                             // A test name may hold letters, digits and "_" only.
                             const auto part = [](const char* value) {
                                 std::string name = *value == '\0' ? "empty" : "";
                                 for (const char* c = value; *c != '\0'; ++c) {
                                     name += *c == '-' ? std::string("minus") : std::string(1, *c);
                                 }
                                 return name;
                             };
                             return "habilitado_" + part(case_info.param.enabled) + "_lingua_" +
                                    part(case_info.param.language);
                         });

} // namespace
