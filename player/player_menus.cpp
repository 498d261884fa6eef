#include "player/player_menus.h"

#include "plugin/player_menus.h"

namespace {

constexpr UINT FIRST_PLUGIN_COMMAND = 40500; // the player's own commands lie below

struct Item {
    const char* text; // null: a separator
    UINT command;     // 0: a submenu, with one item of its own
};

HMENU menu_of(const Item* items, size_t count)
{
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < count; ++i) {
        if (items[i].text == nullptr) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else if (items[i].command == 0) {
            HMENU submenu = CreatePopupMenu();
            AppendMenuA(submenu, MF_STRING, 40100 + i, items[i].text);
            AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), items[i].text);
        } else {
            AppendMenuA(menu, MF_STRING, items[i].command, items[i].text);
        }
    }
    return menu;
}

template <size_t N>
HMENU menu_of(const Item (&items)[N])
{
    return menu_of(items, N);
}

} // namespace

PlayerMenus::PlayerMenus() : next_command(FIRST_PLUGIN_COMMAND)
{
    constexpr UINT VIDEO = 40010;
    const Item main_items[] = {
        {"About...", 40001}, {nullptr, 0}, {"Play", 0}, {"View file info...", 40003}, {"Bookmarks", 0},
        {nullptr, 0}, {"Main Window", 40005}, {"Playlist Editor", 40006}, {"Equalizer", 40007}, {"Video", VIDEO},
        {nullptr, 0}, {"Options", 0}, {nullptr, 0}, {"Exit", 40009},
    };
    main_popup = menu_of(main_items);
    // No video plug-in: the player leaves its Video item out, and its offset up.
    RemoveMenu(main_popup, VIDEO, MF_BYCOMMAND);
    --main_offset;
    // The media library puts its item among the player's windows, and moves the offset down.
    InsertMenuA(main_popup, 7, MF_BYPOSITION | MF_STRING, 40011, "Media Library");
    ++main_offset;
    const Item window_items[] = {
        {"Main Window", 40005}, {"Playlist Editor", 40006}, {"Equalizer", 40007}, {nullptr, 0}, {"Always on Top", 40012},
    };
    window_menu = menu_of(window_items);
    // Another plug-in's window, in both menus at the places for plug-ins' items.
    const UINT album_art = next_command++;
    insert_item(main_popup, MAIN_MENU_ITEM_PLACE, main_offset, "Album Art", album_art);
    insert_item(window_menu, WINDOW_MENU_ITEM_PLACE, window_offset, "Album Art", album_art);
}

PlayerMenus::~PlayerMenus()
{
    DestroyMenu(main_popup);
    DestroyMenu(window_menu);
}

void PlayerMenus::insert_item(HMENU menu, int32_t place, int32_t& offset, const char* text, UINT command)
{
    InsertMenuA(menu, static_cast<UINT>(place + offset), MF_BYPOSITION | MF_STRING, command, text);
    ++offset;
}

LRESULT PlayerMenus::answer(int32_t code, WPARAM argument, bool offered)
{
    switch (code) {
    case IPC_NEW_COMMAND_ID:
        return static_cast<LRESULT>(next_command++);
    case IPC_GET_MENU:
        if (!offered) {
            return 0;
        }
        return reinterpret_cast<LRESULT>(argument == MENU_MAIN_POPUP ? main_popup : argument == MENU_WINDOW ? window_menu : nullptr);
    case IPC_MAIN_MENU_OFFSET:
    case IPC_WINDOW_MENU_OFFSET: {
        // The player adds the argument, as a signed number, and answers the offset.
        int32_t& offset = code == IPC_MAIN_MENU_OFFSET ? main_offset : window_offset;
        offset += static_cast<int32_t>(argument);
        return offset;
    }
    default:
        return 0;
    }
}

std::vector<std::string> menu_items(HMENU menu)
{
    std::vector<std::string> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[64] = {};
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item);
        items.push_back((item.fType & MFT_SEPARATOR) != 0 ? "-" : std::string(text) + ((item.fState & MFS_CHECKED) != 0 ? " (checked)" : ""));
    }
    return items;
}

UINT menu_command(HMENU menu, const std::string& text)
{
    const std::vector<std::string> items = menu_items(menu);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text || items[i] == text + " (checked)") {
            return GetMenuItemID(menu, static_cast<int>(i));
        }
    }
    return 0;
}
