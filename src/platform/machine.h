// What the support tool asks to tell which machine Windows is built for and runs; bodies in
// machine_win.cpp and a test fake.
#pragma once

#include <cstdint>

namespace platform {

// IsWow64Process2(GetCurrentProcess()), looked up in kernel32 at run time because Windows before
// 10 version 1709 lacks it: the machine Windows runs on, as an IMAGE_FILE_MACHINE code. False,
// with `machine` untouched, when the function is missing or fails.
bool QueryNativeMachine(std::uint16_t& machine);

// GetMachineTypeAttributes(machine), looked up in kernel32 at run time because only Windows 11
// has it: whether user-mode code for `machine` (an IMAGE_FILE_MACHINE code) runs. False, with
// `runs` untouched, when the function is missing or fails.
bool QueryMachineRunsUserCode(std::uint16_t machine, bool& runs);

// GetNativeSystemInfo's wProcessorArchitecture (0 x86, 9 x64, 12 ARM64). An x86 process on ARM64
// hears of the emulated processor instead, so ask QueryNativeMachine first.
std::uint16_t NativeProcessorArchitecture();

}  // namespace platform
