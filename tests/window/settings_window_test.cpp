// The real settings window under Wine: keys, DPI changes, Browse and OK's refusals.
#include "window/settings_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>

#include "platform/ui_win.h"
#include "window/control_ids.h"

namespace {

using Box = std::tuple<std::wstring, std::wstring, UINT, HWND>;  // text, title, style, owner
constexpr LPARAM kHeld = 0x40000001;  // a key-down that repeats: the key was down already

// The window in registry mode, saving to the throwaway prefix's user key; every box recorded and
// answered by `answer_` once, then Cancel (numbers of two digits or more read "#": the default heap
// depends on the machine); every Browse checked for its owner, its file name and starting folder
// recorded and answered with `choice_` (empty: cancelled).
class SettingsWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    static const ATOM registered = RegisterSettingsWindowClass(GetModuleHandleW(nullptr));
    ASSERT_NE(registered, 0);
    Saved();
    platform::ui::SetMessageBoxHook([this](HWND owner, auto& text, auto& title, UINT style) {
      boxes_.emplace_back(std::regex_replace(text, std::wregex(L"\\d{2,}"), L"#"), title, style,
                          owner);
      return answer_ ? std::exchange(answer_, nullptr)() : IDCANCEL;
    });
    platform::ui::SetOpenFileHook([this](OPENFILENAMEW& request) {
      EXPECT_EQ(request.hwndOwner, MainWindow);
      browsed_.emplace_back(request.lpstrFile);
      initialFolder_ = request.lpstrInitialDir ? request.lpstrInitialDir : L"";
      if (!choice_.empty())
        request.lpstrFile[choice_.copy(request.lpstrFile, request.nMaxFile - 1)] = 0;
      return !choice_.empty();
    });
    Reopen(StartupSettings());
  }
  void TearDown() override { DestroyWindow(std::exchange(MainWindow, nullptr)); }
  // A new window showing `settings`.
  static void Reopen(const StartupSettings& settings) {
    DestroyWindow(MainWindow);  // none the first time
    QuitPosted();
    gStartupSettings = settings;
    MainWindow = CreateSettingsWindow(GetModuleHandleW(nullptr));
    ShowWindow(MainWindow, SW_SHOW);
  }
  HWND Control(int id) const { return GetDlgItem(MainWindow, id); }
  void Command(int id) { SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  static bool QuitPosted() {
    MSG quit;
    return PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
  // Whether OK saved: the key is there (it is deleted again).
  static bool Saved() { return RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ORVEL") == 0; }

  std::vector<Box> boxes_;
  std::function<int()> answer_;
  std::vector<std::wstring> browsed_;
  std::wstring choice_, initialFolder_;
};

// Each key as the message loop sees it, from each kind of control that takes input, and from each
// combobox with its list open: Enter presses OK, or the focused Browse or Cancel; Esc presses
// Cancel; an open list is only closed by either. Tab and Shift+Tab move on and back, around.
TEST_F(SettingsWindowTest, KeysOfADialogFromEachKindOfControl) {
  constexpr int kOk = 'O', kCancel = 'C', kBrowse = 'B', kClosed = 'L';
  // Where Tab and Shift+Tab go from each control and what Enter does there; the comboboxes
  // again with their lists open. One row a line: id, tab, backTab, enter, open.
  // clang-format off
  const struct { int id, tab, backTab, enter, open = 0; } rows[] = {
      {IDC_VERBOSE,            IDC_SKIP_FONT_CHECK,    IDC_CANCEL,             kOk},
      {IDC_MEMORY_EDIT,        IDC_SCALE_COMBO,        IDC_PREFER_IPV4,        kOk},
      {IDC_JAVA_COMBO,         IDC_BROWSE,             IDC_SCALE_COMBO,        kOk},
      {IDC_BROWSE,             IDC_OK,                 IDC_JAVA_COMBO,         kBrowse},
      {IDC_CANCEL,             IDC_VERBOSE,            IDC_OK,                 kCancel},
      {IDC_SCALE_COMBO,        IDC_JAVA_COMBO,         IDC_MEMORY_EDIT,        kClosed, 1},
      {IDC_JAVA_COMBO,         IDC_BROWSE,             IDC_SCALE_COMBO,        kClosed, 1}};
  // clang-format on
  for (const auto& [id, tab, backTab, enter, open] : rows) {
    for (const auto& [key, shift, outcome] : {std::tuple{VK_RETURN, 0, enter},
                                              {VK_ESCAPE, 0, open ? kClosed : kCancel},
                                              {VK_TAB, 0, tab},
                                              {VK_TAB, 0x80, backTab}}) {
      SCOPED_TRACE(testing::Message() << id << (open ? " open" : "") << " key " << key << shift);
      BYTE keys[256] = {};
      keys[VK_SHIFT] = BYTE(shift);
      SetKeyboardState(keys);
      SetFocus(Control(id));
      if (open) SendMessageW(Control(id), CB_SHOWDROPDOWN, TRUE, 0);
      const MSG message{GetFocus(), WM_KEYDOWN, WPARAM(key), 1, 0, {}};
      EXPECT_TRUE(HandleTabKey(MainWindow, message) || HandleDialogKey(MainWindow, message));
      EXPECT_EQ(SendMessageW(Control(id), CB_GETDROPPEDSTATE, 0, 0), 0);
      HWND focus = GetFocus();  // a combobox's edit stands for its combobox
      while (focus && GetParent(focus) != MainWindow) focus = GetParent(focus);
      EXPECT_EQ(GetDlgCtrlID(focus), outcome > 'Z' ? outcome : id);
      EXPECT_EQ(QuitPosted(), outcome == kOk || outcome == kCancel);
      EXPECT_EQ(Saved(), outcome == kOk);  // the entries are valid
      EXPECT_EQ(std::exchange(browsed_, {}).size(), outcome == kBrowse ? 1u : 0u);
    }
  }
  EXPECT_TRUE(boxes_.empty());
}

// The window opens at the size its contents need, with every control where a layout of that
// client area measured afresh puts it (a combobox's height is its own). Each new DPI then gives
// every control one new message font (the old one deleted) and the suggested rectangle, grown (top
// left kept) where the contents need more, by as much as the size asked for ahead of the change
// says.
TEST_F(SettingsWindowTest, OpensFittedAndDpiChangesShareOneNewFontAndKeepTheNeededSize) {
  const auto font = [this](int id) { return SendMessageW(Control(id), WM_GETFONT, 0, 0); };
  RECT client{}, at{}, window{};
  GetClientRect(MainWindow, &client);
  const LayoutPlan plan =
      PlanLayout(MeasureTexts(MainWindow, HFONT(font(IDC_OK))), client.right, client.bottom);
  EXPECT_EQ(plan.neededSize, (LayoutSize{client.right, client.bottom}));
  for (std::size_t row = 0; row < kControlCount; ++row) {
    GetWindowRect(Control(kControlIds[row]), &at);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&at), 2);
    const LayoutRect& r = *plan.rects[row];  // each there: the plan ran to its end
    const RECT want{r.x, r.y, r.x + r.width, at.bottom};
    EXPECT_TRUE(EqualRect(&at, &want)) << row;
  }
  const RECT suggested[] = {{300, 200, 400, 250}, {40, 30, 904, 606}, {0, 10, 1152, 778}};
  for (int change = 0; change < 4; ++change) {
    SCOPED_TRACE(change);
    const int dpi = 96 + 48 * (change % 3);
    const RECT& asked = suggested[change % 3];
    const auto oldFont = HGDIOBJ(font(IDC_OK));
    SIZE least{1, 1};  // too small for any DPI: the contents decide
    EXPECT_TRUE(SendMessageW(MainWindow, kGetDpiScaledSize, dpi, LPARAM(&least)));
    SendMessageW(MainWindow, WM_DPICHANGED, dpi * 0x10001, LPARAM(&asked));
    // 96's suggestion is too small.
    const RECT settled = dpi > 96 ? asked : RECT{300, 200, 300 + least.cx, 200 + least.cy};
    GetWindowRect(MainWindow, &window);
    EXPECT_TRUE(EqualRect(&window, &settled));
    EXPECT_EQ(GetObjectType(oldFont), 0u);
    for (const int id : kControlIds) EXPECT_EQ(font(id), font(IDC_OK));
  }
}

