#include "common/bounded_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

// A buffer with guard bytes on both sides, to see any write outside it.
struct GuardedBuffer {
    static constexpr char GUARD = '\x5A';
    char before[8];
    char text[6];
    char after[8];

    GuardedBuffer()
    {
        std::memset(this, GUARD, sizeof *this);
        text[0] = '\0';
    }
    bool guards_intact() const
    {
        for (char c : before) {
            if (c != GUARD) return false;
        }
        for (char c : after) {
            if (c != GUARD) return false;
        }
        return true;
    }
};

TEST(TextAppend, FillsExactlyAndSaysWhenItCuts)
{
    GuardedBuffer buffer;
    EXPECT_TRUE(text_append(buffer.text, "1234"));
    EXPECT_STREQ(buffer.text, "1234");
    EXPECT_FALSE(text_append(buffer.text, "56"));
    EXPECT_STREQ(buffer.text, "12345");
    EXPECT_FALSE(text_append(buffer.text, "6"));
    EXPECT_STREQ(buffer.text, "12345");
    EXPECT_TRUE(text_append(buffer.text, ""));
    EXPECT_TRUE(buffer.guards_intact());
}

TEST(TextAppend, ExactFitOneShortOneOver)
{
    char exact[6] = "";
    EXPECT_TRUE(text_append(exact, "12345"));
    EXPECT_STREQ(exact, "12345");

    char short_by_one[6] = "";
    EXPECT_FALSE(text_append(short_by_one, "123456"));
    EXPECT_STREQ(short_by_one, "12345");

    char room_to_spare[7] = "";
    EXPECT_TRUE(text_append(room_to_spare, "12345"));
    EXPECT_STREQ(room_to_spare, "12345");
}

TEST(TextAppend, SourceLimitStopsAtLimitOrAtNul)
{
    char buffer[32] = "";
    EXPECT_TRUE(text_append(buffer, "abcdef", 3));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_TRUE(text_append(buffer, "de\0fgh", 5));
    EXPECT_STREQ(buffer, "abcde");
}

TEST(TextAppend, UnterminatedBufferIsTerminatedNotOverrun)
{
    GuardedBuffer buffer;
    std::memset(buffer.text, 'x', sizeof buffer.text);
    EXPECT_FALSE(text_append(buffer.text, "y"));
    EXPECT_EQ(buffer.text[sizeof buffer.text - 1], '\0');
    EXPECT_TRUE(buffer.guards_intact());
}

TEST(TextAppend, ZeroCapacityWritesNothing)
{
    char byte = 'q';
    EXPECT_FALSE(text_append(&byte, 0, "a"));
    EXPECT_FALSE(text_copy(&byte, 0, "a"));
    EXPECT_EQ(byte, 'q');
}

TEST(TextCopy, StartsFromTheFirstByte)
{
    GuardedBuffer buffer;
    text_copy(buffer.text, "old");
    EXPECT_TRUE(text_copy(buffer.text, "new"));
    EXPECT_STREQ(buffer.text, "new");
    EXPECT_FALSE(text_copy(buffer.text, "much too long"));
    EXPECT_STREQ(buffer.text, "much ");
    EXPECT_TRUE(buffer.guards_intact());
}

struct WholeCase {
    const char* name;
    const char* start;
    const char* source;
    bool goes_in;
    const char* result;
};

class TextAppendWhole : public testing::TestWithParam<WholeCase> {};

TEST_P(TextAppendWhole, AllOrNothing)
{
    GuardedBuffer buffer;
    text_copy(buffer.text, GetParam().start);
    EXPECT_EQ(text_append_whole(buffer.text, GetParam().source), GetParam().goes_in);
    EXPECT_STREQ(buffer.text, GetParam().result);
    EXPECT_TRUE(buffer.guards_intact());
}

// The buffer holds 5 characters and the NUL.
INSTANTIATE_TEST_SUITE_P(
    SixBytes, TextAppendWhole,
    testing::Values(WholeCase{"IntoEmptyExactFit", "", "12345", true, "12345"},
                    WholeCase{"IntoEmptyOneOver", "", "123456", false, ""},
                    WholeCase{"AfterTextExactFit", "12", "345", true, "12345"},
                    WholeCase{"AfterTextOneOver", "12", "3456", false, "12"},
                    WholeCase{"AfterTextMuchTooLong", "12", "3456789012345", false, "12"},
                    WholeCase{"OneShort", "12", "34", true, "1234"},
                    WholeCase{"EmptySourceIntoFullBuffer", "12345", "", true, "12345"},
                    WholeCase{"OneByteIntoFullBuffer", "12345", "6", false, "12345"}),
    [](const testing::TestParamInfo<WholeCase>& case_info) { return std::string(case_info.param.name); });

TEST(TextAppendWhole, UnterminatedBufferIsTerminatedNotOverrun)
{
    GuardedBuffer buffer;
    std::memset(buffer.text, 'x', sizeof buffer.text);
    EXPECT_FALSE(text_append_whole(buffer.text, ""));
    EXPECT_EQ(buffer.text[sizeof buffer.text - 1], '\0');
    EXPECT_TRUE(buffer.guards_intact());

    char byte = 'q';
    EXPECT_FALSE(text_append_whole(&byte, 0, ""));
    EXPECT_EQ(byte, 'q');
}

TEST(FormatDecimal, MatchesPrintfForTheWholeRange)
{
    const int32_t values[] = {0, 1, -1, 9, 10, 215, -215, 99999, INT32_MAX, INT32_MIN, INT32_MIN + 1};
    for (int32_t value : values) {
        char text[DECIMAL_TEXT_SIZE];
        format_decimal(value, text);
        char expected[32];
        std::snprintf(expected, sizeof expected, "%i", value);
        EXPECT_STREQ(text, expected) << value;
    }
}

TEST(ReplaceChar, ReplacesEveryMatchInPlaceAndReturnsTheText)
{
    char text[] = "R&B & Soul &&";
    EXPECT_EQ(replace_char(text, '&', 'e'), text);
    EXPECT_STREQ(text, "ReB e Soul ee");

    char high_bytes[] = "\xE9&\xFA";
    replace_char(high_bytes, '&', 'e');
    EXPECT_STREQ(high_bytes, "\xE9" "e\xFA");

    char empty[] = "";
    EXPECT_STREQ(replace_char(empty, '&', 'e'), "");
}

} // namespace
