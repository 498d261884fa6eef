#include "tests/win/plugin_fixture.h"

#include "build_config.h"
#include "player/sample_files.h"

#include <optional>

namespace {

const std::string PORTUGUESE = "http://" CANTOVIA_SITE_PT "/winamp.php?a=";

class TagReader : public PluginTest {
protected:
    // A file of `body` bytes followed by `tail`; returns its playlist index, titled "T", 200 s.
    int32_t add_file(const std::string& name, const std::string& tail, size_t body = 1000)
    {
        const std::string path = folder + name;
        EXPECT_TRUE(write_file(path, std::string(body, '\x55') + tail));
        return add_entry(path, "T", 200);
    }

    std::string page_for(int32_t entry)
    {
        const std::string path = host.script.playlist[static_cast<size_t>(entry)].path;
        std::string replaced = path;
        for (char& c : replaced) {
            if (c == '&') c = 'e';
        }
        return PORTUGUESE + replaced + "&t=T&segundos=200";
    }

    // Plays each entry in turn and returns what followed "&segundos=200" in its page.
    std::vector<std::string> tag_keys_of(std::initializer_list<int32_t> entries)
    {
        if (host.module() == nullptr) {
            load();
        }
        std::vector<std::string> keys;
        for (int32_t entry : entries) {
            play(entry);
            const std::vector<std::string> pages = tick();
            EXPECT_EQ(pages.size(), 1u);
            const std::string page = pages.empty() ? std::string() : pages[0];
            const std::string start = page_for(entry);
            EXPECT_EQ(page.compare(0, start.size(), start), 0) << page;
            keys.push_back(page.size() >= start.size() ? page.substr(start.size()) : page);
        }
        return keys;
    }
};

TEST_F(TagReader, TagFieldsBecomeKeysInTheirEdgeCases)
{
    struct Case {
        const char* name;
        std::string tail;
        std::string keys;
    };
    const Case cases[] = {
        {"plain.mp3", id3v1_trailer({"Title", "Artist", "Album"}), "&musica=Title&artista=Artist"},
        {"empty.mp3", id3v1_trailer({"", "", ""}), ""},
        {"album only.mp3", id3v1_trailer({"", "", "Album"}), "&musica=&artista="},
        {"full title.mp3", id3v1_trailer({std::string(30, 'X') + "overflow", "A", ""}),
         "&musica=" + std::string(30, 'X') + "&artista=A"},
        {"padded.mp3", id3v1_trailer({"Fado   ", "  Ana", ""}), "&musica=Fado   &artista=  Ana"},
        {"amp & sand.mp3", id3v1_trailer({"Rock & Roll", "Band & Friends", ""}),
         "&musica=Rock e Roll&artista=Band e Friends"},
        {"high bytes.mp3", id3v1_trailer({"Can\xE7\xE3o", "Jo\xE3o", ""}), "&musica=Can%E7%E3o&artista=Jo%E3o"},
        {"lower case.mp3", "tag" + id3v1_trailer({"Title", "Artist", ""}).substr(3), ""},
        {"no tag.mp3", std::string(128, 'z'), ""},
    };
    for (const Case& c : cases) {
        const int32_t entry = add_file(c.name, c.tail);
        EXPECT_EQ(tag_keys_of({entry}), std::vector<std::string>{c.keys}) << c.name;
    }
}

TEST_F(TagReader, ReadsAFileThatIsOnlyATagButNotOneByteShorter)
{
    const std::string tag = id3v1_trailer({"Only", "Tag", ""});
    const int32_t exactly_a_tag = add_file("exact.mp3", tag, 0);
    const int32_t one_short = add_file("short.mp3", tag.substr(0, 127), 0);
    const int32_t empty = add_file("empty file.mp3", "", 0);
    EXPECT_EQ(tag_keys_of({exactly_a_tag, one_short, empty}),
              (std::vector<std::string>{"&musica=Only&artista=Tag", "", ""}));
}

TEST_F(TagReader, UnreadablePathsOpenThePageWithoutTagKeys)
{
    const int32_t missing = add_entry(folder + "missing.mp3", "T", 200);
    const int32_t file_address = add_entry("file://server/share/R&B.mp3?x=1&y=2", "T", 200);
    const int32_t folder_itself = add_entry(folder, "T", 200);
    const int32_t pipe = add_entry("\\\\.\\pipe\\cantovia-test-pipe", "T", 200);
    HANDLE server = CreateNamedPipeA("\\\\.\\pipe\\cantovia-test-pipe", PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 0, 0,
                                     0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    EXPECT_EQ(tag_keys_of({missing, file_address, folder_itself, pipe}), (std::vector<std::string>{"", "", "", ""}));
    CloseHandle(server);
}

TEST_F(TagReader, ATaggedFileDoesNotLendItsTagToTheNextOne)
{
    const int32_t tagged = add_file("tagged.mp3", id3v1_trailer({"Title", "Artist", ""}));
    const int32_t untagged = add_file("untagged.mp3", "");
    const int32_t album_only = add_file("album.mp3", id3v1_trailer({"", "", "Album"}));
    EXPECT_EQ(tag_keys_of({tagged, untagged, album_only, untagged, tagged}),
              (std::vector<std::string>{"&musica=Title&artista=Artist", "", "&musica=&artista=", "",
                                        "&musica=Title&artista=Artist"}));
}

TEST_F(TagReader, FileNameWithAmpersandIsOpenedByItsRealName)
{
    const int32_t entry = add_file("Rock & Roll.mp3", id3v1_trailer({"Rock", "Band", ""}));
    EXPECT_EQ(tag_keys_of({entry}), std::vector<std::string>{"&musica=Rock&artista=Band"});
}

TEST_F(TagReader, FileHeldOpenForWritingByAnotherHandleIsStillRead)
{
    host.probe_sharing = true;
    const int32_t entry = add_file("held.mp3", id3v1_trailer({"Held", "Open", ""}));
    HANDLE writer = CreateFileA(host.script.playlist[static_cast<size_t>(entry)].path.c_str(),
                                GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(tag_keys_of({entry}), std::vector<std::string>{"&musica=Held&artista=Open"});
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(writer, "x", 1, &written, nullptr));
    CloseHandle(writer);

    // While the plug-in held the file, other programs could still open it to read and to write.
    ASSERT_EQ(host.file_opens.size(), 1u);
    const FileOpen& open = host.file_opens[0];
    EXPECT_EQ(open.path, host.script.playlist[static_cast<size_t>(entry)].path);
    EXPECT_TRUE(open.opened);
    EXPECT_EQ(open.access, DWORD{GENERIC_READ});
    EXPECT_EQ(open.share, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE});
    EXPECT_EQ(open.disposition, DWORD{OPEN_EXISTING});
    EXPECT_TRUE(open.others_could_read);
    EXPECT_TRUE(open.others_could_write);
}

// The title leaves room for "&musica=" but not for "&segundos=200": once the length is left
// out, the tag's keys stay out too.
TEST_F(TagReader, NoTagKeysAfterTheAddressWasCut)
{
    const int32_t entry = add_file("cut.mp3", id3v1_trailer({"Title", "Artist", ""}));
    std::string& title = host.script.playlist[static_cast<size_t>(entry)].title;
    const std::string before_title = page_for(entry).substr(0, page_for(entry).find("&t=") + 3);
    const size_t room_left = 10; // "&musica=" is 8 bytes, "&segundos=200" 13
    title = std::string(351 - before_title.size() - room_left, 'T');
    load();
    play(entry);
    EXPECT_EQ(tick(), std::vector<std::string>{before_title + title});
}

// Where the ID3v1 tag gives no title and no artist, a player of 2.9 or later is asked for what
// its input plug-ins read from the file; its values go in the same keys, escaped alike. Answers
// of 0 write junk into the buffer, which must count for nothing.
TEST_F(TagReader, PlayerGivesWhatTheTagLacks)
{
    using Value = std::optional<std::string>; // none: the player answers 0
    struct Case {
        const char* name;
        std::string tail;
        Value title;
        Value artist;
        std::string keys;
        std::string head = {}; // the file's first bytes
    };
    const std::string id3v2_header = std::string("ID3\x04\0\0\0\0\0\0", 10);
    const Case cases[] = {
        {"other format.flac", "", "Ocean", "Drive", "&musica=Ocean&artista=Drive"},
        {"id3v2 only.mp3", "", "Title", "Artist", "&musica=Title&artista=Artist", id3v2_header},
        {"tag title.mp3", id3v1_trailer({"Tag", "", ""}), "Player", "Player", "&musica=Tag&artista="},
        {"tag artist.mp3", id3v1_trailer({"", "Tag", ""}), "Player", "Player", "&musica=&artista=Tag"},
        {"empty tag.mp3", id3v1_trailer({"", "", ""}), "Title", "Artist", "&musica=Title&artista=Artist"},
        {"album only.mp3", id3v1_trailer({"", "", "Album"}), "Title", "Artist", "&musica=Title&artista=Artist"},
        {"album only unknown.mp3", id3v1_trailer({"", "", "Album"}), {}, {}, "&musica=&artista="},
        {"unknown.ogg", "", {}, {}, ""},
        {"empty values.m4a", "", "", "", ""},
        {"artist only.wma", "", {}, "Artist", "&musica=&artista=Artist"},
        {"title only.wma", "", "Title", "", "&musica=Title&artista="},
        {"escapes.flac", "", "Rock & Roll #1 + 100% %41", "A\x01\x1F\x7F" "B\x80\xE7\xFF",
         "&musica=Rock e Roll %231 %2B 100%25 %2541&artista=A%01%1F%7FB%80%E7%FF"},
    };
    host.script.version = FIRST_VERSION_WITH_FILE_INFO;
    host.script.file_info_junk_with_zero = true;
    for (const Case& c : cases) {
        const int32_t entry = add_file(c.name, c.head + std::string(1000, '\x55') + c.tail, 0);
        host.script.playlist[size_t(entry)].file_title = c.title;
        host.script.playlist[size_t(entry)].file_artist = c.artist;
        EXPECT_EQ(tag_keys_of({entry}), std::vector<std::string>{c.keys}) << c.name;
        // Asked for both fields of this very file, or (where the tag has a title or an artist)
        // not at all.
        std::vector<std::string> asked;
        for (const RecordedRequest& request : host.requests) {
            if (request.code == IPC_GET_EXTENDED_FILE_INFO) {
                EXPECT_EQ(request.text, host.script.playlist[size_t(entry)].path) << c.name;
                asked.push_back(request.field);
            }
        }
        const bool tag_wins = c.tail.size() == 128 && (c.tail[3] != '\0' || c.tail[33] != '\0');
        const std::vector<std::string> expected_fields = {"title", "artist"};
        EXPECT_EQ(asked, tag_wins ? std::vector<std::string>() : expected_fields) << c.name;
    }
}

// A player value is cut with the address, between whole escapes; a player that fills the whole
// buffer without a terminator is read no further than the buffer.
TEST_F(TagReader, PlayerValuesAreBoundedLikeEveryValue)
{
    host.script.version = CURRENT_PLAYER_VERSION;
    const int32_t entry = add_file("long.flac", "");
    host.script.playlist[size_t(entry)].file_title = std::string(400, '%');
    host.script.playlist[size_t(entry)].file_artist = "Artist";
    constexpr size_t LONGEST_ADDRESS = 351;
    const size_t room = LONGEST_ADDRESS - page_for(entry).size() - std::string("&musica=").size();
    std::string escapes;
    while (escapes.size() + 3 <= room) {
        escapes += "%25";
    }
    EXPECT_EQ(tag_keys_of({entry}), std::vector<std::string>{"&musica=" + escapes});

    host.script.file_info_unterminated = true;
    const int32_t unterminated = add_file("unterminated.flac", "");
    const std::string filled(LONGEST_ADDRESS - page_for(unterminated).size() - std::string("&musica=").size(), 'u');
    EXPECT_EQ(tag_keys_of({unterminated}), std::vector<std::string>{"&musica=" + filled});
}

// Only files are asked about, and only by a player that knows the request: reading the tags of
// a stream or a CD track may go to the network (a stream's song: tests/win/stream_test.cpp).
TEST_F(TagReader, StreamsAndOldPlayersAreNotAsked)
{
    struct Case {
        const char* name;
        int32_t version;
        std::string path;
    };
    const Case cases[] = {
        {"file address", CURRENT_PLAYER_VERSION, "file:///C:/Music/untagged.flac"},
        {"CD track", CURRENT_PLAYER_VERSION, "cda://D,3"},
        {"player 2.91", OLD_PLAYER_VERSION, folder + "untagged.flac"},
        {"player 2.8", FIRST_VERSION_WITH_FILE_INFO - 1, folder + "untagged.flac"},
    };
    for (const Case& c : cases) {
        host.unload();
        host.script.playlist.clear();
        host.script.version = c.version;
        const int32_t entry = add_entry(c.path, "T", 200);
        host.script.playlist[size_t(entry)].file_title = "Title";
        host.script.playlist[size_t(entry)].file_artist = "Artist";
        load();
        play(entry);
        EXPECT_EQ(tick().size(), 1u) << c.name;
        for (const RecordedRequest& request : host.requests) {
            EXPECT_NE(request.code, IPC_GET_EXTENDED_FILE_INFO) << c.name;
        }
    }
}

// Sparse files, so that they take no room: past 2 GiB, and past 4 GiB where the seek's high part
// matters, with the one size where the trailer starts at a low part of 0xFFFFFFFF.
struct LargeFile {
    const char* name;
    long long size;
};

class LargeFiles : public TagReader, public testing::WithParamInterface<LargeFile> {};

TEST_P(LargeFiles, TagIsReadFromTheEnd)
{
    const std::string path = folder + "large.mp3";
    ASSERT_TRUE(write_sparse_tagged_file(path, GetParam().size, {"Large", "File", ""}));
    const int32_t entry = add_entry(path, "T", 200);
    EXPECT_EQ(tag_keys_of({entry}), std::vector<std::string>{"&musica=Large&artista=File"});
    DeleteFileA(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(TagReader, LargeFiles,
                         testing::Values(LargeFile{"over_2_GiB", (1LL << 31) + 5 + 128},
                                         LargeFile{"trailer_at_low_part_FFFFFFFF", (1LL << 32) - 1 + 128},
                                         LargeFile{"over_4_GiB", (1LL << 32) + 5 + 128}),
                         [](const testing::TestParamInfo<LargeFile>& case_info) {
                             return std::string(case_info.param.name);
                         });

} // namespace
