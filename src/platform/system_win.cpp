// Process-level questions over kernel32.
#include <windows.h>

#include <vector>

#include "platform/system.h"
#include "platform/unique_handle_win.h"

namespace platform {

bool FormatSystemMessage(std::int32_t code, std::wstring& text) {
  wchar_t* buffer = nullptr;
  // MAX_WIDTH_MASK keeps the message on one line; the system allocates, LocalFree releases.
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                      FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK;
  const DWORD length = FormatMessageW(flags, nullptr, static_cast<DWORD>(code), 0x400,
                                      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const UniqueLocalMemory owned(buffer);
  if (length == 0 || buffer == nullptr) return false;
  text.assign(buffer, length);
  return true;
}

bool QueryWow64Process(bool& isWow64) {
  BOOL answer = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &answer)) return false;
  isWow64 = answer != FALSE;
  return true;
}

bool GetTotalPhysicalMemory(std::uint64_t& bytes) {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return false;
  bytes = status.ullTotalPhys;
  return true;
}

bool ReadEnvironmentVariable(const std::wstring& name, std::wstring& value) {
  std::vector<wchar_t> buffer(260);
  // The answer is the room needed while the buffer is too small; the variable may grow meanwhile.
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD length =
        GetEnvironmentVariableW(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return false;
    if (length < buffer.size()) {
      value.assign(buffer.data(), length);
      return true;
    }
    buffer.resize(length);
  }
  return false;
}

}  // namespace platform
