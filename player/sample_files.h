// The built-in sample playlist: small files written to a folder of their own, some with an
// ID3v1 tag, a few with "&" in their names, one with "%", "+" and "#", a radio stream whose title
// goes from its reader's statuses to its songs, then two files whose title and artist only the
// player gives (a FLAC file, an MP3 with only an ID3v2 tag).
#pragma once

#include "player/standin_host.h"

#include <string>
#include <vector>

struct SampleTag {
    std::string title;
    std::string artist;
    std::string album;
};

// Writes `body_size` bytes of audio stand-in, then the 128-byte ID3v1 trailer when `tag` is
// given. Returns false when the file could not be written.
bool write_sample_file(const std::string& path, size_t body_size, const SampleTag* tag);

// Writes `content` as the whole file. Returns false when the file could not be written.
bool write_file(const std::string& path, const std::string& content);

// A file of `size` bytes that ends in the ID3v1 trailer of `tag`; sparse, so that a file of
// gigabytes costs no disk. Returns false when it could not be written.
bool write_sparse_tagged_file(const std::string& path, long long size, const SampleTag& tag);

// Raw 128-byte ID3v1 trailer with the fields copied in as they are (up to 30 bytes each).
std::string id3v1_trailer(const SampleTag& tag);

// Writes the sample files under `folder` (made if missing) and returns their playlist.
std::vector<PlaylistEntry> make_sample_playlist(const std::string& folder);

// A folder under the user's temporary folder, ending in a backslash.
std::string temporary_folder(const char* name);
