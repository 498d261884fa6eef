// The address of a lyrics page: the site of the chosen language, then the keys that
// describe the track. In the values "&" becomes "e", so that a value cannot end its own key,
// and the bytes that a web control or browser would not pass on unchanged are written as
// "%XX" (see address_unit): the site then decodes exactly the player's text.
#pragma once

#include "display/address_size.h"

#include <cstddef>
#include <cstdint>

constexpr size_t PATH_TEXT_SIZE = 1024;
// A title can never fill more than the address it goes into.
constexpr size_t TITLE_TEXT_SIZE = PAGE_ADDRESS_SIZE;

constexpr char AMPERSAND = '&';
constexpr char AMPERSAND_STAND_IN = 'e';

// "http://<site>/winamp.php?a=" for LANGUAGE_PORTUGUESE, LANGUAGE_ENGLISH or LANGUAGE_SPANISH;
// null for any other value.
const char* site_base_address(int32_t language);

// "http://<notice host>/wdesabilitado.htm", shown when the user leaves the lookup off.
extern const char NOTICE_PAGE_ADDRESS[];

// Copies host text into `buffer` with every "&" replaced by "e". Returns false when the text
// did not fit (the copy then holds its first capacity - 1 bytes).
bool copy_address_value(char* buffer, size_t capacity, const char* text);

template <size_t N>
bool copy_address_value(char (&buffer)[N], const char* text)
{
    return copy_address_value(buffer, N, text);
}

// One byte of a value as it goes into the address: itself, or "%XX" (two upper-case hex
// digits) for "%", "+" and "#", which a form decoder or a browser would read as something
// else, the control bytes below 0x20 and 0x7F, which web controls drop, and every byte above
// 0x7F, which browsers send in another encoding or drop.
constexpr size_t ADDRESS_UNIT_SIZE = 4;
void address_unit(unsigned char byte, char (&unit)[ADDRESS_UNIT_SIZE]);

// An address too long for its buffer is the whole address cut short, and it ends only
// inside a value or just before a key, never inside a key: a wrong value is worse than a
// missing one. So a key goes in whole or not at all (with its number, if it has one: cut
// digits would be another number), a value may be cut, and once anything was cut or left
// out nothing more goes in. A value's byte is one unit, escaped or not: a cut never splits
// "%XX". `whole` says whether the address is still uncut; both leave it
// false from the first cut on, and append nothing while it is false.
void append_address_key(char (&address)[PAGE_ADDRESS_SIZE], const char* key, bool& whole);
void append_address_value(char (&address)[PAGE_ADDRESS_SIZE], const char* value, bool& whole);

// Composes "<base><path>&t=<title>", then "&segundos=<seconds>" when seconds > 1, into
// `address` from its first byte, cut as above. `path` and `title` are taken as they are.
// Returns false when the address had to be cut to fit.
bool compose_page_address(char (&address)[PAGE_ADDRESS_SIZE], const char* base, const char* path,
                          const char* title, int32_t seconds);

// Appends "&musica=<title>&artista=<artist>", each value with "&" replaced by "e" (in place) and
// escaped, cut as above.
void append_song_keys(char (&address)[PAGE_ADDRESS_SIZE], char* title, char* artist, bool& whole);

// True for a playlist entry that is an address ("scheme://..."; a stream, a CD track), not a
// file path.
bool is_address_entry(const char* path);
