// What the end-to-end tests share: the shipped program, scratch folders, files, registry keys,
// and a fixture that starts the program and answers its boxes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ui_driver.h"

namespace e2e {

// The program's control ids; the suite sees only the shipped .exe, so it keeps its own copy.
constexpr int IDC_LEGACY_MERGE_SORT = 9972;
constexpr int IDC_SCALE_COMBO = 9973;
constexpr int IDC_VERBOSE = 9976;
constexpr int IDC_CANCEL = 9977;
constexpr int IDC_OK = 9978;
constexpr int IDC_JAVA_COMBO = 9980;
constexpr int IDC_MEMORY_EDIT = 9982;
constexpr int IDC_PREFER_IPV4 = 9984;
constexpr int IDC_KEEP_WORKING_SET = 9986;
constexpr int IDC_DISABLE_DIRECTDRAW = 9987;
constexpr int IDC_SKIP_FONT_CHECK = 9988;

constexpr wchar_t kWindowClass[] = L"KelvorSSClass";
constexpr wchar_t kErrorTitle[] = L"Kelvor Startup Settings Error";
constexpr wchar_t kKelvorKey[] = L"Software\\ORVEL\\KELVOR";

// The program under test: %KELVOR_EXE% when set, else the one this suite was built with.
std::wstring ProgramPath();

// A new, empty folder for the running test alone, under the temporary folder.
std::wstring ScratchFolder();
std::wstring Join(const std::wstring& left, const std::wstring& right);
bool MakeFolders(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// "<missing>" when the file cannot be read, so a comparison with expected bytes fails visibly.
std::string ReadBytes(const std::wstring& path);
std::string Utf8(const std::wstring& text);
// The settings file's form: every line ended by CR LF.
std::string CrLfLines(const std::vector<std::string>& lines);

// The C runtime's text for an error number, as the program appends it to its messages.
std::wstring RuntimeErrorText(int errorNumber);
// The heap, in megabytes, that the program assumes Java would choose on this machine.
std::uint64_t DefaultHeapMB();

// K\bin\win\KelvorStartupSettings.exe under a scratch folder, and K\Kelvor_ss when `settings`
// is given.
struct Installation {
  std::wstring base;          // K
  std::wstring program;       // K\bin\win\KelvorStartupSettings.exe
  std::wstring settingsFile;  // K\Kelvor_ss
};
Installation MakeInstallation(const std::string* settings);
// A Java home that validation accepts: bin\java.exe and bin\javaw.exe (real executables),
// bin\java.dll and a release file naming `version`.
bool MakeJavaHome(const std::wstring& home, const std::string& version);

// Registry values as type and text.
struct RegistryValue {
  DWORD type = REG_NONE;
  std::wstring text;
  bool operator==(const RegistryValue&) const = default;
};
using RegistryValues = std::map<std::wstring, RegistryValue>;
void DeleteKey(HKEY root, const std::wstring& path);
bool WriteStrings(HKEY root, const std::wstring& path,
                  const std::map<std::wstring, std::wstring>& values);
RegistryValues ReadValues(HKEY root, const std::wstring& path);

// Starts the program, finds its window and boxes, and kills it if a test fails half-way.
class ProgramTest : public testing::Test {
 protected:
  // Starts `program` with `arguments`; the working folder is the program's own folder.
  void Start(const std::wstring& program, const std::wstring& arguments);
  // Start() and then wait for the settings window.
  [[nodiscard]] bool Open(const std::wstring& program, const std::wstring& arguments);
  HWND Control(int id) const;
  // Presses OK and returns the message box that follows it.
  uidriver::MessageBoxInfo OkExpectingBox();
  uidriver::MessageBoxInfo NextBox();
  void Answer(const uidriver::MessageBoxInfo& box, int buttonId);
  // After a refused OK: no box is left open and the window is still there.
  void ExpectWindowStaysOpen();
  void ExpectExitCodeZero();
  void Toggle(int checkBoxId);
  void Type(int controlId, const std::wstring& text);

  uidriver::Process process_;
  HWND window_ = nullptr;
};

}  // namespace e2e
