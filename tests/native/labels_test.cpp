#include "dialog/labels.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

namespace {

// Expected texts as code page 1252 bytes: a file saved as UTF-8 would give "L\xC3\xADngua".
struct LanguageTexts {
    int32_t language;
    const char* enable_box;
    const char* language_label;
    const char* cancel_button;
    const char* radio_name;
};

void PrintTo(const LanguageTexts& texts, std::ostream* out)
{
    *out << "language " << texts.language;
}

class DialogLabelsOf : public testing::TestWithParam<LanguageTexts> {};

TEST_P(DialogLabelsOf, Language)
{
    const LanguageTexts& expected = GetParam();
    const DialogLabels* labels = dialog_labels(expected.language);
    ASSERT_NE(labels, nullptr);
    EXPECT_STREQ(labels->enable_box, expected.enable_box);
    EXPECT_STREQ(labels->language_label, expected.language_label);
    EXPECT_STREQ(labels->cancel_button, expected.cancel_button);
    EXPECT_STREQ(language_name(expected.language), expected.radio_name);
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogLabelsOf,
                         testing::Values(LanguageTexts{1, "Habilitar o plugin", "L\xEDngua", "Cancelar", "Portugu\xEAs"},
                                         LanguageTexts{2, "Enabled", "Language", "Cancel", "English"},
                                         // Spanish keeps the English word on its Cancel button.
                                         LanguageTexts{3, "Permitir", "Lengua", "Cancel", "Espa\xF1ol"}),
                         [](const testing::TestParamInfo<LanguageTexts>& case_info) {
                             return "language_" + std::to_string(case_info.param.language);
                         });

TEST(DialogLabels, NoneForValuesThatAreNoLanguage)
{
    for (int32_t value : {0, 4, 5, -1, 99, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(dialog_labels(value), nullptr) << value;
        EXPECT_EQ(language_name(value), nullptr) << value;
    }
}

} // namespace
