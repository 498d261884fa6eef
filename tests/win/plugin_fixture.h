// A fresh copy of the plug-in in a stand-in player for each test, with an ini file of its own.
#pragma once

#include "player/standin_host.h"
#include "plugin/description.h"
#include "plugin/host_requests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The DLL under test: "--plugin PATH" on the test program's command line, else the
// gen_cantovia.dll beside it.
const char* plugin_dll();

// The requests of an idle tick: the status queries and the playing entry's path.
inline const std::vector<int32_t> IDLE_TICK = {IPC_INETAVAILABLE, IPC_GETOUTPUTTIME, IPC_ISPLAYING, IPC_GETLISTPOS,
                                               IPC_GETPLAYLISTFILE};

// The queries of a new-track tick, before its page, on a player of `version`: a player that knows
// which file plays is asked whether it is the entry's; the files played with it have no tag, so a
// player that knows the request is asked for their title and artist.
inline std::vector<int32_t> new_track_queries(int32_t version)
{
    std::vector<int32_t> codes = {IPC_INETAVAILABLE,    IPC_GETOUTPUTTIME, IPC_ISPLAYING,
                                  IPC_GETLISTPOS,       IPC_GETPLAYLISTFILE, IPC_GETLISTPOS,
                                  IPC_GETPLAYLISTTITLE, IPC_GETLISTPOS,    IPC_GETPLAYLISTFILE};
    if (version >= FIRST_VERSION_WITH_PLAYING_FILE) {
        codes.insert(codes.begin() + 5, {IPC_GET_PLAYING_FILENAME, IPC_GETPLAYLISTFILEW});
    }
    if (version >= FIRST_VERSION_WITH_FILE_INFO) {
        codes.insert(codes.end(), {IPC_GET_EXTENDED_FILE_INFO, IPC_GET_EXTENDED_FILE_INFO});
    }
    return codes;
}

class PluginTest : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        folder = std::string(temp) + "cantovia-tests\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        folder += std::string(test->test_suite_name()) + "." + test->name() + "\\";
        for (char& c : folder) {
            if (c == '/') c = '_';
        }
        CreateDirectoryA(folder.c_str(), nullptr);
        host.script.ini_path = folder + "player.ini";
        DeleteFileA(host.script.ini_path.c_str());
    }

    void TearDown() override { host.unload(); }

    void load()
    {
        ASSERT_TRUE(host.load(plugin_dll())) << "LoadLibrary error " << GetLastError();
        host.forget_requests();
    }

    // Appends an entry and returns its index.
    int32_t add_entry(const std::string& path, const std::string& title = "Title", int32_t length = 200)
    {
        host.script.playlist.push_back({path, title, length});
        return static_cast<int32_t>(host.script.playlist.size() - 1);
    }

    void play(int32_t position)
    {
        host.script.position = position;
        host.script.play_state = PlayState::playing;
        host.script.playing_unlisted.reset(); // the entry at the position starts
    }

    // Ticks once and returns the pages opened during that tick.
    std::vector<std::string> tick()
    {
        host.forget_requests();
        host.tick();
        return host.opened_pages();
    }

    std::string ini_value(const char* section, const char* key, const std::string& file = "")
    {
        char value[256] = {};
        GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value,
                                 (file.empty() ? host.script.ini_path : file).c_str());
        return value;
    }

    void write_ini(const char* section, const char* key, const char* value)
    {
        WritePrivateProfileStringA(section, key, value, host.script.ini_path.c_str());
    }

    void write_setting(const char* key, const char* value) { write_ini(PLUGIN_DESCRIPTION, key, value); }

    std::string folder;
    StandInHost host;
};
