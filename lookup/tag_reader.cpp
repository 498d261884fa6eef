// The song's title and artist for the page address: from the playing file's ID3v1 trailer (128
// bytes from the end, whatever its size), else from the player, whose input plug-ins read the
// tags of every format it plays.
#include "lookup/tag_reader.h"

#include "common/bounded_text.h"
#include "host/player.h"
#include "lookup/page_address.h"
#include "plugin/host_requests.h"

#include <cstring>

namespace {

// Emptied after every use by append_tag_keys, so a file without a tag adds nothing.
Id3v1Tag id3v1_tag;

// Moves the file pointer `distance` bytes before the end of the file, whatever its size. False
// when the file is shorter. SetFilePointer with its high part, not SetFilePointerEx: the older
// Windows the player runs on lack the latter.
bool seek_from_end(HANDLE file, DWORD distance)
{
    const LONGLONG back = -static_cast<LONGLONG>(distance);
    LONG high = static_cast<LONG>(back >> 32); // all ones: the 64-bit distance is negative
    // The new position's low part may be 0xFFFFFFFF (INVALID_SET_FILE_POINTER) on success, in a
    // file of 4 GiB + 127 bytes for example: only the error code tells a failure.
    SetLastError(NO_ERROR);
    const DWORD low = SetFilePointer(file, static_cast<LONG>(back), &high, FILE_END);
    return low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
}

// Reads the last 128 bytes of the file at `path` into `trailer`. Returns how many bytes were
// read: 0 when the file cannot be opened, is shorter than 128 bytes or is no disk file.
size_t read_file_trailer(const char* path, unsigned char (&trailer)[ID3V1_TRAILER_SIZE])
{
    // Other openers may go on reading and writing the file meanwhile.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    DWORD read = 0;
    // A pipe or a device in the playlist could block the read, and the player with it.
    if (GetFileType(file) == FILE_TYPE_DISK && seek_from_end(file, ID3V1_TRAILER_SIZE)) {
        ReadFile(file, trailer, sizeof trailer, &read, nullptr);
    }
    CloseHandle(file);
    return read;
}

} // namespace

bool ask_player_for(const char* path, const char* field, char* value, size_t capacity)
{
    value[0] = '\0';
    // The player answers through its input plug-ins, which may run a modal loop where it quits:
    // from then on it is asked nothing more.
    if (quitting != 0) {
        return false;
    }
    ExtendedFileInfo request = {path, field, value, capacity};
    const bool answered = host_request(reinterpret_cast<WPARAM>(&request), IPC_GET_EXTENDED_FILE_INFO) != 0;
    if (!answered) {
        value[0] = '\0';
    }
    value[capacity - 1] = '\0';
    return answered;
}

void read_id3v1_tag(const char* path)
{
    unsigned char trailer[ID3V1_TRAILER_SIZE];
    const size_t length = read_file_trailer(path, trailer);
    parse_id3v1_trailer(trailer, length, id3v1_tag);
}

bool append_song_part(char (&address)[PAGE_ADDRESS_SIZE], bool whole, const char* page_path)
{
    // The path exactly as the player gives it: the file's real name, "&" and all.
    const char* path = current_entry_text(IPC_GETPLAYLISTFILE);
    if (path == nullptr) {
        return whole;
    }
    // Another track may have started inside one of the tick's requests (a modal loop there):
    // its tags do not belong in this track's page. The next tick opens the new track's page.
    char path_as_sent[PATH_TEXT_SIZE];
    if (!copy_address_value(path_as_sent, path) || std::strcmp(path_as_sent, page_path) != 0) {
        return whole;
    }
    // The player's text buffers are shared between its requests: its path is copied (whole, as
    // it fit above) before it is asked anything else.
    char path_copy[PATH_TEXT_SIZE];
    text_copy(path_copy, path);
    read_id3v1_tag(path);
    // The tag's title or artist wins; streams and CD tracks are not asked about, as reading
    // their tags may go to the network.
    if (id3v1_tag.tag_title[0] != '\0' || id3v1_tag.tag_artist[0] != '\0' ||
        player_version < FIRST_VERSION_WITH_FILE_INFO || is_address_entry(path_copy)) {
        return append_tag_keys(address, id3v1_tag, whole);
    }
    char title[TITLE_TEXT_SIZE];
    char artist[TITLE_TEXT_SIZE];
    ask_player_for(path_copy, "title", title);
    ask_player_for(path_copy, "artist", artist);
    if (title[0] == '\0' && artist[0] == '\0') {
        return append_tag_keys(address, id3v1_tag, whole); // both keys empty for an album-only tag
    }
    id3v1_tag.tag_album[0] = '\0'; // the tag is used up, as append_tag_keys leaves it
    append_song_keys(address, title, artist, whole);
    return whole;
}
