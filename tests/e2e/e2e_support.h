// What the end-to-end tests share: a fake installation around a copy of the shipped program,
// files and registry values, and a fixture that starts the program and answers its boxes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ui_driver.h"

namespace e2e {

// The program's control ids; the suite sees only the shipped .exe, so it keeps its own copy.
constexpr int IDC_SCALE_COMBO = 9973;
constexpr int IDC_VERBOSE = 9976;
constexpr int IDC_CANCEL = 9977;
constexpr int IDC_OK = 9978;
constexpr int IDC_JAVA_COMBO = 9980;
constexpr int IDC_MEMORY_EDIT = 9982;
constexpr int IDC_PREFER_IPV4 = 9984;
constexpr int IDC_DISABLE_DIRECTDRAW = 9987;
constexpr int IDC_SKIP_FONT_CHECK = 9988;
// Verbose, skip font check, legacy merge sort, disable DirectDraw, keep working set, prefer IPv4.
constexpr int kCheckBoxes[] = {IDC_VERBOSE, IDC_SKIP_FONT_CHECK, 9972, IDC_DISABLE_DIRECTDRAW,
                               9986,        IDC_PREFER_IPV4};

constexpr wchar_t kErrorTitle[] = L"Kelvor Startup Settings Error";
constexpr wchar_t kKelvorKey[] = L"Software\\ORVEL\\KELVOR";
constexpr const wchar_t* kSettingNames[] = {L"Arguments",    L"Java",       L"Scale",  L"Verbose",
                                            L"AllowUIScale", L"DisableDD2", L"KeepWS", L"LegacyMS2",
                                            L"PreferIPv4"};  // in the order the program writes

// The program under test: %KELVOR_EXE% when set, else the one this suite was built with, whose
// host path Wine shows on drive Z:.
inline std::wstring ProgramPath() {
  wchar_t fromEnvironment[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"KELVOR_EXE", fromEnvironment, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return fromEnvironment;
  const std::wstring path = std::filesystem::path(KELVOR_EXE_BUILD_PATH).make_preferred();
  return path.starts_with(L"\\") ? L"Z:" + path : path;
}

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  return static_cast<bool>(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

// "<missing>" when the file cannot be read, so a comparison with expected bytes fails visibly.
inline std::string ReadBytes(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
}

// The settings file's form: every line ended by CR LF.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

inline std::string Utf16Le(const std::wstring& text) {
  std::string bytes;
  for (const wchar_t unit : text) bytes += {static_cast<char>(unit), static_cast<char>(unit >> 8)};
  return bytes;
}

// A box as "title|text|ids of its buttons in ascending order, then icon or no icon".
inline std::wstring Describe(uidriver::MessageBoxInfo box) {
  std::sort(box.buttonIds.begin(), box.buttonIds.end());
  std::wstring text = box.title + L"|" + box.text + L"|";
  for (const int id : box.buttonIds) text += std::to_wstring(id) + L" ";
  return text + (box.hasIcon ? L"icon" : L"no icon");
}

// K\bin\win\KelvorStartupSettings.exe in a new folder of the running test (below `root`, else
// the temporary folder), and K\Kelvor_ss when `settings` is given. The paths are long names, as
// the program derives its own.
struct Installation {
  std::wstring base, program, settingsFile;
};
inline Installation MakeInstallation(const std::string* settings, std::filesystem::path root = {}) {
  if (root.empty()) {
    wchar_t temp[MAX_PATH] = {};
    GetLongPathNameW(std::filesystem::temp_directory_path().c_str(), temp, MAX_PATH);
    root = std::filesystem::path(temp) / ("kelvor-e2e-" + std::to_string(GetCurrentProcessId()));
  }
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::filesystem::path folder = root / test->test_suite_name() / test->name() / "K";
  const Installation installation{folder, folder / "bin\\win\\KelvorStartupSettings.exe",
                                  folder / "Kelvor_ss"};
  std::filesystem::create_directories(installation.base + L"\\bin\\win");
  EXPECT_TRUE(CopyFileW(ProgramPath().c_str(), installation.program.c_str(), FALSE))
      << "cannot copy the program from " << testing::PrintToString(ProgramPath());
  EXPECT_TRUE(settings == nullptr || WriteBytes(installation.settingsFile, *settings));
  return installation;
}

// A Java home that validation accepts; any real program image passes the executable-type check.
inline bool MakeJavaHome(const std::wstring& home, const std::string& version) {
  return std::filesystem::create_directories(home + L"\\bin") &&
         CopyFileW(ProgramPath().c_str(), (home + L"\\bin\\java.exe").c_str(), FALSE) &&
         CopyFileW(ProgramPath().c_str(), (home + L"\\bin\\javaw.exe").c_str(), FALSE) &&
         WriteBytes(home + L"\\bin\\java.dll", "") &&
         WriteBytes(home + L"\\release", "JAVA_VERSION=\"" + version + "\"\r\n");
}

// Writes "Name=text" entries into `key`; a wrong type carries data that would read as the
// intended text if the type were ignored.
inline bool WriteValues(HKEY root, const std::vector<std::wstring>& entries,
                        const std::wstring& key = kKelvorKey, DWORD type = REG_SZ) {
  for (const std::wstring& entry : entries) {
    const std::size_t equals = entry.find(L'=');
    const std::wstring text =
        entry.substr(equals + 1) + std::wstring(type == REG_MULTI_SZ ? 2 : 1, L'\0');
    const std::string data =
        type == REG_DWORD ? Utf16Le(text.substr(0, 1)) + '\0' + '\0' : Utf16Le(text);
    if (RegSetKeyValueW(root, key.c_str(), entry.substr(0, equals).c_str(), type, data.data(),
                        static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
      return false;
  }
  return true;
}

// The program's values in the key: "Name=text" for a string, "Name:type" for any other type.
inline std::vector<std::wstring> ReadSettings(HKEY root) {
  std::vector<std::wstring> values;
  for (const wchar_t* name : kSettingNames) {
    std::wstring data(32770, L'\0');  // room for the longest string value a test writes
    DWORD type = 0, bytes = 65540;
    if (RegGetValueW(root, kKelvorKey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(),
                     &bytes) == ERROR_SUCCESS)
      values.push_back(name + (type == REG_SZ ? L"=" + std::wstring(data.c_str())
                                              : L":" + std::to_wstring(type)));
  }
  return values;
}

// Starts the program, finds its window and boxes, and kills it if a test fails half-way. Every
// test begins and ends without the program's and the Java vendors' keys.
class ProgramTest : public testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    for (const wchar_t* key : {kKelvorKey, L"Software\\JavaSoft", L"Software\\Eclipse Adoptium"})
      RegDeleteTreeW(HKEY_CURRENT_USER, key);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKelvorKey);
  }

  // Starts the program in its own folder and, unless told not to, waits for its window.
  [[nodiscard]] bool Start(const Installation& installation, const std::wstring& arguments,
                           bool waitForWindow = true) {
    std::wstring errorText;
    EXPECT_TRUE(process_.Start(L"\"" + installation.program + L"\" " + arguments,
                               installation.base + L"\\bin\\win", errorText))
        << testing::PrintToString(errorText);
    if (!waitForWindow) return true;
    window_ = uidriver::WaitForTopLevelWindow(process_.Id(), L"KelvorSSClass");
    EXPECT_NE(window_, nullptr) << "no settings window appeared";
    return window_ != nullptr;
  }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  std::wstring Text(int id) const { return uidriver::GetText(Control(id)); }
  // What the window shows: "<the boxes as 0 or 1>|<memory>|<Java>".
  std::wstring Shown() const {
    std::wstring shown;
    for (const int id : kCheckBoxes) shown += std::to_wstring(uidriver::GetCheck(Control(id)));
    return shown + L"|" + Text(IDC_MEMORY_EDIT) + L"|" + Text(IDC_JAVA_COMBO);
  }
  void Toggle(int id) { EXPECT_TRUE(uidriver::Click(Control(id))); }
  void Type(int id, const std::wstring& text) { EXPECT_TRUE(uidriver::SetText(Control(id), text)); }
  void Press(int id) { EXPECT_TRUE(uidriver::PostClick(Control(id))); }

  uidriver::MessageBoxInfo NextBox(HWND owner) {
    uidriver::MessageBoxInfo info;
    HWND box = uidriver::WaitForMessageBox(process_.Id());
    if (box == nullptr || !uidriver::ReadMessageBox(box, info)) ADD_FAILURE() << "no message box";
    EXPECT_EQ(info.owner, owner);
    return info;
  }
  // Presses `button` first when one is given.
  void ExpectExitCodeZero(int button = 0) {
    if (button != 0) Press(button);
    DWORD exitCode = 12345;
    EXPECT_TRUE(process_.WaitForExit(uidriver::kDefaultTimeoutMs, exitCode)) << "still running";
    EXPECT_EQ(exitCode, 0u);
  }

  uidriver::Process process_;
  HWND window_ = nullptr;
};

}  // namespace e2e
