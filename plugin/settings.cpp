// The two settings in the player's ini file: read once at init, written once at quit.
#include "plugin/plugin.h"

#include "common/bounded_text.h"
#include "plugin/description.h"
#include "plugin/host_requests.h"

namespace {

// The profile functions look for a bare file name in the Windows folder.
constexpr char FALLBACK_INI_NAME[] = "winamp.ini";
constexpr char ENABLED_KEY[] = "habilitado";
constexpr char LANGUAGE_KEY[] = "lingua";
constexpr char PLAYER_SECTION[] = "winamp";
constexpr char BLANK_PAGE[] = "about:blank";

void write_setting(const char* key, int32_t value)
{
    char text[DECIMAL_TEXT_SIZE];
    format_decimal(value, text);
    WritePrivateProfileStringA(PLUGIN_DESCRIPTION, key, text, ini_path);
}

} // namespace

const char* ini_path = nullptr;

void load_settings()
{
    // Kept by pointer: the player's text stays valid until quit.
    const LRESULT answer = host_request(0, IPC_GETINIFILE);
    ini_path = static_cast<uintptr_t>(answer) < LOWEST_POINTER ? FALLBACK_INI_NAME
                                                                : reinterpret_cast<const char*>(answer);
    enabled = static_cast<int32_t>(GetPrivateProfileIntA(PLUGIN_DESCRIPTION, ENABLED_KEY, enabled, ini_path));
    language = static_cast<int32_t>(GetPrivateProfileIntA(PLUGIN_DESCRIPTION, LANGUAGE_KEY, language, ini_path));
}

void blank_player_last_page()
{
    WritePrivateProfileStringA(PLAYER_SECTION, "last_shortdesc", BLANK_PAGE, ini_path);
    WritePrivateProfileStringA(PLAYER_SECTION, "last_shorturl", BLANK_PAGE, ini_path);
}

void save_settings()
{
    // A player that calls quit without init gave no ini file: a null file name would make the
    // profile functions write into win.ini.
    if (ini_path == nullptr) {
        return;
    }
    write_setting(ENABLED_KEY, enabled);
    write_setting(LANGUAGE_KEY, language);
    blank_player_last_page();
}
