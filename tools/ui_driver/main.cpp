// kelvor-ui-driver: the automation library as a command line, for scripts and for debugging.
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "ui_driver.h"

namespace {

constexpr wchar_t kUsage[] =
    L"usage: kelvor-ui-driver [--class NAME] [--timeout SECONDS] COMMAND [ARGS]\n"
    L"  wait-window          wait for the window; print its handle\n"
    L"  wait-gone            wait until the window has gone\n"
    L"  rect [COMBO_ID]      print the window's screen rectangle as WxH+X+Y, grown to take in\n"
    L"                       the open drop-down list of COMBO_ID\n"
    L"  dump                 print id, class, style, extended style and text of every control\n"
    L"  press ID             click the control ID without waiting for its handler\n"
    L"  set ID TEXT          put TEXT into the control ID\n"
    L"  select ID INDEX      select item INDEX of combobox ID\n"
    L"  dropdown ID          open the drop-down list of combobox ID\n"
    L"  close                send the window WM_CLOSE\n"
    L"  box                  print the open message box of the window's process\n"
    L"  box-press ID         press button ID (1 OK, 2 Cancel, 10 Try Again, 11 Continue)\n";

// Output goes to pipes as often as to consoles, so it is always written as UTF-8.
void Print(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
  }
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

int Fail(const std::wstring& message) {
  const std::wstring line = L"kelvor-ui-driver: " + message + L"\n";
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  std::fputs(bytes.c_str(), stderr);
  return 1;
}

bool ParseInt(const std::wstring& text, int& value) {
  wchar_t* end = nullptr;
  const long parsed = std::wcstol(text.c_str(), &end, 0);
  if (text.empty() || *end != L'\0') return false;
  value = static_cast<int>(parsed);
  return true;
}

std::wstring Hex(unsigned long value) {
  wchar_t buffer[16];
  std::swprintf(buffer, 16, L"0x%08lX", value);
  return buffer;
}

// Control texts may hold line ends; a dump keeps one control per line.
std::wstring Escaped(const std::wstring& text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    if (c == L'\n') {
      escaped += L"\\n";
    } else if (c == L'\r') {
      escaped += L"\\r";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

int Run(const std::vector<std::wstring>& args) {
  std::wstring className = L"KelvorSSClass";
  DWORD timeoutMs = uidriver::kDefaultTimeoutMs;
  size_t next = 0;
  for (; next + 1 < args.size() && args[next].starts_with(L"--"); next += 2) {
    int seconds = 0;
    if (args[next] == L"--class") {
      className = args[next + 1];
    } else if (args[next] == L"--timeout" && ParseInt(args[next + 1], seconds) && seconds >= 0) {
      timeoutMs = static_cast<DWORD>(seconds) * 1000;
    } else {
      return Fail(L"bad option " + args[next]);
    }
  }
  if (next >= args.size()) {
    Print(kUsage);
    return 2;
  }
  const std::wstring command = args[next];
  const std::vector<std::wstring> operands(args.begin() + static_cast<long>(next) + 1, args.end());

  if (command == L"wait-gone") {
    const bool gone = uidriver::WaitUntil(
        [&] { return uidriver::FindTopLevelWindow(0, className, false) == nullptr; }, timeoutMs);
    return gone ? 0 : Fail(L"the window is still there");
  }
  HWND window = uidriver::WaitForTopLevelWindow(0, className, timeoutMs);
  if (window == nullptr) return Fail(L"no visible window of class " + className);

  int id = 0;
  const bool hasId = !operands.empty() && ParseInt(operands[0], id);
  HWND control = hasId ? GetDlgItem(window, id) : nullptr;
  if (command == L"wait-window") {
    Print(Hex(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window))) + L"\n");
  } else if (command == L"rect") {
    RECT rect{};
    GetWindowRect(window, &rect);
    RECT list{};
    if (control != nullptr && uidriver::GetComboDropDownRect(control, list)) {
      UnionRect(&rect, &rect, &list);
    }
    Print(std::to_wstring(rect.right - rect.left) + L"x" + std::to_wstring(rect.bottom - rect.top) +
          L"+" + std::to_wstring(rect.left) + L"+" + std::to_wstring(rect.top) + L"\n");
  } else if (command == L"dump") {
    for (const uidriver::ControlInfo& info : uidriver::ListControls(window)) {
      Print(std::to_wstring(info.id) + L"\t" + info.className + L"\t" + Hex(info.style) + L"\t" +
            Hex(info.exStyle) + L"\t" + std::to_wstring(info.rect.left) + L"," +
            std::to_wstring(info.rect.top) + L" " +
            std::to_wstring(info.rect.right - info.rect.left) + L"x" +
            std::to_wstring(info.rect.bottom - info.rect.top) + L"\t\"" + Escaped(info.text) +
            L"\"\n");
      if (uidriver::ClassNameOf(info.window) == L"ComboBox") {
        for (const std::wstring& item : uidriver::GetComboItems(info.window)) {
          Print(L"\t\titem \"" + Escaped(item) + L"\"\n");
        }
      }
    }
  } else if (command == L"press" || command == L"dropdown" ||
             (command == L"set" && operands.size() == 2) ||
             (command == L"select" && operands.size() == 2)) {
    if (control == nullptr) return Fail(L"no control with id " + (hasId ? operands[0] : L"?"));
    int index = 0;
    bool done = false;
    if (command == L"press") {
      done = uidriver::PostClick(control);
    } else if (command == L"dropdown") {
      done = uidriver::ShowComboDropDown(control, true);
    } else if (command == L"set") {
      done = uidriver::SetText(control, operands[1]);
    } else {
      done = ParseInt(operands[1], index) && uidriver::SelectComboItem(control, index);
    }
    if (!done) return Fail(command + L" failed");
  } else if (command == L"close") {
    if (!uidriver::PostClose(window)) return Fail(L"could not post WM_CLOSE");
  } else if (command == L"box" || command == L"box-press") {
    HWND box = uidriver::WaitForMessageBox(uidriver::WindowProcessId(window), timeoutMs);
    uidriver::MessageBoxInfo info;
    if (box == nullptr || !uidriver::ReadMessageBox(box, info)) return Fail(L"no message box");
    if (command == L"box") {
      std::wstring buttons;
      for (int buttonId : info.buttonIds) buttons += L" " + std::to_wstring(buttonId);
      Print(L"title: " + info.title + L"\ntext: " + Escaped(info.text) + L"\nbuttons:" + buttons +
            L"\ndefault: " + std::to_wstring(info.defaultButtonId) + L"\nicon: " +
            (info.hasIcon ? L"yes" : L"no") + L"\n");
    } else if (!hasId || !uidriver::PressMessageBoxButton(box, id, timeoutMs)) {
      return Fail(L"could not press the button");
    }
  } else {
    Print(kUsage);
    return 2;
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  return Run(args);
}
