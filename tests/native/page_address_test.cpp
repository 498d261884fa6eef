#include "lookup/page_address.h"

#include "build_config.h"
#include "common/bounded_text.h"
#include "lookup/id3v1.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string ENGLISH = "http://" CANTOVIA_SITE_EN "/winamp.php?a=";

std::string compose(const char* base, const char* path, const char* title, int32_t seconds, bool* fit = nullptr)
{
    char address[PAGE_ADDRESS_SIZE];
    std::memset(address, '#', sizeof address);
    const bool result = compose_page_address(address, base, path, title, seconds);
    if (fit != nullptr) {
        *fit = result;
    }
    return address;
}

TEST(SiteBaseAddress, OneSiteForEachLanguageAndNoneOtherwise)
{
    EXPECT_STREQ(site_base_address(1), "http://" CANTOVIA_SITE_PT "/winamp.php?a=");
    EXPECT_STREQ(site_base_address(2), "http://" CANTOVIA_SITE_EN "/winamp.php?a=");
    EXPECT_STREQ(site_base_address(3), "http://" CANTOVIA_SITE_ES "/winamp.php?a=");
    for (int32_t language : {0, 4, -7, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(site_base_address(language), nullptr) << language;
    }
    EXPECT_STREQ(NOTICE_PAGE_ADDRESS, "http://" CANTOVIA_NOTICE_HOST "/wdesabilitado.htm");
}

TEST(ComposePageAddress, WorkedExample)
{
    char path[PATH_TEXT_SIZE];
    char title[TITLE_TEXT_SIZE];
    ASSERT_TRUE(copy_address_value(path, "C:\\Music\\Rock & Roll.mp3"));
    ASSERT_TRUE(copy_address_value(title, "Band - Rock & Roll"));
    bool fit = false;
    EXPECT_EQ(compose(site_base_address(2), path, title, 215, &fit),
              ENGLISH + "C:\\Music\\Rock e Roll.mp3&t=Band - Rock e Roll&segundos=215");
    EXPECT_TRUE(fit);
}

struct SecondsCase {
    int32_t seconds;
    const char* expected_suffix;
};

class SecondsKey : public testing::TestWithParam<SecondsCase> {};

TEST_P(SecondsKey, PresentOnlyAboveOneSecond)
{
    EXPECT_EQ(compose(site_base_address(2), "p", "t", GetParam().seconds), ENGLISH + "p&t=t" + GetParam().expected_suffix);
}

INSTANTIATE_TEST_SUITE_P(Lengths, SecondsKey,
                         testing::Values(SecondsCase{INT32_MIN, ""}, SecondsCase{-1, ""}, SecondsCase{0, ""},
                                         SecondsCase{1, ""}, SecondsCase{2, "&segundos=2"},
                                         SecondsCase{3600, "&segundos=3600"},
                                         SecondsCase{INT32_MAX, "&segundos=2147483647"}),
                         [](const testing::TestParamInfo<SecondsCase>& case_info) {
                             const int32_t seconds = case_info.param.seconds;
                             return (seconds < 0 ? "seconds_minus_" : "seconds_") +
                                    std::to_string(seconds < 0 ? -(static_cast<int64_t>(seconds)) : seconds);
                         });

// What a form decoder (as the sites use) reads from a value: "+" a space, "%XX" a byte.
std::string form_decoded(const std::string& value)
{
    std::string bytes;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size()) {
            bytes += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            bytes += value[i] == '+' ? ' ' : value[i];
        }
    }
    return bytes;
}

struct UnitCase {
    const char* name;
    unsigned char byte;
    const char* unit;
};

class AddressUnit : public testing::TestWithParam<UnitCase> {};

TEST_P(AddressUnit, IsTheByteOrItsEscape)
{
    char unit[ADDRESS_UNIT_SIZE];
    address_unit(GetParam().byte, unit);
    EXPECT_STREQ(unit, GetParam().unit);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, AddressUnit,
    testing::Values(UnitCase{"Percent", '%', "%25"}, UnitCase{"Plus", '+', "%2B"}, UnitCase{"Hash", '#', "%23"},
                    UnitCase{"First", 0x01, "%01"}, UnitCase{"LastControl", 0x1F, "%1F"},
                    UnitCase{"Space", ' ', " "}, UnitCase{"Backslash", '\\', "\\"}, UnitCase{"Colon", ':', ":"},
                    UnitCase{"Question", '?', "?"}, UnitCase{"Equals", '=', "="}, UnitCase{"Slash", '/', "/"},
                    UnitCase{"Tilde", '~', "~"}, UnitCase{"Delete", 0x7F, "%7F"}, UnitCase{"Euro", 0x80, "%80"},
                    UnitCase{"Undefined81", 0x81, "%81"}, UnitCase{"SoftHyphen", 0xAD, "%AD"},
                    UnitCase{"EAcute", 0xE9, "%E9"}, UnitCase{"Last", 0xFF, "%FF"}),
    [](const testing::TestParamInfo<UnitCase>& case_info) { return std::string(case_info.param.name); });

