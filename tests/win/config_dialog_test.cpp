// The configuration dialog, driven as a user drives it: the real modal dialog of the plug-in,
// opened through the player's configure call, clicked from inside its modal loop.
#include "tests/win/plugin_fixture.h"

#include "build_config.h"
#include "player/dialog_driver.h"
#include "resources/resource.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

using Labels = std::vector<std::string>; // check box, language label, Cancel

const Labels PORTUGUESE_LABELS = {"Habilitar o plugin", "L\xEDngua", "Cancelar"};
const Labels ENGLISH_LABELS = {"Enabled", "Language", "Cancel"};
const Labels SPANISH_LABELS = {"Permitir", "Lengua", "Cancel"};
const Labels TEMPLATE_LABELS = {"Desabilitar o plugin", "L\xEDngua:", "Cancelar"};
const std::vector<std::string> RADIO_NAMES = {"Portugu\xEAs", "English", "Espa\xF1ol"};
const std::vector<int> LANGUAGE_RADIOS = {IDC_LANG_PT, IDC_LANG_EN, IDC_LANG_ES};

const std::string NOTICE_PAGE = "http://" CANTOVIA_NOTICE_HOST "/wdesabilitado.htm";

Labels labels_of(HWND dialog)
{
    return {item_text(dialog, IDC_ENABLED), item_text(dialog, IDC_LANGUAGE_LABEL),
            item_text(dialog, IDC_CANCEL_BUTTON)};
}

std::vector<std::string> radio_texts(HWND dialog)
{
    std::vector<std::string> texts;
    for (int radio : LANGUAGE_RADIOS) {
        texts.push_back(item_text(dialog, radio));
    }
    return texts;
}

std::vector<int> checked_radios(HWND dialog)
{
    std::vector<int> checked;
    for (int radio : LANGUAGE_RADIOS) {
        if (item_checked(dialog, radio)) {
            checked.push_back(radio);
        }
    }
    return checked;
}

// Names the site of each page ("pt", "en", "es", "notice"), for readable comparisons.
std::string sites_of(const std::vector<std::string>& pages)
{
    const std::pair<const char*, std::string> sites[] = {
        {"pt", "http://" CANTOVIA_SITE_PT "/winamp.php?a="},
        {"en", "http://" CANTOVIA_SITE_EN "/winamp.php?a="},
        {"es", "http://" CANTOVIA_SITE_ES "/winamp.php?a="},
    };
    std::string names;
    for (const std::string& page : pages) {
        std::string name = page == NOTICE_PAGE ? "notice" : "other: " + page;
        for (const auto& site : sites) {
            if (page.rfind(site.second, 0) == 0) {
                name = site.first;
            }
        }
        names += (names.empty() ? "" : " ") + name;
    }
    return names.empty() ? "none" : names;
}

// Names each instance of a table after its case, in test names and in failure messages.
struct CaseName {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case>& case_info) const
    {
        return case_info.param.name;
    }
};

DialogStep click(std::vector<int> controls)
{
    return [controls](HWND dialog) {
        for (int control : controls) {
            click_item(dialog, control);
        }
    };
}

class ConfigDialogTest : public PluginTest {
protected:
    void load_with(const char* enabled_value, const char* language_value)
    {
        write_setting("habilitado", enabled_value);
        write_setting("lingua", language_value);
        load();
    }

    // Runs the steps on the dialog that configure opens; the last step must end it.
    void run_dialog(const std::vector<DialogStep>& steps)
    {
        host.forget_requests();
        const DialogRun run = run_config_dialog(host, steps);
        EXPECT_TRUE(run.opened);
        EXPECT_EQ(run.steps_run, steps.size());
        EXPECT_FALSE(run.forced_end) << "the dialog was still open after its last step";
        dialog_requests = host.requests;
    }

    // The pages one tick opens when a track not played before starts.
    std::vector<std::string> tick_on_new_track()
    {
        play(add_entry("C:\\Music\\Track " + std::to_string(host.script.playlist.size()) + ".mp3"));
        return tick();
    }

