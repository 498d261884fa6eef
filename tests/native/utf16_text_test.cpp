// The code page 1252 to UTF-16 copy that carries a page address to a player without the
// mini-browser. The Windows tests check every byte against the system's own conversion.
#include "common/bounded_text.h"
#include "lookup/page_address.h"

#include "build_config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct ByteCase {
    const char* name;
    unsigned char byte;
    char16_t code_unit;
};

class Cp1252Byte : public testing::TestWithParam<ByteCase> {};

TEST_P(Cp1252Byte, HasItsCodeUnit)
{
    EXPECT_EQ(static_cast<unsigned>(utf16_from_cp1252(GetParam().byte)), static_cast<unsigned>(GetParam().code_unit));
}

// Where code page 1252 and Latin-1 part (0x80-0x9F) and where they agree, edges side by side.
INSTANTIATE_TEST_SUITE_P(
    Bytes, Cp1252Byte,
    testing::Values(ByteCase{"Nul", 0x00, 0x0000}, ByteCase{"LetterA", 0x41, 0x0041},
                    ByteCase{"Delete7F", 0x7F, 0x007F}, ByteCase{"EuroSign80", 0x80, 0x20AC},
                    ByteCase{"Undefined81", 0x81, 0x0081}, ByteCase{"LowQuote82", 0x82, 0x201A},
                    ByteCase{"Ellipsis85", 0x85, 0x2026}, ByteCase{"SCaron8A", 0x8A, 0x0160},
                    ByteCase{"Undefined8D", 0x8D, 0x008D}, ByteCase{"ZCaron8E", 0x8E, 0x017D},
                    ByteCase{"Undefined8F", 0x8F, 0x008F}, ByteCase{"Undefined90", 0x90, 0x0090},
                    ByteCase{"LeftQuote91", 0x91, 0x2018}, ByteCase{"TradeMark99", 0x99, 0x2122},
                    ByteCase{"Undefined9D", 0x9D, 0x009D}, ByteCase{"YDiaeresis9F", 0x9F, 0x0178},
                    ByteCase{"NoBreakSpaceA0", 0xA0, 0x00A0}, ByteCase{"EAcuteE9", 0xE9, 0x00E9},
                    ByteCase{"UAcuteFA", 0xFA, 0x00FA}, ByteCase{"YDiaeresisFF", 0xFF, 0x00FF}),
    [](const testing::TestParamInfo<ByteCase>& case_info) { return std::string(case_info.param.name); });

TEST(Cp1252Byte, OnlyTheTwentySevenCharactersOf80To9FLeaveLatin1)
{
    int moved = 0;
    for (unsigned byte = 0; byte <= 0xFF; ++byte) {
        const unsigned code_unit = utf16_from_cp1252(static_cast<unsigned char>(byte));
        const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        if (byte >= 0x80 && byte <= 0x9F && !undefined) {
            // Every one of them is a character above Latin-1, each a different one.
            EXPECT_GT(code_unit, 0xFFu) << std::hex << byte;
            for (unsigned other = 0x80; other < byte; ++other) {
                EXPECT_NE(utf16_from_cp1252(static_cast<unsigned char>(other)), code_unit) << std::hex << byte;
            }
            ++moved;
        } else {
            EXPECT_EQ(code_unit, byte) << std::hex << byte;
        }
    }
    EXPECT_EQ(moved, 27);
}

// Guard units on both sides, to see any write outside the six-unit text.
struct GuardedWideBuffer {
    static constexpr char16_t GUARD = 0x5A5A;
    char16_t before[4];
    char16_t text[6];
    char16_t after[4];

    GuardedWideBuffer()
    {
        for (char16_t& unit : before) unit = GUARD;
        for (char16_t& unit : text) unit = GUARD;
        for (char16_t& unit : after) unit = GUARD;
    }
    bool guards_intact() const
    {
        for (char16_t unit : before) {
            if (unit != GUARD) return false;
        }
        for (char16_t unit : after) {
            if (unit != GUARD) return false;
        }
        return true;
    }
    std::u16string value() const { return text; }
};

TEST(TextCopyUtf16, ExactFitOneShortOneOver)
{
    GuardedWideBuffer exact;
    EXPECT_TRUE(text_copy_utf16(exact.text, "\x80\xE9" "abc"));
    EXPECT_EQ(exact.value(), u"\u20AC\u00E9" u"abc");
    EXPECT_TRUE(exact.guards_intact());

    GuardedWideBuffer one_over;
    EXPECT_FALSE(text_copy_utf16(one_over.text, "\x80\xE9" "abcd"));
    EXPECT_EQ(one_over.value(), u"\u20AC\u00E9" u"abc");
    EXPECT_TRUE(one_over.guards_intact());

    GuardedWideBuffer shorter;
    EXPECT_TRUE(text_copy_utf16(shorter.text, "\x9F"));
    EXPECT_EQ(shorter.value(), u"\u0178");
    EXPECT_TRUE(shorter.guards_intact());
}

TEST(TextCopyUtf16, ReplacesTheTextAndStopsAtTheFirstNul)
{
    GuardedWideBuffer buffer;
    EXPECT_TRUE(text_copy_utf16(buffer.text, "abcde"));
    EXPECT_TRUE(text_copy_utf16(buffer.text, "x\0yz"));
    EXPECT_EQ(buffer.value(), u"x");
    EXPECT_TRUE(text_copy_utf16(buffer.text, ""));
    EXPECT_EQ(buffer.value(), u"");
    EXPECT_TRUE(buffer.guards_intact());
}

