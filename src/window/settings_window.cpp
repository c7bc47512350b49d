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
UINT MonitorDpi(HMONITOR monitor) {
  using ForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  // Once loaded, shcore.dll stays loaded for the rest of the run.
  static const auto forMonitor = platform::ModuleFunction<ForMonitor>(
      LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "GetDpiForMonitor");
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI: the one to lay out for
  UINT x = 0, y = 0;
  return forMonitor && SUCCEEDED(forMonitor(monitor, kEffectiveDpi, &x, &y)) ? y : 0;
}

UINT WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
  if (dpi == 0) dpi = MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
  return dpi != 0 ? dpi : SystemDpi();
}

// The DPI a new window gets on the primary monitor, where it opens centred.
UINT PrimaryMonitorDpi() {
  const UINT dpi = MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
  return dpi != 0 ? dpi : SystemDpi();
}

// What the frame of a window of `style` adds to its client area at `dpi`. Windows before 10 1607
// know only the system DPI, which is then the only one a window of this process has.
std::optional<LayoutSize> FrameSize(DWORD style, DWORD exStyle, UINT dpi) {
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
  RECT frame{};
  const bool adjusted =
      adjustForDpi ? adjustForDpi(&frame, style, FALSE, exStyle, dpi) != FALSE
                   : dpi == SystemDpi() && AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  if (!adjusted) return std::nullopt;
  return LayoutSize{frame.right - frame.left, frame.bottom - frame.top};
}

std::optional<LayoutRect> DesktopRect() {
  RECT desktop{};
  if (!GetClientRect(GetDesktopWindow(), &desktop)) return std::nullopt;
  return LayoutRect{desktop.left, desktop.top, desktop.right - desktop.left,
                    desktop.bottom - desktop.top};
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
  const UniqueFont font = CreateMessageFont(dpi);
  const std::optional<LayoutSize> needed =
      font.Get() ? NeededClientSize(window, font.Get()) : std::nullopt;
  const std::optional<LayoutSize> frame =
      FrameSize(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), dpi);
  if (!needed || !frame) return FALSE;  // Windows then scales the size by itself
  const auto current = static_cast<int>(WindowDpi(window));
  size.cx =
      std::max<LONG>(MulDiv(size.cx, static_cast<int>(dpi), current), needed->width + frame->width);
  size.cy = std::max<LONG>(MulDiv(size.cy, static_cast<int>(dpi), current),
                           needed->height + frame->height);
  return TRUE;
}

// Where the window and its controls go, worked out before the window exists, for a client area
// whose controls show `font` at `dpi`. Nothing when a text cannot be measured.
std::optional<OpeningLayout> PlanOpening(UINT dpi, HFONT font) {
  OpeningLayout opening{dpi, MeasureTexts(nullptr, font), {}, {}, {}};
  const std::optional<LayoutSize> needed = PlanLayout(opening.measured, 0, 0).neededSize;
  const std::optional<LayoutSize> frame = FrameSize(kWindowStyle, kWindowExStyle, dpi);
  if (!needed || !frame) return std::nullopt;
  opening.window = PlaceWindow(*needed, *frame, DesktopRect());
  opening.client = {opening.window.width - frame->width, opening.window.height - frame->height};
  opening.controls = PlanLayout(opening.measured, opening.client.width, opening.client.height);
  return opening;
}

// Sizes and centres the window for the client size its contents `needed`; it is left where it is
// when it already has that rectangle.
void FitWindowToContents(HWND window, const std::optional<LayoutSize>& needed) {
  RECT client{};
  RECT frame{};
  GetClientRect(window, &client);
  GetWindowRect(window, &frame);
  const LayoutSize border{(frame.right - frame.left) - client.right,
                          (frame.bottom - frame.top) - client.bottom};
  // A layout that stopped early leaves the window at the size it was created with.
  const LayoutRect placed =
      PlaceWindow(needed.value_or(LayoutSize{client.right, client.bottom}), border, DesktopRect());
  if (placed !=
      LayoutRect{frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top}) {
    MoveWindow(window, placed.x, placed.y, placed.width, placed.height, FALSE);
  }
}