// Browse starts in Program Files\Java when there is one, else in Program Files. A listed
// installation is selected by its javaw.exe (by its java.exe too, as JavaMatching shows), any other
// file shown as its path; each Browse opens on the last choice, which a cancelled one keeps.
TEST_F(SettingsWindowTest, BrowseStartsInProgramFilesJavaAndSelectsOrShowsTheChoice) {
  // The first Browse of a run builds the request, so each starting folder needs a process of its
  // own.
  const std::filesystem::path folder = L"C:\\Program Files\\Java";
  for (const bool made : {false, true}) {
    std::error_code ignored;
    made ? std::filesystem::create_directory(folder, ignored)
         : std::filesystem::remove(folder, ignored);
    EXPECT_EXIT(Command(IDC_BROWSE);
                exit(initialFolder_ == (made ? folder : folder.parent_path()) ? 0 : 1),
                testing::ExitedWithCode(0), "")
        << made;
  }
  std::filesystem::remove(folder);
  const std::wstring j17 = L"J 17 (C:\\J)", javaw = L"C:\\J\\bin\\javaw.exe",
                     other = L"D:\\java.exe";
  JavaCandidate& entry = JavaCandidates().emplace_back();
  std::tie(entry.javawPath, entry.displayName) = std::tie(javaw, j17);
  const LRESULT listed =
      SendDlgItemMessageW(MainWindow, IDC_JAVA_COMBO, CB_ADDSTRING, 0, LPARAM(j17.c_str()));
  const std::tuple<std::wstring, std::wstring, std::wstring, LRESULT> cases[] = {
      // filled in (not known on the first), chosen (none: cancelled), shown, selected
      {L"", javaw, j17, listed},
      {javaw, other, other, CB_ERR},
      {other, L"", other, CB_ERR}};
  for (const auto& [filled, choice, shown, selected] : cases) {
    SCOPED_TRACE(choice);
    choice_ = choice;
    Command(IDC_BROWSE);
    EXPECT_TRUE(std::exchange(browsed_, {}).at(0) == filled || filled.empty());
    EXPECT_EQ(ReadControlText(MainWindow, IDC_JAVA_COMBO), shown);
    EXPECT_EQ(SendDlgItemMessageW(MainWindow, IDC_JAVA_COMBO, CB_GETCURSEL, 0, 0), selected);
  }
}

