#include "lookup/page_address.h"

#include "common/bounded_text.h"
#include "plugin/languages.h"
#include "build_config.h"

namespace {

constexpr char SECONDS_KEY[] = "&segundos=";

constexpr char PORTUGUESE_BASE[] = "http://" CANTOVIA_SITE_PT "/winamp.php?a=";
constexpr char ENGLISH_BASE[] = "http://" CANTOVIA_SITE_EN "/winamp.php?a=";
constexpr char SPANISH_BASE[] = "http://" CANTOVIA_SITE_ES "/winamp.php?a=";

// A base must leave room for the track's keys.
static_assert(sizeof PORTUGUESE_BASE <= PAGE_ADDRESS_SIZE / 2, "Portuguese site host too long");
static_assert(sizeof ENGLISH_BASE <= PAGE_ADDRESS_SIZE / 2, "English site host too long");
static_assert(sizeof SPANISH_BASE <= PAGE_ADDRESS_SIZE / 2, "Spanish site host too long");

} // namespace

const char NOTICE_PAGE_ADDRESS[] = "http://" CANTOVIA_NOTICE_HOST "/wdesabilitado.htm";
static_assert(sizeof("http://" CANTOVIA_NOTICE_HOST "/wdesabilitado.htm") <= PAGE_ADDRESS_SIZE,
              "notice host too long");

const char* site_base_address(int32_t language)
{
    switch (language) {
    case LANGUAGE_PORTUGUESE:
        return PORTUGUESE_BASE;
    case LANGUAGE_ENGLISH:
        return ENGLISH_BASE;
    case LANGUAGE_SPANISH:
        return SPANISH_BASE;
    default:
        return nullptr;
    }
}

bool copy_address_value(char* buffer, size_t capacity, const char* text)
{
    const bool fit = text_copy(buffer, capacity, text);
    if (capacity > 0) {
        replace_char(buffer, AMPERSAND, AMPERSAND_STAND_IN);
    }
    return fit;
}

void append_address_key(char (&address)[PAGE_ADDRESS_SIZE], const char* key, bool& whole)
{
    whole = whole && text_append_whole(address, key);
}

namespace {

bool needs_address_escape(unsigned char byte)
{
    return byte == '%' || byte == '+' || byte == '#' || byte < 0x20 || byte >= 0x7F;
}

} // namespace

void address_unit(unsigned char byte, char (&unit)[ADDRESS_UNIT_SIZE])
{
    constexpr char HEX_DIGITS[] = "0123456789ABCDEF";
    if (!needs_address_escape(byte)) {
        const char plain[] = {static_cast<char>(byte), '\0'};
        text_copy(unit, plain);
        return;
    }
    const char escape[] = {'%', HEX_DIGITS[byte >> 4], HEX_DIGITS[byte & 0xF], '\0'};
    text_copy(unit, escape);
}

void append_address_value(char (&address)[PAGE_ADDRESS_SIZE], const char* value, bool& whole)
{
    // Each byte is one unit, escaped or not: a cut falls between units, never inside "%XX".
    for (const char* byte = value; whole && *byte != '\0'; ++byte) {
        char unit[ADDRESS_UNIT_SIZE];
        address_unit(static_cast<unsigned char>(*byte), unit);
        whole = text_append_whole(address, unit);
    }
}

bool compose_page_address(char (&address)[PAGE_ADDRESS_SIZE], const char* base, const char* path,
                          const char* title, int32_t seconds)
{
    address[0] = '\0';
    bool whole = true;
    append_address_key(address, base, whole);
    append_address_value(address, path, whole);
    append_address_key(address, "&t=", whole);
    append_address_value(address, title, whole);
    if (seconds > 1) {
        char digits[DECIMAL_TEXT_SIZE];
        format_decimal(seconds, digits);
        char seconds_key[sizeof SECONDS_KEY + DECIMAL_TEXT_SIZE - 1];
        text_copy(seconds_key, SECONDS_KEY);
        text_append(seconds_key, digits);
        append_address_key(address, seconds_key, whole);
    }
    return whole;
}

void append_song_keys(char (&address)[PAGE_ADDRESS_SIZE], char* title, char* artist, bool& whole)
{
    append_address_key(address, "&musica=", whole);
    append_address_value(address, replace_char(title, AMPERSAND, AMPERSAND_STAND_IN), whole);
    append_address_key(address, "&artista=", whole);
    append_address_value(address, replace_char(artist, AMPERSAND, AMPERSAND_STAND_IN), whole);
}

bool is_address_entry(const char* path)
{
    constexpr char SCHEME_END[] = "://";
    for (const char* at = path; *at != '\0'; ++at) {
        if (at[0] == SCHEME_END[0] && at[1] == SCHEME_END[1] && at[2] == SCHEME_END[2]) {
            return true;
        }
    }
    return false;
}