void OnSize(HWND window, int width, int height) {
  // A combobox that is moved highlights its text; one left where it was keeps its selection.
  if (!LayoutControls(window, width, height, nullptr)) return;
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
      CreateControls(window, static_cast<const OpeningLayout*>(
                                 reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
      ApplySettingsToControls(window);
      StampStartup("values");
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
  FindJavaCandidates();  // their names are measured for the window's width
  StampStartup("discovery");
  // Sized and placed before it exists, for the monitor it opens on, so that neither the window
  // nor a control has to be moved before it is first shown: a fixed-place window pays no layout.
  const UINT dpi = PrimaryMonitorDpi();
  WindowFont() = CreateMessageFont(dpi);
  StampStartup("font");
  std::optional<OpeningLayout> opening = PlanOpening(dpi, WindowFont().Get());
  StampStartup("plan");
  // Unplanned, the window is fitted once it has its controls; y is ignored beside CW_USEDEFAULT.
  const LayoutRect at = opening ? opening->window : LayoutRect{CW_USEDEFAULT, 5, 800, 700};
  return CreateWindowExW(kWindowExStyle, kWindowClassName, kWindowTitle, kWindowStyle, at.x, at.y,
                         at.width, at.height, nullptr, nullptr, instance,
                         opening ? &*opening : nullptr);
}

void CreateControls(HWND window, const OpeningLayout* opening) {
  StampStartup("window");
  // A window that opened at another DPI than planned gets that DPI's font and is fitted to it.
  const UINT dpi = WindowDpi(window);
  if (opening && opening->dpi != dpi) opening = nullptr;
  if (!opening) WindowFont() = CreateMessageFont(dpi);
  const HFONT font = WindowFont().Get();
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  for (std::size_t row = 0; row < kControlCount; ++row) {
    const ControlDefinition& definition = kControls[row];
    const LayoutRect at = opening && opening->controls.rects[row] ? *opening->controls.rects[row]
                                                                  : LayoutRect{0, 0, 1, 1};
    const HWND control = CreateWindowExW(
        definition.exStyle, definition.className, definition.text, definition.style, at.x, at.y,
        at.width, at.height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(definition.id)),
        instance, nullptr);
    if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    switch (definition.id) {
      case IDC_MEMORY_EDIT: SendMessageW(control, EM_LIMITTEXT, 10, 0); break;
      case IDC_SCALE_COMBO: FillScaleCombo(control); break;
      case IDC_JAVA_COMBO: FillJavaCombo(control); break;
    }
  }
  StampStartup("controls");

  ForgetLayoutMeasurements();
  if (opening) RememberLayout(window, font, opening->measured, opening->controls);
  // The client area planned means the frame was foreseen right, and the window is as planned.
  RECT client{};
  if (!opening || !GetClientRect(window, &client) ||
      LayoutSize{client.right, client.bottom} != opening->client) {
    FitWindowToContents(window,
                        opening ? opening->controls.neededSize : NeededClientSize(window, font));
  }
  StampStartup("fit");
}

void FillScaleCombo(HWND combo) {
  for (const std::wstring& item : ScaleItems()) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
}

void FindJavaCandidates() {
  std::vector<JavaCandidate>& candidates = JavaCandidates();
  candidates.clear();
  FindJavaInstallations(true, RequiredJavaMajor, candidates);
}

void FillJavaCombo(HWND combo) {
  for (const JavaCandidate& candidate : JavaCandidates()) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(candidate.displayName.c_str()));
  }
}

void ApplySettingsToControls(HWND window) {
  const StartupSettings& settings = gStartupSettings;
  const std::array<bool, kCheckBoxCount> marks = {
      settings.Verbose,    settings.SkipFontCheck, settings.LegacyMS2,
      settings.DisableDD2, settings.KeepWS,        settings.PreferIPv4,
  };
  // New check boxes are clear and a new edit field is empty: only what differs is sent.
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    if (marks[i]) CheckDlgButton(window, kCheckBoxIds[i], BST_CHECKED);
  }
  if (settings.MaxMemoryMB > 0) {
    SetDlgItemTextW(window, IDC_MEMORY_EDIT, std::to_wstring(settings.MaxMemoryMB).c_str());
  }
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
  const HWND combo = GetDlgItem(window, IDC_SCALE_COMBO);
  SendMessageW(combo, CB_SETCURSEL, ScaleItemIndex(text), 0);
  SendMessageW(combo, CB_SETEDITSEL, 0, kNoEditSelection);
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
