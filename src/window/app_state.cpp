// The window's process-wide state and the system error box.
#include "platform/ui_win.h"
#include "startup/error_text.h"
#include "window/settings_window.h"

StartupSettings gStartupSettings;
CommandLineOptions gCommandLineOptions;
HWND MainWindow = nullptr;

std::vector<JavaCandidate>& JavaCandidates() {
  static std::vector<JavaCandidate> candidates;
  return candidates;
}

void ShowSystemErrorBox(HWND owner, const std::wstring& message, std::int32_t code) {
  platform::ui::ShowMessageBox(owner, ComposeSystemErrorBoxText(message, code), kErrorTitle,
                               MB_OK | MB_ICONERROR);
}
