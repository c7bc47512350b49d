// MessageBoxW and GetOpenFileNameW, or whatever a test has put in their place.
#include "platform/ui_win.h"

#include <utility>

#include "platform/module_function_win.h"

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

// The common dialogs are loaded on the first Browse rather than at start: most runs never browse,
// and loading them delays the window's first paint.
BOOL CallGetOpenFileName(OPENFILENAMEW& request) {
  using GetOpenFileNameFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);
  static const GetOpenFileNameFunction getOpenFileName = []() -> GetOpenFileNameFunction {
    // A known DLL: Windows loads it from its own folder, never from beside the program.
    // Once loaded, it stays loaded for the rest of the run.
    return platform::ModuleFunction<GetOpenFileNameFunction>(LoadLibraryW(L"comdlg32.dll"),
                                                             "GetOpenFileNameW");
  }();
  return getOpenFileName ? getOpenFileName(&request) : FALSE;
}

LRESULT CALLBACK DropRepeatedDialogKeys(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && IsRepeatedDialogKey(*reinterpret_cast<const MSG*>(lParam)))
    return TRUE;  // neither routed to the dialog's buttons nor dispatched
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Watches the messages of the thread's modal dialogs and boxes for as long as it lives.
class RepeatedKeyFilter {
 public:
  RepeatedKeyFilter()
      : hook_(SetWindowsHookExW(WH_MSGFILTER, DropRepeatedDialogKeys, nullptr,
                                GetCurrentThreadId())) {}
  ~RepeatedKeyFilter() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  RepeatedKeyFilter(const RepeatedKeyFilter&) = delete;

 private:
  const HHOOK hook_;
};

}  // namespace

bool IsRepeatedDialogKey(const MSG& message) {
  return message.message == WM_KEYDOWN &&
         (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) &&
         (message.lParam & (LPARAM{1} << 30)) != 0;
}

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
  if (MessageBoxOverride()) return MessageBoxOverride()(owner, text, title, style);
  const RepeatedKeyFilter filter;
  return MessageBoxW(owner, text.c_str(), title.c_str(), style);
}

BOOL ShowOpenFileDialog(OPENFILENAMEW& request) {
  if (OpenFileOverride()) return OpenFileOverride()(request);
  const RepeatedKeyFilter filter;
  return CallGetOpenFileName(request);
}

void SetMessageBoxHook(MessageBoxHook hook) {
  MessageBoxOverride() = std::move(hook);
}
void SetOpenFileHook(OpenFileHook hook) {
  OpenFileOverride() = std::move(hook);
}

}  // namespace platform::ui
