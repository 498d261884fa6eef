// The player's requests: one SendMessage to its main window each.
#include "host/player.h"

#include "plugin/host_requests.h"

int32_t quitting = 0;
int32_t player_version = 0;

LRESULT host_request(WPARAM argument, int32_t request)
{
    return SendMessageA(plugin_descriptor.parent_window, HOST_REQUEST_MESSAGE, argument, request);
}

const char* current_entry_text(int32_t request)
{
    return entry_text(host_request(0, IPC_GETLISTPOS), request);
}

const char* entry_text(LRESULT index, int32_t request)
{
    const LRESULT answer = host_request(static_cast<WPARAM>(index), request);
    // A player that lacks the request answers 1 (or some other small number): no text.
    if (static_cast<uintptr_t>(answer) < LOWEST_POINTER) {
        return nullptr;
    }
    return reinterpret_cast<const char*>(answer);
}
