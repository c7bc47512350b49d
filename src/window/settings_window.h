// The settings window: its process-wide state, window procedure, controls and commands.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "javainfo/java_candidate.h"
#include "startup/command_line.h"
#include "startup/startup_settings.h"
#include "window/layout_plan.h"

inline constexpr wchar_t kWindowClassName[] = L"KelvorSSClass";
inline constexpr wchar_t kWindowTitle[] = L"Kelvor Startup Settings";
inline constexpr wchar_t kErrorTitle[] = L"Kelvor Startup Settings Error";
inline constexpr DWORD kWindowStyle = 0x00CE0000;  // caption, system menu, sizing, minimize box
inline constexpr DWORD kWindowExStyle = WS_EX_TOPMOST;
inline constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
inline constexpr int kIconResource = 101;
inline constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE, Windows 10 1703

// Process-wide state: the record being edited, the command line, and the window once created.
extern StartupSettings gStartupSettings;
extern CommandLineOptions gCommandLineOptions;
extern HWND MainWindow;

// The found Java installations; combobox item i is entry i. Filled when the window is created.
std::vector<JavaCandidate>& JavaCandidates();

// `message`, a blank line and the system's description of `code`, in an error box.
void ShowSystemErrorBox(HWND owner, const std::wstring& message, std::int32_t code);

LRESULT CALLBACK SettingsWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// RegisterClassW for kWindowClassName; 0 on failure, with GetLastError set.
ATOM RegisterSettingsWindowClass(HINSTANCE instance);
// Finds the Java installations and creates the settings window (topmost, hidden until shown)
// sized and placed for its contents; null on failure.
HWND CreateSettingsWindow(HINSTANCE instance);

// Where a new window and its controls go, worked out before the window exists.
struct OpeningLayout {
  UINT dpi = 0;  // that the font and the frame were measured for
  LayoutMeasurements measured;
  LayoutRect window;  // on the screen
  LayoutSize client;  // what the frame Windows gives `window` is expected to leave
  LayoutPlan controls;
};

// Creates the controls in WM_CREATE, where `opening` says or, without it, to be placed by the
// first layout, and fits the window to them.
void CreateControls(HWND window, const OpeningLayout* opening);
// The comboboxes' entries; ApplySettingsToControls selects one.
void FillScaleCombo(HWND combo);
// Fills JavaCandidates() with the Java installations found.
void FindJavaCandidates();
// Lists JavaCandidates() in the Java combobox.
void FillJavaCombo(HWND combo);
// Shows gStartupSettings in the controls just created.
void ApplySettingsToControls(HWND window);
void SelectJavaText(HWND window, const std::wstring& text);
void SelectScaleText(HWND window, const std::wstring& text);

// Places every control for a client area of width by height; `neededSize`, when given,
// receives the client size the contents need (only if the layout ran to its end). True when a
// control was moved or resized.
bool LayoutControls(HWND window, int width, int height, std::optional<LayoutSize>* neededSize);
// The client size the contents need with every text in `font`, the controls left as they are;
// nothing when a measurement fails.
std::optional<LayoutSize> NeededClientSize(HWND window, HFONT font);
// Every text of the layout measured in `font`. A control missing from `window` leaves its caption
// unmeasured; a null `window` is one not created yet, with every control to come.
LayoutMeasurements MeasureTexts(HWND window, HFONT font);
// Makes `measured` and the rectangles of `plan`, where the controls of `window` already are, what
// the next layout starts from, as if it had measured and placed them itself.
void RememberLayout(HWND window, HFONT font, const LayoutMeasurements& measured,
                    const LayoutPlan& plan);
// Makes the next layout measure the texts again; a new window calls it, since its handle and
// font may reuse the values of a window that is gone.
void ForgetLayoutMeasurements();

// Text of a control, at most 1519 characters as a 1520-character buffer holds.
std::wstring ReadControlText(HWND window, int controlId);

void AcceptSettings();
std::wstring ReadJavaChoice();
void BrowseForJava();

// Tab and Shift+Tab between the controls, the comboboxes included. True when `message` was
// such a key for `window` and has been handled; the loop then neither translates nor dispatches it.
bool HandleTabKey(HWND window, const MSG& message);
// Enter presses OK (or the focused push button) and Esc presses Cancel, as in a dialog; while a
// combobox's list is open, either key only closes the list. A key held down acts once: its
// repeats are swallowed. True when `message` was handled.
bool HandleDialogKey(HWND window, const MSG& message);
