#include "lookup/stream_song.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

TEST(StreamSong, StreamsAreAddressesButCdTracksAndLocalFiles)
{
    const std::pair<const char*, bool> cases[] = {
        {"http://r.example:8000/a", true}, {"HTTPS://r", true}, {"cdax://D,3", true}, {"cda://D,3", false},
        {"CDA://D,3", false}, {"File:///C:/a.mp3", false}, {"cda:/D,3", false}, {"C:\\a.mp3", false}, {"", false}};
    for (const auto& [path, stream] : cases) {
        EXPECT_EQ(is_stream_entry(path), stream) << path;
    }
}

// "artist|title" as split into buffers of 5 and 9 bytes; null: no song, both emptied.
TEST(StreamSong, SplitAtTheFirstSeparator)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Band - One", "Band|One"}, {"A/B - Live - 2", "A/B|Live - 2"}, {" - One", "|One"}, {"Band - ", "Band|"},
        {"Artistic - Title is 2", "Arti|Title is"}, {"Band -One", nullptr}, {"Band-One", nullptr},
        {"Band -", nullptr}, {"", nullptr}};
    for (const auto& [song, parts] : cases) {
        char artist[5] = "old";
        char title[9] = "old";
        EXPECT_EQ(split_song(song, artist, title), parts != nullptr) << song;
        EXPECT_EQ(std::string(artist) + "|" + title, parts != nullptr ? parts : "|") << song;
    }
}
