// The smallest Win32 window program: the baseline that the settings window's start-up is
// measured against, built with the same toolchain, flags and manifest. Built a second time with
// KELVOR_PROGRAM_IMPORTS, it also loads the DLLs the program imports, which tells the cost of
// loading them apart from the cost of the program's own work.
#include <windows.h>

#include "twin_window.h"

namespace {

const wchar_t kClassName[] = L"KelvorMinimalClass";

LRESULT CALLBACK MinimalWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  StampStartup("loader");  // the entry, as in the program
#ifdef KELVOR_PROGRAM_IMPORTS
  if (!KeepProgramImports()) return 1;
#endif
  WNDCLASSW windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = MinimalWndProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassW(&windowClass)) return 1;
  // Same size, styles and topmost flag as the settings window, so both cost the same to show.
  HWND window = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"Minimal window",
                                WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX,
                                CW_USEDEFAULT, 5, 800, 700, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  return ShowAndRun(window, instance, kClassName);
}
