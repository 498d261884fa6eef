// The ID3v1 trailer: the last 128 bytes of an audio file, starting with "TAG", then 30-byte
// fields for the title, the artist and the album (then year, comment and genre, not used).
// The title and artist go into the lyrics page address as the keys musica and artista.
#pragma once

#include "lookup/page_address.h"

#include <cstddef>

constexpr size_t ID3V1_TRAILER_SIZE = 128;
constexpr size_t ID3V1_FIELD_LENGTH = 30;
// 30 tag bytes and a NUL, rounded up; a parse clears all 32 bytes before it copies a field.
constexpr size_t ID3V1_TEXT_SIZE = 32;

constexpr size_t ID3V1_TITLE_OFFSET = 3;
constexpr size_t ID3V1_ARTIST_OFFSET = ID3V1_TITLE_OFFSET + ID3V1_FIELD_LENGTH;
constexpr size_t ID3V1_ALBUM_OFFSET = ID3V1_ARTIST_OFFSET + ID3V1_FIELD_LENGTH;
static_assert(ID3V1_ARTIST_OFFSET == 33 && ID3V1_ALBUM_OFFSET == 63, "ID3v1 field offsets");
static_assert(ID3V1_ALBUM_OFFSET + ID3V1_FIELD_LENGTH <= ID3V1_TRAILER_SIZE, "fields inside the trailer");

struct Id3v1Tag {
    char tag_title[ID3V1_TEXT_SIZE];
    char tag_artist[ID3V1_TEXT_SIZE];
    char tag_album[ID3V1_TEXT_SIZE];
};

// When exactly 128 bytes were read and they start with "TAG", copies the three fields into
// `tag` (each up to its first NUL, at most 30 bytes, untrimmed) and returns true. Anything
// else leaves `tag` as it was and returns false.
bool parse_id3v1_trailer(const unsigned char* trailer, size_t length, Id3v1Tag& tag);

// When any of the three fields holds text, appends "&musica=<title>&artista=<artist>" (with
// "&" replaced by "e" in both), cut as page_address.h says, and empties all three. `whole`
// says whether the address was still uncut before (compose_page_address's result): when it
// is false nothing goes in. Returns whether the address is still uncut.
bool append_tag_keys(char (&address)[PAGE_ADDRESS_SIZE], Id3v1Tag& tag, bool whole);
