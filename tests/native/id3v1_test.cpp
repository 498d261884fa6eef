#include "lookup/id3v1.h"

#include "common/bounded_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string trailer(const std::string& title, const std::string& artist, const std::string& album,
                    const char* magic = "TAG")
{
    std::string bytes(ID3V1_TRAILER_SIZE, '\0');
    bytes.replace(0, 3, magic, 3);
    bytes.replace(3, title.size(), title);
    bytes.replace(33, artist.size(), artist);
    bytes.replace(63, album.size(), album);
    bytes.replace(93, 4, "1999");
    bytes.replace(97, 7, "comment");
    bytes[127] = '\x11';
    return bytes;
}

bool parse(const std::string& bytes, Id3v1Tag& tag)
{
    return parse_id3v1_trailer(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), tag);
}

Id3v1Tag filled_tag()
{
    Id3v1Tag tag;
    std::memset(&tag, 0, sizeof tag);
    text_copy(tag.tag_title, "old title");
    text_copy(tag.tag_artist, "old artist");
    text_copy(tag.tag_album, "old album");
    return tag;
}

TEST(ParseId3v1Trailer, CopiesTheThreeFieldsAsTheyAre)
{
    Id3v1Tag tag = {};
    ASSERT_TRUE(parse(trailer("Fado do Porto   ", "Ana & Jo\xE3o", "Ao vivo"), tag));
    EXPECT_STREQ(tag.tag_title, "Fado do Porto   ");
    EXPECT_STREQ(tag.tag_artist, "Ana & Jo\xE3o");
    EXPECT_STREQ(tag.tag_album, "Ao vivo");
}

TEST(ParseId3v1Trailer, FullFieldsKeepAll30BytesAndStayTerminated)
{
    const std::string thirty(30, 'T');
    std::string bytes = trailer(thirty, std::string(30, 'A'), std::string(30, 'L'));
    Id3v1Tag tag = filled_tag();
    std::memset(&tag, 'x', sizeof tag);
    ASSERT_TRUE(parse(bytes, tag));
    EXPECT_EQ(std::string(tag.tag_title), thirty);
    EXPECT_EQ(std::string(tag.tag_artist), std::string(30, 'A'));
    EXPECT_EQ(std::string(tag.tag_album), std::string(30, 'L'));
    // The 'x' left beforehand in the two bytes past the field is cleared too.
    EXPECT_EQ(tag.tag_title[30], '\0');
    EXPECT_EQ(tag.tag_title[31], '\0');
}

TEST(ParseId3v1Trailer, FieldEndsAtItsFirstNul)
{
    std::string bytes = trailer("ab", "", "");
    bytes[6] = 'z'; // after the NUL at offset 5: not part of the title
    Id3v1Tag tag = filled_tag();
    ASSERT_TRUE(parse(bytes, tag));
    EXPECT_STREQ(tag.tag_title, "ab");
    EXPECT_STREQ(tag.tag_artist, "");
}

struct NotATag {
    const char* name;
    std::string bytes;
};

class ParseRejects : public testing::TestWithParam<NotATag> {};

TEST_P(ParseRejects, LeavesTheFieldsAsTheyWere)
{
    Id3v1Tag tag = filled_tag();
    EXPECT_FALSE(parse(GetParam().bytes, tag));
    EXPECT_STREQ(tag.tag_title, "old title");
    EXPECT_STREQ(tag.tag_artist, "old artist");
    EXPECT_STREQ(tag.tag_album, "old album");
}

INSTANTIATE_TEST_SUITE_P(
    Trailers, ParseRejects,
    testing::Values(NotATag{"LowerCase", trailer("t", "a", "l", "tag")},
                    NotATag{"MixedCase", trailer("t", "a", "l", "TaG")},
                    NotATag{"OtherMagic", trailer("t", "a", "l", "ID3")},
                    NotATag{"ShortRead", trailer("t", "a", "l").substr(0, 127)},
                    NotATag{"LongerThanATrailer", trailer("t", "a", "l") + "x"},
                    NotATag{"NothingRead", std::string()}),
    [](const testing::TestParamInfo<NotATag>& case_info) { return case_info.param.name; });

std::string append(const char* start, Id3v1Tag& tag, bool* fit = nullptr, bool whole = true)
{
    char address[PAGE_ADDRESS_SIZE];
    text_copy(address, start);
    const bool result = append_tag_keys(address, tag, whole);
    if (fit != nullptr) {
        *fit = result;
    }
    return address;
}

TEST(AppendTagKeys, TitleAndArtistWithAmpersandsReplaced)
{
    Id3v1Tag tag = {};
    ASSERT_TRUE(parse(trailer("Rock & Roll ", "Band & Friends", "Live"), tag));
    EXPECT_EQ(append("x", tag), "x&musica=Rock e Roll &artista=Band e Friends");
    EXPECT_STREQ(tag.tag_title, "");
    EXPECT_STREQ(tag.tag_artist, "");
    EXPECT_STREQ(tag.tag_album, "");
    EXPECT_EQ(append("x", tag), "x") << "an emptied tag adds nothing the next time";
}

TEST(AppendTagKeys, OnlyAnAlbumSendsBothKeysEmpty)
{
    Id3v1Tag tag = {};
    ASSERT_TRUE(parse(trailer("", "", "Sessions"), tag));
    EXPECT_EQ(append("x", tag), "x&musica=&artista=");
}

TEST(AppendTagKeys, AllFieldsEmptySendsNothing)
{
    Id3v1Tag tag = {};
    ASSERT_TRUE(parse(trailer("", "", ""), tag));
    bool fit = false;
    EXPECT_EQ(append("x", tag, &fit), "x");
    EXPECT_TRUE(fit);
}

TEST(AppendTagKeys, CutAtTheEndOfTheAddressAndStillEmptied)
{
    Id3v1Tag tag = {};
    ASSERT_TRUE(parse(trailer(std::string(30, 'T'), std::string(30, 'A'), ""), tag));
    const std::string start(PAGE_ADDRESS_SIZE - 20, 's');
    bool fit = true;
    const std::string address = append(start.c_str(), tag, &fit);
    EXPECT_FALSE(fit);
    EXPECT_EQ(address, start + "&musica=TTTTTTTTTTT");
    EXPECT_STREQ(tag.tag_title, "");
}

TEST(AppendTagKeys, NothingAfterACutEarlierInTheAddressButStillEmptied)
{
    Id3v1Tag tag = {};
    ASSERT_TRUE(parse(trailer("T", "A", ""), tag));
    bool fit = true;
    EXPECT_EQ(append("short, but cut before", tag, &fit, false), "short, but cut before");
    EXPECT_FALSE(fit);
    EXPECT_STREQ(tag.tag_title, "");
    EXPECT_STREQ(tag.tag_artist, "");
}

TEST(AppendTagKeys, EmptyTagKeepsAnEarlierCut)
{
    Id3v1Tag tag = {};
    bool fit = true;
    EXPECT_EQ(append("x", tag, &fit, false), "x");
    EXPECT_FALSE(fit);
}

} // namespace
