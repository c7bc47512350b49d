// The shipped program, nothing replaced, on real files: start-up from the settings file, its
// boxes and exit codes, the saves that fail, and input that no editor would leave.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ui_driver.h"

namespace e2e {
namespace {
namespace fs = std::filesystem;

// The program's control ids; the suite sees only the shipped .exe, so it keeps its own copy.
enum : int { kScale = 9973, kVerbose = 9976, kCancel = 9977, kOk = 9978, kJava = 9980 };
// Verbose, skip font check, legacy merge sort, disable DirectDraw, keep working set, prefer IPv4.
constexpr int kCheckBoxes[] = {kVerbose, 9988, 9972, 9987, 9986, 9984}, kMemory = 9982;
// The program this suite was built with, on Wine's drive Z:.
const std::wstring kProgram = L"Z:" + fs::path(KELVOR_EXE_BUILD_PATH).make_preferred().wstring();

// A settings file, and what it becomes after Edit() and OK.
const std::string kSettings = "Arguments: -J-Xmx\t1234m\r\nVerbose:Yes\r\n",
                  kSaved =
                      "Arguments: -J-Xmx4000001m\r\nScale:Default\r\nVerbose:No\r\n"
                      "AllowUIScale:No\r\nDisableDD2:No\r\nKeepWS:No\r\nLegacyMS2:Yes\r\n"
                      "PreferIPv4:No\r\n";
const std::wstring kError = L"Kelvor Startup Settings Error|";

// "<missing>" when the file cannot be read, so a comparison with expected bytes fails visibly.
std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
}

// The program as k\bin\win\KelvorStartupSettings.exe and, unless null, `settings` as k\Kelvor_ss.
void Install(const fs::path& k, const std::string* settings) {
  fs::create_directories(k / "bin\\win");
  EXPECT_TRUE(CopyFileW(kProgram.c_str(), (k / "bin\\win\\KelvorStartupSettings.exe").c_str(), 0));
  if (settings) std::ofstream(k / "Kelvor_ss", std::ios::binary) << *settings;
}

// An installation K in a new folder below the temporary folder (as a long name, the way the program
// derives its own), with a Java home K\jdk that validation accepts: any real program image passes
// the executable-type check.
fs::path MakeInstallation(const std::string* settings) {
  wchar_t temp[MAX_PATH] = {};
  GetLongPathNameW(fs::temp_directory_path().c_str(), temp, MAX_PATH);
  static int made = 0;  // a new one for each row of each test
  const fs::path k = fs::path(temp) / "kelvor-e2e" /
                     (std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made)) / "K";
  Install(k, settings);
  fs::create_directories(k / "jdk\\bin");
  for (const char* name : {"jdk\\bin\\java.exe", "jdk\\bin\\javaw.exe"})
    EXPECT_TRUE(CopyFileW(kProgram.c_str(), (k / name).c_str(), FALSE));
  std::ofstream(k / "jdk\\bin\\java.dll");
  std::ofstream(k / "jdk\\release") << "JAVA_VERSION=\"17.0.2\"\r\n";
  return k;
}

// How many names a folder holds.
std::ptrdiff_t Count(const fs::path& folder) {
  return std::distance(fs::directory_iterator(folder), {});
}

