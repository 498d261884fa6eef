#include "dialog/labels.h"

namespace {

// The Spanish dialog's Cancel button reads "Cancel", like the English one.
constexpr DialogLabels PORTUGUESE_LABELS = {"Habilitar o plugin", "L\xEDngua", "Cancelar"};
constexpr DialogLabels ENGLISH_LABELS = {"Enabled", "Language", "Cancel"};
constexpr DialogLabels SPANISH_LABELS = {"Permitir", "Lengua", "Cancel"};

} // namespace

const DialogLabels* dialog_labels(int32_t language)
{
    switch (language) {
    case LANGUAGE_PORTUGUESE:
        return &PORTUGUESE_LABELS;
    case LANGUAGE_ENGLISH:
        return &ENGLISH_LABELS;
    case LANGUAGE_SPANISH:
        return &SPANISH_LABELS;
    default:
        return nullptr;
    }
}

const char* language_name(int32_t language)
{
    switch (language) {
    case LANGUAGE_PORTUGUESE:
        return "Portugu\xEAs";
    case LANGUAGE_ENGLISH:
        return "English";
    case LANGUAGE_SPANISH:
        return "Espa\xF1ol";
    default:
        return nullptr;
    }
}
