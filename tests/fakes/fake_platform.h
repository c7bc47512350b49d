// Set-up of the in-process doubles that stand in for Windows in the native build. They behave as
// Wine's real calls do; tests/platform/contract_test.cpp holds them to it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/process.h"
#include "platform/registry.h"

namespace fake {

// Forgets every file, key and value and restores the defaults below; fixtures call it in SetUp.
void ResetAll();

// The fake process is a 32-bit program in Wine's 64-bit prefix: HKLM\Software is redirected to
// HKLM\Software\Wow6432Node unless KEY_WOW64_64KEY is asked for; HKCU\Software is shared.
int OpenHandleCount();  // keys opened and not yet closed
// Writes a value, creating its key. `path` is the full key path below the hive as the 64-bit
// view names it (so "Software\\Wow6432Node\\..." addresses the 32-bit twin directly).
void PutValue(platform::Hive hive, const std::wstring& path, const std::wstring& name,
              std::uint32_t type, const std::vector<std::uint8_t>& data);
void PutString(platform::Hive hive, const std::wstring& path, const std::wstring& name,
               const std::wstring& text, std::uint32_t type = platform::kRegSz);
// RegSetValueExW of the value `name`, on any key, fails with `status` and stores nothing, as
// when Windows refuses one write (a full registry quota: ERROR_NO_SYSTEM_RESOURCES, 1450).
void RefuseRegistryValue(const std::wstring& name, std::int32_t status);

// File system: a fresh temporary directory stands for the drives, "C:\\K\\x" being <root>/C/K/x
// (both separators accepted; names are case-sensitive, unlike Windows).
void WriteFile(const std::wstring& windowsPath, const std::string& bytes);  // makes the parents
void MakeDirectory(const std::wstring& windowsPath);                        // with the parents
std::string ReadFile(const std::wstring& windowsPath);
// A symbolic link to the file or folder `target`, which need not exist (a broken link). Where the
// runtime makes no links (Wine), a copy of an existing target stands in.
void MakeLink(const std::wstring& link, const std::wstring& target);
std::vector<std::string> ListFolder(const std::wstring& windowsPath);  // names, sorted
// Reading a file fails with ERROR_READ_FAULT after its first `bytes` bytes (a bad sector, a share
// gone); files no longer leave whole.
void SetReadFault(std::size_t bytes);
// A full disk: new files and bytes beyond a file's old length find no room (ERROR_DISK_FULL).
void SetVolumeFull(bool full);
void RefuseNewFiles(const std::wstring& folder);  // creating a file in it is denied
// A file's permission bits, which stand for the security descriptor that ReplaceFileW keeps.
int Permissions(const std::wstring& windowsPath);
void SetPermissions(const std::wstring& windowsPath, int permissions);

// GetProgramPath answers `path`, or fails with `error` when it is not 0.
void SetProgramPath(const std::wstring& path, std::uint32_t error = 0);
// FormatSystemMessage answers "System message <code>." for every code but an application's own
// (bit 29 set), which has none.
// GetTotalPhysicalMemory answers 16 GiB.
// What Windows answers about its machine: IsWow64Process2's native machine (0: the function is
// missing, as before Windows 10 1709), IsWow64Process, GetNativeSystemInfo's architecture and
// whether GetMachineTypeAttributes (Windows 11) exists. By default a
// 32-bit process on x64 Windows 10, as Wine answers.
struct WindowsMachineAnswers {
  std::uint16_t nativeMachine = 0x8664;
  bool wow64 = true;
  std::uint16_t processorArchitecture = 9;
  bool windows11 = false;
};
void SetWindowsMachine(const WindowsMachineAnswers& answers);
// An environment variable of the process; names are matched ignoring case, as on Windows.
void SetEnvironmentVariable(const std::wstring& name, const std::wstring& value);

// RunProcess fails to start as CreateProcessW does, with 2 when `program` is no file and 3 when
// its folder is missing too; otherwise it answers `run`.
void SetProcessRun(const platform::ProcessRun& run);

// The smallest program image the loader accepts (the contract test shows GetBinaryTypeW takes
// it): "MZ", the offset of "PE\0\0", an i386 executable with no sections whose optional header
// gives the image base, alignments, versions 4, sizes, the console subsystem, stack and heap
// sizes and 16 data directories. Another `machine` code changes only the file header's field.
inline std::string MinimalExecutableImage(std::uint16_t machine = 0x14C) {
  std::string image(0x200, '\0');
  for (const auto& [at, value] : std::initializer_list<std::pair<int, std::uint32_t>>{
           {0x00, 0x5A4D},   {0x3C, 0x40},   {0x40, 0x4550},   {0x44, machine}, {0x54, 0xE0},
           {0x56, 0x0102},   {0x58, 0x10B},  {0x74, 0x400000}, {0x78, 0x1000},  {0x7C, 0x200},
           {0x80, 4},        {0x88, 4},      {0x90, 0x1000},   {0x94, 0x200},   {0x9C, 3},
           {0xA0, 0x100000}, {0xA4, 0x1000}, {0xA8, 0x100000}, {0xAC, 0x1000},  {0xB4, 16}})
    for (int byte = 0; byte < 4; ++byte) image[at + byte] = static_cast<char>(value >> 8 * byte);
  return image;
}
inline void WriteExecutable(const std::wstring& windowsPath, std::uint16_t machine = 0x14C) {
  WriteFile(windowsPath, MinimalExecutableImage(machine));
}

}  // namespace fake
