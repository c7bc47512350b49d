// The real settings window under Wine: its controls, layout, commands and OK's questions.
#include "window/settings_window.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <tuple>

#include "platform/ui_win.h"
#include "window/accept_rules.h"
#include "window/control_ids.h"

namespace {

using Box = std::tuple<std::wstring, std::wstring, UINT, HWND>;  // text, title, style, owner

// What CreateWindowExW was given: comboboxes later drop WS_VSCROLL and their client edge from
// what GetWindowLong reports, so only creation shows the exact values. Id, class, styles, text:
using Creation = std::tuple<INT_PTR, std::wstring, DWORD, DWORD, std::wstring>;
std::vector<std::pair<HWND, Creation>> gCreated;
LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTW& c = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    std::array<wchar_t, 64> name{};
    GetClassNameW(reinterpret_cast<HWND>(wParam), name.data(), name.size());
    gCreated.emplace_back(
        reinterpret_cast<HWND>(wParam),
        Creation{reinterpret_cast<INT_PTR>(c.hMenu), CharUpperW(name.data()),
                 static_cast<DWORD>(c.style), c.dwExStyle, c.lpszName ? c.lpszName : L""});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The window as the program creates it, in settings-file mode on a file in a fresh folder,
// every box answered from `answers_` and then with Cancel.
class SettingsWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    static const ATOM registered = RegisterSettingsWindowClass(GetModuleHandleW(nullptr));
    ASSERT_NE(registered, 0);
    gStartupSettings = StartupSettings();
    gStartupSettings.SettingsFilePath = file_.wstring();
    gCommandLineOptions = CommandLineOptions();
    std::filesystem::create_directories(folder_);
    platform::ui::SetMessageBoxHook(
        [this](HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
          boxes_.emplace_back(text, title, style, owner);
          return boxes_.size() <= answers_.size() ? answers_[boxes_.size() - 1] : IDCANCEL;
        });
  }
  void TearDown() override {
    DestroyWindow(std::exchange(MainWindow, nullptr));
    QuitPosted();
    platform::ui::SetMessageBoxHook(nullptr);
    std::filesystem::remove_all(folder_);
  }
  void Create() {
    MainWindow = CreateSettingsWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(MainWindow, nullptr);
  }
  HWND Control(int id) const { return GetDlgItem(MainWindow, id); }
  void Command(int id) { SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  static bool QuitPosted() {
    MSG quit;
    return PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }

  std::vector<Box> boxes_;
  std::vector<int> answers_;
  const std::filesystem::path folder_ = std::filesystem::temp_directory_path() /
                                        ("kelvor-window-" + std::to_string(GetCurrentProcessId()));
  const std::filesystem::path file_ = folder_ / "Kelvor_ss";
};

TEST_F(SettingsWindowTest, ControlsAsCreatedAndPlacedForTheRealFontHeight) {
  const HHOOK hook = SetWindowsHookExW(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
  Create();
  UnhookWindowsHookEx(hook);
  std::erase_if(gCreated, [](const auto& c) {
    return c.first != MainWindow && GetParent(c.first) != MainWindow;
  });
  // The main window first: topmost, with the edge the system gives a framed window.
  const std::tuple<INT_PTR, const wchar_t*, DWORD, DWORD, const wchar_t*> rows[] = {
      {0, L"KELVORSSCLASS", 0x00CE0000, WS_EX_TOPMOST | WS_EX_WINDOWEDGE,
       L"Kelvor Startup Settings"},
      {9976, L"BUTTON", 0x50010002, 0, L"Verbose startup messages (in Kelvor Control Shell)"},
      {9988, L"BUTTON", 0x50010002, 0,
       L"Skip font check (helpful if your system takes a long time to load fonts)"},
      {9972, L"BUTTON", 0x50010002, 0,
       L"Use legacy merge sort (fixes Java filechooser bugs on some systems)"},
      {9987, L"BUTTON", 0x50010002, 0,
       L"Disable DirectDraw (fixes graphics problems and/or speed on some systems)"},
      {9986, L"BUTTON", 0x50010002, 0, L"Keep working set (don't swap memory to disk) on minimize"},
      {9984, L"BUTTON", 0x50010002, 0, L"Prefer IPv4 (fixes slow debug startup on some systems)"},
      {9983, L"STATIC", 0x50000000, 0,
       L"Maximum memory use in megabytes (leave blank for default)"},
      {9982, L"EDIT", 0x50012080, 0x200, L""},
      {9974, L"STATIC", 0x50000000, 0, L"UI Scale"},
      {9973, L"COMBOBOX", 0x50200242, 0x200, L"Java UI scale"},
      {9981, L"STATIC", 0x50000000, 0, L"Java executable for running Kelvor"},
      {9980, L"COMBOBOX", 0x50200242, 0x200, L"Java executable for running Kelvor"},
      {9979, L"BUTTON", 0x50010000, 0, L"Browse"},
      {9978, L"BUTTON", 0x50010000, 0, L"OK"},
      {9977, L"BUTTON", 0x50010000, 0, L"Cancel"}};
  ASSERT_EQ(gCreated.size(), std::size(rows));
  const LRESULT font = SendMessageW(Control(IDC_OK), WM_GETFONT, 0, 0);
  EXPECT_NE(font, 0);
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(gCreated[i].second, rows[i]);
    EXPECT_EQ(SendMessageW(gCreated[i].first, WM_GETFONT, 0, 0), i > 0 ? font : 0) << i;
  }
  EXPECT_EQ(SendMessageW(Control(IDC_MEMORY_EDIT), EM_GETLIMITTEXT, 0, 0), 10);
  EXPECT_EQ(ReadControlText(MainWindow, IDC_JAVA_COMBO), L"[Default]");

  int h = 0;
  ASSERT_TRUE(FontHeight(Control(IDC_MEMORY_LABEL), h));
  const LayoutMetrics m = ComputeLayoutMetrics(h);
  RECT client{};
  GetClientRect(MainWindow, &client);
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    RECT box{};
    GetWindowRect(Control(kCheckBoxIds[i]), &box);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ((std::array{box.left, box.top, box.right, box.bottom - box.top}),
              (std::array<LONG, 4>{m.g, m.g / 2 + LONG(i) * (m.r + m.g), client.right - m.g, m.r}));
  }
  // The rows below the check boxes, then the Java row and the buttons: the needed height.
  const int javaTop = m.g / 2 + 5 * (m.r + m.g) + m.r + 2 * m.g + 2 * (m.L + m.g) + m.h + m.g;
  EXPECT_EQ(client.bottom, javaTop + m.r + 5 * m.g + m.b);  // opened at the needed height
}

