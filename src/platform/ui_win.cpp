// MessageBoxW and GetOpenFileNameW, or whatever a test has put in their place.
#include "platform/ui_win.h"

#include <utility>

namespace platform::ui {
namespace {

MessageBoxHook& MessageBoxOverride() {
  static MessageBoxHook hook;
  return hook;
}

OpenFileHook& OpenFileOverride() {
  static OpenFileHook hook;
  return hook;
}

}  // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
  if (MessageBoxOverride()) return MessageBoxOverride()(owner, text, title, style);
  return MessageBoxW(owner, text.c_str(), title.c_str(), style);
}

BOOL ShowOpenFileDialog(OPENFILENAMEW& request) {
  if (OpenFileOverride()) return OpenFileOverride()(request);
  return GetOpenFileNameW(&request);
}

void SetMessageBoxHook(MessageBoxHook hook) {
  MessageBoxOverride() = std::move(hook);
}
void SetOpenFileHook(OpenFileHook hook) {
  OpenFileOverride() = std::move(hook);
}

}  // namespace platform::ui