// Starts the program and answers its boxes; the driver kills it if a test fails half-way.
class Program : public testing::Test {
 protected:
  // Starts the program in its own folder and, unless told not to, waits until its window
  // answers (it may be busy filling its lists once shown).
  bool Start(const fs::path& base, const std::wstring& arguments, bool window = true) {
    std::wstring error;
    EXPECT_TRUE(
        process_.StartInItsFolder(base / "bin\\win\\KelvorStartupSettings.exe", arguments, error))
        << testing::PrintToString(error);
    window_ = window ? uidriver::WaitForTopLevelWindow(process_.Id(), L"KelvorSSClass") : nullptr;
    return !window ||
           uidriver::WaitUntil([&] { return uidriver::GetCheck(Control(kVerbose)) >= 0; });
  }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  // What the window shows: "<the boxes as 0 or 1>|<memory>|<Java>".
  std::wstring Shown() const {
    std::wstring shown;
    for (const int id : kCheckBoxes) shown += std::to_wstring(uidriver::GetCheck(Control(id)));
    return shown + L"|" + uidriver::GetText(Control(kMemory)) + L"|" +
           uidriver::GetText(Control(kJava));
  }
  // Turns Verbose over and asks for 4000001 megabytes.
  void Edit() {
    EXPECT_TRUE(uidriver::Click(Control(kVerbose)));
    EXPECT_TRUE(uidriver::SetText(Control(kMemory), L"4000001"));
  }
  // The next box, answered OK, as "title|text|id of its one button icon or no icon", after
  // checking its owner is the program's window (or none before it).
  std::wstring Box() {
    uidriver::MessageBoxInfo info;
    const HWND box = uidriver::WaitForMessageBox(process_.Id());
    EXPECT_TRUE(box && uidriver::ReadMessageBox(box, info) && info.buttonIds.size() == 1);
    EXPECT_EQ(info.owner, window_);
    EXPECT_TRUE(uidriver::PressMessageBoxButton(box, IDOK));
    return info.title + L"|" + info.text + L"|" + std::to_wstring(info.buttonIds.at(0)) +
           (info.hasIcon ? L" icon" : L" no icon");
  }
  // Presses OK; the box that follows as Box() tells it, "" when the program ends without one.
  std::wstring Ok() {
    EXPECT_TRUE(uidriver::PostClick(Control(kOk)));
    return uidriver::WaitForMessageBoxOrExit(process_) ? Box() : L"";
  }
  // Where the window is `kept`, it must still be shown a moment later, and Cancel ends it.
  void ExpectExitCodeZero(bool kept = false) {
    DWORD exitCode = 12345;
    EXPECT_FALSE(kept && (process_.WaitForExit(500, exitCode) || !IsWindowVisible(window_)));
    EXPECT_TRUE(!kept || uidriver::PostClick(Control(kCancel)));
    EXPECT_TRUE(process_.WaitForExit(uidriver::kDefaultTimeoutMs, exitCode)) << "still running";
    EXPECT_EQ(exitCode, 0u);
  }

  uidriver::Process process_;
  HWND window_ = nullptr;
};

// Each row starts the program on a settings file, hidden or read-only (which it stays), and edits:
// OK saves and asks for a restart; a read-only file refuses the save in an error box, back to the
// window, whose close box then saves nothing. Without the file an error box comes before any
// window.
TEST_F(Program, ShowsTheSettingsFileSavesOnlyOnOkAndSaysWhyItCannot) {
  for (const char row : {'o', 'r', 'h', 'm'}) {  // OK, read-only, held open, missing
    SCOPED_TRACE(row);
    const bool shown = row != 'm';
    const fs::path base = MakeInstallation(shown ? &kSettings : nullptr), file = base / "Kelvor_ss";
    ASSERT_TRUE(!shown || SetFileAttributesW(file.c_str(), row == 'r' ? FILE_ATTRIBUTE_READONLY
                                                                      : FILE_ATTRIBUTE_HIDDEN));
    // Shared for reading and writing but not deletion, as an editor may hold it: no replace then.
    const HANDLE held =
        row == 'h' ? CreateFileW(file.c_str(), GENERIC_READ, 3, 0, OPEN_EXISTING, 0, 0) : nullptr;
    ASSERT_TRUE(Start(base, row == 'o' ? L"/p -from_kelvor" : L"-p", shown));
    EXPECT_EQ(shown ? Shown() : L"", shown ? L"101000|1234|[Default]" : L"");
    if (shown) Edit();
    EXPECT_EQ(shown ? Ok() : Box(),
              row == 'o' ? L"Kelvor Startup Settings|You must restart Kelvor for changes to take "
                           L"effect.|1 no icon"
              : row != 'm'
                  ? kError + L"Unable to open settings file \"" + file.wstring() +
                        L"\" for writing.\n\n\nError # 13 = 0xd :\nPermission denied|1 icon"
                  : kError + L"Could not open file \"" + file.wstring() +
                        L"\" for reading.\n\n\nError # 2 :\nNo such file or directory|1 icon");
    // The window is still there after the refusal, and closing it writes nothing.
    EXPECT_TRUE(row == 'o' || row == 'm' ||
                (SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL) &&
                 uidriver::PressCloseBox(window_)));
    ExpectExitCodeZero();
    if (held) CloseHandle(held);
    EXPECT_EQ(ReadBytes(file), row == 'o' ? kSaved : shown ? kSettings : "<missing>");
    EXPECT_EQ(Count(base), shown ? 3 : 2);  // bin, jdk: nothing left beside the file
    EXPECT_TRUE(row != 'o' || GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  }
}

