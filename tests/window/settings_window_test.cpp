// The real settings window under Wine: controls, layout, commands, OK's questions and Browse.
#include "window/settings_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>

#include "platform/ui_win.h"
#include "window/accept_rules.h"
#include "window/control_ids.h"

namespace {

// A candidate with just the fields the window uses.
JavaCandidate Entry(const std::wstring& javaw, const std::wstring& java, const std::wstring& name) {
  JavaCandidate candidate;
  candidate.javawPath = javaw;
  candidate.javaPath = java;
  candidate.displayName = name;
  return candidate;
}

struct Box {
  std::wstring text, title;
  UINT style;
  HWND owner;
};

std::wstring TextOf(HWND control) {
  std::array<wchar_t, 512> buffer{};
  return std::wstring(buffer.data(), GetWindowTextW(control, buffer.data(), buffer.size()));
}

// What CreateWindowExW was given per child: comboboxes later drop WS_VSCROLL and their client
// edge from what GetWindowLong reports, so creation is where the exact values show.
struct Created {
  CREATESTRUCTW create;
  std::wstring className, text;  // the structure's own pointers live only during the hook
};
std::vector<Created>* gCreated = nullptr;
LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && gCreated) {
    const CREATESTRUCTW& create = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    std::array<wchar_t, 64> className{};
    GetClassNameW(reinterpret_cast<HWND>(wParam), className.data(), className.size());
    if (create.hwndParent && !GetParent(create.hwndParent)) {
      gCreated->push_back({create, className.data(), create.lpszName ? create.lpszName : L""});
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The window as the program creates it, every box answered from a script, settings-file mode
// on a file in a fresh folder.
class SettingsWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    static const ATOM registered = RegisterSettingsWindowClass(GetModuleHandleW(nullptr));
    ASSERT_NE(registered, 0);
    gStartupSettings = StartupSettings();
    gCommandLineOptions = CommandLineOptions();
    platform::ui::SetMessageBoxHook(
        [this](HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
          boxes_.push_back({text, title, style, owner});
          const int answer = answers_.empty() ? IDCANCEL : answers_.front();
          if (!answers_.empty()) answers_.erase(answers_.begin());
          return answer;
        });
    folder_ = std::filesystem::temp_directory_path() /
              ("kelvor-window-" + std::to_string(GetTickCount()));
    std::filesystem::create_directories(folder_);
    file_ = folder_ / "Kelvor_ss";
    gStartupSettings.SettingsFilePath = file_.wstring();
  }

  void TearDown() override {
    if (MainWindow) DestroyWindow(MainWindow);
    MainWindow = nullptr;
    QuitPosted();
    platform::ui::SetMessageBoxHook(nullptr);
    platform::ui::SetOpenFileHook(nullptr);
    std::filesystem::remove_all(folder_);
  }

  void Create() {
    MainWindow = CreateSettingsWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(MainWindow, nullptr);
    QuitPosted();
  }

  HWND Control(int id) const { return GetDlgItem(MainWindow, id); }
  void Command(int id) { SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  void SetText(int id, const std::wstring& text) { SetDlgItemTextW(MainWindow, id, text.c_str()); }
  LRESULT Selected(int id) const { return SendMessageW(Control(id), CB_GETCURSEL, 0, 0); }

  RECT Placed(int id) const {
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  // Runs what is queued; true when a quit request was among it.
  static bool QuitPosted() {
    bool quit = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT)
        quit = true;
      else
        DispatchMessageW(&message);
    }
    return quit;
  }

  std::vector<Box> boxes_;
  std::vector<int> answers_;
  std::filesystem::path folder_, file_;
};

