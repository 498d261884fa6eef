// A stand-in for the running player, for the installer's tests: opens one top-level window of
// the class given, prints "open" once it exists, and closes after the number of seconds given
// (or when killed). Usage: player_window CLASS SECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: player_window CLASS SECONDS\n");
    return 2;
  }
  const char* class_name = argv[1];
  const UINT seconds = static_cast<UINT>(std::strtoul(argv[2], nullptr, 10));

  WNDCLASSA window_class{};
  window_class.lpfnWndProc = DefWindowProcA;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = class_name;
  if (RegisterClassA(&window_class) == 0) {
    std::fprintf(stderr, "RegisterClass failed: %lu\n", GetLastError());
    return 1;
  }
  HWND window = CreateWindowA(class_name, "player", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              window_class.hInstance, nullptr);
  if (window == nullptr) {
    std::fprintf(stderr, "CreateWindow failed: %lu\n", GetLastError());
    return 1;
  }
  std::printf("open\n");
  std::fflush(stdout);

  SetTimer(nullptr, 0, seconds * 1000, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER) {
      break;
    }
    DispatchMessageA(&message);
  }
  DestroyWindow(window);
  return 0;
}
