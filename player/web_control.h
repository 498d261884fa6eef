// A window of the stand-in player that hosts the system's web browser control, as the old
// player's mini-browser did: the first page makes it, later pages navigate it in place. Under
// Wine it makes the real HTTP request and renders nothing.
#pragma once

#include <windows.h>

#include <string>

struct IWebBrowser2;

class WebControl {
public:
    explicit WebControl(const char* title);
    ~WebControl();
    WebControl(const WebControl&) = delete;
    WebControl& operator=(const WebControl&) = delete;

    // Shows the window (making it on first use).
    void show();
    // Shows the window, activated, and gives it the keyboard focus.
    void show_focused();
    // Navigates to `address`, making the window and its control on first use. False when no
    // control could be made or it refused the address.
    bool navigate(const std::wstring& address);

private:
    bool make_frame();
    bool make(const std::wstring& first_address);

    std::string title;
    HWND frame_window = nullptr;
    HWND control_window = nullptr;
    IWebBrowser2* browser = nullptr;
};

// The window class of the system's web browser control, registered by atl.dll.
constexpr char WEB_CONTROL_CLASS[] = "AtlAxWin";

// The web browser control hosted by `control_window` (a WEB_CONTROL_CLASS window), add-ref'd:
// release it. Null when the window holds no control.
IWebBrowser2* browser_of_control(HWND control_window);
