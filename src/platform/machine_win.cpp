// The machine questions over kernel32.
#include "platform/machine.h"

#include <windows.h>

#include "platform/module_function_win.h"
#include "platform/unique_handle_win.h"

namespace platform {

std::uint32_t ReadFileAt(const std::wstring& path, std::uint64_t offset, std::size_t size,
                         std::string& bytes) {
  const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return GetLastError();
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file.Get(), distance, nullptr, FILE_BEGIN)) return GetLastError();
  std::string buffer(size, '\0');
  DWORD read = 0;
  // Past the end ReadFile succeeds with nothing read.
  if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(size), &read, nullptr))
    return GetLastError();
  buffer.resize(read);
  bytes = std::move(buffer);
  return 0;
}

bool QueryNativeMachine(std::uint16_t& machine) {
  using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  const auto query =
      ModuleFunction<IsWow64Process2Function>(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2");
  USHORT processMachine = 0, nativeMachine = 0;
  if (query == nullptr || !query(GetCurrentProcess(), &processMachine, &nativeMachine))
    return false;
  machine = nativeMachine;
  return true;
}

bool QueryMachineRunsUserCode(std::uint16_t machine, bool& runs) {
  using GetMachineTypeAttributesFunction = HRESULT(WINAPI*)(USHORT, int*);
  const auto query = ModuleFunction<GetMachineTypeAttributesFunction>(
      GetModuleHandleW(L"kernel32.dll"), "GetMachineTypeAttributes");
  int attributes = 0;
  if (query == nullptr || FAILED(query(machine, &attributes))) return false;
  runs = (attributes & 1) != 0;  // UserEnabled
  return true;
}

std::uint16_t NativeProcessorArchitecture() {
  SYSTEM_INFO info = {};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture;
}

}  // namespace platform
