// The player's service objects (players from 5.12 on): what a plug-in reaches through request
// IPC_GET_SERVICES, and what it hands the player in turn, such as a message processor. Each is a
// pointer to an object whose first word points to a table of one method, `dispatch`, with the
// member-function convention of 32-bit Windows C++ compilers (thiscall) on 32-bit builds. A
// caller passes argument i as params[i], the address of a copy of it, and `result` as the address
// of the result (null for calls with none); the method answers 1 for a code it knows, else 0.
//
// Written as a plain record with a typed table, not as a class: the compiler can neither assume
// that no such object exists (and drop calls through one) nor call it with another convention.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// GCC warns that thiscall is meant for member functions, and applies it all the same (the object
// in ECX, the callee pops the arguments, as the built DLL shows): the warning is silenced where a
// player method is declared or defined, between these two.
#if defined(__i386__)
#define PLAYER_METHOD __attribute__((thiscall))
#define PLAYER_METHODS_BEGIN _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wattributes\"")
#define PLAYER_METHODS_END _Pragma("GCC diagnostic pop")
#else
#define PLAYER_METHOD // the x64 convention: the object is the first argument
#define PLAYER_METHODS_BEGIN
#define PLAYER_METHODS_END
#endif

struct PlayerObject;
PLAYER_METHODS_BEGIN
using PlayerObjectDispatch = int(PLAYER_METHOD*)(PlayerObject* self, int code, void* result, void** params, int count);
PLAYER_METHODS_END
struct PlayerObjectTable {
    PlayerObjectDispatch dispatch;
};
struct PlayerObject {
    const PlayerObjectTable* table;
};
static_assert(sizeof(PlayerObject) == sizeof(void*) && offsetof(PlayerObject, table) == 0, "object: its table first");
static_assert(sizeof(PlayerObjectTable) == sizeof(void*), "table of one method");

constexpr int32_t IPC_GET_SERVICES = 3025;               // wParam 0: the service object, or 1 without it
constexpr int32_t FIRST_VERSION_WITH_SERVICES = 0x5012;
constexpr int SERVICE_FIND_FACTORY = 50;     // GUID by value -> the factory of that service
constexpr int FACTORY_MAKE = 300;            // int 1 -> the service's object
constexpr int FACTORY_RELEASE = 310;         // the object -> released; no result
constexpr int APPLICATION_ADD_PROCESSOR = 150;    // a processor -> the player offers it its messages; no result
constexpr int APPLICATION_REMOVE_PROCESSOR = 160; // the same processor -> no longer; no result
constexpr int PROCESSOR_TAKE_MESSAGE = 10;   // MSG* -> bool: true when the processor took the message
constexpr int FACTORY_MAKE_ONE = 1;

// The application service: the player's message loop and its processors.
constexpr GUID APPLICATION_SERVICE_GUID = {0x23B96771, 0x09D7, 0x46d3, {0x9A, 0xE2, 0x20, 0xDC, 0xEA, 0x6C, 0x86, 0xEA}};

// The processor's answer is one byte.
static_assert(sizeof(bool) == 1, "bool result");

// One call of `object`'s method with its arguments' addresses; true when the object knew the code.
template <size_t N>
bool call_player_object(PlayerObject* object, int code, void* result, void* (&params)[N])
{
    return object->table->dispatch(object, code, result, params, static_cast<int>(N)) == 1;
}
