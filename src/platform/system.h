// Process-level questions the core asks of Windows; bodies in system_win.cpp and a test fake.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// FormatMessageW(ALLOCATE_BUFFER | FROM_SYSTEM | IGNORE_INSERTS | MAX_WIDTH_MASK, language
// 0x400). False when the system has no message for `code`.
bool FormatSystemMessage(std::int32_t code, std::wstring& text);

// IsWow64Process(GetCurrentProcess()). False when the question itself fails.
bool QueryWow64Process(bool& isWow64);

// GlobalMemoryStatusEx's ullTotalPhys. False when the call fails.
bool GetTotalPhysicalMemory(std::uint64_t& bytes);

// GetEnvironmentVariableW of any length. False, with `value` untouched, when the variable is not
// set or is empty.
bool ReadEnvironmentVariable(const std::wstring& name, std::wstring& value);

}  // namespace platform
