// Redirects one function that a loaded module imports, by rewriting the module's import
// address table. The stand-in player uses it to see the plug-in's timer and focus calls,
// its file opens and its profile writes.
#pragma once

#include <windows.h>

#include <cstring>

// The address-table slot through which `module` calls `function` of `dll`, or null.
void** find_import_slot(HMODULE module, const char* dll, const char* function);

// Points the slot at `replacement`, whose type must be that of the function it replaces
// (so a wrong calling convention does not compile). Returns false when it found no slot.
template <typename Function>
bool redirect_import(HMODULE module, const char* dll, const char* function, Function* replacement)
{
    void** slot = find_import_slot(module, dll, function);
    if (slot == nullptr) {
        return false;
    }
    static_assert(sizeof replacement == sizeof *slot, "function pointers are data-pointer sized here");
    DWORD old_protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old_protection)) {
        return false;
    }
    std::memcpy(slot, &replacement, sizeof replacement);
    VirtualProtect(slot, sizeof *slot, old_protection, &old_protection);
    return true;
}
