// Watching the web controls' navigations: the stand-in player sees each address a web control of
// the process is told to go to, before it goes there, and may run a modal loop there, as a page's
// "leave this page?" prompt runs one on Windows (Wine's control runs none).
#pragma once

// Called with the control (its IWebBrowser2, not add-ref'd) and the address (null where the target
// is not text) each time a control of the process is told to Navigate2, before it navigates.
using NavigationObserver = void (*)(const void* control, const wchar_t* address);

// Points the Navigate2 entry of the table shared by every control of `control`'s kind (an
// IWebBrowser2) at a watcher that calls `observer`, then the control's own Navigate2. Once a
// process: later calls change nothing.
void watch_navigations(void* control, NavigationObserver observer);
