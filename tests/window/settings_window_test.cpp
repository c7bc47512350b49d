// The real settings window under Wine: controls, layout, commands, OK's questions and Browse.
#include "window/settings_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

#include "javainfo/java_validation.h"
#include "platform/ui_win.h"
#include "startup/error_text.h"
#include "window/accept_rules.h"
#include "window/control_ids.h"

namespace {

struct ShownBox {
  std::wstring text;
  std::wstring title;
  UINT style;
  HWND owner;
};

std::wstring TextOf(HWND control) {
  std::array<wchar_t, 1024> buffer{};
  const int length = GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
  return std::wstring(buffer.data(), length);
}

std::wstring ClassOf(HWND control) {
  std::array<wchar_t, 64> buffer{};
  const int length = GetClassNameW(control, buffer.data(), static_cast<int>(buffer.size()));
  return std::wstring(buffer.data(), length);
}

std::filesystem::path TempFolder() {
  std::array<wchar_t, MAX_PATH> buffer{};
  GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  std::filesystem::path folder =
      std::filesystem::path(buffer.data()) / ("kelvor-window-" + std::to_string(GetTickCount()));
  std::filesystem::create_directories(folder);
  return folder;
}

// What CreateWindowExW was given for each child: comboboxes drop some bits from what
// GetWindowLong later reports, so creation is where the exact values show.
struct CreatedChild {
  int id;
  DWORD style;
  DWORD exStyle;
  int x, y, width, height;
};
std::vector<CreatedChild>* gCreatedChildren = nullptr;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && gCreatedChildren) {
    const CREATESTRUCTW& create = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    if (create.hwndParent && create.hwndParent == GetParent(reinterpret_cast<HWND>(wParam)) &&
        GetParent(create.hwndParent) == nullptr && (create.style & WS_CHILD)) {
      gCreatedChildren->push_back({static_cast<int>(reinterpret_cast<INT_PTR>(create.hMenu)),
                                   static_cast<DWORD>(create.style), create.dwExStyle, create.x,
                                   create.y, create.cx, create.cy});
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The window as the program creates it, with every box answered from a script.
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
          if (answers_.empty()) return IDCANCEL;
          const int answer = answers_.front();
          answers_.erase(answers_.begin());
          return answer;
        });
    folder_ = TempFolder();
  }

  void TearDown() override {
    if (MainWindow) DestroyWindow(MainWindow);
    MainWindow = nullptr;
    DrainQuit();
    platform::ui::SetMessageBoxHook(nullptr);
    platform::ui::SetOpenFileHook(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  void Create() {
    MainWindow = CreateSettingsWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(MainWindow, nullptr);
    DrainQuit();
  }

  HWND Control(int id) const { return GetDlgItem(MainWindow, id); }

  // Processes what is queued; true when a quit request was among it.
  static bool DrainQuit() {
    bool quit = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return quit;
  }

  // Settings-file mode with a file the test can read back; the window opens on it.
  std::wstring UseSettingsFile() {
    const std::wstring path = (folder_ / "Kelvor_ss").wstring();
    gStartupSettings.SettingsFilePath = path;
    gStartupSettings.BaseDirectory = folder_.wstring();
    return path;
  }

  // A Java home that validation accepts: bin\java.exe a real image, bin\java.dll, release file.
  std::wstring MakeJavaHome(const std::string& version) {
    const std::filesystem::path home = folder_ / ("jdk-" + version);
    std::filesystem::create_directories(home / "bin");
    std::array<wchar_t, MAX_PATH> self{};
    GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    std::filesystem::copy_file(self.data(), home / "bin" / "java.exe");
    std::ofstream(home / "bin" / "java.dll") << "dll";
    std::ofstream(home / "release") << "JAVA_VERSION=\"" << version << "\"\n";
    return (home / "bin" / "java.exe").wstring();
  }

  void SetComboText(int id, const std::wstring& text) { SetWindowTextW(Control(id), text.c_str()); }

  // Puts `candidates` in place of what discovery found, in the list and in the combobox.
  void UseCandidates(const std::vector<JavaCandidate>& candidates) {
    JavaCandidates() = candidates;
    const HWND combo = Control(IDC_JAVA_COMBO);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const JavaCandidate& candidate : candidates) {
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(candidate.displayName.c_str()));
    }
  }

  RECT ClientRectOf(int id) const {
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  std::vector<ShownBox> boxes_;
  std::vector<int> answers_;
  std::filesystem::path folder_;
};

