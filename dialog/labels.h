// The texts the configuration dialog shows in each of its languages, in code page 1252.
// Portable: the Win32 side puts them on the controls.
#pragma once

#include "plugin/languages.h"

#include <cstdint>

struct DialogLabels {
    const char* enable_box;     // the check box that switches the lookup on
    const char* language_label; // beside the language choice
    const char* cancel_button;
};

// The labels for LANGUAGE_PORTUGUESE, LANGUAGE_ENGLISH or LANGUAGE_SPANISH; null for any
// other value, for which the dialog keeps the texts it has.
const DialogLabels* dialog_labels(int32_t language);

// The name on the radio button of a language, the same whatever the dialog's language;
// null for a value that is no language.
const char* language_name(int32_t language);