TEST_F(SettingsWindowTest, CheckBoxesToggleOnceAndCancelOrCloseQuitWithoutSaving) {
  Create();
  for (const int id : kCheckBoxIds) {
    const UINT start = IsDlgButtonChecked(MainWindow, id);
    Command(id);
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, id), start ^ 1u) << id;
    SendMessageW(Control(id), BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, id), start) << id;
  }
  for (const int unused : {9975, 9985, IDOK, IDCANCEL}) Command(unused);
  EXPECT_FALSE(QuitPosted());
  Command(IDC_CANCEL);
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(SendMessageW(MainWindow, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(MainWindow));  // closing only asks the loop to end
  EXPECT_TRUE(QuitPosted());
  EXPECT_FALSE(std::filesystem::exists(file_));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(SettingsWindowTest, RefusedOrDeclinedEntriesSaveNothing) {
  const std::wstring folder = folder_.wstring(), invalid = L"Invalid Setting";
  const std::tuple<std::wstring, std::wstring, std::wstring, std::wstring, UINT> cases[] = {
      {L"abc", L"", L"Maximum memory use is not a number.", invalid, 0x10},
      {L"-5", L"", L"Maximum memory use is negative.", invalid, 0x10},
      {L" 5", L"", MemoryQuestionText(5, DefaultHeapMB()), L"Kelvor Startup Settings Warning",
       0x131},
      {L"", folder, L"\"" + folder + L"\" is a directory.", L"Questionable Setting", 0x36}};
  Create();
  for (const auto& [memory, java, text, title, style] : cases) {
    boxes_.clear();
    SetDlgItemTextW(MainWindow, IDC_MEMORY_EDIT, memory.c_str());
    SetDlgItemTextW(MainWindow, IDC_JAVA_COMBO, java.c_str());
    Command(IDC_OK);  // every box answers Cancel
    EXPECT_EQ(boxes_, std::vector{Box(text, title, style, MainWindow)});
    EXPECT_FALSE(QuitPosted());
  }
  EXPECT_FALSE(std::filesystem::exists(file_));
}

// The record's values come back from the save only if the controls showed them.
TEST_F(SettingsWindowTest, SavesTheShownRecordWithTheAnsweredChanges) {
  gCommandLineOptions.StartedFromKelvor = true;
  StartupSettings& s = gStartupSettings;
  std::tie(s.MaxMemoryMB, s.Scale, s.Verbose, s.KeepWS) = std::tuple(5, L"4", true, true);
  s.Java = L"D:\\Elsewhere\\bin\\java.exe";
  Create();
  for (const int id : {IDC_KEEP_WORKING_SET, IDC_PREFER_IPV4, IDC_LEGACY_MERGE_SORT}) Command(id);
  answers_ = {IDOK, IDTRYAGAIN, IDCONTINUE, IDOK};
  Command(IDC_OK);
  ASSERT_EQ(boxes_.size(), 4u);  // memory, Java twice, then the restart notice
  EXPECT_EQ(std::get<0>(boxes_[0]), MemoryQuestionText(5, DefaultHeapMB()));
  EXPECT_EQ(std::get<0>(boxes_[1]), std::get<0>(boxes_[2]));
  EXPECT_EQ(boxes_[3], Box(L"You must restart Kelvor for changes to take effect.",
                           L"Kelvor Startup Settings", 0, MainWindow));
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(std::tie(s.MaxMemoryMB, s.Java, s.Scale),
            std::tuple(5, L"D:\\Elsewhere\\bin\\java.exe", L"4"));
  EXPECT_TRUE(s.Verbose && s.PreferIPv4);  // legacy merge sort starts on
  EXPECT_FALSE(s.LegacyMS2 || s.KeepWS || s.SkipFontCheck || s.DisableDD2 || s.AllowUIScale);
  EXPECT_TRUE(std::filesystem::exists(file_));
}

}  // namespace
