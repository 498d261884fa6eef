// Pages on a player without the mini-browser: the player itself opens the same address in the
// system's web browser. The plug-in has no shell or browser code of its own.
#include "display/display.h"

#include "common/bounded_text.h"
#include "host/player.h"
#include "plugin/host_requests.h"

#include <iterator>

// The player reads the address as its own wide text.
static_assert(sizeof(char16_t) == sizeof(WCHAR), "UTF-16 code units are WCHARs");

void open_in_web_browser(const char* address)
{
    // One code unit for each byte of the address buffer: every address the plug-in opens (at
    // most PAGE_ADDRESS_SIZE - 1 bytes) fits whole, and every byte has its code unit, so the
    // conversion can neither fail nor cut. The text starts with "http" as the player needs,
    // and lives on the stack only for the request, which is all the player asks.
    char16_t wide_address[PAGE_ADDRESS_SIZE];
    static_assert(std::size(wide_address) >= PAGE_ADDRESS_SIZE, "the wide address holds every address");
    text_copy_utf16(wide_address, address);
    host_request(reinterpret_cast<WPARAM>(wide_address), IPC_OPEN_URL);
}
