// The lyrics window's item in the player's menus: the window's title, "Cantovia", among the
// player's windows in its main popup and in its Window menu, checked while the window shows.
// Its place is the player's own count of the items above it (the player leaves out an item of
// its own at times, other plug-ins add theirs), never the plug-in's.
#include "display/lyrics_window.h"

#include "display/display.h"
#include "host/player.h"
#include "plugin/description.h"
#include "plugin/player_menus.h"

#include <iterator>

namespace {

struct MenuPlace {
    int32_t menu;           // the argument of IPC_GET_MENU
    int32_t offset_request; // the request that keeps the offset of its place
    int32_t first_place;    // the place, counted with that offset
};
constexpr MenuPlace MENU_PLACES[] = {
    {MENU_MAIN_POPUP, IPC_MAIN_MENU_OFFSET, MAIN_MENU_ITEM_PLACE},
    {MENU_WINDOW, IPC_WINDOW_MENU_OFFSET, WINDOW_MENU_ITEM_PLACE},
};

// The menus that hold the item, one for each place; null where it is not there.
HMENU menus_with_item[std::size(MENU_PLACES)] = {};
UINT item_command = 0; // while the item is in either menu
constexpr LRESULT LARGEST_COMMAND = 0xFFFF;

} // namespace

void add_lyrics_menu_item()
{
    if (!message_processor_added() || quitting != 0) {
        return;
    }
    const LRESULT command = host_request(0, IPC_NEW_COMMAND_ID);
    if (command <= 0 || command > LARGEST_COMMAND) {
        return;
    }
    item_command = static_cast<UINT>(command);
    bool added = false;
    // A quit inside any of these requests removes what was added before it, and ends this.
    for (size_t i = 0; i < std::size(MENU_PLACES) && quitting == 0; ++i) {
        const MenuPlace& place = MENU_PLACES[i];
        HMENU menu = reinterpret_cast<HMENU>(host_request(static_cast<WPARAM>(place.menu), IPC_GET_MENU));
        const LRESULT offset = menu != nullptr && quitting == 0 ? host_request(MENU_OFFSET_ASK, place.offset_request) : 0;
        // A place past the end (a player that answers nonsense) appends the item.
        if (menu == nullptr || quitting != 0 ||
            !InsertMenuA(menu, static_cast<UINT>(place.first_place + offset), MF_BYPOSITION | MF_STRING, item_command,
                         LYRICS_WINDOW_TITLE)) {
            continue;
        }
        menus_with_item[i] = menu;
        added = true;
        host_request(MENU_OFFSET_DOWN, place.offset_request);
    }
    if (!added) {
        item_command = 0;
    }
}

void remove_lyrics_menu_item()
{
    for (size_t i = 0; i < std::size(MENU_PLACES); ++i) {
        if (HMENU menu = menus_with_item[i]) {
            menus_with_item[i] = nullptr;
            RemoveMenu(menu, item_command, MF_BYCOMMAND);
            host_request(static_cast<WPARAM>(MENU_OFFSET_UP), MENU_PLACES[i].offset_request);
        }
    }
    item_command = 0;
}

bool lyrics_menu_item_exists()
{
    return item_command != 0;
}

void mark_lyrics_menu_item(bool shown)
{
    for (HMENU menu : menus_with_item) {
        if (menu != nullptr) {
            CheckMenuItem(menu, item_command, static_cast<UINT>(MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED)));
        }
    }
}

bool is_lyrics_menu_command(const MSG& message)
{
    return item_command != 0 && message.hwnd == plugin_descriptor.parent_window && (message.wParam & 0xFFFF) == item_command;
}
