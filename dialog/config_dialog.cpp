#include "dialog/config_dialog.h"

#include "dialog/labels.h"
#include "display/display.h"
#include "lookup/page_address.h"
#include "plugin/description.h"
#include "plugin/host_requests.h"
#include "plugin/plugin.h"
#include "resources/resource.h"

namespace {

struct LanguageRadio {
    int control;
    int32_t language;
};

constexpr LanguageRadio LANGUAGE_RADIOS[] = {
    {IDC_LANG_PT, LANGUAGE_PORTUGUESE},
    {IDC_LANG_EN, LANGUAGE_ENGLISH},
    {IDC_LANG_ES, LANGUAGE_SPANISH},
};

// The choices shown in the open dialog, not yet applied to `language` and `enabled`.
int32_t pending_language = LANGUAGE_PORTUGUESE;
int32_t pending_enabled = 1;

bool is_checked(HWND dialog, int control)
{
    return IsDlgButtonChecked(dialog, control) == BST_CHECKED;
}

void show_settings(HWND dialog)
{
    for (const LanguageRadio& radio : LANGUAGE_RADIOS) {
        CheckDlgButton(dialog, radio.control, radio.language == language ? BST_CHECKED : BST_UNCHECKED);
    }
    CheckDlgButton(dialog, IDC_ENABLED, enabled == 1 ? BST_CHECKED : BST_UNCHECKED);
    pending_language = language;
    pending_enabled = enabled;
    apply_dialog_language(dialog, language);
    SetWindowTextA(dialog, PLUGIN_DESCRIPTION);
}

// A value of the ini file other than 0 or 1 stays pending until the box is clicked, so OK
// keeps it (and opens no notice).
void apply_choices()
{
    language = pending_language;
    enabled = pending_enabled;
    if (pending_enabled == 0) {
        const uint32_t page = ++pages_begun;
        host_request(reinterpret_cast<WPARAM>(NOTICE_PAGE_ADDRESS), IPC_MBOPENREAL);
        if (pages_begun == page) { // else a later page came inside the request
            show_page(NOTICE_PAGE_ADDRESS);
        }
    }
}

void take_command(HWND dialog, int control)
{
    for (const LanguageRadio& radio : LANGUAGE_RADIOS) {
        if (control == radio.control && is_checked(dialog, control)) {
            pending_language = radio.language;
            return;
        }
    }
    switch (control) {
    case IDC_ENABLED:
        pending_enabled = is_checked(dialog, IDC_ENABLED) ? 1 : 0;
        break;
    case IDC_OK_BUTTON:
        apply_choices();
        EndDialog(dialog, 0);
        break;
    case IDC_CANCEL_BUTTON:
    case IDCANCEL: // Escape and the close box
        EndDialog(dialog, 0);
        break;
    default:
        break;
    }
}

} // namespace

void plugin_config()
{
    DialogBoxParamA(plugin_descriptor.module_instance, MAKEINTRESOURCEA(IDD_CONFIG), plugin_descriptor.parent_window,
                    config_dialog_proc, 0);
}

INT_PTR CALLBACK config_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        show_settings(dialog);
    } else if (message == WM_COMMAND) {
        take_command(dialog, LOWORD(wparam));
        apply_dialog_language(dialog, pending_language);
    }
    // FALSE for WM_INITDIALOG too: the dialog manager sets no initial focus.
    return FALSE;
}

void apply_dialog_language(HWND dialog, int32_t language_shown)
{
    if (const DialogLabels* labels = dialog_labels(language_shown)) {
        SetDlgItemTextA(dialog, IDC_ENABLED, labels->enable_box);
        SetDlgItemTextA(dialog, IDC_LANGUAGE_LABEL, labels->language_label);
        SetDlgItemTextA(dialog, IDC_CANCEL_BUTTON, labels->cancel_button);
    }
    for (const LanguageRadio& radio : LANGUAGE_RADIOS) {
        SetDlgItemTextA(dialog, radio.control, language_name(radio.language));
    }
}
