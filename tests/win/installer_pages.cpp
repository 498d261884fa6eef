// Drives the installer for its tests, as a user would. It waits for a window whose title names
// the product given, then
//   directory     clicks Next on the welcome page and prints the text above the folder on the
//                 directory page;
//   retry|cancel  answers the message box that asks to close the player, printing its text;
//   question      only prints that text, once the message box is up.
// Usage: installer_pages directory|retry|cancel|question TITLE_PART SECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Control ids of NSIS's pages: the Next button of the outer window, the directory page's text.
constexpr int NEXT_BUTTON_ID = 1;
constexpr int DIRECTORY_TEXT_ID = 1006;
// The text of a message box, in Wine's as in Windows' own.
constexpr int MESSAGE_TEXT_ID = 0xFFFF;

struct Search {
  const char* title_part;
  HWND found;
};

BOOL CALLBACK match_title(HWND window, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  if (IsWindowVisible(window) && std::strstr(title, search->title_part) != nullptr) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND directory_text(HWND installer) {
  for (HWND page = FindWindowExA(installer, nullptr, "#32770", nullptr); page != nullptr;
       page = FindWindowExA(installer, page, "#32770", nullptr)) {
    if (HWND text = GetDlgItem(page, DIRECTORY_TEXT_ID)) {
      return text;
    }
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: installer_pages directory|retry|cancel|question TITLE_PART SECONDS\n");
    return 2;
  }
  const char* mode = argv[1];
  Search search{argv[2], nullptr};
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)) * 1000;
  while (search.found == nullptr && GetTickCount() < deadline) {
    EnumWindows(match_title, reinterpret_cast<LPARAM>(&search));
    Sleep(100);
  }
  if (search.found == nullptr) {
    std::fprintf(stderr, "no installer window\n");
    return 1;
  }
  if (std::strcmp(mode, "directory") != 0) {
    HWND button = GetDlgItem(search.found, std::strcmp(mode, "retry") == 0 ? IDRETRY : IDCANCEL);
    HWND message = GetDlgItem(search.found, MESSAGE_TEXT_ID);
    if (button == nullptr || message == nullptr) {
      std::fprintf(stderr, "not a message box with Retry and Cancel\n");
      return 1;
    }
    char shown[1024] = {};
    GetWindowTextA(message, shown, sizeof shown);
    std::printf("%s\n", shown);
    std::fflush(stdout);
    if (std::strcmp(mode, "question") != 0) {
      SendMessageA(button, BM_CLICK, 0, 0);
    }
    return 0;
  }
  HWND text = nullptr;
  while (text == nullptr && GetTickCount() < deadline) {
    SendMessageA(GetDlgItem(search.found, NEXT_BUTTON_ID), BM_CLICK, 0, 0);
    Sleep(300);
    text = directory_text(search.found);
  }
  if (text == nullptr) {
    std::fprintf(stderr, "no directory page\n");
    return 1;
  }
  char shown[1024] = {};
  GetWindowTextA(text, shown, sizeof shown);
  std::printf("%s\n", shown);
  return 0;
}
