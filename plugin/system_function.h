// A function of a DLL looked up by name, as a typed pointer. The address is copied into the
// pointer, not cast, so that no cast can hide a function type that does not match.
#pragma once

#include <windows.h>

#include <cstring>

// Sets `function` to `name` of `module` (null when the module or the function is missing) and
// says whether it was found.
template <typename Function>
bool find_function(HMODULE module, const char* name, Function& function)
{
    const FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
    static_assert(sizeof function == sizeof found, "function pointer size");
    std::memcpy(&function, &found, sizeof found);
    return found != nullptr;
}
