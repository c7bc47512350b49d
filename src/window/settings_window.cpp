// The settings window's procedure, its controls, and filling them from the settings.
#include "window/settings_window.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "discovery/java_discovery.h"
#include "javainfo/java_validation.h"
#include "platform/module_function_win.h"
#include "platform/ui_win.h"
#include "window/accept_rules.h"
#include "window/control_ids.h"
#include "window/gdi_scope.h"
#include "window/startup_trace.h"

namespace {

struct ControlDefinition {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD exStyle;
  DWORD style;
};

constexpr DWORD kCheckBoxStyle = 0x50010002;  // child, visible, tab stop, BS_CHECKBOX
constexpr DWORD kLabelStyle = 0x50000000;
constexpr DWORD kMemoryEditStyle = 0x50012080;  // tab stop, ES_NUMBER, ES_AUTOHSCROLL
constexpr DWORD kComboStyle = 0x50200242;       // WS_VSCROLL, drop-down, auto-scroll, strings
constexpr DWORD kPushButtonStyle = 0x50010000;
static_assert(kCheckBoxStyle == (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX));
static_assert(kMemoryEditStyle ==
              (WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL));
static_assert(kComboStyle == (WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL |
                              CBS_HASSTRINGS));

constexpr std::array<ControlDefinition, kControlCount> kControls = {{
    {IDC_VERBOSE, L"BUTTON", kCheckBoxCaptions[0], 0, kCheckBoxStyle},
    {IDC_SKIP_FONT_CHECK, L"BUTTON", kCheckBoxCaptions[1], 0, kCheckBoxStyle},
    {IDC_LEGACY_MERGE_SORT, L"BUTTON", kCheckBoxCaptions[2], 0, kCheckBoxStyle},
    {IDC_DISABLE_DIRECTDRAW, L"BUTTON", kCheckBoxCaptions[3], 0, kCheckBoxStyle},
    {IDC_KEEP_WORKING_SET, L"BUTTON", kCheckBoxCaptions[4], 0, kCheckBoxStyle},
    {IDC_PREFER_IPV4, L"BUTTON", kCheckBoxCaptions[5], 0, kCheckBoxStyle},
    {IDC_MEMORY_LABEL, L"STATIC", kMemoryCaption, 0, kLabelStyle},
    {IDC_MEMORY_EDIT, L"EDIT", L"", WS_EX_CLIENTEDGE, kMemoryEditStyle},
    {IDC_SCALE_LABEL, L"STATIC", kScaleCaption, 0, kLabelStyle},
    {IDC_SCALE_COMBO, L"COMBOBOX", kScaleComboText, WS_EX_CLIENTEDGE, kComboStyle},
    {IDC_JAVA_LABEL, L"STATIC", kJavaCaption, 0, kLabelStyle},
    {IDC_JAVA_COMBO, L"COMBOBOX", kJavaCaption, WS_EX_CLIENTEDGE, kComboStyle},
    {IDC_BROWSE, L"BUTTON", kBrowseCaption, 0, kPushButtonStyle},
    {IDC_OK, L"BUTTON", kOkCaption, 0, kPushButtonStyle},
    {IDC_CANCEL, L"BUTTON", kCancelCaption, 0, kPushButtonStyle},
}};

// Tab visits every control that takes input, in creation order: all but the labels.
constexpr std::array<int, kControlCount - 3> kTabOrder = [] {
  std::array<int, kControlCount - 3> order{};
  std::size_t next = 0;
  for (const ControlDefinition& definition : kControls) {
    if (std::wstring_view(definition.className) != L"STATIC") order[next++] = definition.id;
  }
  return order;
}();

// Start -1 in the low word: no text highlighted in a combobox's edit field.
constexpr LPARAM kNoEditSelection = 0xFFFF;

// Windows 10 1607 and later know each window's DPI and the metrics for any DPI; Windows 7 knows
// only the system's, so these are looked up at run time and missing ones fall back.
template <typename Function>
Function User32Function(const char* name) {
  return platform::ModuleFunction<Function>(GetModuleHandleW(L"user32.dll"), name);
}

UINT SystemDpi() {
  const ScopedGetDC screen(nullptr);
  const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// Windows 8.1 knows each monitor's DPI, through shcore.dll; 0 where it does not.
UINT MonitorDpi(HWND window) {
  using ForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  // Once loaded, shcore.dll stays loaded for the rest of the run.
  static const auto forMonitor = platform::ModuleFunction<ForMonitor>(
      LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "GetDpiForMonitor");
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI: the one to lay out for
  UINT x = 0, y = 0;
  const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  return forMonitor && SUCCEEDED(forMonitor(monitor, kEffectiveDpi, &x, &y)) ? y : 0;
}

UINT WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
  if (dpi == 0) dpi = MonitorDpi(window);
  return dpi != 0 ? dpi : SystemDpi();
}

// Windows 10 1607 scales the caption and frame of a per-monitor window only when asked while the
// window is being created; per-monitor v2 (1703 and later, as the manifest asks) does it anyway.
void EnableNonClientScaling(HWND window) {
  static const auto enable = User32Function<BOOL(WINAPI*)(HWND)>("EnableNonClientDpiScaling");
  if (enable) enable(window);
}

// The user's message font for `dpi`; null when the metrics cannot be read.
UniqueFont CreateMessageFont(UINT dpi) {
  using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto forDpi = User32Function<ForDpi>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  static_assert(sizeof(metrics) == 504, "the size that includes iPaddedBorderWidth");
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return {};
  const UINT systemDpi = SystemDpi();
  if (dpi != systemDpi) {
    if (!forDpi) {
      metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, systemDpi);
    } else if (!forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
      return {};
    }
  }
  return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

// The font every control shows. Replaced when the DPI changes; the old one is deleted only
// after every control has been given the new one.
UniqueFont& WindowFont() {
  static UniqueFont font;
  return font;
}

// The message font for the new DPI, the layout again from its metrics, and the rectangle
// Windows suggests, grown where the new font needs more room than a plain scaling gives.
void OnDpiChanged(HWND window, UINT dpi, const RECT& suggested) {
  if (UniqueFont font = CreateMessageFont(dpi); font.Get()) {
    for (const int id : kControlIds) {
      SendDlgItemMessageW(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    }
    WindowFont() = std::move(font);
  }
  constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, kFlags);
  // Grown from the size taken, which the least size of a captioned window may have raised.
  RECT client{}, placed{};
  GetClientRect(window, &client);
  GetWindowRect(window, &placed);
  std::optional<LayoutSize> needed;
  LayoutControls(window, client.right, client.bottom, &needed);
  if (needed && (needed->width > client.right || needed->height > client.bottom)) {
    SetWindowPos(window, nullptr, 0, 0,
                 placed.right - placed.left + std::max(0, needed->width - int{client.right}),
                 placed.bottom - placed.top + std::max(0, needed->height - int{client.bottom}),
                 kFlags | SWP_NOMOVE);
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Per-monitor v2 asks for the window's size at a new DPI before it moves the window there. The
// answer is what OnDpiChanged would settle on: the pending size scaled, grown where the contents
// need more in the new font. A window that grew only after the move could reach back over the
// monitor it came from and be sent back there.
BOOL OnGetDpiScaledSize(HWND window, UINT dpi, SIZE& size) {
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = User32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
  const UniqueFont font = CreateMessageFont(dpi);
  const std::optional<LayoutSize> needed =
      font.Get() ? NeededClientSize(window, font.Get()) : std::nullopt;
  if (!needed || !adjust) return FALSE;  // Windows then scales the size by itself
  RECT frame{0, 0, needed->width, needed->height};
  const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
  if (!adjust(&frame, style, FALSE, exStyle, dpi)) return FALSE;
  const auto current = static_cast<int>(WindowDpi(window));
  size.cx =
      std::max<LONG>(MulDiv(size.cx, static_cast<int>(dpi), current), frame.right - frame.left);
  size.cy =
      std::max<LONG>(MulDiv(size.cy, static_cast<int>(dpi), current), frame.bottom - frame.top);
  return TRUE;
}

void OnSize(HWND window, int width, int height) {
  LayoutControls(window, width, height, nullptr);
  SendDlgItemMessageW(window, IDC_JAVA_COMBO, CB_SETEDITSEL, 0, kNoEditSelection);
  SendDlgItemMessageW(window, IDC_SCALE_COMBO, CB_SETEDITSEL, 0, kNoEditSelection);
}

void ToggleCheckBox(HWND window, int controlId) {
  CheckDlgButton(window, controlId,
                 IsDlgButtonChecked(window, controlId) == 0 ? BST_CHECKED : BST_UNCHECKED);
}

void OnCommand(HWND window, int controlId) {
  switch (controlId) {
    case IDC_LEGACY_MERGE_SORT:
    case IDC_VERBOSE:
    case IDC_PREFER_IPV4:
    case IDC_KEEP_WORKING_SET:
    case IDC_DISABLE_DIRECTDRAW:
    case IDC_SKIP_FONT_CHECK: ToggleCheckBox(window, controlId); break;
    case IDC_CANCEL: PostQuitMessage(0); break;
    case IDC_OK: AcceptSettings(); break;
    case IDC_BROWSE: BrowseForJava(); break;
  }
}

// The child of `window` that holds the focus, also when the focus is a combobox's own edit.
HWND FocusedChild(HWND window) {
  HWND focus = GetFocus();
  while (focus && GetParent(focus) != window) focus = GetParent(focus);
  return focus;
}

}  // namespace

LRESULT CALLBACK SettingsWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: EnableNonClientScaling(window); break;
    case WM_CREATE:
      CreateControls(window);
      ApplySettingsToControls(window);
      StampStartup("settings");
      break;
    case WM_SIZE: OnSize(window, LOWORD(lParam), HIWORD(lParam)); break;
    case WM_CLOSE: PostQuitMessage(0); return 0;  // no default: the loop's end tears down
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_COMMAND: OnCommand(window, LOWORD(wParam)); break;
    case WM_DPICHANGED:
      OnDpiChanged(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case kGetDpiScaledSize:
      return OnGetDpiScaledSize(window, static_cast<UINT>(wParam),
                                *reinterpret_cast<SIZE*>(lParam));
    case WM_PAINT: StampStartup("paint"); break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

ATOM RegisterSettingsWindowClass(HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = SettingsWndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClassName;
  return RegisterClassW(&windowClass);
}

HWND CreateSettingsWindow(HINSTANCE instance) {
  // The y of 5 is ignored beside CW_USEDEFAULT, and WM_CREATE replaces the size anyway.
  return CreateWindowExW(WS_EX_TOPMOST, kWindowClassName, kWindowTitle, kWindowStyle, CW_USEDEFAULT,
                         5, 800, 700, nullptr, nullptr, instance, nullptr);
}

void CreateControls(HWND window) {
  StampStartup("window");
  WindowFont() = CreateMessageFont(WindowDpi(window));
  const HFONT font = WindowFont().Get();
  StampStartup("font");
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  for (const ControlDefinition& definition : kControls) {
    const HWND control = CreateWindowExW(
        definition.exStyle, definition.className, definition.text, definition.style, 0, 0, 1, 1,
        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(definition.id)), instance, nullptr);
    if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    switch (definition.id) {
      case IDC_MEMORY_EDIT: SendMessageW(control, EM_LIMITTEXT, 10, 0); break;
      case IDC_SCALE_COMBO: FillScaleCombo(control); break;
      case IDC_JAVA_COMBO: FillJavaCombo(control); break;
    }
  }

  StampStartup("controls");
  ForgetLayoutMeasurements();
  std::optional<LayoutSize> neededClient;
  LayoutControls(window, 500, 500, &neededClient);
  StampStartup("layout");

  RECT client{};
  RECT frame{};
  GetClientRect(window, &client);
  GetWindowRect(window, &frame);
  const LayoutSize border{(frame.right - frame.left) - (client.right - client.left),
                          (frame.bottom - frame.top) - (client.bottom - client.top)};
  // A layout that stopped early leaves the window at the size it was created with.
  const LayoutSize clientSize =
      neededClient.value_or(LayoutSize{client.right - client.left, client.bottom - client.top});

  std::optional<LayoutRect> desktop;
  RECT desktopClient{};
  if (GetClientRect(GetDesktopWindow(), &desktopClient)) {
    desktop =
        LayoutRect{desktopClient.left, desktopClient.top, desktopClient.right - desktopClient.left,
                   desktopClient.bottom - desktopClient.top};
  }
  const LayoutRect placed = PlaceWindow(clientSize, border, desktop);
  MoveWindow(window, placed.x, placed.y, placed.width, placed.height, FALSE);
  StampStartup("layout");
}

void FillScaleCombo(HWND combo) {
  for (const std::wstring& item : ScaleItems()) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

void FillJavaCombo(HWND combo) {
  std::vector<JavaCandidate>& candidates = JavaCandidates();
  candidates.clear();
  StampStartup("controls");
  FindJavaInstallations(true, RequiredJavaMajor, candidates);
  StampStartup("discovery");
  for (const JavaCandidate& candidate : candidates) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(candidate.displayName.c_str()));
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

void ApplySettingsToControls(HWND window) {
  const StartupSettings& settings = gStartupSettings;
  const std::array<bool, kCheckBoxCount> marks = {
      settings.Verbose,    settings.SkipFontCheck, settings.LegacyMS2,
      settings.DisableDD2, settings.KeepWS,        settings.PreferIPv4,
  };
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    CheckDlgButton(window, kCheckBoxIds[i], marks[i] ? BST_CHECKED : BST_UNCHECKED);
  }
  const std::wstring memory =
      settings.MaxMemoryMB > 0 ? std::to_wstring(settings.MaxMemoryMB) : std::wstring();
  SetDlgItemTextW(window, IDC_MEMORY_EDIT, memory.c_str());
  SelectJavaText(window, settings.Java);
  SelectScaleText(window, settings.Scale);
}

void SelectJavaText(HWND window, const std::wstring& text) {
  const HWND combo = GetDlgItem(window, IDC_JAVA_COMBO);
  if (const std::optional<std::size_t> index = FindCandidateByPath(JavaCandidates(), text)) {
    SendMessageW(combo, CB_SETCURSEL, *index, 0);
  } else {
    // Unselect first: a combobox keeps its list selection when only its text is set.
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(combo, text.c_str());
  }
  SendMessageW(combo, CB_SETEDITSEL, 0, kNoEditSelection);
}

void SelectScaleText(HWND window, const std::wstring& text) {
  SendDlgItemMessageW(window, IDC_SCALE_COMBO, CB_SETCURSEL, ScaleItemIndex(text), 0);
}

std::wstring ReadControlText(HWND window, int controlId) {
  std::array<wchar_t, 1520> buffer{};
  const UINT length = GetDlgItemTextW(window, controlId, buffer.data(), buffer.size());
  return std::wstring(buffer.data(), length);
}

bool HandleTabKey(HWND window, const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
  const bool backwards = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  const HWND focused = FocusedChild(window);
  const int focusedId = focused ? GetDlgCtrlID(focused) : 0;

  const int count = static_cast<int>(kTabOrder.size());
  int at = backwards ? 0 : count - 1;  // from nowhere, Tab starts at the first, Shift+Tab the last
  for (int i = 0; i < count; ++i) {
    if (kTabOrder[i] == focusedId) at = i;
  }
  for (int step = 1; step <= count; ++step) {
    const int next = ((at + (backwards ? -step : step)) % count + count) % count;
    const HWND control = GetDlgItem(window, kTabOrder[next]);
    if (!control || !IsWindowVisible(control) || !IsWindowEnabled(control)) continue;
    SetFocus(control);
    // Like a dialog: entering a text field selects its whole text.
    if (kTabOrder[next] == IDC_MEMORY_EDIT) SendMessageW(control, EM_SETSEL, 0, -1);
    if (kTabOrder[next] == IDC_SCALE_COMBO || kTabOrder[next] == IDC_JAVA_COMBO) {
      SendMessageW(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    }
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return true;
  }
  return true;
}

bool HandleDialogKey(HWND window, const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE) return false;
  if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
  // A held key acted on its first press, maybe in a box or dialog that is gone by now.
  if (platform::ui::IsRepeatedDialogKey(message)) return true;
  const HWND focused = FocusedChild(window);
  const int focusedId = focused ? GetDlgCtrlID(focused) : 0;
  const bool combo = focusedId == IDC_SCALE_COMBO || focusedId == IDC_JAVA_COMBO;
  if (combo && SendMessageW(focused, CB_GETDROPPEDSTATE, 0, 0)) {
    // The combobox closes its list itself: Enter keeps the highlighted item, Esc goes back.
    SendMessageW(focused, WM_KEYDOWN, message.wParam, message.lParam);
    return true;
  }
  // As in a dialog, Enter presses a focused push button and OK from anywhere else.
  int pressed = IDC_CANCEL;
  if (message.wParam == VK_RETURN) {
    pressed = focusedId == IDC_BROWSE || focusedId == IDC_CANCEL ? focusedId : IDC_OK;
  }
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(pressed, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, pressed)));
  return true;
}
