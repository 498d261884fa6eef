// Crashes on purpose. The test prefix must end a crashing program at once with a non-zero
// status, so that a crash in the plug-in fails a test instead of hanging it in a debugger.
#include <cstdio>

int main()
{
    std::puts("crashing on purpose");
    std::fflush(stdout);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