// The settings key as this 32-bit suite and the program both see it: HKLM's is the 32-bit twin.
const wchar_t kSettingsKey[] = L"Software\\ORVEL\\KELVOR";
using Values = std::vector<std::pair<std::wstring, std::wstring>>;

// Writes REG_SZ values under root\kSettingsKey in registry view `view` (0: the suite's own).
void PutValues(HKEY root, REGSAM view, const Values& values) {
  HKEY key = nullptr;
  RegCreateKeyExW(root, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr);
  for (const auto& [name, text] : values)
    EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, REG_SZ, (const BYTE*)text.c_str(),
                             DWORD(text.size() + 1) * 2),
              0);
  RegCloseKey(key);
}

// The user's nine saved values as "text|" each, "<missing>" for one that is not there.
std::wstring SavedValues() {
  std::wstring values;
  for (const wchar_t* name : {L"Arguments", L"Java", L"Scale", L"Verbose", L"AllowUIScale",
                              L"DisableDD2", L"KeepWS", L"LegacyMS2", L"PreferIPv4"}) {
    wchar_t text[600] = L"<missing>";  // left as it is when there is no such value
    DWORD size = sizeof text;
    RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, 0, text, &size);
    values += text + std::wstring(L"|");
  }
  return values;
}

// Registry mode, the one most users run: the user's key shown and the nine values saved to it;
// without Arguments of the user's, the machine's 32-bit key read over the user's (its 64-bit twin
// never); a save the registry refuses said so in its box, the window kept.
TEST_F(Program, ShowsAndSavesTheRegistrySettings) {
  const fs::path base = MakeInstallation(nullptr);
  const std::wstring java = base / "jdk\\bin\\java.exe";
  PutValues(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY,
            {{L"Verbose", L"No"}, {L"Arguments", L" -J-Xmx3000000m"}, {L"DisableDD2", L"Yes"}});
  PutValues(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY,
            {{L"Arguments", L" -J-Xmx5m"}, {L"PreferIPv4", L"Yes"}});
  // clang-format off
  const std::tuple<Values, std::wstring, std::wstring> rows[] = {  // user's values, shown, saved
      {{{L"Arguments", L" -J-Xmx4000000m -nofontcheck"}, {L"Verbose", L"Yes"}, {L"KeepWS", L"yes"},
        {L"LegacyMS2", L"No"}, {L"PreferIPv4", L"Y"}, {L"Java", java}, {L"Scale", L"2"}},
       L"110011|4000000|" + java, L" -J-Xmx4000001m -nofontcheck|" + java + L"|2|No|No|No|Yes|No|Yes|"},
      {{{L"KeepWS", L"Yes"}, {L"Verbose", L"Yes"}},
       L"001110|3000000|[Default]", L" -J-Xmx4000001m||Default|Yes|No|Yes|Yes|Yes|No|"}};
  // clang-format on
  for (const auto& [user, shown, saved] : rows) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ORVEL");
    PutValues(HKEY_CURRENT_USER, 0, user);
    ASSERT_TRUE(Start(base, L""));
    EXPECT_EQ(Shown(), shown);
    Edit();
    EXPECT_EQ(Ok(), L"");
    ExpectExitCodeZero();
    EXPECT_EQ(SavedValues(), saved);
  }
  // Below a volatile key no lasting key can be made, so the save is refused before any value.
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ORVEL");
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\ORVEL", 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_READ, nullptr, &key, nullptr),
            0);
  RegCloseKey(key);
  ASSERT_TRUE(Start(base, L"-from_kelvor"));
  // The system's words for 1021 are its own (Wine's and Windows' differ), so they are left out.
  const std::wstring box = Ok(),
                     own = kError +
                           L"Error saving settings. Could not create registry key "
                           L"HKCU\\Software\\ORVEL\\KELVOR.\n\n\nError # 1021 = 0x3fd :\n";
  EXPECT_EQ(box.substr(0, own.size()) + box.substr(box.size() - 7), own + L"|1 icon");
  ExpectExitCodeZero(true);
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key), 0);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ORVEL");
}