JavaCandidate Candidate(const std::wstring& home, const std::wstring& name) {
  JavaCandidate candidate;
  candidate.javawPath = home + L"\\bin\\javaw.exe";
  candidate.javaPath = home + L"\\bin\\java.exe";
  candidate.displayName = name;
  return candidate;
}

TEST_F(SettingsWindowTest, ClassAndWindowAsStartupMakesThem) {
  Create();
  WNDCLASSW info{};
  ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), kWindowClassName, &info));
  EXPECT_EQ(info.style, 11u);
  EXPECT_EQ(reinterpret_cast<INT_PTR>(info.hbrBackground), 16);
  EXPECT_EQ(info.lpfnWndProc, SettingsWndProc);
  EXPECT_EQ(TextOf(MainWindow), L"Kelvor Startup Settings");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(MainWindow, GWL_STYLE)) & 0x00CF0000u, 0x00CE0000u);
  EXPECT_TRUE(GetWindowLongW(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(SettingsWindowTest, FifteenControlsWithTheirClassesTextsAndStyles) {
  std::vector<CreatedChild> created;
  gCreatedChildren = &created;
  const HHOOK hook = SetWindowsHookExW(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  Create();
  UnhookWindowsHookEx(hook);
  gCreatedChildren = nullptr;
  const struct {
    int id;
    const wchar_t* className;
    const wchar_t* text;  // null for the comboboxes, whose text is their selection
    DWORD style;
    DWORD exStyle;
  } rows[] = {
      {9976, L"Button", L"Verbose startup messages (in Kelvor Control Shell)", 0x50010002, 0},
      {9988, L"Button", L"Skip font check (helpful if your system takes a long time to load fonts)",
       0x50010002, 0},
      {9972, L"Button", L"Use legacy merge sort (fixes Java filechooser bugs on some systems)",
       0x50010002, 0},
      {9987, L"Button",
       L"Disable DirectDraw (fixes graphics problems and/or speed on some systems)", 0x50010002, 0},
      {9986, L"Button", L"Keep working set (don't swap memory to disk) on minimize", 0x50010002, 0},
      {9984, L"Button", L"Prefer IPv4 (fixes slow debug startup on some systems)", 0x50010002, 0},
      {9983, L"Static", L"Maximum memory use in megabytes (leave blank for default)", 0x50000000,
       0},
      {9982, L"Edit", L"", 0x50012080, 0x200},
      {9974, L"Static", L"UI Scale", 0x50000000, 0},
      {9973, L"ComboBox", nullptr, 0x50200242, 0x200},
      {9981, L"Static", L"Java executable for running Kelvor", 0x50000000, 0},
      {9980, L"ComboBox", nullptr, 0x50200242, 0x200},
      {9979, L"Button", L"Browse", 0x50010000, 0},
      {9978, L"Button", L"OK", 0x50010000, 0},
      {9977, L"Button", L"Cancel", 0x50010000, 0},
  };
  // Creation order is the z-order: walking the children gives the table's rows in turn.
  // The comboboxes' own edit and list are created too; keep the window's direct children.
  std::erase_if(created, [](const CreatedChild& c) { return c.id < 9972 || c.id > 9988; });
  ASSERT_EQ(created.size(), std::size(rows));
  HWND child = GetWindow(MainWindow, GW_CHILD);
  const auto font = SendMessageW(Control(IDC_MEMORY_LABEL), WM_GETFONT, 0, 0);
  EXPECT_NE(font, 0);
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "control " << row.id);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetDlgCtrlID(child), row.id);
    const HWND control = Control(row.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), row.className), 0) << ClassOf(control);
    if (row.text) {
      EXPECT_EQ(TextOf(control), row.text);
    }
    const CreatedChild& made = created[&row - rows];
    EXPECT_EQ(made.id, row.id);
    EXPECT_EQ(made.style, row.style);
    EXPECT_EQ(made.exStyle, row.exStyle);
    EXPECT_EQ((std::array{made.x, made.y, made.width, made.height}), (std::array{0, 0, 1, 1}));
    // A combobox keeps its scroll bar and client edge for its parts, not for itself.
    const DWORD ownStyle = row.style & ~(row.id == IDC_SCALE_COMBO || row.id == IDC_JAVA_COMBO
                                             ? static_cast<DWORD>(WS_VSCROLL)
                                             : 0u);
    const DWORD ownExStyle =
        row.id == IDC_SCALE_COMBO || row.id == IDC_JAVA_COMBO ? 0u : row.exStyle;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)), ownStyle);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE)) & ~WS_EX_NOPARENTNOTIFY,
              ownExStyle);
    EXPECT_EQ(SendMessageW(control, WM_GETFONT, 0, 0), font);
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr);
  EXPECT_EQ(SendMessageW(Control(IDC_MEMORY_EDIT), EM_GETLIMITTEXT, 0, 0), 10);
}

