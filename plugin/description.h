// The plug-in's name: offered to the player, the name of its ini section and the caption of
// its configuration dialog. Code page 1252 ("\xFA" is the u with an acute accent).
#pragma once

constexpr char PLUGIN_DESCRIPTION[] = "Cantovia - Plugin para cantovia de m\xFA" "sicas";
// The title of the lyrics window, shown by skins on its frame.
constexpr char LYRICS_WINDOW_TITLE[] = "Cantovia";
