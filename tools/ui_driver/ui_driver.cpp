// The UI-automation calls behind the end-to-end tests and the driver command line.
#include "ui_driver.h"

#include <utility>

namespace uidriver {
namespace {

constexpr UINT kSendTimeoutMs = 5000;

// Sends a message that the system marshals across processes (texts, combobox strings); false
// when the target did not answer in time.
bool SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                           kSendTimeoutMs, &answer)) {
    return false;
  }
  result = static_cast<LRESULT>(answer);
  return true;
}

// System classes are registered in different letter cases by different Windows versions.
bool SameClass(const std::wstring& className, const wchar_t* expected) {
  return CompareStringOrdinal(className.c_str(), -1, expected, -1, TRUE) == CSTR_EQUAL;
}

struct TopLevelSearch {
  DWORD processId;
  const std::wstring* className;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<TopLevelSearch*>(lParam);
  if (search.processId != 0 && WindowProcessId(window) != search.processId) return TRUE;
  if (search.visibleOnly && !IsWindowVisible(window)) return TRUE;
  if (ClassNameOf(window) != *search.className) return TRUE;
  search.found = window;
  return FALSE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM lParam) {
  auto& parentAndList = *reinterpret_cast<std::pair<HWND, std::vector<ControlInfo>*>*>(lParam);
  if (GetParent(child) != parentAndList.first) return TRUE;  // grandchildren: a combobox's edit
  ControlInfo info;
  info.window = child;
  info.id = GetDlgCtrlID(child);
  info.className = ClassNameOf(child);
  info.text = GetText(child);
  info.style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
  info.exStyle = static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE));
  GetWindowRect(child, &info.rect);
  MapWindowPoints(HWND_DESKTOP, parentAndList.first, reinterpret_cast<POINT*>(&info.rect), 2);
  parentAndList.second->push_back(std::move(info));
  return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(25);
  }
}

bool Process::Start(const std::wstring& commandLine, const std::wstring& workingDirectory,
                    std::wstring& errorText) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring mutableCommandLine = commandLine;  // CreateProcessW may write into it
  if (!CreateProcessW(nullptr, mutableCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                      &info)) {
    const DWORD error = GetLastError();
    errorText += L"Could not start " + commandLine + L": error " + std::to_wstring(error) + L"\n";
    return false;
  }
  CloseHandle(info.hThread);
  Kill();
  process_.reset(info.hProcess);
  processId_ = info.dwProcessId;
  return true;
}

bool Process::StartInItsFolder(const std::wstring& program, const std::wstring& arguments,
                               std::wstring& errorText) {
  const std::size_t slash = program.find_last_of(L"\\/");
  return Start(L"\"" + program + L"\" " + arguments,
               slash == std::wstring::npos ? L"" : program.substr(0, slash), errorText);
}

bool Process::IsRunning() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(DWORD timeoutMs, DWORD& exitCode) const {
  if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(process_.get(), &exitCode) != FALSE;
}

void Process::Kill() {
  if (IsRunning()) {
    TerminateProcess(process_.get(), 255);
    WaitForSingleObject(process_.get(), kDefaultTimeoutMs);
  }
}

DWORD WindowProcessId(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

std::wstring ClassNameOf(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

HWND FindTopLevelWindow(DWORD processId, const std::wstring& className, bool visibleOnly) {
  TopLevelSearch search{processId, &className, visibleOnly, nullptr};
  EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForTopLevelWindow(DWORD processId, const std::wstring& className, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevelWindow(processId, className)) != nullptr; },
            timeoutMs);
  return found;
}

HWND FindMessageBox(DWORD processId) {
  return FindTopLevelWindow(processId, L"#32770");
}

HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
  return WaitForTopLevelWindow(processId, L"#32770", timeoutMs);
}

HWND WaitForMessageBoxOrExit(const Process& process, DWORD timeoutMs) {
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindMessageBox(process.Id())) != nullptr || !process.IsRunning(); },
            timeoutMs);
  return box;
}