    std::string ini_text()
    {
        std::ifstream file(host.script.ini_path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    // The live settings, as quit saves them.
    std::pair<std::string, std::string> saved_settings()
    {
        host.quit();
        return {ini_value(PLUGIN_DESCRIPTION, "habilitado"), ini_value(PLUGIN_DESCRIPTION, "lingua")};
    }

    std::vector<RecordedRequest> dialog_requests;
};

TEST_F(ConfigDialogTest, ModalOverThePlayerWithTheDescriptionAsCaption)
{
    load();
    std::string caption;
    std::string ok_text;
    HWND owner = nullptr;
    BOOL player_enabled = TRUE;
    run_dialog({[&](HWND dialog) {
                    caption = window_text(dialog);
                    ok_text = item_text(dialog, IDC_OK_BUTTON);
                    owner = GetWindow(dialog, GW_OWNER);
                    player_enabled = IsWindowEnabled(host.window());
                },
                click({IDC_CANCEL_BUTTON})});
    EXPECT_EQ(caption, PLUGIN_DESCRIPTION);
    EXPECT_EQ(ok_text, "OK");
    EXPECT_EQ(owner, host.window());
    EXPECT_FALSE(player_enabled);
    EXPECT_TRUE(IsWindowEnabled(host.window()));
}

struct OpeningCase {
    const char* name;
    const char* enabled_value; // as the ini file holds them
    const char* language_value;
    bool box_checked;
    std::vector<int> checked_radios;
    Labels labels;
};

void PrintTo(const OpeningCase& table_case, std::ostream* out)
{
    *out << table_case.name;
}

class ConfigDialogOpening : public ConfigDialogTest, public testing::WithParamInterface<OpeningCase> {};

TEST_P(ConfigDialogOpening, ShowsTheLiveSettings)
{
    const OpeningCase& expected = GetParam();
    load_with(expected.enabled_value, expected.language_value);
    bool box_checked = !expected.box_checked;
    std::vector<int> radios;
    Labels labels;
    std::vector<std::string> names;
    run_dialog({[&](HWND dialog) {
                    box_checked = item_checked(dialog, IDC_ENABLED);
                    radios = checked_radios(dialog);
                    labels = labels_of(dialog);
                    names = radio_texts(dialog);
                },
                click({IDC_CANCEL_BUTTON})});
    EXPECT_EQ(box_checked, expected.box_checked);
    EXPECT_EQ(radios, expected.checked_radios);
    EXPECT_EQ(labels, expected.labels);
    EXPECT_EQ(names, RADIO_NAMES);
}

// Values that are no setting (from a hand-edited ini file) leave the box clear, no radio
// checked and the template's own texts on the check box, the label and Cancel.
INSTANTIATE_TEST_SUITE_P(
    Settings, ConfigDialogOpening,
    testing::Values(OpeningCase{"Portuguese", "1", "1", true, {IDC_LANG_PT}, PORTUGUESE_LABELS},
                    OpeningCase{"English", "1", "2", true, {IDC_LANG_EN}, ENGLISH_LABELS},
                    OpeningCase{"Spanish", "1", "3", true, {IDC_LANG_ES}, SPANISH_LABELS},
                    OpeningCase{"LookupOff", "0", "2", false, {IDC_LANG_EN}, ENGLISH_LABELS},
                    OpeningCase{"EnabledTwoLanguageFive", "2", "5", false, {}, TEMPLATE_LABELS},
                    OpeningCase{"LanguageZero", "1", "0", true, {}, TEMPLATE_LABELS},
                    OpeningCase{"Negatives", "-1", "-1", false, {}, TEMPLATE_LABELS}),
    CaseName());

class ConfigDialogLanguageClicks : public ConfigDialogTest, public testing::WithParamInterface<const char*> {};

// Every change from one language to another, whatever the dialog opened with.
TEST_P(ConfigDialogLanguageClicks, RelabelTheOpenDialog)
{
    load_with("1", GetParam());
    const std::vector<std::pair<int, Labels>> clicks = {
        {IDC_LANG_PT, PORTUGUESE_LABELS}, {IDC_LANG_EN, ENGLISH_LABELS},    {IDC_LANG_ES, SPANISH_LABELS},
        {IDC_LANG_PT, PORTUGUESE_LABELS}, {IDC_LANG_ES, SPANISH_LABELS},    {IDC_LANG_EN, ENGLISH_LABELS},
        {IDC_LANG_PT, PORTUGUESE_LABELS},
    };
    std::vector<DialogStep> steps;
    for (const auto& step : clicks) {
        steps.push_back([&step](HWND dialog) {
            click_item(dialog, step.first);
            EXPECT_EQ(checked_radios(dialog), std::vector<int>{step.first}) << "after clicking " << step.first;
            EXPECT_EQ(labels_of(dialog), step.second) << "after clicking " << step.first;
            EXPECT_EQ(radio_texts(dialog), RADIO_NAMES);
            EXPECT_TRUE(item_checked(dialog, IDC_ENABLED));
        });
    }
    steps.push_back(click({IDC_CANCEL_BUTTON}));
    run_dialog(steps);
}

INSTANTIATE_TEST_SUITE_P(OpenedWithLanguage, ConfigDialogLanguageClicks, testing::Values("1", "2", "3", "5"),
                         [](const testing::TestParamInfo<const char*>& case_info) {
                             return std::string("lingua_") + case_info.param;
                         });

// A radio button's command while it is not checked (a notification of another kind, or a
// message sent to the dialog) chooses nothing.
TEST_F(ConfigDialogTest, RadioCommandWhileNotCheckedChangesNothing)
{
    load_with("1", "1");
    run_dialog({[](HWND dialog) {
                    for (int radio : {IDC_LANG_EN, IDC_LANG_ES}) {
                        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(radio, BN_CLICKED),
                                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, radio)));
                        EXPECT_EQ(checked_radios(dialog), std::vector<int>{IDC_LANG_PT}) << radio;
                        EXPECT_EQ(labels_of(dialog), PORTUGUESE_LABELS) << radio;
                    }
                },
                click({IDC_OK_BUTTON})});
    EXPECT_EQ(sites_of(tick_on_new_track()), "pt");
    EXPECT_EQ(saved_settings(), std::make_pair(std::string("1"), std::string("1")));
}