TEST_F(SettingsWindowTest, FifteenControlsAsCreated) {
  std::vector<Created> created;
  gCreated = &created;
  const HHOOK hook = SetWindowsHookExW(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
  Create();
  UnhookWindowsHookEx(hook);
  gCreated = nullptr;
  std::erase_if(created, [](const Created& c) { return c.create.hwndParent != MainWindow; });
  EXPECT_EQ(TextOf(MainWindow), L"Kelvor Startup Settings");
  EXPECT_EQ(GetWindowLongW(MainWindow, GWL_STYLE) & 0x00CF0000, 0x00CE0000);
  EXPECT_TRUE(GetWindowLongW(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);

  const struct {
    int id;
    const wchar_t *className, *text;
    DWORD style, exStyle;
  } rows[] = {
      {9976, L"BUTTON", kCheckBoxCaptions[0], 0x50010002, 0},
      {9988, L"BUTTON", kCheckBoxCaptions[1], 0x50010002, 0},
      {9972, L"BUTTON", kCheckBoxCaptions[2], 0x50010002, 0},
      {9987, L"BUTTON", kCheckBoxCaptions[3], 0x50010002, 0},
      {9986, L"BUTTON", L"Keep working set (don't swap memory to disk) on minimize", 0x50010002, 0},
      {9984, L"BUTTON", L"Prefer IPv4 (fixes slow debug startup on some systems)", 0x50010002, 0},
      {9983, L"STATIC", L"Maximum memory use in megabytes (leave blank for default)", 0x50000000,
       0},
      {9982, L"EDIT", L"", 0x50012080, 0x200},
      {9974, L"STATIC", L"UI Scale", 0x50000000, 0},
      {9973, L"COMBOBOX", L"Java UI scale", 0x50200242, 0x200},
      {9981, L"STATIC", L"Java executable for running Kelvor", 0x50000000, 0},
      {9980, L"COMBOBOX", L"Java executable for running Kelvor", 0x50200242, 0x200},
      {9979, L"BUTTON", L"Browse", 0x50010000, 0},
      {9978, L"BUTTON", L"OK", 0x50010000, 0},
      {9977, L"BUTTON", L"Cancel", 0x50010000, 0},
  };
  ASSERT_EQ(created.size(), std::size(rows));
  const LRESULT font = SendMessageW(Control(IDC_OK), WM_GETFONT, 0, 0);
  EXPECT_NE(font, 0);
  HWND child = GetWindow(MainWindow, GW_CHILD);  // creation order is the z-order
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const CREATESTRUCTW& made = created[i].create;
    SCOPED_TRACE(testing::Message() << "control " << rows[i].id);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(made.hMenu), rows[i].id);
    EXPECT_EQ(_wcsicmp(created[i].className.c_str(), rows[i].className), 0);
    EXPECT_EQ(created[i].text, rows[i].text);
    EXPECT_EQ(static_cast<DWORD>(made.style), rows[i].style);
    EXPECT_EQ(made.dwExStyle, rows[i].exStyle);
    EXPECT_EQ((std::array{made.x, made.y, made.cx, made.cy}), (std::array{0, 0, 1, 1}));
    EXPECT_EQ(GetDlgCtrlID(child), rows[i].id);
    EXPECT_EQ(SendMessageW(child, WM_GETFONT, 0, 0), font);
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(SendMessageW(Control(IDC_MEMORY_EDIT), EM_GETLIMITTEXT, 0, 0), 10);
  EXPECT_EQ(SendMessageW(Control(IDC_SCALE_COMBO), CB_GETCOUNT, 0, 0), 9);
  EXPECT_EQ(SendMessageW(Control(IDC_JAVA_COMBO), CB_GETCOUNT, 0, 0),
            static_cast<LRESULT>(JavaCandidates().size()));
  EXPECT_EQ(TextOf(Control(IDC_JAVA_COMBO)), L"[Default]");
}

TEST_F(SettingsWindowTest, LayoutFollowsTheFontHeightAndTheSize) {
  Create();
  int h = 0;
  ASSERT_TRUE(FontHeight(Control(IDC_MEMORY_LABEL), h));
  const LayoutMetrics m = ComputeLayoutMetrics(h);
  RECT client{}, window{}, desktop{};
  GetClientRect(MainWindow, &client);
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    const RECT box = Placed(kCheckBoxIds[i]);
    EXPECT_EQ((std::array{box.left, box.top, box.right, box.bottom - box.top}),
              (std::array<LONG, 4>{m.g, m.g / 2 + LONG(i) * (m.r + m.g), client.right - m.g, m.r}));
  }
  const int javaTop = m.g / 2 + 5 * (m.r + m.g) + m.r + 2 * m.g + 2 * (m.L + m.g) + m.h + m.g;
  EXPECT_EQ(Placed(IDC_JAVA_COMBO).top, javaTop);
  // Opened at the needed height, centred on the desktop.
  EXPECT_EQ(client.bottom, javaTop + m.r + 5 * m.g + m.b);
  GetWindowRect(MainWindow, &window);
  GetClientRect(GetDesktopWindow(), &desktop);
  EXPECT_EQ(window.left, (desktop.right - (window.right - window.left)) / 2);
  EXPECT_EQ(window.top, (desktop.bottom - (window.bottom - window.top)) / 2);
}

