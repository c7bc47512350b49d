// Scratch folders, files, registry keys and the program fixture of the end-to-end tests.
#include "e2e_support.h"

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <system_error>
#include <type_traits>

namespace e2e {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

struct RegKeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueRegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyCloser>;

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring Widen(const char* text) {
  std::wstring wide;
  for (; *text != '\0'; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return wide;
}

}  // namespace

std::wstring ProgramPath() {
  wchar_t fromEnvironment[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"KELVOR_EXE", fromEnvironment, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return fromEnvironment;
  // The build names the program by its host path; under Wine the host's root is drive Z:.
  std::wstring path = Widen(KELVOR_EXE_BUILD_PATH);
  if (path.starts_with(L"/")) path = L"Z:" + path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

std::wstring Join(const std::wstring& left, const std::wstring& right) {
  if (left.empty() || left.back() == L'\\' || left.back() == L'/') return left + right;
  return left + L"\\" + right;
}

bool MakeFolders(const std::wstring& path) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path), error);
  return !error;
}

std::wstring ScratchFolder() {
  wchar_t temp[MAX_PATH] = {};
  wchar_t longTemp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  // The program derives its paths from its full long name; ours must match it character by
  // character.
  if (GetLongPathNameW(temp, longTemp, MAX_PATH) == 0) std::wcscpy(longTemp, temp);
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::wstring name = Widen(test->test_suite_name()) + L"." + Widen(test->name());
  for (wchar_t& c : name) {
    if (c == L'/') c = L'-';  // parameterised tests carry a slash in their names
  }
  const std::wstring folder =
      Join(Join(longTemp, L"kelvor-e2e-" + std::to_wstring(GetCurrentProcessId())), name);
  std::error_code error;
  std::filesystem::remove_all(std::filesystem::path(folder), error);
  MakeFolders(folder);
  return folder;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  UniqueFile file(_wfopen(path.c_str(), L"wb"));
  return file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

std::string ReadBytes(const std::wstring& path) {
  UniqueFile file(_wfopen(path.c_str(), L"rb"));
  if (!file) return "<missing>";
  std::string bytes;
  char buffer[4096];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof(buffer), file.get())) > 0)
    bytes.append(buffer, count);
  return bytes;
}

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
  }
  return bytes;
}

std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

std::wstring RuntimeErrorText(int errorNumber) {
  return _wcserror(errorNumber);
}

std::uint64_t DefaultHeapMB() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  if (!GlobalMemoryStatusEx(&status)) return 0;
  const std::uint64_t megabytes = status.ullTotalPhys / 1000000;
  return megabytes < 192 ? megabytes / 2 : megabytes / 4;
}

Installation MakeInstallation(const std::string* settings) {
  Installation installation;
  installation.base = Join(ScratchFolder(), L"K");
  const std::wstring programFolder = Join(installation.base, L"bin\\win");
  installation.program = Join(programFolder, L"KelvorStartupSettings.exe");
  installation.settingsFile = Join(installation.base, L"Kelvor_ss");
  EXPECT_TRUE(MakeFolders(programFolder));
  EXPECT_TRUE(CopyFileW(ProgramPath().c_str(), installation.program.c_str(), FALSE))
      << "cannot copy the program from " << testing::PrintToString(ProgramPath());
  if (settings != nullptr) {
    EXPECT_TRUE(WriteBytes(installation.settingsFile, *settings));
  }
  return installation;
}

bool MakeJavaHome(const std::wstring& home, const std::string& version) {
  const std::wstring bin = Join(home, L"bin");
  // Any real program image passes the executable-type check; the program under test is at hand.
  return MakeFolders(bin) &&
         CopyFileW(ProgramPath().c_str(), Join(bin, L"java.exe").c_str(), FALSE) &&
         CopyFileW(ProgramPath().c_str(), Join(bin, L"javaw.exe").c_str(), FALSE) &&
         WriteBytes(Join(bin, L"java.dll"), "") &&
         WriteBytes(Join(home, L"release"),
                    "IMPLEMENTOR=\"e2e\"\r\nJAVA_VERSION=\"" + version + "\"\r\n");
}

