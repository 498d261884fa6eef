// Reads the ID3v1 trailer of the playing file: 128 bytes from the end, whatever its size.
#include "lookup/tag_reader.h"

#include "plugin/host_requests.h"
#include "plugin/plugin.h"

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

void read_id3v1_tag()
{
    // The path exactly as the player gives it: the file's real name, "&" and all.
    const char* path = current_entry_text(IPC_GETPLAYLISTFILE);
    if (path == nullptr) {
        return;
    }
    unsigned char trailer[ID3V1_TRAILER_SIZE];
    const size_t length = read_file_trailer(path, trailer);
    parse_id3v1_trailer(trailer, length, id3v1_tag);
}

bool append_id3v1_part(char (&address)[PAGE_ADDRESS_SIZE], bool whole)
{
    read_id3v1_tag();
    return append_tag_keys(address, id3v1_tag, whole);
}