bool ReadMessageBox(HWND box, MessageBoxInfo& info) {
  if (!IsWindow(box)) return false;
  MessageBoxInfo read;
  read.window = box;
  read.owner = GetWindow(box, GW_OWNER);
  read.title = GetText(box);
  for (const ControlInfo& control : ListControls(box)) {
    const bool visible = (control.style & WS_VISIBLE) != 0;
    if (SameClass(control.className, L"Static")) {
      if ((control.style & SS_TYPEMASK) == SS_ICON) {
        // A box without an icon may keep the icon control, empty; only its handle tells.
        LRESULT icon = 0;
        read.hasIcon =
            read.hasIcon ||
            (visible && SendBounded(control.window, STM_GETICON, 0, 0, icon) && icon != 0);
      } else if (control.id == 0xFFFF) {
        read.text = control.text;  // the message text keeps its line ends, unlike the title
      }
    } else if (SameClass(control.className, L"Button") && visible) {
      read.buttonIds.push_back(control.id);
      if ((control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) read.defaultButtonId = control.id;
    }
  }
  info = std::move(read);
  return true;
}

bool PressMessageBoxButton(HWND box, int buttonId, DWORD timeoutMs) {
  HWND button = GetDlgItem(box, buttonId);
  if (button == nullptr) return false;
  // WM_COMMAND is what the button itself would send; posting it keeps us free while the box closes.
  if (!PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                    reinterpret_cast<LPARAM>(button))) {
    return false;
  }
  return WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
}

std::wstring GetText(HWND window) {
  LRESULT length = 0;
  if (!SendBounded(window, WM_GETTEXTLENGTH, 0, 0, length) || length <= 0) return L"";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT copied = 0;
  if (!SendBounded(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                   copied)) {
    return L"";
  }
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

bool SetText(HWND window, const std::wstring& text) {
  LRESULT result = 0;
  return SendBounded(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), result) &&
         result != FALSE;
}

int GetCheck(HWND button) {
  LRESULT state = 0;
  return SendBounded(button, BM_GETCHECK, 0, 0, state) ? static_cast<int>(state) : -1;
}

std::vector<std::wstring> GetComboItems(HWND combo) {
  std::vector<std::wstring> items;
  LRESULT count = 0;
  if (!SendBounded(combo, CB_GETCOUNT, 0, 0, count) || count <= 0) return items;
  for (WPARAM index = 0; index < static_cast<WPARAM>(count); ++index) {
    LRESULT length = 0;
    if (!SendBounded(combo, CB_GETLBTEXTLEN, index, 0, length) || length < 0) break;
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    if (!SendBounded(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()), copied) ||
        copied < 0) {
      break;
    }
    item.resize(static_cast<size_t>(copied));
    items.push_back(std::move(item));
  }
  return items;
}

int GetComboSelection(HWND combo) {
  LRESULT selection = CB_ERR;
  return SendBounded(combo, CB_GETCURSEL, 0, 0, selection) ? static_cast<int>(selection) : CB_ERR;
}

bool SelectComboItem(HWND combo, int index) {
  LRESULT result = CB_ERR;
  return SendBounded(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, result) && result == index;
}

bool ShowComboDropDown(HWND combo, bool show) {
  LRESULT result = 0;
  return SendBounded(combo, CB_SHOWDROPDOWN, show ? TRUE : FALSE, 0, result);
}

bool GetComboDropDownRect(HWND combo, RECT& rect) {
  // The open list is a top-level "ComboLBox" window of the combobox's process; asking the
  // combobox itself would pass a pointer that is not marshalled across processes.
  HWND list = FindTopLevelWindow(WindowProcessId(combo), L"ComboLBox");
  return list != nullptr && GetWindowRect(list, &rect) != FALSE;
}

bool Click(HWND button) {
  LRESULT result = 0;
  return SendBounded(button, BM_CLICK, 0, 0, result);
}

bool PostClick(HWND button) {
  return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

bool PressCloseBox(HWND window) {
  return PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
}

bool PostClose(HWND window) {
  return PostMessageW(window, WM_CLOSE, 0, 0) != FALSE;
}

std::vector<ControlInfo> ListControls(HWND parent) {
  std::vector<ControlInfo> controls;
  std::pair<HWND, std::vector<ControlInfo>*> parentAndList{parent, &controls};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&parentAndList));
  return controls;
}

}  // namespace uidriver
