#include "lookup/stream_song.h"

#include "common/bounded_text.h"
#include "lookup/page_address.h"

namespace {

// True when `text` begins with the lower-case `scheme`, in either case.
bool starts_with_scheme(const char* text, const char* scheme)
{
    for (; *scheme != '\0'; ++text, ++scheme) {
        const char byte = *text >= 'A' && *text <= 'Z' ? static_cast<char>(*text - 'A' + 'a') : *text;
        if (byte != *scheme) {
            return false; // also where the text ends first
        }
    }
    return true;
}

} // namespace

bool is_stream_entry(const char* path)
{
    return is_address_entry(path) && !starts_with_scheme(path, "cda://") && !starts_with_scheme(path, "file://");
}

bool is_status_title(const char* title)
{
    return title[0] == '[';
}

bool split_song(const char* song, char* artist, size_t artist_capacity, char* title, size_t title_capacity)
{
    for (const char* at = song; *at != '\0'; ++at) {
        if (at[0] == ' ' && at[1] == '-' && at[2] == ' ') {
            text_copy(artist, artist_capacity, song, static_cast<size_t>(at - song));
            text_copy(title, title_capacity, at + 3);
            return true;
        }
    }
    text_copy(artist, artist_capacity, "");
    text_copy(title, title_capacity, "");
    return false;
}
