#include "player/web_control.h"

#include "player/embedded_frames.h"
#include "plugin/system_function.h"

#include <exdisp.h>
#include <oleauto.h>

namespace {

constexpr char FRAME_CLASS[] = "CantoviaStandInBrowser";
constexpr int FRAME_WIDTH = 480;
constexpr int FRAME_HEIGHT = 360;

using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

// atl.dll stays loaded for the life of the process: the control's window class lives there.
AtlAxGetControlFunction atl_get_control()
{
    static const AtlAxGetControlFunction get_control = [] {
        HMODULE atl = LoadLibraryA("atl.dll");
        BOOL(WINAPI * win_init)() = nullptr;
        if (find_function(atl, "AtlAxWinInit", win_init)) {
            win_init(); // FALSE when already done in this process: no failure
        }
        AtlAxGetControlFunction found = nullptr;
        find_function(atl, "AtlAxGetControl", found);
        return found;
    }();
    return get_control;
}

LRESULT CALLBACK frame_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_SIZE) {
        if (HWND child = GetWindow(window, GW_CHILD)) {
            MoveWindow(child, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
        }
        return 0;
    }
    if (message == WM_CLOSE) {
        ShowWindow(window, SW_HIDE); // the player keeps its browser; a new page shows it again
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

} // namespace

IWebBrowser2* browser_of_control(HWND control_window)
{
    const AtlAxGetControlFunction get_control = atl_get_control();
    IUnknown* unknown = nullptr;
    if (get_control == nullptr || control_window == nullptr || FAILED(get_control(control_window, &unknown)) ||
        unknown == nullptr) {
        return nullptr;
    }
    void* found = nullptr;
    if (FAILED(unknown->QueryInterface(IID_IWebBrowser2, &found))) {
        found = nullptr;
    }
    unknown->Release();
    return static_cast<IWebBrowser2*>(found);
}

WebControl::WebControl(const char* window_title) : title(window_title) {}

WebControl::~WebControl()
{
    if (browser != nullptr) {
        browser->Stop();
        browser->Release();
    }
    if (frame_window != nullptr) {
        DestroyWindow(frame_window);
    }
}

bool WebControl::make(const std::wstring& first_address)
{
    if (!make_frame() || atl_get_control() == nullptr) {
        return false;
    }
    RECT area = {};
    GetClientRect(frame_window, &area);
    // A window of this class whose text is an address hosts the control and navigates there.
    const std::wstring control_class(WEB_CONTROL_CLASS, WEB_CONTROL_CLASS + sizeof WEB_CONTROL_CLASS - 1);
    control_window = CreateWindowExW(0, control_class.c_str(), first_address.c_str(), WS_CHILD | WS_VISIBLE, 0, 0,
                                     area.right, area.bottom, frame_window, nullptr, GetModuleHandleA(nullptr), nullptr);
    // The window is made even when no control could be: only the control tells.
    browser = browser_of_control(control_window);
    return browser != nullptr;
}

bool WebControl::make_frame()
{
    if (frame_window == nullptr) {
        register_player_class(FRAME_CLASS, frame_proc, COLOR_WINDOW);
        frame_window = CreateWindowExA(0, FRAME_CLASS, title.c_str(), WS_OVERLAPPEDWINDOW, 380, 40, FRAME_WIDTH,
                                       FRAME_HEIGHT, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    return frame_window != nullptr;
}

void WebControl::show()
{
    if (make_frame()) {
        ShowWindow(frame_window, SW_SHOWNOACTIVATE);
    }
}

void WebControl::show_focused()
{
    if (make_frame()) {
        ShowWindow(frame_window, SW_SHOW);
        SetFocus(frame_window);
    }
}

bool WebControl::navigate(const std::wstring& address)
{
    if (browser == nullptr) {
        return control_window == nullptr && make(address);
    }
    BSTR text = SysAllocStringLen(address.data(), static_cast<UINT>(address.size()));
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = text;
    const HRESULT result = browser->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    VariantClear(&target);
    return SUCCEEDED(result);
}
