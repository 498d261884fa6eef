// Drives the installer for its tests, as a user would. It waits for a window whose title names
// the product given, then
//   directory     clicks Next on the welcome page and prints, on the directory page, the text
//                 above the folder, then "folder: " and the folder proposed; fails without the page;
//   retry|cancel  answers the message box that asks to close the player, printing its text;
//   question      only prints that text, once the message box is up;
//   ended         waits until no process runs whose program name starts with TITLE_PART (the
//                 uninstaller's copy of itself, which has no window); fails if one still runs.
// Usage: installer_pages directory|retry|cancel|question|ended TITLE_PART SECONDS
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Control ids of NSIS's pages: the Next button of the outer window, the directory page's text.
constexpr int NEXT_BUTTON_ID = 1;
constexpr int DIRECTORY_TEXT_ID = 1006;
constexpr int DIRECTORY_FOLDER_ID = 1019;
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

HWND directory_page(HWND installer) {
  for (HWND page = FindWindowExA(installer, nullptr, "#32770", nullptr); page != nullptr;
       page = FindWindowExA(installer, page, "#32770", nullptr)) {
    if (GetDlgItem(page, DIRECTORY_TEXT_ID) != nullptr && GetDlgItem(page, DIRECTORY_FOLDER_ID) != nullptr) {
      return page;
    }
  }
  return nullptr;
}

bool process_runs(const char* name_start) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return true;
  }
  PROCESSENTRY32 process = {};
  process.dwSize = sizeof process;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &process); more && !found; more = Process32Next(snapshot, &process)) {
    found = _strnicmp(process.szExeFile, name_start, std::strlen(name_start)) == 0;
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: installer_pages directory|retry|cancel|question|ended TITLE_PART SECONDS\n");
    return 2;
  }
  const char* mode = argv[1];
  Search search{argv[2], nullptr};
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)) * 1000;
  if (std::strcmp(mode, "ended") == 0) {
    while (process_runs(argv[2])) {
      if (GetTickCount() >= deadline) {
        std::fprintf(stderr, "%s... still runs\n", argv[2]);
        return 1;
      }
      Sleep(100);
    }
    return 0;
  }
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
  HWND page = nullptr;
  while (page == nullptr && GetTickCount() < deadline) {
    SendMessageA(GetDlgItem(search.found, NEXT_BUTTON_ID), BM_CLICK, 0, 0);
    Sleep(300);
    page = directory_page(search.found);
  }
  if (page == nullptr) {
    std::fprintf(stderr, "no directory page\n");
    return 1;
  }
  char shown[1024] = {};
  GetDlgItemTextA(page, DIRECTORY_TEXT_ID, shown, sizeof shown);
  char folder[MAX_PATH + 1] = {};
  GetDlgItemTextA(page, DIRECTORY_FOLDER_ID, folder, sizeof folder);
  std::printf("%s\nfolder: %s\n", shown, folder);
  return 0;
}