// The dialog procedure answers 0 to every message: to WM_INITDIALOG that tells the dialog
// manager not to set the initial focus itself. The focus it ends on is Wine's choice (Wine
// moves it to the first tab stop when the dialog is activated), so the answer is asked directly.
TEST_F(ConfigDialogTest, DialogProcedureAnswersZeroAlsoToInitDialog)
{
    load_with("1", "1");
    std::vector<INT_PTR> answers;
    run_dialog({[&](HWND dialog) {
                    const LONG_PTR stored = GetWindowLongPtrA(dialog, DWLP_DLGPROC);
                    DLGPROC procedure = nullptr;
                    static_assert(sizeof procedure == sizeof stored, "dialog procedure size");
                    std::memcpy(&procedure, &stored, sizeof stored);
                    ASSERT_NE(procedure, nullptr);
                    const HWND first_tab_stop = GetDlgItem(dialog, IDC_OK_BUTTON);
                    answers.push_back(procedure(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first_tab_stop), 0));
                    answers.push_back(procedure(dialog, WM_COMMAND, MAKEWPARAM(IDC_LANG_EN, BN_CLICKED), 0));
                    answers.push_back(procedure(dialog, WM_COMMAND, MAKEWPARAM(4242, BN_CLICKED), 0));
                    answers.push_back(procedure(dialog, WM_TIMER, 1, 0));
                },
                click({IDC_CANCEL_BUTTON})});
    EXPECT_EQ(answers, (std::vector<INT_PTR>{0, 0, 0, 0}));
}

