#include "tests/win/crash_exit.h"
#include "tests/win/plugin_fixture.h"

#include <ole2.h>

#include <cstdio>
#include <cstring>

namespace {

const char* plugin_under_test = "gen_cantovia.dll";

} // namespace

const char* plugin_dll()
{
    return plugin_under_test;
}

int main(int argc, char** argv)
{
    end_process_on_crash();
    // Unbuffered: whatever ends the process (a crash, a kill on a timeout), the lines of the tests
    // that ran are out already.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    // As in the player, whose user-interface thread has OLE ready before plug-ins load.
    OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--plugin") == 0) {
            plugin_under_test = argv[i + 1];
        }
    }
    std::printf("plug-in under test: %s\n", plugin_under_test);
    return RUN_ALL_TESTS();
}
