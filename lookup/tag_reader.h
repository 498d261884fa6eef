// The song's title and artist in the lyrics page address: from the playing file's ID3v1 trailer,
// or, where that has neither, from the player.
#pragma once

#include "lookup/id3v1.h"

#include <cstddef>

// Asks the player (IPC_GET_EXTENDED_FILE_INFO, only on FIRST_VERSION_WITH_FILE_INFO or later) for
// `field` ("title", "artist", FILE_INFO_STREAM_TITLE) of the entry at `path` into `value` of
// `capacity` bytes (at least 1). True when it answered; `value` then holds its text, terminated
// here whatever the player wrote into the buffer. False, with `value` empty, when it has none.
bool ask_player_for(const char* path, const char* field, char* value, size_t capacity);

template <size_t N>
bool ask_player_for(const char* path, const char* field, char (&value)[N])
{
    return ask_player_for(path, field, value, N);
}

// Reads the trailer of the file at `path` into the tag buffers; a file that cannot be read or
// has no tag leaves them as they are.
void read_id3v1_tag(const char* path);

// Reads the current entry's tag and appends its keys (as append_tag_keys). Where the tag has no
// title and no artist, a player of version FIRST_VERSION_WITH_FILE_INFO or later is asked for
// the file's (not for a stream or CD track), and what it gives goes in the same keys. Nothing
// is appended when the current entry is no longer the one at `page_path` (its path with "&"
// replaced, as in the address). `address` is still uncut when `whole`; returns false when it is
// cut.
bool append_song_part(char (&address)[PAGE_ADDRESS_SIZE], bool whole, const char* page_path);