// OK's refusals and questions. Each row shows its box (again after Try Again) and leaves the
// entries as typed; Enter or Esc still held once the box is gone (the one that pressed OK or closed
// the box) neither asks again nor ends the program. A refusal, or a question answered Cancel,
// saves nothing; OK to the memory question saves; Continue keeps a questioned path; Try Again
// validates afresh, taking a Java home that appeared meanwhile and asking again otherwise.
TEST_F(SettingsWindowTest, OksRefusalsSaveNothingAndItsQuestionsSaveAsAnswered) {
  const std::filesystem::path home = std::filesystem::temp_directory_path() / "kelvor-java-home";
  const std::wstring homeJava = (home / "bin" / "java.exe").wstring();
  const auto makeHome = [&] {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::filesystem::create_directories(home / "bin");
    std::filesystem::copy_file(self, homeJava);
    std::ofstream(home / "bin" / "java.dll");
    std::ofstream(home / "release") << "JAVA_VERSION=\"17\"\n";
    return IDTRYAGAIN;
  };
  const std::wstring bad = L"Invalid Setting", odd = L"Questionable Setting",
                     nowhere = L"C:\\nowhere\\java.exe",
                     absent = L"\" does not exist or could not be accessed.";
  const Box question{
      L"Maximum memory use setting (1 megabytes) is less than the default that Java "
      L"will probably use (# megabytes). Continue anyway?",
      L"Kelvor Startup Settings Warning", 0x131, MainWindow},
      noPath{L"\"" + nowhere + absent, odd, 0x36, MainWindow},
      noHome{L"\"" + homeJava + absent, odd, 0x36, MainWindow};
  // clang-format off
  const std::tuple<const wchar_t*, std::wstring, std::function<int()>, Box, std::size_t,
                   const wchar_t*> rows[] = {
      // memory, Java, the first box's answer (none: Cancel), the box, boxes, Arguments saved
      {L"abc", L"",       {}, {L"Maximum memory use is not a number.", bad, 0x10, MainWindow}, 1, nullptr},
      {L"-5",  L"",       {}, {L"Maximum memory use is negative.", bad, 0x10, MainWindow}, 1, nullptr},
      {L" 1",  L"",       {},                           question, 1, nullptr},
      {L" 1",  L"",       [] { return IDOK; },          question, 1, L" -J-Xmx1m"},
      {L"",    nowhere,   [] { return IDCONTINUE; },    noPath,   1, L""},
      {L"",    homeJava,  [] { return IDTRYAGAIN; },    noHome,   2, nullptr},
      {L"",    homeJava,  makeHome,                     noHome,   1, L""}};
  // clang-format on
  for (const auto& [memory, java, answer, box, boxes, arguments] : rows) {
    SCOPED_TRACE(java + memory);
    boxes_.clear();
    answer_ = answer;
    SetDlgItemTextW(MainWindow, IDC_MEMORY_EDIT, memory);
    SetDlgItemTextW(MainWindow, IDC_JAVA_COMBO, java.c_str());
    Command(IDC_OK);
    for (const WPARAM key : {VK_RETURN, VK_ESCAPE})
      EXPECT_TRUE(HandleDialogKey(MainWindow, MSG{Control(IDC_OK), WM_KEYDOWN, key, kHeld, 0, {}}));
    EXPECT_EQ(boxes_, std::vector(boxes, box));
    EXPECT_EQ(Saved(), arguments != nullptr);
    EXPECT_EQ(QuitPosted(), arguments != nullptr);
    EXPECT_EQ(
        ReadControlText(MainWindow, IDC_MEMORY_EDIT) + ReadControlText(MainWindow, IDC_JAVA_COMBO),
        memory + java);
    if (arguments == nullptr) continue;
    EXPECT_EQ(gStartupSettings.Arguments, arguments);
    EXPECT_EQ(gStartupSettings.Java, java);
  }
  std::filesystem::remove_all(home);
}

