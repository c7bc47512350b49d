// Drives another process's windows from outside, the way a user's clicks and keystrokes would.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace uidriver {

// Every wait is bounded so that a program that hangs fails a test instead of blocking CI.
constexpr DWORD kDefaultTimeoutMs = 20000;

// Polls `condition` until it holds or `timeoutMs` has passed; true when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeoutMs);

// A started program; the process is killed on destruction if it is still running, so a failed
// test never leaves a window behind for the next one.
class Process {
 public:
  Process() = default;
  Process(Process&&) noexcept = default;
  Process& operator=(Process&&) noexcept = default;
  ~Process() { Kill(); }

  // `commandLine` starts with the quoted program path; an empty `workingDirectory` inherits ours.
  [[nodiscard]] bool Start(const std::wstring& commandLine, const std::wstring& workingDirectory,
                           std::wstring& errorText);
  // Starts `program` with `arguments` in the program's own folder, as a shortcut to it would.
  [[nodiscard]] bool StartInItsFolder(const std::wstring& program, const std::wstring& arguments,
                                      std::wstring& errorText);
  DWORD Id() const { return processId_; }
  bool IsRunning() const;
  // False on timeout; `exitCode` is set only when the process has ended.
  [[nodiscard]] bool WaitForExit(DWORD timeoutMs, DWORD& exitCode) const;
  void Kill();

 private:
  struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
  };
  std::unique_ptr<void, HandleCloser> process_;  // one owner: copying would close it twice
  DWORD processId_ = 0;
};

// Top-level windows. A null `processId` matches any process.
HWND FindTopLevelWindow(DWORD processId, const std::wstring& className, bool visibleOnly = true);
HWND WaitForTopLevelWindow(DWORD processId, const std::wstring& className,
                           DWORD timeoutMs = kDefaultTimeoutMs);
DWORD WindowProcessId(HWND window);

// A message box as the user sees it.
struct MessageBoxInfo {
  HWND window = nullptr;
  HWND owner = nullptr;
  std::wstring title;
  std::wstring text;
  std::vector<int> buttonIds;  // in creation order, visible buttons only
  int defaultButtonId = 0;     // the button that carries BS_DEFPUSHBUTTON, 0 when none
  bool hasIcon = false;        // an icon shown beside the text
};

HWND FindMessageBox(DWORD processId);
HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs = kDefaultTimeoutMs);
// The process's next message box; null at once when the process ends without showing one.
HWND WaitForMessageBoxOrExit(const Process& process, DWORD timeoutMs = kDefaultTimeoutMs);
bool ReadMessageBox(HWND box, MessageBoxInfo& info);
// Presses the button with `buttonId` (IDOK, IDCANCEL, IDTRYAGAIN, IDCONTINUE ...) and waits for
// the box to go away.
[[nodiscard]] bool PressMessageBoxButton(HWND box, int buttonId,
                                         DWORD timeoutMs = kDefaultTimeoutMs);

// Controls. Every call goes through SendMessageTimeoutW so a blocked target cannot hang us.
std::wstring GetText(HWND window);
[[nodiscard]] bool SetText(HWND window, const std::wstring& text);
int GetCheck(HWND button);  // BST_UNCHECKED, BST_CHECKED, or -1 when the target did not answer
std::vector<std::wstring> GetComboItems(HWND combo);
int GetComboSelection(HWND combo);  // CB_ERR when nothing is selected
[[nodiscard]] bool SelectComboItem(HWND combo, int index);
[[nodiscard]] bool ShowComboDropDown(HWND combo, bool show);
// The drop-down list's screen rectangle while it is open.
bool GetComboDropDownRect(HWND combo, RECT& rect);

// A synchronous click for buttons whose handler returns at once (check boxes).
[[nodiscard]] bool Click(HWND button);
// A click that returns before the handler runs: for buttons that may open a modal box, which would
// block a sent message until someone answers it.
[[nodiscard]] bool PostClick(HWND button);
// The close box: WM_SYSCOMMAND SC_CLOSE, which the default handling turns into WM_CLOSE.
[[nodiscard]] bool PressCloseBox(HWND window);
[[nodiscard]] bool PostClose(HWND window);

struct ControlInfo {
  HWND window = nullptr;
  int id = 0;
  std::wstring className;
  std::wstring text;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};  // in the parent's client coordinates
};
// Direct children of `parent`, in z-order (which is their creation order).
std::vector<ControlInfo> ListControls(HWND parent);
std::wstring ClassNameOf(HWND window);

}  // namespace uidriver
