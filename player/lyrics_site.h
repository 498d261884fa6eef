// The lyrics site stand-in (scripts/lyrics-site.py), seen from the stand-in player and the
// tests: a real HTTP site on the loopback address that records what each request carried.
// scripts/with-lyrics-site.sh starts it and names its folder in CANTOVIA_SITE; the web
// controls reach it through the Wine prefix's proxy setting, with the site hosts unchanged.
#pragma once

#include "player/message_pump.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct SiteRequest {
    std::string address; // the whole address of the request line, host included
    std::vector<std::pair<std::string, std::string>> values; // the query decoded as the sites do
    // The decoded value of `key`, or "<missing>" when the request has none.
    std::string value(const std::string& key) const;
    std::vector<std::string> keys() const;
};

// Why the site cannot be reached (no CANTOVIA_SITE, no port yet); empty when it can.
std::string lyrics_site_unavailable_reason();
inline bool lyrics_site_running() { return lyrics_site_unavailable_reason().empty(); }

// Points this Wine prefix's proxy (the user's Internet settings) at the site, so that every
// web request of this process reaches it. Call before the first web control is made.
bool point_proxy_at_lyrics_site();

// Every request the site has recorded so far, in the order they arrived.
std::vector<SiteRequest> lyrics_site_requests();

// Waits until the site has recorded at least `count` requests, dispatching this thread's
// messages meanwhile (the web controls work through them). False on time-out.
bool wait_for_site_requests(size_t count, DWORD timeout_ms);

// While silent, the site records requests but never answers them.
void set_lyrics_site_silent(bool silent);