// OK is the default push button: the Enter key ends the dialog as OK does.
TEST_F(ConfigDialogTest, EnterKeyEndsTheDialogAsOk)
{
    load_with("1", "1");
    run_dialog({click({IDC_LANG_ES, IDC_ENABLED}), [](HWND dialog) {
                    // The key goes where the focus is: the check box, clicked last.
                    const HWND focus = GetFocus();
                    ASSERT_EQ(focus, GetDlgItem(dialog, IDC_ENABLED));
                    PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
                    PostMessageA(focus, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001u));
                }});
    ASSERT_EQ(dialog_requests.size(), 1u);
    EXPECT_EQ(dialog_requests[0].text, NOTICE_PAGE);
    EXPECT_EQ(saved_settings(), std::make_pair(std::string("0"), std::string("3")));
}

// The lookup switched off while tracks change remembers none of them: switched on again, the
// track last looked up opens nothing and any other one opens its page.
struct OffWhileTracksChange {
    const char* name;
    bool back_to_first_track; // when the lookup is switched on again
    const char* site;         // of the page the next tick opens
};

class ConfigDialogOffAndOn : public ConfigDialogTest, public testing::WithParamInterface<OffWhileTracksChange> {};

TEST_P(ConfigDialogOffAndOn, OnlyANewTrackOpensAPage)
{
    load_with("1", "2");
    const int32_t first = add_entry("C:\\Music\\First.mp3");
    const int32_t second = add_entry("C:\\Music\\Second.mp3");
    play(first);
    ASSERT_EQ(sites_of(tick()), "en");
    run_dialog({click({IDC_ENABLED, IDC_OK_BUTTON})});
    play(second);
    EXPECT_EQ(sites_of(tick()), "none");
    if (GetParam().back_to_first_track) {
        play(first);
        EXPECT_EQ(sites_of(tick()), "none");
    }
    run_dialog({click({IDC_ENABLED, IDC_OK_BUTTON})});
    const std::vector<std::string> pages = tick();
    EXPECT_EQ(sites_of(pages), GetParam().site);
    if (!pages.empty()) {
        EXPECT_NE(pages[0].find("Second.mp3&t="), std::string::npos) << pages[0];
    }
    EXPECT_EQ(sites_of(tick()), "none") << "opened once only";
}

INSTANTIATE_TEST_SUITE_P(Tracks, ConfigDialogOffAndOn,
                         testing::Values(OffWhileTracksChange{"BackToTheTrackLastLookedUp", true, "none"},
                                         OffWhileTracksChange{"AnotherTrack", false, "en"}),
                         CaseName());

TEST_F(ConfigDialogTest, TemplateTextsStayUntilALanguageIsClicked)
{
    load_with("2", "5");
    run_dialog({[](HWND dialog) {
                    click_item(dialog, IDC_ENABLED);
                    EXPECT_TRUE(item_checked(dialog, IDC_ENABLED));
                    click_item(dialog, IDC_ENABLED);
                    EXPECT_FALSE(item_checked(dialog, IDC_ENABLED));
                    EXPECT_EQ(labels_of(dialog), TEMPLATE_LABELS);
                },
                [](HWND dialog) {
                    click_item(dialog, IDC_LANG_ES);
                    EXPECT_EQ(labels_of(dialog), SPANISH_LABELS);
                },
                click({IDC_CANCEL_BUTTON})});
}

struct Dismissal {
    const char* name;
    DialogStep dismiss;
};

void PrintTo(const Dismissal& table_case, std::ostream* out)
{
    *out << table_case.name;
}

class ConfigDialogDismissal : public ConfigDialogTest, public testing::WithParamInterface<Dismissal> {};

