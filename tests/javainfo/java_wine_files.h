// Real files, folders and processes for the Wine tests of discovery, validation and the tool.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/unique_handle_win.h"

namespace java_wine {

struct KernelHandleTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
using UniqueKernelHandle = platform::UniqueHandle<KernelHandleTraits>;

inline std::wstring ProgramPath() {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return std::wstring(buffer, length);
}

inline std::wstring ProgramDirectory() {
  return std::filesystem::path(ProgramPath()).parent_path().wstring();
}

// A smallest Windows program built with the tests: what GetBinaryTypeW must accept as java.exe.
inline std::wstring TinyJavaPath() {
  return ProgramDirectory() + L"\\tiny_java.exe";
}

// An empty folder under the temporary directory, unique to this process and `name`.
inline std::wstring FreshDirectory(const std::wstring& name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path path = std::filesystem::path(temp) /
                                     (L"kelvor-java-" + std::to_wstring(GetCurrentProcessId())) /
                                     name;
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return path.wstring();
}

inline void WriteFile(const std::wstring& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

inline void CopyTinyJava(const std::wstring& destination) {
  std::filesystem::create_directories(std::filesystem::path(destination).parent_path());
  std::filesystem::copy_file(TinyJavaPath(), destination,
                             std::filesystem::copy_options::overwrite_existing);
}

// A Java home: bin\java.exe and bin\javaw.exe as real images, bin\java.dll, and a release file
// when `release` is not empty.
inline void MakeJavaHome(const std::wstring& home, const std::string& release) {
  CopyTinyJava(home + L"\\bin\\java.exe");
  CopyTinyJava(home + L"\\bin\\javaw.exe");
  WriteFile(home + L"\\bin\\java.dll", "");
  if (!release.empty()) WriteFile(home + L"\\release", release);
}

struct ProcessResult {
  DWORD exitCode = 0xFFFFFFFF;
  std::string output;  // standard output and standard error, as bytes
};

// Runs `commandLine` to its end with both output streams read through one pipe.
inline bool RunProcess(const std::wstring& commandLine, ProcessResult& result) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readRaw = nullptr;
  HANDLE writeRaw = nullptr;
  if (!CreatePipe(&readRaw, &writeRaw, &inherit, 0)) return false;
  UniqueKernelHandle readEnd(readRaw);
  UniqueKernelHandle writeEnd(writeRaw);
  SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd.Get();
  startup.hStdError = writeEnd.Get();
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring mutableLine = commandLine;
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process)) {
    return false;
  }
  UniqueKernelHandle processHandle(process.hProcess);
  UniqueKernelHandle threadHandle(process.hThread);
  writeEnd.Reset();  // our copy must go, or the read below never sees the end
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    result.output.append(buffer, read);
  }
  WaitForSingleObject(processHandle.Get(), INFINITE);
  return GetExitCodeProcess(processHandle.Get(), &result.exitCode) != 0;
}

// Writes a REG_SZ value, creating its key, in the registry view `view` (KEY_WOW64_64KEY or
// KEY_WOW64_32KEY). False when the key cannot be created or the value not written.
inline bool PutRegistryString(HKEY root, REGSAM view, const std::wstring& path, const wchar_t* name,
                              const std::wstring& text) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &raw,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const platform::UniqueRegKey key(raw);
  const auto size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        size) == ERROR_SUCCESS;
}

// Removes the vendor keys these tests write, in both hives and both views.
inline void DeleteVendorKeys() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(root, L"Software", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &raw) != 0) continue;
    const platform::UniqueRegKey software(raw);
    for (const wchar_t* vendor : {L"JavaSoft", L"IBM", L"Eclipse Adoptium"}) {
      RegDeleteTreeW(software.Get(), vendor);
      RegDeleteTreeW(software.Get(), (std::wstring(L"Wow6432Node\\") + vendor).c_str());
    }
  }
}

inline std::wstring Quoted(const std::wstring& text) {
  return L"\"" + text + L"\"";
}

}  // namespace java_wine
