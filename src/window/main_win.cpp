// The program's entry point: identity, command line, settings, the window and its message loop.
#include <windows.h>

#include <shobjidl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ui_win.h"
#include "startup/command_line.h"
#include "startup/registry_store.h"
#include "startup/settings_file.h"
#include "window/settings_window.h"
#include "window/startup_trace.h"

namespace {

void LoadSettings() {
  if (!gCommandLineOptions.UseSettingsFile) {
    LoadSettingsFromRegistry(gStartupSettings);
    return;
  }
  std::wstring errorText;
  if (!LoadSettingsFromFile(gStartupSettings, errorText)) {
    // The window still opens, and the loop ends as soon as it sees the quit request.
    platform::ui::ShowMessageBox(nullptr, errorText, kErrorTitle, MB_OK | MB_ICONERROR);
    PostQuitMessage(0);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Only taskbar grouping depends on it, so its result is ignored.
  StampStartup("loader");
  SetCurrentProcessExplicitAppUserModelID(L"Mobrey.Orvel.Kelvor.NoVersion");
  StampStartup("identity");
  MainWindow = nullptr;
  ParseCommandLine(std::vector<std::wstring>(__wargv, __wargv + __argc), gCommandLineOptions);
  LoadSettings();
  StampStartup("settings");

  if (!RegisterSettingsWindowClass(instance)) {
    const DWORD error = GetLastError();
    ShowSystemErrorBox(MainWindow, L"Class registration failed.", static_cast<std::int32_t>(error));
    return 0;
  }
  StampStartup("class");

  const HWND window = CreateSettingsWindow(instance);
  if (!window) {
    const DWORD error = GetLastError();
    ShowSystemErrorBox(nullptr, L"Main window creation failed.", static_cast<std::int32_t>(error));
    return 0;
  }
  MainWindow = window;
  StampStartup("created");
  ShowWindow(MainWindow, SW_SHOWNORMAL);
  StampStartup("show");

  MSG message{};
  for (;;) {
    StampStartupIdle(MainWindow);
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) break;
    if (HandleTabKey(MainWindow, message) || HandleDialogKey(MainWindow, message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  UnregisterClassW(kWindowClassName, instance);
  WriteStartupStamps();
  return static_cast<int>(message.wParam);
}
