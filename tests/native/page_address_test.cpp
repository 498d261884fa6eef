#include "lookup/page_address.h"

#include "build_config.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

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
                             return (seconds < 0 ? "minus_" : "") +
                                    std::to_string(seconds < 0 ? -(static_cast<int64_t>(seconds)) : seconds);
                         });

TEST(ComposePageAddress, ValuesGoInUnescaped)
{
    const char* title = "  A/B: C? D=E #1 + \xE9\\ ";
    EXPECT_EQ(compose(site_base_address(2), "", title, 0), ENGLISH + "&t=" + title);
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

    const std::string one_over = exact_path + "p";
    const std::string cut = compose(base.c_str(), one_over.c_str(), "", 0, &fit);
    EXPECT_FALSE(fit);
    EXPECT_EQ(cut.size(), PAGE_ADDRESS_SIZE - 1);
    EXPECT_EQ(cut, base + one_over + "&t");

    const std::string long_path(PATH_TEXT_SIZE - 1, 'q');
    EXPECT_EQ(compose(base.c_str(), long_path.c_str(), "title", 300, &fit).size(), PAGE_ADDRESS_SIZE - 1);
    EXPECT_FALSE(fit);
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

} // namespace