TEST_F(SettingsWindowTest, CheckBoxesToggleOncePerCommandClickOrSpace) {
  Create();
  for (const int id : kCheckBoxIds) {
    const UINT start = IsDlgButtonChecked(MainWindow, id);
    Command(id);
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, id), start ^ 1u) << id;
    SendMessageW(Control(id), BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, id), start) << id;
    SetFocus(Control(id));
    SendMessageW(Control(id), WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageW(Control(id), WM_KEYUP, VK_SPACE, 0xC0390001);
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, id), start ^ 1u) << id;
  }
  for (const int unused : {9975, 9985, IDOK, IDCANCEL}) Command(unused);
  EXPECT_FALSE(QuitPosted());
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(SettingsWindowTest, CancelAndCloseQuitWithoutSaving) {
  Create();
  Command(IDC_CANCEL);
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(SendMessageW(MainWindow, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(MainWindow));  // closing only asks the loop to end
  EXPECT_TRUE(QuitPosted());
  EXPECT_FALSE(std::filesystem::exists(file_));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(SettingsWindowTest, RefusedOrDeclinedEntriesSaveNothing) {
  const std::uint64_t heap = DefaultHeapMB();
  ASSERT_GT(heap, 10u);
  const std::wstring folder = folder_.wstring();
  const struct {
    const wchar_t *memory, *java, *text, *title;
    UINT style;
  } cases[] = {
      {L"abc", L"", L"Maximum memory use is not a number.", L"Invalid Setting", 0x10},
      {L"9999999999", L"", L"Maximum memory use is not a number.", L"Invalid Setting", 0x10},
      {L"-5", L"", L"Maximum memory use is negative.", L"Invalid Setting", 0x10},
      {L" 5", L"", nullptr, L"Kelvor Startup Settings Warning", 0x131},
      {L"", folder.c_str(), nullptr, L"Questionable Setting", 0x36},
  };
  Create();
  for (const auto& c : cases) {
    boxes_.clear();
    SetText(IDC_MEMORY_EDIT, c.memory);
    SetText(IDC_JAVA_COMBO, c.java);
    Command(IDC_OK);  // every box answers Cancel
    ASSERT_EQ(boxes_.size(), 1u) << c.title;
    const std::wstring text = c.text      ? c.text
                              : c.java[0] ? L"\"" + folder + L"\" is a directory."
                                          : MemoryQuestionText(5, heap);
    EXPECT_EQ(boxes_[0].text, text);
    EXPECT_EQ(boxes_[0].title, c.title);
    EXPECT_EQ(boxes_[0].style, c.style);
    EXPECT_EQ(boxes_[0].owner, MainWindow);
    EXPECT_FALSE(QuitPosted());
  }
  EXPECT_FALSE(std::filesystem::exists(file_));
  EXPECT_EQ(gStartupSettings.MaxMemoryMB, 0);
}

TEST_F(SettingsWindowTest, ShowsTheRecordAndSavesTheAnsweredControls) {
  gCommandLineOptions.StartedFromKelvor = true;
  gStartupSettings.MaxMemoryMB = 1024;
  gStartupSettings.Scale = L"4";
  gStartupSettings.Verbose = gStartupSettings.KeepWS = true;
  gStartupSettings.Java = L"D:\\Elsewhere\\bin\\java.exe";
  Create();
  EXPECT_EQ(TextOf(Control(IDC_MEMORY_EDIT)), L"1024");
  EXPECT_EQ(Selected(IDC_SCALE_COMBO), 4);
  EXPECT_EQ(TextOf(Control(IDC_JAVA_COMBO)), gStartupSettings.Java);
  EXPECT_EQ(Selected(IDC_JAVA_COMBO), CB_ERR);
  std::array<UINT, kCheckBoxCount> marks{};
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    marks[i] = IsDlgButtonChecked(MainWindow, kCheckBoxIds[i]);
  }
  EXPECT_EQ(marks, (std::array<UINT, kCheckBoxCount>{1, 0, 1, 0, 1, 0}));

  SetText(IDC_MEMORY_EDIT, L"5");
  SetText(IDC_JAVA_COMBO, folder_.wstring());
  SetText(IDC_SCALE_COMBO, L"System Default x");
  for (const int id : {IDC_KEEP_WORKING_SET, IDC_PREFER_IPV4, IDC_LEGACY_MERGE_SORT}) Command(id);
  answers_ = {IDOK, IDTRYAGAIN, IDCONTINUE, IDOK};
  Command(IDC_OK);
  ASSERT_EQ(boxes_.size(), 4u);  // memory, Java twice, then the restart notice
  EXPECT_EQ(boxes_[1].text, boxes_[2].text);
  EXPECT_EQ(boxes_[3].text, L"You must restart Kelvor for changes to take effect.");
  EXPECT_EQ(boxes_[3].title, L"Kelvor Startup Settings");
  EXPECT_EQ(boxes_[3].style, 0u);
  EXPECT_TRUE(QuitPosted());
  const StartupSettings& s = gStartupSettings;
  EXPECT_EQ(s.MaxMemoryMB, 5);
  EXPECT_EQ(s.Java, folder_.wstring());
  EXPECT_EQ(s.Scale, L"System Default x");
  EXPECT_TRUE(s.AllowUIScale && s.Verbose && s.PreferIPv4);
  EXPECT_FALSE(s.LegacyMS2 || s.KeepWS || s.SkipFontCheck || s.DisableDD2);
  EXPECT_TRUE(std::filesystem::exists(file_));
}

TEST_F(SettingsWindowTest, FailedSaveShowsTheErrorAndStays) {
  gStartupSettings.SettingsFilePath = (folder_ / "missing" / "Kelvor_ss").wstring();
  Create();
  SetText(IDC_SCALE_COMBO, L"3");
  Command(IDC_OK);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text.rfind(L"Unable to open settings file \"" +
                                     gStartupSettings.SettingsFilePath + L"\" for writing.",
                                 0),
            0u);
  EXPECT_EQ(boxes_[0].title, L"Kelvor Startup Settings Error");
  EXPECT_EQ(boxes_[0].style, 0x10u);
  EXPECT_FALSE(QuitPosted());
  EXPECT_EQ(gStartupSettings.Scale, L"3");  // the record already holds the entries
}