TEST_P(ConfigDialogDismissal, AppliesNothing)
{
    load_with("1", "1");
    const std::string ini_before = ini_text();
    run_dialog({click({IDC_LANG_ES, IDC_ENABLED}), GetParam().dismiss});
    EXPECT_TRUE(dialog_requests.empty()) << "first request: " << dialog_requests.front().code;
    EXPECT_EQ(ini_text(), ini_before);
    EXPECT_EQ(sites_of(tick_on_new_track()), "pt");
    EXPECT_EQ(saved_settings(), std::make_pair(std::string("1"), std::string("1")));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ConfigDialogDismissal,
    testing::Values(Dismissal{"CancelButton", click({IDC_CANCEL_BUTTON})},
                    Dismissal{"CancelCommand",
                              [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }},
                    Dismissal{"EscapeKey",
                              [](HWND dialog) {
                                  // The key goes where the focus is: the check box, clicked last.
                                  const HWND focus = GetFocus();
                                  ASSERT_TRUE(focus == dialog || IsChild(dialog, focus));
                                  PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                                  PostMessageA(focus, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
                              }},
                    Dismissal{"CloseMessage", [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }},
                    Dismissal{"CloseBox", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }}),
    CaseName());

struct OkCase {
    const char* name;
    const char* enabled_value; // as the ini file holds them
    const char* language_value;
    std::vector<int> clicks; // before OK
    bool notice;             // OK opens the notice page
    const char* saved_enabled;
    const char* saved_language;
    const char* next_page_site;
};

void PrintTo(const OkCase& table_case, std::ostream* out)
{
    *out << table_case.name;
}

class ConfigDialogOk : public ConfigDialogTest, public testing::WithParamInterface<OkCase> {};

TEST_P(ConfigDialogOk, AppliesTheChoicesForTheNextTick)
{
    const OkCase& expected = GetParam();
    load_with(expected.enabled_value, expected.language_value);
    const std::string ini_before = ini_text();
    run_dialog({click(expected.clicks), click({IDC_OK_BUTTON})});

    if (expected.notice) {
        ASSERT_EQ(dialog_requests.size(), 1u);
        EXPECT_EQ(dialog_requests[0].code, IPC_MBOPENREAL);
        EXPECT_EQ(dialog_requests[0].text, NOTICE_PAGE);
    } else {
        EXPECT_TRUE(dialog_requests.empty()) << "first request: " << dialog_requests.front().code;
    }
    EXPECT_EQ(ini_text(), ini_before) << "the dialog wrote to the ini file";
    EXPECT_EQ(sites_of(tick_on_new_track()), expected.next_page_site);
    EXPECT_EQ(saved_settings(), std::make_pair(std::string(expected.saved_enabled), std::string(expected.saved_language)));
}

// Only a box clicked to clear makes the pending value 0: a value of 2 from the ini file stays
// as it is (the lookup stays off) and opens no notice.
INSTANTIATE_TEST_SUITE_P(
    Choices, ConfigDialogOk,
    testing::Values(OkCase{"ToEnglish", "1", "1", {IDC_LANG_EN}, false, "1", "2", "en"},
                    OkCase{"ToSpanish", "1", "2", {IDC_LANG_ES}, false, "1", "3", "es"},
                    OkCase{"ToPortuguese", "1", "3", {IDC_LANG_PT}, false, "1", "1", "pt"},
                    OkCase{"Untouched", "1", "2", {}, false, "1", "2", "en"},
                    OkCase{"LookupOffAndSpanish", "1", "1", {IDC_ENABLED, IDC_LANG_ES}, true, "0", "3", "none"},
                    OkCase{"LookupOffAfterTwoChanges", "1", "1", {IDC_ENABLED, IDC_ENABLED, IDC_ENABLED}, true, "0", "1", "none"},
                    OkCase{"LookupAlreadyOff", "0", "2", {}, true, "0", "2", "none"},
                    OkCase{"LookupOn", "0", "1", {IDC_ENABLED}, false, "1", "1", "pt"},
                    OkCase{"LookupOnAfterTwoChanges", "1", "2", {IDC_ENABLED, IDC_ENABLED}, false, "1", "2", "en"},
                    OkCase{"IniValuesKept", "2", "5", {}, false, "2", "5", "none"},
                    OkCase{"IniEnabledTwoKeptWithNewLanguage", "2", "1", {IDC_LANG_EN}, false, "2", "2", "none"},
                    OkCase{"IniEnabledTwoSwitchedOff", "2", "1", {IDC_ENABLED, IDC_ENABLED}, true, "0", "1", "none"},
                    OkCase{"IniEnabledTwoSwitchedOn", "2", "3", {IDC_ENABLED}, false, "1", "3", "es"},
                    OkCase{"IniLanguageFiveToSpanish", "1", "5", {IDC_LANG_ES}, false, "1", "3", "es"}),
    CaseName());