TEST(TextCopyUtf16, NoRoomAtAll)
{
    GuardedWideBuffer buffer;
    EXPECT_FALSE(text_copy_utf16(buffer.text, 0, "abc"));
    EXPECT_EQ(buffer.text[0], GuardedWideBuffer::GUARD) << "capacity 0 writes nothing";
    EXPECT_FALSE(text_copy_utf16(buffer.text, 1, "abc"));
    EXPECT_EQ(buffer.text[0], u'\0');
    EXPECT_EQ(buffer.text[1], GuardedWideBuffer::GUARD);
    EXPECT_TRUE(text_copy_utf16(buffer.text, 1, ""));
    EXPECT_TRUE(buffer.guards_intact());
}

// The player's path of the file that plays, copied at once into a buffer of the path's size, then
// compared with the entry's: texts that differ anywhere, or in length, are other files, and a path
// cut to the buffer is none of them.
struct SamePathCase {
    const char* name;
    std::u16string playing;
    std::u16string entry;
    bool same;
};

class PlayingPath : public testing::TestWithParam<SamePathCase> {};

TEST_P(PlayingPath, IsTheEntrysOnlyWhenEveryUnitAgrees)
{
    GuardedWideBuffer copy;
    const bool whole = text_copy_utf16(copy.text, GetParam().playing.c_str());
    EXPECT_EQ(whole, GetParam().playing.size() < std::size(copy.text));
    EXPECT_EQ(copy.value(), GetParam().playing.substr(0, std::size(copy.text) - 1));
    EXPECT_TRUE(copy.guards_intact());
    EXPECT_EQ(utf16_equal(copy.text, GetParam().entry.c_str(), std::size(copy.text)), GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PlayingPath,
    testing::Values(SamePathCase{"Same", u"C:\\a", u"C:\\a", true}, SamePathCase{"Empty", u"", u"", true},
                    SamePathCase{"OtherLetter", u"C:\\a", u"C:\\b", false},
                    SamePathCase{"CaseCounts", u"C:\\a", u"C:\\A", false},
                    SamePathCase{"EntryLonger", u"C:\\a", u"C:\\ab", false},
                    SamePathCase{"EntryShorter", u"C:\\ab", u"C:\\a", false},
                    SamePathCase{"BeyondLatin1", u"\u0161\u20AC", u"\u0161\u20AC", true},
                    SamePathCase{"FullBuffer", u"abcde", u"abcde", true},
                    // Cut to the buffer: never the same as the entry's whole path.
                    SamePathCase{"PlayingTooLong", u"abcdef", u"abcdef", false}),
    [](const testing::TestParamInfo<SamePathCase>& case_info) { return std::string(case_info.param.name); });

// ASCII text as UTF-16, for the expected values below.
std::u16string ascii_utf16(const std::string& text)
{
    std::u16string wide;
    for (char c : text) {
        EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "not ASCII";
        wide += static_cast<char16_t>(c);
    }
    return wide;
}

std::u16string repeated(const std::u16string& text, size_t times)
{
    std::u16string result;
    for (size_t i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

// High bytes travel as escapes: the wide address is the same ASCII text, whichever browser
// then sends it.
TEST(WideAddress, CarriesTheCodePage1252CharactersOfTheAddressAsEscapes)
{
    char address[PAGE_ADDRESS_SIZE];
    compose_page_address(address, site_base_address(1), "C:\\Caf\xE9 \x80 \x8A\x9F\x81.mp3",
                         "\x93" "Fado\x94 \x85 \xC9" "dith", 200);
    char16_t wide[PAGE_ADDRESS_SIZE];
    EXPECT_TRUE(text_copy_utf16(wide, address));
    EXPECT_EQ(std::u16string(wide), ascii_utf16(site_base_address(1)) +
                                        u"C:\\Caf%E9 %80 %8A%9F%81.mp3&t=%93Fado%94 %85 %C9dith&segundos=200");
}

// The longest address the plug-in sends, cut near 351 bytes in the middle of high bytes: the
// wide address holds all of it, one code unit a byte.
TEST(WideAddress, AnAddressCutAt351BytesFitsWhole)
{
    char path[PATH_TEXT_SIZE];
    std::string high_path = "C:\\";
    for (int i = 0; i < 500; ++i) {
        high_path += "\x80\xE9";
    }
    ASSERT_TRUE(copy_address_value(path, high_path.c_str()));
    char address[PAGE_ADDRESS_SIZE];
    ASSERT_FALSE(compose_page_address(address, site_base_address(3), path, "title", 300));
    // Cut between two escapes of three bytes each.
    const std::u16string uncut = ascii_utf16(site_base_address(3)) + u"C:\\" + repeated(u"%80%E9", 500);
    const size_t length = std::strlen(address);
    ASSERT_EQ(length, PAGE_ADDRESS_SIZE - 1 - (PAGE_ADDRESS_SIZE - 1 - std::strlen(site_base_address(3)) - 3) % 3);

    char16_t wide[PAGE_ADDRESS_SIZE];
    EXPECT_TRUE(text_copy_utf16(wide, address));
    EXPECT_EQ(std::u16string(wide), uncut.substr(0, length));
}

} // namespace
