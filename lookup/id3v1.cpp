#include "lookup/id3v1.h"

#include "common/bounded_text.h"

#include <cstring>

namespace {

constexpr unsigned char MAGIC[] = {'T', 'A', 'G'};

// Fixed-length field copy: stops at the field's first NUL and fills the rest with NUL.
void copy_field(char (&text)[ID3V1_TEXT_SIZE], const unsigned char* field)
{
    std::memset(text, 0, sizeof text);
    text_append(text, reinterpret_cast<const char*>(field), ID3V1_FIELD_LENGTH);
}

} // namespace

bool parse_id3v1_trailer(const unsigned char* trailer, size_t length, Id3v1Tag& tag)
{
    if (length != ID3V1_TRAILER_SIZE || std::memcmp(trailer, MAGIC, sizeof MAGIC) != 0) {
        return false;
    }
    copy_field(tag.tag_title, trailer + ID3V1_TITLE_OFFSET);
    copy_field(tag.tag_artist, trailer + ID3V1_ARTIST_OFFSET);
    copy_field(tag.tag_album, trailer + ID3V1_ALBUM_OFFSET);
    return true;
}

bool append_tag_keys(char (&address)[PAGE_ADDRESS_SIZE], Id3v1Tag& tag, bool whole)
{
    // A tag with only an album still sends both keys, empty.
    if (tag.tag_title[0] == '\0' && tag.tag_artist[0] == '\0' && tag.tag_album[0] == '\0') {
        return whole;
    }
    append_song_keys(address, tag.tag_title, tag.tag_artist, whole);
    tag.tag_title[0] = '\0';
    tag.tag_artist[0] = '\0';
    tag.tag_album[0] = '\0';
    return whole;
}
