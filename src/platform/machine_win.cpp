// The machine questions over kernel32.
#include "platform/machine.h"

#include <windows.h>

#include "platform/module_function_win.h"

namespace platform {

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