TEST(ComposePageAddress, EveryByteOfAValueDecodesToItself)
{
    std::string every_byte;
    for (unsigned byte = 1; byte <= 0xFF; ++byte) {
        if (byte != '&') every_byte += static_cast<char>(byte);
    }
    for (size_t start = 0; start < every_byte.size(); start += 80) {
        const std::string title = every_byte.substr(start, 80);
        const std::string address = compose(site_base_address(2), "", title.c_str(), 0);
        ASSERT_EQ(address.compare(0, ENGLISH.size() + 3, ENGLISH + "&t="), 0);
        const std::string value = address.substr(ENGLISH.size() + 3);
        EXPECT_EQ(value.find_first_of("#&"), std::string::npos) << value;
        EXPECT_EQ(form_decoded(value), title);
        for (char c : value) {
            EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "not plain ASCII: " << static_cast<int>(c);
        }
    }
}

TEST(ComposePageAddress, ValuesKeepWhatBrowsersPassOn)
{
    EXPECT_EQ(compose(site_base_address(2), "C:\\Music\\100% Hits #1.mp3", "  A/B: C? D=E C++ \xE9 ", 0),
              ENGLISH + "C:\\Music\\100%25 Hits %231.mp3&t=  A/B: C? D=E C%2B%2B %E9 ");
}

TEST(ComposePageAddress, StartsAfreshEachTime)
{
    char address[PAGE_ADDRESS_SIZE];
    compose_page_address(address, site_base_address(1), "first", "one", 100);
    compose_page_address(address, site_base_address(2), "second", "two", 0);
    EXPECT_EQ(std::string(address), ENGLISH + "second&t=two");
}

TEST(ComposePageAddress, LongValuesAreCutAt351Bytes)
{
    const std::string base = site_base_address(2);
    const std::string exact_path(PAGE_ADDRESS_SIZE - 1 - base.size() - 3, 'p');
    bool fit = false;
    EXPECT_EQ(compose(base.c_str(), exact_path.c_str(), "", 0, &fit).size(), PAGE_ADDRESS_SIZE - 1);
    EXPECT_TRUE(fit);

    // One byte over: "&t=" would be cut to "&t", so it stays out and the address ends with the path.
    const std::string one_over = exact_path + "p";
    const std::string cut = compose(base.c_str(), one_over.c_str(), "", 0, &fit);
    EXPECT_FALSE(fit);
    EXPECT_EQ(cut, base + one_over);

    const std::string long_path(PATH_TEXT_SIZE - 1, 'q');
    EXPECT_EQ(compose(base.c_str(), long_path.c_str(), "title", 300, &fit).size(), PAGE_ADDRESS_SIZE - 1);
    EXPECT_FALSE(fit);
}

// A track whose address is cut at every position of its tail in turn, from "it all fits" to
// "the path itself is cut": the path grows by one byte at a time.
struct CutTrack {
    const char* name;
    const char* title;
    int32_t seconds;
    bool tagged;
    const char* tag_title;
    const char* tag_artist;
};

class CutAddress : public testing::TestWithParam<CutTrack> {};

// A value as the address carries it.
std::string escaped(const std::string& value)
{
    std::string units;
    for (char byte : value) {
        char unit[ADDRESS_UNIT_SIZE];
        address_unit(static_cast<unsigned char>(byte), unit);
        units += unit;
    }
    return units;
}

// Composes the address as the tick does: the page address, then the tag keys.
std::string compose_with_tag(const std::string& path, const CutTrack& track, bool* whole)
{
    char address[PAGE_ADDRESS_SIZE];
    std::memset(address, '#', sizeof address);
    Id3v1Tag tag = {};
    if (track.tagged) {
        text_copy(tag.tag_title, track.tag_title);
        text_copy(tag.tag_artist, track.tag_artist);
        text_copy(tag.tag_album, "Album");
    }
    const bool composed = compose_page_address(address, site_base_address(2), path.c_str(), track.title, track.seconds);
    *whole = append_tag_keys(address, tag, composed);
    return address;
}

// Where each key of `address` starts ("&") and ends (after its "=", and after the digits of
// "&segundos="). None of the test's values holds "&".
std::vector<std::pair<size_t, size_t>> key_spans(const std::string& address)
{
    std::vector<std::pair<size_t, size_t>> spans;
    for (size_t start = address.find('&'); start != std::string::npos; start = address.find('&', start + 1)) {
        size_t end = address.find('=', start) + 1;
        if (address.compare(start, 10, "&segundos=") == 0) {
            end = address.find_first_not_of("0123456789", end);
            end = end == std::string::npos ? address.size() : end;
        }
        spans.emplace_back(start, end);
    }
    return spans;
}