struct OpenDialogTicks {
    const char* name;
    const char* enabled_value;
    const char* language_value;
    std::vector<int> clicks;
    const char* site; // of the pages ticks open before and after the clicks
};

void PrintTo(const OpenDialogTicks& table_case, std::ostream* out)
{
    *out << table_case.name;
}

class ConfigDialogTicks : public ConfigDialogTest, public testing::WithParamInterface<OpenDialogTicks> {};

TEST_P(ConfigDialogTicks, GoOnWithTheLiveSettings)
{
    const OpenDialogTicks& expected = GetParam();
    load_with(expected.enabled_value, expected.language_value);
    std::string before_clicks;
    std::string after_clicks;
    run_dialog({[&](HWND) { before_clicks = sites_of(tick_on_new_track()); }, click(expected.clicks),
                [&](HWND) { after_clicks = sites_of(tick_on_new_track()); }, click({IDC_CANCEL_BUTTON})});
    EXPECT_EQ(before_clicks, expected.site);
    EXPECT_EQ(after_clicks, expected.site);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ConfigDialogTicks,
    testing::Values(OpenDialogTicks{"LookupOnPortuguese", "1", "1", {IDC_LANG_EN, IDC_ENABLED}, "pt"},
                    OpenDialogTicks{"LookupOnSpanish", "1", "3", {IDC_LANG_PT}, "es"},
                    OpenDialogTicks{"LookupOff", "0", "1", {IDC_ENABLED, IDC_LANG_ES}, "none"}),
    CaseName());

struct TemplateControl {
    int id;
    const char* window_class;
    DWORD type; // BS_* or SS_* in the style's type bits
    bool tab_stop;
    bool group;
    RECT dialog_units; // x, y, width, height
};

// In template order, which is also the tab order.
const TemplateControl TEMPLATE_CONTROLS[] = {
    {IDC_OK_BUTTON, "Button", BS_DEFPUSHBUTTON, true, true, {19, 88, 50, 14}},
    {IDC_ENABLED, "Button", BS_AUTOCHECKBOX, true, false, {13, 14, 115, 10}},
    {IDC_STATIC, "Button", BS_GROUPBOX, false, false, {11, 29, 151, 50}},
    {IDC_LANG_PT, "Button", BS_AUTORADIOBUTTON, false, true, {73, 37, 75, 10}},
    {IDC_LANG_EN, "Button", BS_AUTORADIOBUTTON, false, false, {73, 51, 75, 10}},
    {IDC_LANGUAGE_LABEL, "Static", SS_LEFT, false, false, {18, 37, 38, 8}},
    {IDC_CANCEL_BUTTON, "Button", BS_PUSHBUTTON, true, false, {81, 88, 50, 14}},
    {IDC_LANG_ES, "Button", BS_AUTORADIOBUTTON, false, false, {73, 65, 75, 10}},
};

// The dialog manager converts position and size each on its own, as MapDialogRect converts the
// corners of a rectangle: so it is given x, y, width and height as one.
std::string placement_text(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
           "x" + std::to_string(rect.bottom - rect.top);
}

std::string mapped_text(HWND dialog, RECT dialog_units)
{
    MapDialogRect(dialog, &dialog_units);
    return std::to_string(dialog_units.left) + "," + std::to_string(dialog_units.top) + " " +
           std::to_string(dialog_units.right) + "x" + std::to_string(dialog_units.bottom);
}

