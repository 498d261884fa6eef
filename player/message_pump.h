// Dispatching the stand-in's own messages while it waits: the web controls load their pages,
// and the windows answer, only as this thread's messages are dispatched.
#pragma once

#include <windows.h>

// One message through the stand-in player's message loop, as the player's own loop handles it
// (standin_host.cpp): its plug-ins' message processors first, then its accelerators, the active
// dialog, translation and dispatch.
void dispatch_as_the_player(MSG& message);

// Dispatches the messages waiting in this thread's queue.
inline void dispatch_waiting_messages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        dispatch_as_the_player(message);
    }
}

// Dispatches this thread's messages until `done` says so or `timeout_ms` has passed; returns
// `done()`.
template <typename Condition>
bool pump_messages_until(Condition done, DWORD timeout_ms)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeout_ms) {
            return done();
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        dispatch_waiting_messages();
    }
    return true;
}

// Dispatches this thread's messages for `milliseconds`, and at least once; ends with a wait of
// up to 10 ms, which paces callers that dispatch between steps.
inline void pump_messages_for(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        dispatch_waiting_messages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}
