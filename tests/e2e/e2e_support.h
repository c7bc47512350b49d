// What the end-to-end tests share: a fake installation around a copy of the shipped program,
// files and registry keys, and a fixture that starts the program and answers its boxes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
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
constexpr int IDC_SKIP_FONT_CHECK = 9988;
// Verbose, skip font check, legacy merge sort, disable DirectDraw, keep working set, prefer IPv4.
constexpr int kCheckBoxes[] = {IDC_VERBOSE, IDC_SKIP_FONT_CHECK, 9972, 9987, 9986, IDC_PREFER_IPV4};

constexpr wchar_t kErrorTitle[] = L"Kelvor Startup Settings Error";
constexpr wchar_t kKelvorKey[] = L"Software\\ORVEL\\KELVOR";
constexpr wchar_t kOracleJdkKey[] = L"Software\\JavaSoft\\JDK";
constexpr wchar_t kAdoptiumKey[] = L"Software\\Eclipse Adoptium";

// The program under test: %KELVOR_EXE% when set, else the one this suite was built with.
inline std::wstring ProgramPath() {
  wchar_t fromEnvironment[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"KELVOR_EXE", fromEnvironment, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return fromEnvironment;
  // The build names it by its host path; under Wine the host's root is drive Z:.
  std::wstring path = std::filesystem::path(KELVOR_EXE_BUILD_PATH).make_preferred().wstring();
  return path.starts_with(L"\\") ? L"Z:" + path : path;
}

inline std::wstring Join(const std::wstring& left, const std::wstring& right) {
  return left + L"\\" + right;
}

inline bool MakeFolders(const std::wstring& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return !error;
}

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  return static_cast<bool>(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

// "<missing>" when the file cannot be read, so a comparison with expected bytes fails visibly.
inline std::string ReadBytes(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  if (!file) return "<missing>";
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The settings file's form: every line ended by CR LF.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

inline std::string Utf16Le(const std::wstring& text) {
  std::string bytes;
  for (const wchar_t unit : text)
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

// The heap, in megabytes, that the program assumes Java would choose on this machine.
inline std::uint64_t DefaultHeapMB() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  if (!GlobalMemoryStatusEx(&status)) return 0;
  const std::uint64_t megabytes = status.ullTotalPhys / 1000000;
  return megabytes < 192 ? megabytes / 2 : megabytes / 4;
}

// K\bin\win\KelvorStartupSettings.exe in a new folder of the running test, and K\Kelvor_ss when
// `settings` is given.
struct Installation {
  std::wstring base, program, settingsFile;
};
inline Installation MakeInstallation(const std::string* settings) {
  wchar_t temp[MAX_PATH] = {};
  // The program derives its paths from its full long name; ours must match it exactly.
  GetLongPathNameW(std::filesystem::temp_directory_path().c_str(), temp, MAX_PATH);
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = std::string(test->test_suite_name()) + "." + test->name();
  const std::wstring folder =
      (std::filesystem::path(temp) / ("kelvor-e2e-" + std::to_string(GetCurrentProcessId())) / name)
          .wstring();
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  Installation installation{Join(folder, L"K"),
                            Join(folder, L"K\\bin\\win\\KelvorStartupSettings.exe"),
                            Join(folder, L"K\\Kelvor_ss")};
  EXPECT_TRUE(MakeFolders(Join(installation.base, L"bin\\win")));
  EXPECT_TRUE(CopyFileW(ProgramPath().c_str(), installation.program.c_str(), FALSE))
      << "cannot copy the program from " << testing::PrintToString(ProgramPath());
  EXPECT_TRUE(settings == nullptr || WriteBytes(installation.settingsFile, *settings));
  return installation;
}

// A Java home that validation accepts; any real program image passes the executable-type check.
inline bool MakeJavaHome(const std::wstring& home, const std::string& version) {
  const std::wstring bin = Join(home, L"bin");
  return MakeFolders(bin) &&
         CopyFileW(ProgramPath().c_str(), Join(bin, L"java.exe").c_str(), FALSE) &&
         CopyFileW(ProgramPath().c_str(), Join(bin, L"javaw.exe").c_str(), FALSE) &&
         WriteBytes(Join(bin, L"java.dll"), "") &&
         WriteBytes(Join(home, L"release"), "JAVA_VERSION=\"" + version + "\"\r\n");
}

struct RegKeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueRegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyCloser>;

inline bool WriteValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                       const std::string& bytes) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr))
    return false;
  const UniqueRegKey key(opened);
  return RegSetValueExW(key.get(), name.c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

inline bool WriteStrings(HKEY root, const std::wstring& path,
                         const std::map<std::wstring, std::wstring>& values) {
  for (const auto& [name, text] : values) {
    if (!WriteValue(root, path, name, REG_SZ, Utf16Le(text + L'\0'))) return false;
  }
  return true;
}

// Every value of the key as its type and, for strings, its text.
using RegistryValues = std::map<std::wstring, std::pair<DWORD, std::wstring>>;
inline RegistryValues ReadValues(HKEY root, const std::wstring& path) {
  RegistryValues values;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &opened)) return values;
  const UniqueRegKey key(opened);
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    std::wstring data(32768, L'\0');  // room for the longest string value a test writes
    DWORD nameLength = 256, type = 0, dataBytes = 65536;
    if (RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type,
                      reinterpret_cast<BYTE*>(data.data()), &dataBytes) != ERROR_SUCCESS)
      return values;
    values[name] = {type, type == REG_SZ ? std::wstring(data.c_str()) : L""};
  }
}

