// The settings in the player's ini file: read once at init, written once at quit. The choice of
// the web browser over the lyrics window is only read; the window's place is written only when
// the plug-in keeps it, the choice from its menu item only where the item exists.
#include "plugin/plugin.h"

#include "common/bounded_text.h"
#include "display/display.h"
#include "plugin/description.h"
#include "plugin/host_requests.h"

namespace {

// The profile functions look for a bare file name in the Windows folder.
constexpr char FALLBACK_INI_NAME[] = "winamp.ini";
constexpr char ENABLED_KEY[] = "habilitado";
constexpr char LANGUAGE_KEY[] = "lingua";
constexpr char WEB_BROWSER_KEY[] = "navegador";
// The lyrics window's place on the screen, one edge a key.
constexpr char LEFT_KEY[] = "janela_esquerda";
constexpr char TOP_KEY[] = "janela_topo";
constexpr char RIGHT_KEY[] = "janela_direita";
constexpr char BOTTOM_KEY[] = "janela_base";
// The user's choice from the lyrics window's menu item: 1 shown, 0 closed.
constexpr char SHOWN_KEY[] = "janela_visivel";
// Read for a missing or empty key: the place is then taken as unknown.
constexpr int32_t MISSING = INT32_MIN;
constexpr char PLAYER_SECTION[] = "winamp";
constexpr char BLANK_PAGE[] = "about:blank";

void write_setting(const char* key, int32_t value)
{
    char text[DECIMAL_TEXT_SIZE];
    format_decimal(value, text);
    WritePrivateProfileStringA(PLUGIN_DESCRIPTION, key, text, ini_path);
}

int32_t read_setting(const char* key, int32_t default_value)
{
    return static_cast<int32_t>(GetPrivateProfileIntA(PLUGIN_DESCRIPTION, key, default_value, ini_path));
}

void load_window_place()
{
    const int32_t edges[] = {read_setting(LEFT_KEY, MISSING), read_setting(TOP_KEY, MISSING),
                             read_setting(RIGHT_KEY, MISSING), read_setting(BOTTOM_KEY, MISSING)};
    for (int32_t edge : edges) {
        if (edge == MISSING) {
            return; // an empty place: the window then opens beside the player
        }
    }
    lyrics_window_state.r = {edges[0], edges[1], edges[2], edges[3]};
}

} // namespace

const char* ini_path = nullptr;

void load_settings()
{
    // Kept by pointer: the player's text stays valid until quit.
    const LRESULT answer = host_request(0, IPC_GETINIFILE);
    ini_path = static_cast<uintptr_t>(answer) < LOWEST_POINTER ? FALLBACK_INI_NAME
                                                                : reinterpret_cast<const char*>(answer);
    enabled = read_setting(ENABLED_KEY, enabled);
    language = read_setting(LANGUAGE_KEY, language);
    prefers_web_browser = read_setting(WEB_BROWSER_KEY, prefers_web_browser);
    load_window_place();
    lyrics_window_wanted = read_setting(SHOWN_KEY, 1) != 0; // missing: shown
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
    if (lyrics_window_place_is_kept()) {
        const RECT& place = lyrics_window_state.r;
        write_setting(LEFT_KEY, place.left);
        write_setting(TOP_KEY, place.top);
        write_setting(RIGHT_KEY, place.right);
        write_setting(BOTTOM_KEY, place.bottom);
    }
    if (lyrics_menu_item_exists()) {
        write_setting(SHOWN_KEY, lyrics_window_wanted ? 1 : 0);
    }
}
