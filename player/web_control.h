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
    // Navigates to `address`, making the window and its control on first use. False when no
    // control could be made or it refused the address.
    bool navigate(const std::wstring& address);
    bool has_control() const { return browser != nullptr; }
    HWND frame() const { return frame_window; }

private:
    bool make_frame();
    bool make(const std::wstring& first_address);

    std::string title;
    HWND frame_window = nullptr;
    HWND control_window = nullptr;
    IWebBrowser2* browser = nullptr;
};

// Code page 1252 text as UTF-16, as the player converts the address it is given.
std::wstring utf16_from_cp1252_text(const std::string& text);