TEST_F(SettingsWindowTest, BrowsePreparesOnceAndSelectsTheChoice) {
  Create();
  JavaCandidates() = {JavaCandidate{}, Entry(L"C:\\J\\javaw.exe", L"C:\\J\\java.exe", L"J")};
  SendMessageW(Control(IDC_JAVA_COMBO), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"J"));
  std::vector<OPENFILENAMEW> requests;
  std::vector<std::wstring> offered;
  std::wstring answer = L"C:\\J\\javaw.exe";
  platform::ui::SetOpenFileHook([&](OPENFILENAMEW& request) {
    requests.push_back(request);
    offered.emplace_back(request.lpstrFile);
    if (answer.empty()) return FALSE;
    wcscpy_s(request.lpstrFile, request.nMaxFile, answer.c_str());
    return TRUE;
  });
  Command(IDC_BROWSE);
  ASSERT_EQ(requests.size(), 1u);
  const OPENFILENAMEW& first = requests[0];
  EXPECT_EQ(
      (std::array<DWORD, 4>{first.lStructSize, first.nMaxFile, first.Flags, first.nFilterIndex}),
      (std::array<DWORD, 4>{88, 1520, OFN_FILEMUSTEXIST, 0}));
  EXPECT_EQ(first.hwndOwner, MainWindow);
  EXPECT_EQ(std::wstring(first.lpstrTitle), L"Select Kelvor Java Executable");
  constexpr wchar_t kFilter[] = L"Executable Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0";
  EXPECT_EQ(std::wstring(first.lpstrFilter, std::size(kFilter)),
            std::wstring(kFilter, std::size(kFilter)));
  // Wine's 64-bit prefix runs this 32-bit process under WOW64: the 64-bit Program Files.
  std::array<wchar_t, 260> programFiles{};
  ExpandEnvironmentStringsW(L"%ProgramW6432%", programFiles.data(), programFiles.size());
  const std::wstring java = std::wstring(programFiles.data()) + L"\\Java";
  ASSERT_NE(first.lpstrInitialDir, nullptr);
  EXPECT_EQ(first.lpstrInitialDir, GetFileAttributesW(java.c_str()) != INVALID_FILE_ATTRIBUTES
                                       ? java
                                       : std::wstring(programFiles.data()));
  EXPECT_EQ(Selected(IDC_JAVA_COMBO), 1);

  answer = L"D:\\Other\\java.exe";
  Command(IDC_BROWSE);
  EXPECT_EQ(offered, (std::vector<std::wstring>{L"", L"C:\\J\\javaw.exe"}));
  EXPECT_EQ(TextOf(Control(IDC_JAVA_COMBO)), answer);
  EXPECT_EQ(Selected(IDC_JAVA_COMBO), CB_ERR);
  answer.clear();  // cancelled: nothing changes
  Command(IDC_BROWSE);
  EXPECT_EQ(TextOf(Control(IDC_JAVA_COMBO)), L"D:\\Other\\java.exe");
}

