// The requests the plug-in sends to the player's main window: one SendMessage with message
// number WM_USER, a request-dependent wParam and the request code as lParam. The player's
// answer is the message's result. Shared by the plug-in and the stand-in player.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr unsigned HOST_REQUEST_MESSAGE = 0x400; // WM_USER

constexpr int32_t IPC_GETVERSION = 0;         // the player's version: 0x20yx for 2.yx, 0x50yx for 5.x
constexpr int32_t IPC_ISPLAYING = 104;        // 1 while a track plays
constexpr int32_t IPC_GETOUTPUTTIME = 105;    // wParam 1: track length in seconds
constexpr int32_t IPC_GETLISTPOS = 125;       // current playlist index
constexpr int32_t IPC_GETPLAYLISTFILE = 211;  // wParam index: file path or null
constexpr int32_t IPC_GETPLAYLISTTITLE = 212; // wParam index: display title
constexpr int32_t IPC_GETPLAYLISTFILEW = 214;  // wParam index: file path as UTF-16 text, or null (players from 5.0)
constexpr int32_t IPC_MBOPEN = 241;           // shows the mini-browser
constexpr int32_t IPC_INETAVAILABLE = 242;    // 1 when the Internet is reachable
constexpr int32_t IPC_MBBLOCK = 248;          // wParam 1: sets the mini-browser's block flag
constexpr int32_t IPC_MBOPENREAL = 249;       // wParam URL: the mini-browser loads it
constexpr int32_t IPC_GET_EXTENDED_FILE_INFO = 290; // wParam ExtendedFileInfo: a field of a file's tag, as the player reads it
constexpr int32_t IPC_GETINIFILE = 334;       // path of the player's ini file
constexpr int32_t IPC_GET_EMBEDDED_FRAME = 505; // wParam window-state record: a hidden frame in the player's skin
constexpr int32_t IPC_GET_PLAYING_FILENAME = 3031; // the file that plays now, as UTF-16 text (players from 5.5)
constexpr int32_t IPC_OPEN_URL = 3032;        // wParam UTF-16 address: the system's web browser opens it

constexpr int32_t HOST_PLAYING = 1;
constexpr int32_t OUTPUT_TIME_LENGTH_SECONDS = 1;
constexpr int32_t MINIBROWSER_BLOCK = 1;

// The first version without the mini-browser: from it on, 241, 248 and 249 do nothing.
constexpr int32_t FIRST_VERSION_WITHOUT_MINIBROWSER = 0x5000;
// The first version with the embedded-window service (IPC_GET_EMBEDDED_FRAME).
constexpr int32_t FIRST_VERSION_WITH_EMBEDDED_FRAMES = 0x2900;
// The first version that answers IPC_GET_EXTENDED_FILE_INFO.
constexpr int32_t FIRST_VERSION_WITH_FILE_INFO = 0x2900;
// The first version that answers IPC_GET_PLAYING_FILENAME: the playlist position is not always
// what plays (the playing entry deleted, the list cleared under it).
constexpr int32_t FIRST_VERSION_WITH_PLAYING_FILE = 0x5050;
// What a player answers to a request it does not know (IPC_OPEN_URL on a player without it).
constexpr int32_t UNKNOWN_REQUEST_ANSWER = 1;

// An answer to IPC_GETINIFILE, IPC_GETPLAYLISTFILE or IPC_GETPLAYLISTTITLE below this is no
// pointer (the player lacks the request, or has no text): Windows never maps the lowest 64 KiB.
constexpr uintptr_t LOWEST_POINTER = 0x10000;

// Field of IPC_GET_EXTENDED_FILE_INFO: the playing stream's song, "Artist - Song" ("": none yet), any file named.
constexpr char FILE_INFO_STREAM_TITLE[] = "streamtitle";

// The record of IPC_GET_EXTENDED_FILE_INFO. The player answers 0 when it has no value: a record it
// refuses (a retlen of 0 or over 65536, a pointer below LOWEST_POINTER, an empty text), or a field
// that the file's input plug-in does not know. Otherwise it copies the value, in the system's
// ANSI code page and cut to retlen - 1 bytes, into `ret`, terminates it and answers non-zero.
struct ExtendedFileInfo {
    const char* filename;
    const char* metadata; // the field: "title", "artist", FILE_INFO_STREAM_TITLE
    char* ret;
    size_t retlen;
};

#if UINTPTR_MAX > 0xFFFFFFFFu
static_assert(sizeof(ExtendedFileInfo) == 32, "file info record layout");
static_assert(offsetof(ExtendedFileInfo, metadata) == 8, "file info record layout");
static_assert(offsetof(ExtendedFileInfo, ret) == 16, "file info record layout");
static_assert(offsetof(ExtendedFileInfo, retlen) == 24, "file info record layout");
#else
static_assert(sizeof(ExtendedFileInfo) == 16, "file info record layout");
static_assert(offsetof(ExtendedFileInfo, metadata) == 4, "file info record layout");
static_assert(offsetof(ExtendedFileInfo, ret) == 8, "file info record layout");
static_assert(offsetof(ExtendedFileInfo, retlen) == 12, "file info record layout");
#endif
