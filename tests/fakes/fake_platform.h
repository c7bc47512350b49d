// Set-up of the in-process doubles that stand in for Windows in the native
// build. The doubles behave as Wine's real calls do;
// tests/platform/*_contract_test.cpp holds them to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace fake {

// Forgets every file, key, value and injected failure and restores the defaults
// below; fixtures call it in SetUp.
void ResetAll();

// ResetAll's share for the files (a fresh drives directory).
void ResetFileSystem();

// The fake process is a 32-bit program in Wine's 64-bit prefix: HKLM\Software
// is redirected to HKLM\Software\Wow6432Node unless KEY_WOW64_64KEY is asked
// for; HKCU\Software is shared.
int Wow64QueryCount();  // how often QueryWow64Process was called

// Writes a value, creating its key. `path` is the full key path below the hive
// as the 64-bit view names it (so "Software\\Wow6432Node\\..." addresses the
// 32-bit twin directly).
void PutValue(platform::Hive hive, const std::wstring& path, const std::wstring& name,
              std::uint32_t type, const std::vector<std::uint8_t>& data);
void PutString(platform::Hive hive, const std::wstring& path, const std::wstring& name,
               const std::wstring& text, std::uint32_t type = platform::kRegSz);
// The next `count` queries of a value of that name fail with `status`.
void FailQueries(const std::wstring& name, int count, std::int32_t status);
// Every SetRegistryValue of that value name fails with `status`.
void FailSets(const std::wstring& name, std::int32_t status);
// CreateRegistryKey fails with `status` (0 restores).
void FailCreate(std::int32_t status);
int QueryCount(const std::wstring& name);  // RegQueryValueExW calls for that value name
int OpenHandleCount();                     // keys opened and not yet closed

// File system: a fresh temporary directory stands for the drives, "C:\\K\\x"
// being <root>/C/K/x (both separators accepted; names are case-sensitive,
// unlike Windows).
// Both make the parent folders.
void WriteFile(const std::wstring& windowsPath, const std::string& bytes);
void MakeDirectory(const std::wstring& windowsPath);
std::string ReadFile(const std::wstring& windowsPath);
void WriteExecutable(const std::wstring& windowsPath);  // an image IsExecutableImage accepts
std::vector<std::string> ListFolder(const std::wstring& windowsPath);  // names, sorted
#ifdef __linux__
// Files created from now on take no byte, as on a full disk: writing them fails with ENOSPC.
void SetVolumeFull(bool full);
#endif

// GetProgramPath answers `path`, or fails with `error` when it is not 0.
void SetProgramPath(const std::wstring& path, std::uint32_t error = 0);
// FormatSystemMessage answers "System message <code>." for every code.
// GetTotalPhysicalMemory answers `bytes`, or fails when `available` is false.
void SetTotalPhysicalMemory(std::uint64_t bytes, bool available = true);
// An environment variable of the process; names are matched ignoring case, as on Windows.
void SetEnvironmentVariable(const std::wstring& name, const std::wstring& value);

}  // namespace fake