// Starts the program, finds its window and boxes, and kills it if a test fails half-way. Every
// test begins and ends without the program's and the Java vendors' keys.
class ProgramTest : public testing::Test {
 protected:
  void SetUp() override { RemoveKeys(); }
  void TearDown() override { RemoveKeys(); }
  static void RemoveKeys() {
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
      RegDeleteTreeW(root, kKelvorKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\JavaSoft");
    RegDeleteTreeW(HKEY_CURRENT_USER, kAdoptiumKey);
  }

  void Start(const std::wstring& program, const std::wstring& arguments) {
    std::wstring errorText;
    const std::wstring folder = std::filesystem::path(program).parent_path().wstring();
    EXPECT_TRUE(process_.Start(L"\"" + program + L"\" " + arguments, folder, errorText))
        << testing::PrintToString(errorText);
  }
  [[nodiscard]] bool Open(const std::wstring& program, const std::wstring& arguments) {
    Start(program, arguments);
    window_ = uidriver::WaitForTopLevelWindow(process_.Id(), L"KelvorSSClass");
    EXPECT_NE(window_, nullptr) << "no settings window appeared";
    return window_ != nullptr;
  }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  std::wstring Text(int id) const { return uidriver::GetText(Control(id)); }
  void ExpectChecks(const std::vector<int>& checked) const {
    for (std::size_t i = 0; i < checked.size(); ++i)
      EXPECT_EQ(uidriver::GetCheck(Control(kCheckBoxes[i])), checked[i])
          << "check box " << kCheckBoxes[i];
  }
  void Toggle(int id) {
    const int before = uidriver::GetCheck(Control(id));
    EXPECT_TRUE(uidriver::Click(Control(id)));
    EXPECT_NE(uidriver::GetCheck(Control(id)), before) << "check box " << id << " did not toggle";
  }
  void Type(int id, const std::wstring& text) { EXPECT_TRUE(uidriver::SetText(Control(id), text)); }

  uidriver::MessageBoxInfo NextBox() {
    uidriver::MessageBoxInfo info;
    HWND box = uidriver::WaitForMessageBox(process_.Id());
    if (box == nullptr || !uidriver::ReadMessageBox(box, info)) ADD_FAILURE() << "no message box";
    return info;
  }
  uidriver::MessageBoxInfo OkExpectingBox() {
    EXPECT_TRUE(uidriver::PostClick(Control(IDC_OK)));
    return NextBox();
  }
  void Answer(const uidriver::MessageBoxInfo& box, int buttonId) {
    EXPECT_TRUE(box.window != nullptr && uidriver::PressMessageBoxButton(box.window, buttonId))
        << "could not press button " << buttonId;
  }
  // After a refused OK: no box is left open and the window is still there.
  void ExpectWindowStaysOpen() {
    Sleep(500);  // a program that wrongly quits does so at once; give it that moment
    EXPECT_TRUE(process_.IsRunning());
    EXPECT_TRUE(IsWindow(window_) && IsWindowVisible(window_));
    EXPECT_EQ(uidriver::FindMessageBox(process_.Id()), nullptr) << "a message box is still open";
  }
  void ExpectExitCodeZero() {
    DWORD exitCode = 12345;
    EXPECT_TRUE(process_.WaitForExit(uidriver::kDefaultTimeoutMs, exitCode)) << "still running";
    EXPECT_EQ(exitCode, 0u);
  }
  void Click(int id) { EXPECT_TRUE(uidriver::PostClick(Control(id))); }
  void CancelAndExpectExitCodeZero() {
    Click(IDC_CANCEL);
    ExpectExitCodeZero();
  }

  uidriver::Process process_;
  HWND window_ = nullptr;
};

}  // namespace e2e