// One switch at a time, so that two swapped show: it is shown by its own box alone, and OK gives
// that box back to its own field alone.
TEST_F(SettingsWindowTest, EachSwitchAloneIsShownByItsBoxAndReadBackByOk) {
  using S = StartupSettings;
  const std::pair<bool S::*, int> rows[] = {{&S::Verbose, IDC_VERBOSE},
                                            {&S::SkipFontCheck, IDC_SKIP_FONT_CHECK},
                                            {&S::LegacyMS2, IDC_LEGACY_MERGE_SORT},
                                            {&S::DisableDD2, IDC_DISABLE_DIRECTDRAW},
                                            {&S::KeepWS, IDC_KEEP_WORKING_SET},
                                            {&S::PreferIPv4, IDC_PREFER_IPV4}};
  for (const auto& [field, box] : rows) {
    SCOPED_TRACE(box);
    StartupSettings shown;
    shown.LegacyMS2 = false;
    shown.*field = true;
    Reopen(shown);
    Command(IDC_OK);  // leaves the boxes as they are
    EXPECT_TRUE(QuitPosted() && Saved());
    for (const auto& [otherField, other] : rows) {
      EXPECT_EQ(IsDlgButtonChecked(MainWindow, other), other == box ? 1u : 0u) << other;
      EXPECT_EQ(gStartupSettings.*otherField, other == box) << other;
    }
  }
}

// Runs in the loop of the box titled "Held", so only while it is open: posts Enter to it, held
// down twice, then pressed anew.
int gBoxSeen = 0;
void CALLBACK PressEnterInBox(HWND, UINT, UINT_PTR timer, DWORD) {
  PostMessageW(FindWindowW(L"#32770", L"Held"), WM_KEYDOWN, VK_RETURN, ++gBoxSeen < 3 ? kHeld : 1);
  if (gBoxSeen == 3) KillTimer(nullptr, timer);
}

// A box that a held Enter opened stays open through the key's repeats; a new press answers it.
TEST_F(SettingsWindowTest, ABoxIgnoresTheRepeatsOfTheKeyThatOpenedIt) {
  platform::ui::SetMessageBoxHook({});
  SetTimer(nullptr, 0, 20, PressEnterInBox);
  EXPECT_EQ(platform::ui::ShowMessageBox(MainWindow, L"", L"Held", MB_OKCANCEL), IDOK);
  EXPECT_EQ(gBoxSeen, 3);
}

}  // namespace
