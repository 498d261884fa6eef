// The player's service objects as the stand-in player implements them, as the player does: C++
// objects with one virtual method and no virtual destructor, whose table then has the one entry
// the plug-ins call (with the member-function convention, thiscall on 32-bit builds). Declared
// here, with external linkage, so that the compiler cannot assume it knows every object of the
// type: the stand-in also calls the plug-ins' own objects through it.
#pragma once

class PlayerDispatchable {
public:
    virtual int dispatch(int code, void* result, void** params, int count) = 0;

protected:
    PlayerDispatchable() = default;
    ~PlayerDispatchable() = default;
    PlayerDispatchable(const PlayerDispatchable&) = default;
    PlayerDispatchable& operator=(const PlayerDispatchable&) = default;
};