// Saves that keep the file where and what it is, on the small volume: through a link into another
// folder (the file it leads to takes the bytes beside it, the link stays), and in an installation
// folder that refuses new files, in place; no box. Full, with content longer than a page, both
// show the error box and keep the old bytes, leaving nothing behind in any folder.
TEST_F(Program, SavesThroughALinkAndInPlaceWhereTheFolderRefusesNewFiles) {
  // Made by scripts/with-full-volume.sh, which says why when it could not.
  wchar_t volume[MAX_PATH] = {}, refused[512] = L"KELVOR_FULL_VOLUME is not set";
  GetEnvironmentVariableW(L"KELVOR_FULL_VOLUME_REFUSED", refused, 512);
  ASSERT_TRUE(GetEnvironmentVariableW(L"KELVOR_FULL_VOLUME", volume, MAX_PATH))
      << "no volume with a link and an immutable folder: " << refused;
  const fs::path full = L"Z:" + fs::path(volume).make_preferred().wstring();
  const fs::path target = full / "linked\\target\\Kelvor_ss";
  for (const char row : {'l', 'i', 'L', 'I'}) {  // linked, in place; capital: on the full volume
    SCOPED_TRACE(row);
    const bool linked = row == 'l' || row == 'L', fullVolume = row == 'L' || row == 'I';
    const fs::path base = full / (linked ? "linked\\K" : "refusing\\K"), file = base / "Kelvor_ss";
    Install(base, &kSettings);
    // Writes until the volume takes no more: whole pages, then the bytes of a last one.
    std::ofstream filler(fullVolume ? full / "filler" : fs::path(), std::ios::binary);
    for (const std::size_t size : {4096, 1})
      for (filler.clear(); filler.write(std::string(size, 'f').data(), size).flush();) {
      }
    ASSERT_TRUE(Start(base, L"-p"));
    Edit();
    // 1500 euro signs take 4500 bytes: more than the old file's page holds.
    EXPECT_TRUE(!fullVolume || uidriver::SetText(Control(kScale), std::wstring(1500, L'\x20AC')));
    EXPECT_EQ(Ok(), fullVolume ? kError + L"Error writing settings file \"" + file.wstring() +
                                     L"\".\n\n\nError # 28 = 0x1c :\nNo space left on device|1 icon"
                               : L"");
    ExpectExitCodeZero(fullVolume);
    const std::string saved = ReadBytes(file);
    EXPECT_EQ(saved, fullVolume ? kSettings : kSaved);
    EXPECT_EQ(Count(base), 2);
    if (linked) {
      EXPECT_EQ(ReadBytes(target), saved);  // a link replaced by a file would leave it old
      EXPECT_EQ(Count(target.parent_path()), 1);
    }
    if (fullVolume) filler.close(), fs::remove(full / "filler");
  }
}

}  // namespace
}  // namespace e2e