TEST_F(SettingsWindowTest, CombosHoldTheScaleItemsAndTheCandidates) {
  Create();
  const HWND scale = Control(IDC_SCALE_COMBO);
  ASSERT_EQ(SendMessageW(scale, CB_GETCOUNT, 0, 0), 9);
  const wchar_t* items[] = {L"Default", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"};
  for (int i = 0; i < 9; ++i) {
    std::array<wchar_t, 32> item{};
    SendMessageW(scale, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    EXPECT_EQ(std::wstring(item.data()), items[i]);
  }
  const HWND java = Control(IDC_JAVA_COMBO);
  const std::vector<JavaCandidate>& candidates = JavaCandidates();
  ASSERT_FALSE(candidates.empty());
  EXPECT_EQ(candidates[0].displayName, L"[Default]");
  ASSERT_EQ(SendMessageW(java, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(candidates.size()));
  EXPECT_EQ(TextOf(java), L"[Default]");
}

TEST_F(SettingsWindowTest, ShowsTheRecord) {
  const struct {
    std::int32_t memory;
    const wchar_t* memoryText;
    const wchar_t* scale;
    LRESULT scaleIndex;
  } cases[] = {
      {1024, L"1024", L"4", 4},
      {0, L"", L"", 0},
      {-5, L"", L"4.0", 0},
      {1, L"1", L"default", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "memory " << c.memory << " scale " << c.scale);
    gStartupSettings = StartupSettings();
    gStartupSettings.MaxMemoryMB = c.memory;
    gStartupSettings.Scale = c.scale;
    gStartupSettings.Verbose = true;
    gStartupSettings.LegacyMS2 = false;
    gStartupSettings.KeepWS = true;
    gStartupSettings.Java = L"D:\\Elsewhere\\bin\\java.exe";
    Create();
    EXPECT_EQ(TextOf(Control(IDC_MEMORY_EDIT)), c.memoryText);
    EXPECT_EQ(SendMessageW(Control(IDC_SCALE_COMBO), CB_GETCURSEL, 0, 0), c.scaleIndex);
    const UINT expected[] = {1, 0, 0, 0, 1, 0};
    for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
      EXPECT_EQ(IsDlgButtonChecked(MainWindow, kCheckBoxIds[i]), expected[i]) << kCheckBoxIds[i];
    }
    EXPECT_EQ(TextOf(Control(IDC_JAVA_COMBO)), L"D:\\Elsewhere\\bin\\java.exe");
    EXPECT_EQ(SendMessageW(Control(IDC_JAVA_COMBO), CB_GETCURSEL, 0, 0), CB_ERR);
    DestroyWindow(MainWindow);
    MainWindow = nullptr;
    DrainQuit();
  }
}

TEST_F(SettingsWindowTest, SelectJavaTextMatchesEitherPathExactly) {
  Create();
  UseCandidates({Candidate(L"", L"[Default]"), Candidate(L"C:\\J21", L"Temurin 21"),
                 Candidate(L"C:\\J21", L"Twin 21"), Candidate(L"C:\\J17", L"Zulu 17")});
  JavaCandidates()[0].javaPath.clear();
  JavaCandidates()[0].javawPath.clear();
  const struct {
    const wchar_t* text;
    LRESULT index;
    const wchar_t* shown;
  } cases[] = {
      {L"C:\\J17\\bin\\javaw.exe", 3, L"Zulu 17"},
      {L"C:\\J21\\bin\\java.exe", 1, L"Temurin 21"},
      {L"", 0, L"[Default]"},
      {L"c:\\J17\\bin\\java.exe", CB_ERR, L"c:\\J17\\bin\\java.exe"},
      {L"C:/J17/bin/java.exe", CB_ERR, L"C:/J17/bin/java.exe"},
  };
  for (const auto& c : cases) {
    SelectJavaText(MainWindow, c.text);
    EXPECT_EQ(SendMessageW(Control(IDC_JAVA_COMBO), CB_GETCURSEL, 0, 0), c.index) << c.text;
    EXPECT_EQ(TextOf(Control(IDC_JAVA_COMBO)), c.shown);
    EXPECT_EQ(ReadJavaChoice(),
              c.index == CB_ERR ? std::wstring(c.text) : JavaCandidates()[c.index].javaPath);
  }
}

TEST_F(SettingsWindowTest, LayoutFollowsTheFontHeight) {
  Create();
  int h = 0;
  ASSERT_TRUE(FontHeight(Control(IDC_MEMORY_LABEL), h));
  const LayoutMetrics m = ComputeLayoutMetrics(h);
  RECT client{};
  GetClientRect(MainWindow, &client);
  const int right = client.right - m.g;
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    const RECT box = ClientRectOf(kCheckBoxIds[i]);
    EXPECT_EQ(box.left, m.g);
    EXPECT_EQ(box.top, m.g / 2 + static_cast<int>(i) * (m.r + m.g));
    EXPECT_EQ(box.right, right);
    EXPECT_EQ(box.bottom - box.top, m.r);
  }
  SIZE caption{};
  ASSERT_TRUE(MeasureText(Control(IDC_MEMORY_LABEL), kMemoryCaption, caption));
  const int memoryTop = m.g / 2 + 5 * (m.r + m.g) + m.r + 2 * m.g;
  EXPECT_EQ(ClientRectOf(IDC_MEMORY_LABEL).top, memoryTop);
  EXPECT_EQ(ClientRectOf(IDC_MEMORY_EDIT).left, caption.cx + 2 * m.g);
  const int javaTop = memoryTop + 2 * (m.L + m.g) + m.h + m.g;
  EXPECT_EQ(ClientRectOf(IDC_JAVA_COMBO).top, javaTop);
  EXPECT_EQ(ClientRectOf(IDC_BROWSE).right, right);
  EXPECT_EQ(ClientRectOf(IDC_OK).left, m.g);
  EXPECT_EQ(ClientRectOf(IDC_OK).bottom, client.bottom - m.g);
  EXPECT_EQ(ClientRectOf(IDC_CANCEL).bottom, client.bottom - m.g);

  // The window opened at the needed client size: the widest caption row and the Java row's
  // bottom plus room for the buttons; and centred on the desktop.
  EXPECT_EQ(client.bottom, javaTop + m.r + 5 * m.g + m.b);
  int widest = caption.cx + 3 * m.g + ClientRectOf(IDC_MEMORY_EDIT).right -
               ClientRectOf(IDC_MEMORY_EDIT).left;
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    SIZE box{};
    ASSERT_TRUE(MeasureText(Control(kCheckBoxIds[i]), kCheckBoxCaptions[i], box));
    widest = std::max<int>(widest, box.cx + 2 * m.g + m.b);
  }
  EXPECT_EQ(client.right, widest);
  RECT window{};
  RECT desktop{};
  GetWindowRect(MainWindow, &window);
  GetClientRect(GetDesktopWindow(), &desktop);
  EXPECT_EQ(window.left, (desktop.right - (window.right - window.left)) / 2);
  EXPECT_EQ(window.top, (desktop.bottom - (window.bottom - window.top)) / 2);
}

