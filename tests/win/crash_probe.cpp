// Crashes on purpose, the way a fault in the plug-in would crash a test program: the crash must
// end the program at once with a non-zero status, so that it fails the test instead of hanging
// it in a debugger or passing it.
#include "tests/win/crash_exit.h"

#include <cstdio>

int main()
{
    end_process_on_crash();
    std::puts("crashing on purpose");
    std::fflush(stdout);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
