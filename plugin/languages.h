// The numbers of the three languages, the same everywhere: in the ini file, for the lyrics
// site and for the dialog's radio buttons and labels.
#pragma once

#include <cstdint>

constexpr int32_t LANGUAGE_PORTUGUESE = 1;
constexpr int32_t LANGUAGE_ENGLISH = 2;
constexpr int32_t LANGUAGE_SPANISH = 3;
