// Radio streams: which playlist entries are streams, which titles are the reader's statuses, and
// a stream's song split into its artist and title.
#pragma once

#include <cstddef>

// True for an entry whose path is an address ("scheme://...") other than a CD track ("cda://")
// or a local file ("file://"); schemes compare without regard to case. A stream's path stays its
// address while it plays: only its title follows the songs.
bool is_stream_entry(const char* path);

// True for a title that is a status of the player's reader, not a song: "[Connecting] ...",
// "[Buffer: 37%] Station", "[Buffering]..." all begin with "[".
bool is_status_title(const char* title);

// Splits a stream's song, "Artist - Title", at its first " - ": `artist` gets what stands before
// it, `title` what follows, each cut to its buffer. False, with both emptied, for a song without
// " - " (a station's name, an announcement, an empty song).
bool split_song(const char* song, char* artist, size_t artist_capacity, char* title, size_t title_capacity);

template <size_t A, size_t T>
bool split_song(const char* song, char (&artist)[A], char (&title)[T])
{
    return split_song(song, artist, A, title, T);
}