void DeleteKey(HKEY root, const std::wstring& path) {
  RegDeleteTreeW(root, path.c_str());
}

bool WriteStrings(HKEY root, const std::wstring& path,
                  const std::map<std::wstring, std::wstring>& values) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const UniqueRegKey key(opened);
  for (const auto& [name, text] : values) {
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.c_str()), bytes) != ERROR_SUCCESS) {
      return false;
    }
  }
  return true;
}

RegistryValues ReadValues(HKEY root, const std::wstring& path) {
  RegistryValues values;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
    return values;
  }
  const UniqueRegKey key(opened);
  for (DWORD index = 0;; ++index) {
    wchar_t name[256] = {};
    DWORD nameLength = 256;
    std::wstring data(2048, L'\0');
    DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    RegistryValue value;
    if (RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &value.type,
                      reinterpret_cast<BYTE*>(data.data()), &dataBytes) != ERROR_SUCCESS) {
      break;
    }
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
      data.resize(dataBytes / sizeof(wchar_t));
      value.text = data.substr(0, data.find(L'\0'));
    }
    values[std::wstring(name, nameLength)] = value;
  }
  return values;
}

void ProgramTest::Start(const std::wstring& program, const std::wstring& arguments) {
  std::wstring errorText;
  EXPECT_TRUE(process_.Start(L"\"" + program + L"\" " + arguments, FolderOf(program), errorText))
      << testing::PrintToString(errorText);
}

bool ProgramTest::Open(const std::wstring& program, const std::wstring& arguments) {
  Start(program, arguments);
  window_ = uidriver::WaitForTopLevelWindow(process_.Id(), kWindowClass);
  if (window_ == nullptr) {
    ADD_FAILURE() << "no settings window appeared";
    return false;
  }
  return true;
}

HWND ProgramTest::Control(int id) const {
  HWND control = GetDlgItem(window_, id);
  EXPECT_NE(control, nullptr) << "no control with id " << id;
  return control;
}

uidriver::MessageBoxInfo ProgramTest::NextBox() {
  uidriver::MessageBoxInfo info;
  HWND box = uidriver::WaitForMessageBox(process_.Id());
  if (box == nullptr || !uidriver::ReadMessageBox(box, info)) ADD_FAILURE() << "no message box";
  return info;
}

uidriver::MessageBoxInfo ProgramTest::OkExpectingBox() {
  EXPECT_TRUE(uidriver::PostClick(Control(IDC_OK)));
  return NextBox();
}

void ProgramTest::Answer(const uidriver::MessageBoxInfo& box, int buttonId) {
  EXPECT_TRUE(box.window != nullptr && uidriver::PressMessageBoxButton(box.window, buttonId))
      << "could not press button " << buttonId;
}

void ProgramTest::ExpectWindowStaysOpen() {
  // A program that wrongly quits does so at once; give it that moment before looking.
  Sleep(500);
  EXPECT_TRUE(process_.IsRunning());
  EXPECT_TRUE(IsWindow(window_) && IsWindowVisible(window_));
  EXPECT_EQ(uidriver::FindMessageBox(process_.Id()), nullptr) << "a message box is still open";
}

void ProgramTest::ExpectExitCodeZero() {
  DWORD exitCode = 12345;
  ASSERT_TRUE(process_.WaitForExit(uidriver::kDefaultTimeoutMs, exitCode)) << "still running";
  EXPECT_EQ(exitCode, 0u);
}

void ProgramTest::Toggle(int checkBoxId) {
  HWND box = Control(checkBoxId);
  const int before = uidriver::GetCheck(box);
  EXPECT_TRUE(uidriver::Click(box));
  EXPECT_EQ(uidriver::GetCheck(box), before == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED)
      << "check box " << checkBoxId << " did not toggle";
}

void ProgramTest::Type(int controlId, const std::wstring& text) {
  EXPECT_TRUE(uidriver::SetText(Control(controlId), text));
}

}  // namespace e2e
