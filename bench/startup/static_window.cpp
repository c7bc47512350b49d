// The settings window with none of the program's logic: the same fifteen controls with the same
// classes, texts, styles and font, in the same order, under the program's manifest and icon, at
// fixed rectangles. No settings, no discovery, no measurements. The program is measured against
// it, so what remains between the two is the program's own work.
#include <windows.h>

#include <array>

#include "twin_window.h"
#include "window/control_ids.h"

namespace {

const wchar_t kClassName[] = L"KelvorStaticClass";
constexpr DWORD kCheckBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX;
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL;
constexpr DWORD kComboStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

struct Box {
  int x, y, width, height;
};

struct StaticControl {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD exStyle;
  DWORD style;
  Box box;  // where the program puts it with a 13-pixel font
};

const std::array<StaticControl, kControlCount> kStaticControls = {{
    {IDC_VERBOSE, L"BUTTON", kCheckBoxCaptions[0], 0, kCheckBoxStyle, {4, 2, 422, 16}},
    {IDC_SKIP_FONT_CHECK, L"BUTTON", kCheckBoxCaptions[1], 0, kCheckBoxStyle, {4, 22, 422, 16}},
    {IDC_LEGACY_MERGE_SORT, L"BUTTON", kCheckBoxCaptions[2], 0, kCheckBoxStyle, {4, 42, 422, 16}},
    {IDC_DISABLE_DIRECTDRAW, L"BUTTON", kCheckBoxCaptions[3], 0, kCheckBoxStyle, {4, 62, 422, 16}},
    {IDC_KEEP_WORKING_SET, L"BUTTON", kCheckBoxCaptions[4], 0, kCheckBoxStyle, {4, 82, 422, 16}},
    {IDC_PREFER_IPV4, L"BUTTON", kCheckBoxCaptions[5], 0, kCheckBoxStyle, {4, 102, 422, 16}},
    {IDC_MEMORY_LABEL, L"STATIC", kMemoryCaption, 0, kLabelStyle, {4, 126, 300, 16}},
    {IDC_MEMORY_EDIT, L"EDIT", L"", WS_EX_CLIENTEDGE, kEditStyle, {312, 126, 70, 16}},
    {IDC_SCALE_LABEL, L"STATIC", kScaleCaption, 0, kLabelStyle, {4, 146, 44, 16}},
    {IDC_SCALE_COMBO,
     L"COMBOBOX",
     kScaleComboText,
     WS_EX_CLIENTEDGE,
     kComboStyle,
     {56, 146, 366, 16}},
    {IDC_JAVA_LABEL, L"STATIC", kJavaCaption, 0, kLabelStyle, {4, 166, 422, 13}},
    {IDC_JAVA_COMBO, L"COMBOBOX", kJavaCaption, WS_EX_CLIENTEDGE, kComboStyle, {4, 183, 350, 16}},
    {IDC_BROWSE, L"BUTTON", kBrowseCaption, 0, kButtonStyle, {362, 183, 64, 16}},
    {IDC_OK, L"BUTTON", kOkCaption, 0, kButtonStyle, {4, 215, 75, 20}},
    {IDC_CANCEL, L"BUTTON", kCancelCaption, 0, kButtonStyle, {351, 215, 75, 20}},
}};

// The same nine scale entries and the one entry an empty discovery leaves.
const wchar_t* const kScaleEntries[] = {L"Default", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"};
const wchar_t kJavaEntry[] = L"[Default]";

class OwnedFont {
 public:
  explicit OwnedFont(HFONT font) : font_(font) {}
  OwnedFont(const OwnedFont&) = delete;  // the font would be deleted twice
  OwnedFont& operator=(const OwnedFont&) = delete;
  ~OwnedFont() {
    if (font_) DeleteObject(font_);
  }
  HFONT Get() const { return font_; }

 private:
  HFONT font_;
};

HFONT CreateMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    return nullptr;
  }
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

void CreateStaticControls(HWND window, HINSTANCE instance, HFONT font) {
  for (const StaticControl& control : kStaticControls) {
    const HWND child = CreateWindowExW(
        control.exStyle, control.className, control.text, control.style, control.box.x,
        control.box.y, control.box.width, control.box.height, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    if (font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (control.id == IDC_SCALE_COMBO) {
      for (const wchar_t* entry : kScaleEntries) {
        SendMessageW(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
      }
      SendMessageW(child, CB_SETCURSEL, 0, 0);
    } else if (control.id == IDC_JAVA_COMBO) {
      SendMessageW(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kJavaEntry));
      SendMessageW(child, CB_SETCURSEL, 0, 0);
    }
  }
}

LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  StampStartup("loader");  // the entry, as in the program
  if (!KeepProgramImports()) return 1;
  const OwnedFont font(CreateMessageFont());
  WNDCLASSW windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = StaticWndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(101));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassW(&windowClass)) return 1;
  StampStartup("class");
  // The program's styles and, for a 430 by 239 client area, its outer size, centred on 1280x1024.
  const HWND window = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"Static window",
                                      WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, 421,
                                      374, 438, 276, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  StampStartup("window");
  CreateStaticControls(window, instance, font.Get());
  StampStartup("controls");
  return ShowAndRun(window, instance, kClassName);
}