TEST_F(ConfigDialogTest, TemplateLayout)
{
    // No language, so no radio checked: checking a radio gives it the tab stop.
    load_with("1", "5");
    run_dialog({[](HWND dialog) {
                    const DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
                    for (DWORD bit : {DWORD{WS_POPUP}, DWORD{WS_CAPTION}, DWORD{WS_SYSMENU}, DWORD{DS_MODALFRAME}}) {
                        EXPECT_EQ(style & bit, bit) << std::hex << bit;
                    }
                    RECT client = {};
                    GetClientRect(dialog, &client);
                    EXPECT_EQ(placement_text(client), mapped_text(dialog, {0, 0, 173, 114}));

                    HWND control = GetWindow(dialog, GW_CHILD);
                    for (const TemplateControl& expected : TEMPLATE_CONTROLS) {
                        ASSERT_NE(control, nullptr) << "no control " << expected.id;
                        SCOPED_TRACE("control " + std::to_string(expected.id));
                        // A 16-bit id in the template: IDC_STATIC reads back as 0xFFFF or -1.
                        EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(control)), static_cast<WORD>(expected.id));
                        char window_class[32] = {};
                        GetClassNameA(control, window_class, sizeof window_class);
                        EXPECT_STREQ(window_class, expected.window_class);
                        const DWORD control_style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
                        const DWORD type_mask = lstrcmpA(expected.window_class, "Static") == 0 ? SS_TYPEMASK : BS_TYPEMASK;
                        EXPECT_EQ(control_style & type_mask, expected.type);
                        EXPECT_EQ((control_style & WS_TABSTOP) != 0, expected.tab_stop);
                        EXPECT_EQ((control_style & WS_GROUP) != 0, expected.group);
                        EXPECT_TRUE(IsWindowVisible(control));

                        RECT placed = {};
                        GetWindowRect(control, &placed);
                        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&placed), 2);
                        EXPECT_EQ(placement_text(placed), mapped_text(dialog, expected.dialog_units));
                        control = GetWindow(control, GW_HWNDNEXT);
                    }
                    EXPECT_EQ(control, nullptr) << "more controls than the template's";
                },
                click({IDC_CANCEL_BUTTON})});
}

using ConfigDialogDriver = ConfigDialogTest;

// The guard that keeps a dialog test from hanging: steps that leave the dialog open.
TEST_F(ConfigDialogDriver, EndsADialogTheStepsLeftOpen)
{
    load_with("1", "1");
    const DialogRun run = run_config_dialog(host, {click({IDC_LANG_EN, IDC_ENABLED})}, 3);
    EXPECT_TRUE(run.opened);
    EXPECT_TRUE(run.forced_end);
    EXPECT_EQ(find_thread_dialog(), nullptr);
    EXPECT_EQ(saved_settings(), std::make_pair(std::string("1"), std::string("1")));
}

// As on a loaded machine: the dialog takes longer to make than a step period, so a timer
// message is due before the modal loop first finds its queue empty and shows the dialog.
LRESULT CALLBACK slow_dialog_creation(int code, WPARAM window, LPARAM info)
{
    if (code == HCBT_CREATEWND) {
        char class_name[16] = {};
        GetClassNameA(reinterpret_cast<HWND>(window), class_name, sizeof class_name);
        if (lstrcmpA(class_name, "#32770") == 0) {
            Sleep(5 * DIALOG_STEP_PERIOD_MS);
        }
    }
    return CallNextHookEx(nullptr, code, window, info);
}

TEST_F(ConfigDialogDriver, StepsRunOnTheShownDialog)
{
    load_with("1", "1");
    const HHOOK hook = SetWindowsHookExA(WH_CBT, slow_dialog_creation, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    bool shown = false;
    const DialogRun run = run_config_dialog(host, {[&](HWND dialog) {
                                                shown = IsWindowVisible(dialog) != FALSE;
                                                click_item(dialog, IDC_CANCEL_BUTTON);
                                            }});
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(run.opened);
    EXPECT_FALSE(run.forced_end);
    EXPECT_TRUE(shown);
}

} // namespace