TEST_F(SettingsWindowTest, TabVisitsEveryInputControlIncludingTheCombos) {
  Create();
  ShowWindow(MainWindow, SW_SHOWNORMAL);
  SetForegroundWindow(MainWindow);
  SetFocus(Control(IDC_VERBOSE));
  auto tab = [&](bool shift) {
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys.data());
    EXPECT_TRUE(HandleTabKey(MainWindow, MSG{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}}));
    HWND focus = GetFocus();
    while (focus && GetParent(focus) != MainWindow) focus = GetParent(focus);
    return GetDlgCtrlID(focus);
  };
  for (const int id : {IDC_SKIP_FONT_CHECK, IDC_LEGACY_MERGE_SORT, IDC_DISABLE_DIRECTDRAW,
                       IDC_KEEP_WORKING_SET, IDC_PREFER_IPV4, IDC_MEMORY_EDIT, IDC_SCALE_COMBO,
                       IDC_JAVA_COMBO, IDC_BROWSE, IDC_OK, IDC_CANCEL, IDC_VERBOSE}) {
    EXPECT_EQ(tab(false), id);
  }
  EXPECT_FALSE(HandleTabKey(MainWindow, MSG{Control(IDC_OK), WM_KEYDOWN, 'A', 0, 0, {}}));
  EXPECT_FALSE(HandleTabKey(MainWindow, MSG{GetDesktopWindow(), WM_KEYDOWN, VK_TAB, 0, 0, {}}));
}

}  // namespace
