#include "player/web_control.h"

#include <exdisp.h>
#include <oleauto.h>

#include <cstring>

namespace {

constexpr char FRAME_CLASS[] = "CantoviaStandInBrowser";
constexpr wchar_t CONTROL_CLASS[] = L"AtlAxWin"; // registered by atl.dll's AtlAxWinInit
constexpr int FRAME_WIDTH = 480;
constexpr int FRAME_HEIGHT = 360;

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

// atl.dll stays loaded for the life of the process: its window class lives there.
struct Atl {
    AtlAxWinInitFunction win_init = nullptr;
    AtlAxGetControlFunction get_control = nullptr;
};

template <typename Function>
Function function_of(HMODULE module, const char* name)
{
    Function function = nullptr;
    const FARPROC address = GetProcAddress(module, name);
    static_assert(sizeof function == sizeof address, "function pointer size");
    std::memcpy(&function, &address, sizeof address);
    return function;
}

const Atl& atl()
{
    static Atl functions = [] {
        Atl loaded;
        if (HMODULE module = LoadLibraryA("atl.dll")) {
            loaded.win_init = function_of<AtlAxWinInitFunction>(module, "AtlAxWinInit");
            loaded.get_control = function_of<AtlAxGetControlFunction>(module, "AtlAxGetControl");
            if (loaded.win_init != nullptr) {
                loaded.win_init(); // FALSE when already done in this process: no failure
            }
        }
        return loaded;
    }();
    return functions;
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

void register_frame_class()
{
    WNDCLASSA frame_class = {};
    frame_class.lpfnWndProc = frame_proc;
    frame_class.hInstance = GetModuleHandleA(nullptr);
    frame_class.lpszClassName = FRAME_CLASS;
    frame_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frame_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&frame_class); // a second registration fails harmlessly
}

} // namespace

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
    const Atl& functions = atl();
    if (!make_frame() || functions.get_control == nullptr) {
        return false;
    }
    RECT area = {};
    GetClientRect(frame_window, &area);
    // A window of this class whose text is an address hosts the control and navigates there.
    control_window = CreateWindowExW(0, CONTROL_CLASS, first_address.c_str(), WS_CHILD | WS_VISIBLE, 0, 0,
                                     area.right, area.bottom, frame_window, nullptr, GetModuleHandleA(nullptr), nullptr);
    IUnknown* unknown = nullptr;
    // The window is made even when no control could be: only the control tells.
    if (control_window == nullptr || FAILED(functions.get_control(control_window, &unknown)) || unknown == nullptr) {
        return false;
    }
    void* interface_pointer = nullptr;
    unknown->QueryInterface(IID_IWebBrowser2, &interface_pointer);
    unknown->Release();
    browser = static_cast<IWebBrowser2*>(interface_pointer);
    return browser != nullptr;
}

bool WebControl::make_frame()
{
    if (frame_window == nullptr) {
        register_frame_class();
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

std::wstring utf16_from_cp1252_text(const std::string& text)
{
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    std::wstring wide(text.size(), L'\0');
    MultiByteToWideChar(1252, 0, text.data(), length, wide.data(), length);
    return wide;
}
