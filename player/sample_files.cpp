#include "player/sample_files.h"

#include <windows.h>
#include <optional>
#include <winioctl.h>

std::string id3v1_trailer(const SampleTag& tag)
{
    std::string trailer(128, '\0');
    trailer.replace(0, 3, "TAG");
    trailer.replace(3, std::min<size_t>(tag.title.size(), 30), tag.title, 0, 30);
    trailer.replace(33, std::min<size_t>(tag.artist.size(), 30), tag.artist, 0, 30);
    trailer.replace(63, std::min<size_t>(tag.album.size(), 30), tag.album, 0, 30);
    trailer.replace(93, 4, "2026");
    trailer[127] = static_cast<char>(13);
    return trailer;
}

bool write_sample_file(const std::string& path, size_t body_size, const SampleTag* tag)
{
    std::string content(body_size, '\x55');
    if (tag != nullptr) {
        content += id3v1_trailer(*tag);
    }
    return write_file(path, content);
}

bool write_file(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == content.size();
}

bool write_sparse_tagged_file(const std::string& path, long long size, const SampleTag& tag)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    const std::string trailer = id3v1_trailer(tag);
    LARGE_INTEGER offset;
    offset.QuadPart = size - static_cast<LONGLONG>(trailer.size());
    DWORD written = 0;
    const bool ok = SetFilePointerEx(file, offset, nullptr, FILE_BEGIN) &&
                    WriteFile(file, trailer.data(), static_cast<DWORD>(trailer.size()), &written, nullptr) &&
                    written == trailer.size();
    CloseHandle(file);
    return ok;
}

std::string temporary_folder(const char* name)
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + name + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::vector<PlaylistEntry> make_sample_playlist(const std::string& folder)
{
    struct Sample {
        const char* file;
        const char* title;
        int32_t length;
        bool tagged;
        SampleTag tag;
        std::string header = {}; // the format's first bytes, before the audio stand-in
        // What the player's input plug-ins read from the file's own tags.
        std::optional<std::string> file_title = std::nullopt;
        std::optional<std::string> file_artist = std::nullopt;
    };
    const Sample samples[] = {
        {"Rock & Roll.mp3", "Band - Rock & Roll", 215, true, {"Rock & Roll", "Band & Friends", "Live"}},
        {"R&B Night.mp3", "Singer - R&B Night", 187, false, {}},
        {"Fado do Porto.mp3", "Ana - Fado do Caf\xE9 \x96 ao vivo", 240, true, {"Fado do Porto   ", "Ana", ""}},
        {"Album only.mp3", "Unknown - Track 04", 198, true, {"", "", "Sessions"}},
        {"Intro.mp3", "Band - Intro", 1, false, {}},
        {"100% C++ #1.mp3", "Trio + Duo - 100% Hits #1", 205, true, {"100% Hits #1", "Trio + Duo", ""}},
    };
    // Files whose title and artist only the player can give: another format, and an MP3 tagged
    // by today's taggers.
    const Sample read_by_the_player[] = {
        {"Ocean Drive.flac", "Ocean Drive", 263, false, {}, "fLaC", "Ocean Drive", "Lighthouse & Co"},
        {"Saudade.mp3", "track 09", 251, false, {}, std::string("ID3\x04\0\0\0\0\0\0", 10), "Saudade (ao vivo)",
         "Jo\xE3o & Maria"},
    };

    std::vector<PlaylistEntry> playlist;
    auto add = [&](const Sample& sample) {
        const std::string path = folder + sample.file;
        if (sample.header.empty()) {
            write_sample_file(path, 4096, sample.tagged ? &sample.tag : nullptr);
        } else {
            write_file(path, sample.header + std::string(4096, '\x55'));
        }
        playlist.push_back({path, sample.title, sample.length, sample.file_title, sample.file_artist});
    };
    for (const Sample& sample : samples) {
        add(sample);
    }
    // A radio stream: its reader's statuses, the station's name, then its songs, one of them
    // unnamed.
    PlaylistEntry stream = {"http://radio.example/stream", "Radio Example", -1};
    stream.stream_moments = {
        {"[Connecting] http://radio.example/stream", ""},
        {"[ICY 200 OK] http://radio.example/stream", ""},
        {"[Buffer: 37%] Radio Example", ""},
        {"Radio Example", ""},
        {"Banda do Mar - Ver\xE3o & Sol (Radio Example)", "Banda do Mar - Ver\xE3o & Sol"},
        {"(Radio Example)", ""},
        {"Trio + Duo - Noite #2 (Radio Example)", "Trio + Duo - Noite #2"},
    };
    playlist.push_back(stream);
    for (const Sample& sample : read_by_the_player) {
        add(sample);
    }
    return playlist;
}
