// The real settings window under Wine: keys, DPI changes, Browse, commands and OK's questions.
#include "window/settings_window.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <regex>
#include <tuple>

#include "platform/ui_win.h"
#include "window/control_ids.h"

namespace {

using Box = std::tuple<std::wstring, std::wstring, UINT, HWND>;  // text, title, style, owner

// GetGuiResources where it counts; Wine 8 answers 0, and there a handle with a zero high word
// stands for any generation of its slot, so the live objects can be counted one by one.
DWORD GdiObjects() {
  DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (UINT_PTR slot = 1; count == 0 && slot <= 0xFFFF; ++slot)
    count += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
  return count;
}

// The window as the program creates it, in settings-file mode on a file in a fresh folder; every
// box answered from `answers_` and then with Cancel; every Browse recorded (file name, starting
// folder, filter) and answered from `choices_` (an empty choice cancels).
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
    platform::ui::SetOpenFileHook([this](OPENFILENAMEW& request) {
      const wchar_t* end = request.lpstrFilter;
      while (*end || end[1]) ++end;
      browsed_.push_back({request.lpstrFile,
                          request.lpstrInitialDir ? request.lpstrInitialDir : L"",
                          std::wstring(request.lpstrFilter, end + 2)});
      EXPECT_EQ(request.hwndOwner, MainWindow);
      const std::wstring choice =
          browsed_.size() <= choices_.size() ? choices_[browsed_.size() - 1] : L"";
      if (!choice.empty()) wcsncpy(request.lpstrFile, choice.c_str(), request.nMaxFile);
      return !choice.empty();
    });
    MainWindow = CreateSettingsWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(MainWindow, nullptr);
    ShowWindow(MainWindow, SW_SHOW);
  }
  void TearDown() override {
    DestroyWindow(std::exchange(MainWindow, nullptr));
    QuitPosted();
    platform::ui::SetMessageBoxHook(nullptr);
    platform::ui::SetOpenFileHook(nullptr);
    std::filesystem::remove_all(folder_);
  }
  HWND Control(int id) const { return GetDlgItem(MainWindow, id); }
  void Command(int id) { SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  static bool QuitPosted() {
    MSG quit;
    return PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
  RECT Rect(int id) const {  // in the client area's coordinates
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  std::vector<Box> boxes_;
  std::vector<int> answers_;
  std::vector<std::array<std::wstring, 3>> browsed_;
  std::vector<std::wstring> choices_;
  const std::filesystem::path folder_ = std::filesystem::temp_directory_path() /
                                        ("kelvor-window-" + std::to_string(GetCurrentProcessId()));
  const std::filesystem::path file_ = folder_ / "Kelvor_ss";
};

// Each key as the message loop sees it, from each kind of control, with and without an open
// list: Enter presses OK, or the focused Browse or Cancel; Esc presses Cancel; while a list is
// open, either only closes it. Tab and Shift+Tab move on and back, past the labels and around.
TEST_F(SettingsWindowTest, KeysOfADialogFromEachKindOfControl) {
  constexpr int kOk = 'O', kCancel = 'C', kBrowse = 'B', kListClosed = 'L';
  const std::tuple<int, bool, int, int, int, int> cases[] = {
      // open, Enter, Esc, Tab, Shift+Tab
      {IDC_VERBOSE, false, kOk, kCancel, IDC_SKIP_FONT_CHECK, IDC_CANCEL},
      {IDC_PREFER_IPV4, false, kOk, kCancel, IDC_MEMORY_EDIT, IDC_KEEP_WORKING_SET},
      {IDC_MEMORY_EDIT, false, kOk, kCancel, IDC_SCALE_COMBO, IDC_PREFER_IPV4},
      {IDC_SCALE_COMBO, false, kOk, kCancel, IDC_JAVA_COMBO, IDC_MEMORY_EDIT},
      {IDC_SCALE_COMBO, true, kListClosed, kListClosed, IDC_JAVA_COMBO, IDC_MEMORY_EDIT},
      {IDC_JAVA_COMBO, false, kOk, kCancel, IDC_BROWSE, IDC_SCALE_COMBO},
      {IDC_JAVA_COMBO, true, kListClosed, kListClosed, IDC_BROWSE, IDC_SCALE_COMBO},
      {IDC_BROWSE, false, kBrowse, kCancel, IDC_OK, IDC_JAVA_COMBO},
      {IDC_OK, false, kOk, kCancel, IDC_CANCEL, IDC_BROWSE},
      {IDC_CANCEL, false, kCancel, kCancel, IDC_VERBOSE, IDC_OK}};
  for (const auto& [id, open, enter, escape, tab, shiftTab] : cases) {
    for (const auto& [key, shift, outcome] : {std::tuple{VK_RETURN, false, enter},
                                              {VK_ESCAPE, false, escape},
                                              {VK_TAB, false, tab},
                                              {VK_TAB, true, shiftTab},
                                              {'A', false, id}}) {
      SCOPED_TRACE(testing::Message() << id << (open ? " open" : "") << " key " << key << shift);
      std::array<BYTE, 256> keys{};
      keys[VK_SHIFT] = shift ? 0x80 : 0;
      SetKeyboardState(keys.data());
      browsed_.clear();
      SetFocus(Control(id));
      if (open) SendMessageW(Control(id), CB_SHOWDROPDOWN, TRUE, 0);
      ASSERT_EQ(SendMessageW(Control(id), CB_GETDROPPEDSTATE, 0, 0), open);
      const MSG message{GetFocus(), WM_KEYDOWN, WPARAM(key), 1, 0, {}};
      EXPECT_EQ(HandleTabKey(MainWindow, message) || HandleDialogKey(MainWindow, message),
                key != 'A');
      if (key == 'A') SendMessageW(Control(id), CB_SHOWDROPDOWN, FALSE, 0);
      EXPECT_EQ(SendMessageW(Control(id), CB_GETDROPPEDSTATE, 0, 0), 0);
      HWND focus = GetFocus();  // a combobox's edit stands for its combobox
      while (focus && GetParent(focus) != MainWindow) focus = GetParent(focus);
      EXPECT_EQ(GetDlgCtrlID(focus), outcome > 'Z' ? outcome : id);
      EXPECT_EQ(QuitPosted(), outcome == kOk || outcome == kCancel);
      EXPECT_EQ(std::filesystem::remove(file_), outcome == kOk);  // the entries are valid
      EXPECT_EQ(browsed_.size(), outcome == kBrowse ? 1u : 0u);
    }
  }
  SetKeyboardState(std::array<BYTE, 256>{}.data());
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(SendMessageW(MainWindow, WM_CLOSE, 0, 0), 0);  // the close box only asks the loop
  EXPECT_TRUE(IsWindow(MainWindow) && QuitPosted() && !std::filesystem::exists(file_));  // to end
}

// Each new DPI gives a message font in step with it, control heights that follow its measured
// height, and the suggested rectangle, grown (top left kept) where the contents need more.
TEST_F(SettingsWindowTest, DpiChangesFollowTheNewFontKeepTheNeededSizeAndLeakNoGdiObject) {
  std::array<LONG, kControlCount> lastHeights{};
  int h96 = 0;
  for (const auto& [dpi, suggested] : {std::pair{96, RECT{300, 200, 400, 250}},
                                       {144, RECT{40, 30, 904, 606}},
                                       {192, RECT{0, 10, 1152, 778}}}) {
    SCOPED_TRACE(dpi);
    const auto oldFont = reinterpret_cast<HGDIOBJ>(SendMessageW(Control(IDC_OK), WM_GETFONT, 0, 0));
    SendMessageW(MainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT window{}, client{};
    GetWindowRect(MainWindow, &window);
    GetClientRect(MainWindow, &client);
    EXPECT_TRUE(window.left == suggested.left && window.top == suggested.top);
    EXPECT_EQ(EqualRect(&window, &suggested), dpi > 96);  // 96's is too small
    EXPECT_EQ(GetObjectType(oldFont), 0u);                // deleted, not only replaced
    const auto font = reinterpret_cast<HFONT>(SendMessageW(Control(IDC_OK), WM_GETFONT, 0, 0));
    int h = 0;
    ASSERT_TRUE(FontHeight(Control(IDC_MEMORY_LABEL), h));
    if (dpi == 96) h96 = h;
    EXPECT_NEAR(h * 96.0 / dpi, h96, 1.5);  // in step with the DPI, give or take rounding
    for (std::size_t row = 0; row < kControlCount; ++row) {
      SCOPED_TRACE(kControlIds[row]);
      const RECT rect = Rect(kControlIds[row]);
      const LONG height = rect.bottom - rect.top;
      EXPECT_EQ(SendMessageW(Control(kControlIds[row]), WM_GETFONT, 0, 0), LRESULT(font));
      EXPECT_TRUE(height >= h && height <= 2 * h &&
                  height > std::exchange(lastHeights[row], height));
      EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                  rect.bottom <= client.bottom);
    }
    EXPECT_LE(Rect(IDC_JAVA_COMBO).bottom, Rect(IDC_OK).top);
  }
  const DWORD before = GdiObjects();
  EXPECT_GT(before, 0u);
  for (int change = 0; change < 50; ++change) {
    const RECT rect{0, 0, 1200, 900};
    SendMessageW(MainWindow, WM_DPICHANGED, (96 + 48 * (change % 3)) * 0x10001, LPARAM(&rect));
  }
  EXPECT_EQ(GdiObjects(), before);
}

// Listed installations are selected by either executable, any other file shown as its path; each
// Browse opens on the last choice, which a cancelled one keeps. The first Browse of a run builds
// the request, so each starting folder is looked at in a process of its own.
TEST_F(SettingsWindowTest, BrowseStartsInProgramFilesJavaAndSelectsOrShowsTheChoice) {
  const std::filesystem::path folder = L"C:\\Program Files\\Java";
  for (const bool made : {false, true}) {
    std::error_code ignored;
    made ? std::filesystem::create_directory(folder, ignored)
         : std::filesystem::remove(folder, ignored);
    EXPECT_EXIT(Command(IDC_BROWSE); std::fputws(browsed_.at(0)[1].c_str(), stderr);
                std::exit(browsed_[0][1] == (made ? folder : folder.parent_path()) ? 0 : 1),
                testing::ExitedWithCode(0), "")
        << made;
  }
  std::filesystem::remove(folder);

  const std::wstring j17 = L"J 17 (C:\\J)", javaw = L"C:\\J\\bin\\javaw.exe",
                     java = L"C:\\J\\bin\\java.exe", other = L"D:\\java.exe";
  JavaCandidate& entry = JavaCandidates().emplace_back();
  std::tie(entry.javawPath, entry.javaPath, entry.displayName) = std::tie(javaw, java, j17);
  const LRESULT listed =
      SendDlgItemMessageW(MainWindow, IDC_JAVA_COMBO, CB_ADDSTRING, 0, LPARAM(j17.c_str()));
  const std::tuple<std::wstring, std::wstring, std::wstring, LRESULT> cases[] = {
      // filled in (not known on the first), chosen (none: cancelled), shown, selected
      {L"", javaw, j17, listed},
      {javaw, other, other, CB_ERR},
      {other, java, j17, listed},
      {java, L"", j17, listed},
      {java, L"", j17, listed}};
  for (const auto& [filled, choice, shown, selected] : cases) {
    choices_.push_back(choice);
    Command(IDC_BROWSE);
    const std::size_t i = choices_.size() - 1;
    ASSERT_EQ(browsed_.size(), i + 1);
    EXPECT_EQ(browsed_[i][2],
              std::wstring(L"Executable Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0", 52));
    EXPECT_TRUE(filled.empty() || browsed_[i][0] == filled) << i;
    EXPECT_EQ(ReadControlText(MainWindow, IDC_JAVA_COMBO), shown) << i;
    EXPECT_EQ(SendDlgItemMessageW(MainWindow, IDC_JAVA_COMBO, CB_GETCURSEL, 0, 0), selected) << i;
  }
}

// Each refusal shows one box, answered Cancel, and leaves the entries as typed. The default heap
// depends on the machine, so numbers of two digits or more compare as "#".
TEST_F(SettingsWindowTest, RefusedOrDeclinedEntriesSaveNothing) {
  const std::wstring folder = folder_.wstring(), invalid = L"Invalid Setting",
                     odd = L"Questionable Setting";
  const std::tuple<std::wstring, std::wstring, std::wstring, std::wstring, UINT> cases[] = {
      {L"abc", L"", L"Maximum memory use is not a number.", invalid, 0x10},
      {L"-5", L"", L"Maximum memory use is negative.", invalid, 0x10},
      {L" 1", L"",
       L"Maximum memory use setting (1 megabytes) is less than the default that Java will "
       L"probably use (# megabytes). Continue anyway?",
       L"Kelvor Startup Settings Warning", 0x131},
      {L"", L"C:\\nowhere\\java.exe",
       L"\"C:\\nowhere\\java.exe\" does not exist or could not be accessed.", odd, 0x36},
      {L"", folder, L"\"" + folder + L"\" is a directory.", odd, 0x36}};
  const auto numbers = [](std::wstring text) {
    return std::regex_replace(text, std::wregex(L"\\d{2,}"), L"#");
  };
  for (const auto& [memory, java, text, title, style] : cases) {
    boxes_.clear();
    SetDlgItemTextW(MainWindow, IDC_MEMORY_EDIT, memory.c_str());
    SetDlgItemTextW(MainWindow, IDC_JAVA_COMBO, java.c_str());
    Command(IDC_OK);
    ASSERT_EQ(boxes_.size(), 1u) << numbers(text);
    std::get<0>(boxes_[0]) = numbers(std::get<0>(boxes_[0]));
    EXPECT_EQ(boxes_[0], Box(numbers(text), title, style, MainWindow));
    EXPECT_FALSE(QuitPosted());
    EXPECT_EQ(
        ReadControlText(MainWindow, IDC_MEMORY_EDIT) + ReadControlText(MainWindow, IDC_JAVA_COMBO),
        memory + java);
  }
  EXPECT_FALSE(std::filesystem::exists(file_));
}

// The record's values come back from the save only if the controls showed them; a check box
// toggles once per click, from the mouse or the keyboard alike; ids of no control do nothing.
TEST_F(SettingsWindowTest, SavesTheShownRecordWithTheAnsweredChanges) {
  DestroyWindow(MainWindow);
  QuitPosted();  // the one that destroying posts
  gCommandLineOptions.StartedFromKelvor = true;
  StartupSettings& s = gStartupSettings;
  std::tie(s.MaxMemoryMB, s.Scale, s.Verbose, s.KeepWS) = std::tuple(5, L"4", true, true);
  s.Java = L"D:\\Elsewhere\\bin\\java.exe";
  MainWindow = CreateSettingsWindow(GetModuleHandleW(nullptr));
  for (const int id : {IDC_KEEP_WORKING_SET, IDC_PREFER_IPV4, 9975, 9985, IDOK, IDCANCEL})
    Command(id);
  for (const int id : {IDC_LEGACY_MERGE_SORT, IDC_VERBOSE, IDC_VERBOSE})
    SendMessageW(Control(id), BM_CLICK, 0, 0);
  EXPECT_FALSE(QuitPosted());
  answers_ = {IDOK, IDTRYAGAIN, IDCONTINUE, IDOK};
  Command(IDC_OK);
  ASSERT_EQ(boxes_.size(), 4u);  // memory, Java twice, then the restart notice
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