TEST_F(SettingsWindowTest, ResizingWidensTheCombosAndAnchorsTheButtons) {
  Create();
  RECT before{};
  GetWindowRect(MainWindow, &before);
  const int javaWidth = ClientRectOf(IDC_JAVA_COMBO).right - ClientRectOf(IDC_JAVA_COMBO).left;
  const int browseWidth = ClientRectOf(IDC_BROWSE).right - ClientRectOf(IDC_BROWSE).left;
  SetWindowPos(MainWindow, nullptr, 0, 0, before.right - before.left + 120,
               before.bottom - before.top + 80, SWP_NOMOVE | SWP_NOZORDER);
  RECT client{};
  GetClientRect(MainWindow, &client);
  int h = 0;
  ASSERT_TRUE(FontHeight(Control(IDC_MEMORY_LABEL), h));
  const LayoutMetrics m = ComputeLayoutMetrics(h);
  EXPECT_EQ(ClientRectOf(IDC_JAVA_COMBO).right - ClientRectOf(IDC_JAVA_COMBO).left,
            javaWidth + 120);
  EXPECT_EQ(ClientRectOf(IDC_BROWSE).right - ClientRectOf(IDC_BROWSE).left, browseWidth);
  EXPECT_EQ(ClientRectOf(IDC_BROWSE).right, client.right - m.g);
  EXPECT_EQ(ClientRectOf(IDC_OK).bottom, client.bottom - m.g);
}

