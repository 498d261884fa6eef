#include "player/import_patch.h"

namespace {

template <typename T>
T* at_offset(HMODULE module, DWORD offset)
{
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

} // namespace

void** find_import_slot(HMODULE module, const char* dll, const char* function)
{
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = at_offset<const IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto* descriptor = at_offset<IMAGE_IMPORT_DESCRIPTOR>(module, imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (lstrcmpiA(at_offset<const char>(module, descriptor->Name), dll) != 0) {
            continue;
        }
        auto* names = at_offset<IMAGE_THUNK_DATA>(module, descriptor->OriginalFirstThunk);
        auto* slots = at_offset<IMAGE_THUNK_DATA>(module, descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* by_name = at_offset<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
            if (lstrcmpA(reinterpret_cast<const char*>(by_name->Name), function) == 0) {
                return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
    }
    return nullptr;
}
