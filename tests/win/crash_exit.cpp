#include "tests/win/crash_exit.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr UINT CRASH_EXIT_STATUS = 3;
char crash_note[256] = {};

LONG WINAPI end_process(EXCEPTION_POINTERS* exception)
{
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    std::fprintf(stderr, "\ncrash: exception 0x%08lx at %p\n", code, exception->ExceptionRecord->ExceptionAddress);
    if (crash_note[0] != '\0') {
        std::fprintf(stderr, "crash during: %s\n", crash_note);
    }
    std::fflush(stderr);
    // Only the low byte of a status reaches the shell under Wine: a fixed one cannot come out 0.
    TerminateProcess(GetCurrentProcess(), CRASH_EXIT_STATUS);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void set_crash_note(const char* note)
{
    lstrcpynA(crash_note, note, sizeof crash_note);
}

void end_process_on_crash()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(end_process);
}