TEST_F(SettingsWindowTest, CheckBoxesToggleOncePerCommandClickOrSpace) {
  Create();
  for (const int id : kCheckBoxIds) {
    SCOPED_TRACE(testing::Message() << "check box " << id);
    const UINT start = IsDlgButtonChecked(MainWindow, id);
    SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(id)));
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, id), start ^ 1u);
    SendMessageW(Control(id), BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, id), start);
    SetFocus(Control(id));
    SendMessageW(Control(id), WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageW(Control(id), WM_KEYUP, VK_SPACE, 0xC0390001);
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, id), start ^ 1u);
  }
  EXPECT_FALSE(DrainQuit());
}

TEST_F(SettingsWindowTest, UnusedIdentifiersDoNothing) {
  Create();
  for (const int id : {9975, 9985, IDOK, IDCANCEL}) {
    SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
  EXPECT_FALSE(DrainQuit());
  EXPECT_TRUE(boxes_.empty());
  EXPECT_TRUE(IsWindow(MainWindow));
}

TEST_F(SettingsWindowTest, CancelAndCloseQuitWithoutSaving) {
  const std::wstring file = UseSettingsFile();
  Create();
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(DrainQuit());
  EXPECT_EQ(SendMessageW(MainWindow, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(MainWindow));  // closing only asks the loop to end
  EXPECT_TRUE(DrainQuit());
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(SettingsWindowTest, RefusedMemoryEntriesKeepTheWindowOpen) {
  const std::wstring file = UseSettingsFile();
  Create();
  const struct {
    const wchar_t* entry;
    const wchar_t* message;
  } cases[] = {
      {L"abc", L"Maximum memory use is not a number."},
      {L"-5", L"Maximum memory use is negative."},
      {L"9999999999", L"Maximum memory use is not a number."},
  };
  for (const auto& c : cases) {
    boxes_.clear();
    SetDlgItemTextW(MainWindow, IDC_MEMORY_EDIT, c.entry);
    SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
    ASSERT_EQ(boxes_.size(), 1u) << c.entry;
    EXPECT_EQ(boxes_[0].text, c.message);
    EXPECT_EQ(boxes_[0].title, L"Invalid Setting");
    EXPECT_EQ(boxes_[0].style, 0x10u);
    EXPECT_EQ(boxes_[0].owner, MainWindow);
    EXPECT_FALSE(DrainQuit());
  }
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(gStartupSettings.MaxMemoryMB, 0);
}

TEST_F(SettingsWindowTest, LowMemoryIsQuestionedAndCancelStops) {
  const std::uint64_t defaultHeap = DefaultHeapMB();
  ASSERT_GT(defaultHeap, 10u) << "the machine's memory should be readable under Wine";
  const std::wstring file = UseSettingsFile();
  Create();
  SetDlgItemTextW(MainWindow, IDC_MEMORY_EDIT, L" 5");
  answers_ = {IDCANCEL};
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, MemoryQuestionText(5, defaultHeap));
  EXPECT_EQ(boxes_[0].title, L"Kelvor Startup Settings Warning");
  EXPECT_EQ(boxes_[0].style, 0x131u);
  EXPECT_FALSE(DrainQuit());
  EXPECT_FALSE(std::filesystem::exists(file));

  boxes_.clear();
  answers_ = {IDOK};
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
  EXPECT_EQ(boxes_.size(), 1u);
  EXPECT_TRUE(DrainQuit());
  EXPECT_EQ(gStartupSettings.MaxMemoryMB, 5);
  EXPECT_TRUE(std::filesystem::exists(file));
}

TEST_F(SettingsWindowTest, QuestionableJavaCancelTryAgainAndContinue) {
  const std::wstring file = UseSettingsFile();
  Create();
  const std::wstring directory = folder_.wstring();
  SetComboText(IDC_JAVA_COMBO, directory);
  std::wstring reason;
  ASSERT_FALSE(ValidateJavaExecutable(directory, reason));
  EXPECT_EQ(reason, L"is a directory");

  answers_ = {IDCANCEL};
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, L"\"" + directory + L"\" is a directory.");
  EXPECT_EQ(boxes_[0].title, L"Questionable Setting");
  EXPECT_EQ(boxes_[0].style, 0x36u);
  EXPECT_FALSE(DrainQuit());
  EXPECT_FALSE(std::filesystem::exists(file));

  boxes_.clear();
  answers_ = {IDTRYAGAIN, IDCONTINUE};
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
  EXPECT_EQ(boxes_.size(), 2u);
  EXPECT_TRUE(DrainQuit());
  EXPECT_EQ(gStartupSettings.Java, directory);
  EXPECT_TRUE(std::filesystem::exists(file));
}

TEST_F(SettingsWindowTest, ValidJavaAndDefaultEntryAskNothing) {
  const std::wstring file = UseSettingsFile();
  Create();
  const std::wstring java = MakeJavaHome("17.0.2");
  SetComboText(IDC_JAVA_COMBO, java);
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_TRUE(DrainQuit());
  EXPECT_EQ(gStartupSettings.Java, java);

  SetComboText(IDC_JAVA_COMBO, L"[Default]");
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_TRUE(DrainQuit());
  EXPECT_EQ(gStartupSettings.Java, L"");
}

TEST_F(SettingsWindowTest, OkCopiesTheControlsIntoTheRecordAndSaves) {
  const std::wstring file = UseSettingsFile();
  Create();
  for (const int id :
       {IDC_VERBOSE, IDC_DISABLE_DIRECTDRAW, IDC_PREFER_IPV4, IDC_LEGACY_MERGE_SORT}) {
    SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
  SetDlgItemTextW(MainWindow, IDC_MEMORY_EDIT, L"999999");
  const struct {
    const wchar_t* scale;
    bool allow;
  } cases[] = {{L"System Default", true},
               {L"System Default x", true},
               {L"system default", false},
               {L"2", false}};
  for (const auto& c : cases) {
    SetComboText(IDC_SCALE_COMBO, c.scale);
    SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(DrainQuit());
    const StartupSettings& s = gStartupSettings;
    EXPECT_EQ(s.AllowUIScale, c.allow) << c.scale;
    EXPECT_EQ(s.Scale, c.scale);
    EXPECT_TRUE(s.Verbose && s.DisableDD2 && s.PreferIPv4);
    EXPECT_FALSE(s.LegacyMS2 || s.KeepWS || s.SkipFontCheck);
    EXPECT_EQ(s.MaxMemoryMB, 999999);
  }
  std::ifstream saved{std::filesystem::path(file)};
  const std::string content((std::istreambuf_iterator<char>(saved)), {});
  EXPECT_NE(content.find("999999"), std::string::npos);
}

TEST_F(SettingsWindowTest, RestartNoticeOnlyWhenStartedFromKelvor) {
  UseSettingsFile();
  gCommandLineOptions.StartedFromKelvor = true;
  Create();
  answers_ = {IDOK};
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, L"You must restart Kelvor for changes to take effect.");
  EXPECT_EQ(boxes_[0].title, L"Kelvor Startup Settings");
  EXPECT_EQ(boxes_[0].style, 0u);
  EXPECT_TRUE(DrainQuit());
}

TEST_F(SettingsWindowTest, FailedSaveShowsTheErrorAndStays) {
  gStartupSettings.SettingsFilePath = (folder_ / "missing" / "Kelvor_ss").wstring();
  Create();
  SetDlgItemTextW(MainWindow, IDC_MEMORY_EDIT, L"999998");
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text.rfind(L"Unable to open settings file \"" +
                                     gStartupSettings.SettingsFilePath + L"\" for writing.",
                                 0),
            0u)
      << boxes_[0].text;
  EXPECT_EQ(boxes_[0].title, L"Kelvor Startup Settings Error");
  EXPECT_EQ(boxes_[0].style, 0x10u);
  EXPECT_FALSE(DrainQuit());
  EXPECT_EQ(gStartupSettings.MaxMemoryMB, 999998);  // the record already holds the entry
}