TEST_P(CutAddress, EndsInsideAValueOrBeforeAKeyAndHoldsAllThatFits)
{
    const CutTrack& track = GetParam();
    const std::string tail = std::string("&t=") + escaped(track.title) +
                             (track.seconds > 1 ? "&segundos=" + std::to_string(track.seconds) : "") +
                             (track.tagged ? std::string("&musica=") + escaped(track.tag_title) + "&artista=" +
                                                 escaped(track.tag_artist)
                                           : "");
    const size_t limit = PAGE_ADDRESS_SIZE - 1;
    const size_t fits_exactly = limit - ENGLISH.size() - tail.size();
    for (size_t path_length = fits_exactly; path_length <= fits_exactly + tail.size() + 1; ++path_length) {
        const std::string path(path_length, 'p');
        const std::string uncut = ENGLISH + path + tail;
        bool whole = false;
        const std::string address = compose_with_tag(path, track, &whole);
        SCOPED_TRACE("cut at " + std::to_string(uncut.size() - limit) + " bytes before the end: " + address);

        EXPECT_EQ(whole, uncut.size() <= limit);
        ASSERT_LE(address.size(), limit);
        ASSERT_EQ(uncut.compare(0, address.size(), address), 0) << "not the uncut address cut short";
        if (whole) {
            EXPECT_EQ(address, uncut);
            continue;
        }
        bool next_key_too_long = false;
        for (const auto& [start, end] : key_spans(uncut)) {
            EXPECT_FALSE(start < address.size() && address.size() < end)
                << "ends inside the key at " << start << ": " << uncut.substr(start, end - start);
            next_key_too_long = next_key_too_long || (start == address.size() && end > limit);
        }
        const size_t last_escape = address.rfind('%');
        EXPECT_FALSE(last_escape != std::string::npos && last_escape + 3 > address.size()) << "ends inside an escape";
        // All that fits went in: the address is full, the key after its end would not fit, or
        // the escape after its end would not.
        const bool next_escape_too_long = uncut[address.size()] == '%' && address.size() + 3 > limit;
        EXPECT_TRUE(address.size() == limit || next_key_too_long || next_escape_too_long) << address.size();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tracks, CutAddress,
    testing::Values(CutTrack{"Tagged", "Band - Title", 215, true, "Title", "Band"},
                    CutTrack{"EmptyTitleAndTagTitle", "", 215, true, "", "Band"},
                    CutTrack{"LongestSeconds", "T", INT32_MAX, true, "Title", "Band"},
                    CutTrack{"Untagged", "Band - Title", 215, false, "", ""},
                    CutTrack{"Escapes", "Caf\xE9 #1 + 2", 215, true, "100%", "\xC9 +"},
                    CutTrack{"NoSecondsTagged", "Band - Title", 1, true, "Title", "Band"},
                    CutTrack{"NoSecondsUntagged", "Title", 0, false, "", ""}),
    [](const testing::TestParamInfo<CutTrack>& case_info) { return std::string(case_info.param.name); });

TEST(AppendAddressKey, NothingGoesInAfterACut)
{
    char address[PAGE_ADDRESS_SIZE];
    const std::string start(PAGE_ADDRESS_SIZE - 1 - 5, 's');
    text_copy(address, start.c_str());
    bool whole = true;
    append_address_key(address, "&segundos=215", whole);
    EXPECT_FALSE(whole) << "refused";
    append_address_key(address, "&t=", whole);
    append_address_value(address, "v", whole);
    EXPECT_EQ(std::string(address), start) << "a shorter key or a value after a refused key";

    text_copy(address, start.c_str());
    whole = true;
    append_address_value(address, "123456", whole);
    EXPECT_FALSE(whole) << "cut";
    EXPECT_EQ(std::string(address), start + "12345");
}

TEST(CopyAddressValue, ReplacesAmpersandsAndReportsACut)
{
    char path[PATH_TEXT_SIZE];
    EXPECT_TRUE(copy_address_value(path, "C:\\R&B\\&&.mp3"));
    EXPECT_STREQ(path, "C:\\ReB\\ee.mp3");

    const std::string fits(PATH_TEXT_SIZE - 1, 'a');
    EXPECT_TRUE(copy_address_value(path, fits.c_str()));
    EXPECT_EQ(std::strlen(path), PATH_TEXT_SIZE - 1);

    const std::string too_long(PATH_TEXT_SIZE, '&');
    EXPECT_FALSE(copy_address_value(path, too_long.c_str()));
    EXPECT_EQ(std::string(path), std::string(PATH_TEXT_SIZE - 1, 'e'));
}

TEST(IsAddressEntry, SchemeSeparatorAnywhereMakesAnAddress)
{
    const std::pair<const char*, bool> cases[] = {
        {"http://radio.example/stream.mp3", true},
        {"cdda://D/3", true},
        {"C:\\Music\\a://b.mp3", true},
        {"://", true},
        {"C:\\Music\\Song.flac", false},
        {"\\\\server\\share\\Song.mp3", false},
        {"C:/Music/Song.mp3", false},
        {"C:\\a:\\/b.mp3", false},
        {"http:/", false},
        {":/", false},
        {"", false},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(is_address_entry(path), expected) << path;
    }
}

} // namespace
