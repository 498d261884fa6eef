// Under Wine a crashing program's exit status is not reliable (the debugger that reports the
// crash sometimes leaves status 0). Test programs install this first: an unhandled exception
// ends the process at once with the exception code as its status.
#pragma once

void end_process_on_crash();

// A line that a crash report prints too (what the program was doing), copied; empty for none.
void set_crash_note(const char* note);