TEST_F(SettingsWindowTest, RegistryModeWritesTheUserKey) {
  Create();
  SetComboText(IDC_SCALE_COMBO, L"3");
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_TRUE(DrainQuit());
  std::array<wchar_t, 64> value{};
  DWORD size = sizeof(value);
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\ORVEL\\KELVOR", L"Scale", RRF_RT_REG_SZ,
                         nullptr, value.data(), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(value.data()), L"3");
}

TEST_F(SettingsWindowTest, BrowsePreparesTheRequestOnceAndSelectsTheChoice) {
  Create();
  UseCandidates({Candidate(L"", L"[Default]"), Candidate(L"C:\\J17", L"Zulu 17")});
  std::vector<OPENFILENAMEW> requests;
  std::vector<std::wstring> namesOffered;
  std::wstring answer = L"C:\\J17\\bin\\javaw.exe";
  bool accept = true;
  platform::ui::SetOpenFileHook([&](OPENFILENAMEW& request) {
    requests.push_back(request);
    namesOffered.emplace_back(request.lpstrFile);
    if (!accept) return FALSE;
    wcscpy_s(request.lpstrFile, request.nMaxFile, answer.c_str());
    return TRUE;
  });
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_BROWSE, BN_CLICKED), 0);
  ASSERT_EQ(requests.size(), 1u);
  const OPENFILENAMEW& first = requests[0];
  EXPECT_EQ(first.lStructSize, 88u);
  EXPECT_EQ(first.nMaxFile, 1520u);
  EXPECT_EQ(first.Flags, static_cast<DWORD>(OFN_FILEMUSTEXIST));
  EXPECT_EQ(first.nFilterIndex, 0u);
  EXPECT_EQ(std::wstring(first.lpstrTitle), L"Select Kelvor Java Executable");
  constexpr wchar_t kFilter[] = L"Executable Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0";
  EXPECT_EQ(std::wstring(first.lpstrFilter, std::size(kFilter)),
            std::wstring(kFilter, std::size(kFilter)));
  // Under Wine's 64-bit prefix the program is a WOW64 process: the 64-bit Program Files.
  std::array<wchar_t, 260> programFiles{};
  ExpandEnvironmentStringsW(L"%ProgramW6432%", programFiles.data(), programFiles.size());
  ASSERT_NE(first.lpstrInitialDir, nullptr);
  const std::wstring javaFolder = std::wstring(programFiles.data()) + L"\\Java";
  EXPECT_EQ(std::wstring(first.lpstrInitialDir),
            GetFileAttributesW(javaFolder.c_str()) != INVALID_FILE_ATTRIBUTES
                ? javaFolder
                : std::wstring(programFiles.data()));
  EXPECT_EQ(namesOffered[0], L"");
  EXPECT_EQ(SendMessageW(Control(IDC_JAVA_COMBO), CB_GETCURSEL, 0, 0), 1);

  answer = L"D:\\Other\\java.exe";
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_BROWSE, BN_CLICKED), 0);
  EXPECT_EQ(namesOffered[1], L"C:\\J17\\bin\\javaw.exe");  // the last choice is offered again
  EXPECT_EQ(TextOf(Control(IDC_JAVA_COMBO)), L"D:\\Other\\java.exe");
  EXPECT_EQ(SendMessageW(Control(IDC_JAVA_COMBO), CB_GETCURSEL, 0, 0), CB_ERR);

  accept = false;
  SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_BROWSE, BN_CLICKED), 0);
  EXPECT_EQ(requests.size(), 3u);
  EXPECT_EQ(TextOf(Control(IDC_JAVA_COMBO)), L"D:\\Other\\java.exe");
}

