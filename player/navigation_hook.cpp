#include "player/navigation_hook.h"

// The C form of the control's interface: its table of methods as a record, so that one entry can
// be replaced. Only this file sees it: everything it hands on is an untyped pointer.
#define CINTERFACE
#include <windows.h>

#include <exdisp.h>

namespace {

using Navigate2Method = HRESULT(STDMETHODCALLTYPE*)(IWebBrowser2*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*);

Navigate2Method control_navigate2 = nullptr;
NavigationObserver navigation_observer = nullptr;

HRESULT STDMETHODCALLTYPE watched_navigate2(IWebBrowser2* self, VARIANT* target, VARIANT* flags, VARIANT* frame,
                                            VARIANT* post_data, VARIANT* headers)
{
    const wchar_t* address = target != nullptr && V_VT(target) == VT_BSTR ? V_BSTR(target) : nullptr;
    navigation_observer(self, address);
    return control_navigate2(self, target, flags, frame, post_data, headers);
}

} // namespace

void watch_navigations(void* control, NavigationObserver observer)
{
    if (control_navigate2 != nullptr || control == nullptr) {
        return;
    }
    navigation_observer = observer;
    auto* table = const_cast<IWebBrowser2Vtbl*>(static_cast<IWebBrowser2*>(control)->lpVtbl);
    DWORD protection = 0;
    VirtualProtect(&table->Navigate2, sizeof table->Navigate2, PAGE_READWRITE, &protection);
    control_navigate2 = table->Navigate2;
    table->Navigate2 = watched_navigate2;
    VirtualProtect(&table->Navigate2, sizeof table->Navigate2, protection, &protection);
}