TEST_F(SettingsWindowTest, TabVisitsEveryInputControlIncludingTheCombos) {
  Create();
  ShowWindow(MainWindow, SW_SHOWNORMAL);
  SetForegroundWindow(MainWindow);
  SetFocus(Control(IDC_VERBOSE));
  auto pressTab = [&](bool shift) {
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys.data());
    MSG message{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(HandleTabKey(MainWindow, message));
    HWND focus = GetFocus();
    while (focus && GetParent(focus) != MainWindow) focus = GetParent(focus);
    return focus ? GetDlgCtrlID(focus) : 0;
  };
  const int forward[] = {IDC_SKIP_FONT_CHECK,
                         IDC_LEGACY_MERGE_SORT,
                         IDC_DISABLE_DIRECTDRAW,
                         IDC_KEEP_WORKING_SET,
                         IDC_PREFER_IPV4,
                         IDC_MEMORY_EDIT,
                         IDC_SCALE_COMBO,
                         IDC_JAVA_COMBO,
                         IDC_BROWSE,
                         IDC_OK,
                         IDC_CANCEL,
                         IDC_VERBOSE};
  for (const int id : forward) EXPECT_EQ(pressTab(false), id);
  EXPECT_EQ(pressTab(true), IDC_CANCEL);
  EXPECT_EQ(pressTab(true), IDC_OK);
  pressTab(false);
  // Other keys and other windows' keys are left to the normal loop.
  MSG letter{Control(IDC_MEMORY_EDIT), WM_KEYDOWN, 'A', 0, 0, {}};
  EXPECT_FALSE(HandleTabKey(MainWindow, letter));
  MSG elsewhere{GetDesktopWindow(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_FALSE(HandleTabKey(MainWindow, elsewhere));
  // The combos reach the Tab order without WS_TABSTOP.
  EXPECT_FALSE(GetWindowLongW(Control(IDC_JAVA_COMBO), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(SettingsWindowTest, SystemErrorBoxComposesTheSystemText) {
  ShowSystemErrorBox(nullptr, L"Class registration failed.", 5);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, ComposeSystemErrorBoxText(L"Class registration failed.", 5));
  EXPECT_NE(boxes_[0].text.find(L"Class registration failed.\n\n"), std::wstring::npos);
  EXPECT_EQ(boxes_[0].title, L"Kelvor Startup Settings Error");
  EXPECT_EQ(boxes_[0].style, 0x10u);
  EXPECT_EQ(boxes_[0].owner, nullptr);
}

}  // namespace
