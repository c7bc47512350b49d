// Which machine a program image is built for, read from its PE header, and which machine Windows
// runs on: a Java built for another one runs emulated, or not at all.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class Machine { Unknown, X86, X64, Arm64 };

// "x86", "x64", "arm64" or "unknown", for scripts and people alike.
const wchar_t* MachineName(Machine machine);

// An IMAGE_FILE_MACHINE code; the ones Java is not built for are Unknown.
Machine MachineFromImageCode(std::uint16_t code);

// Where "PE\0\0" should stand, from the first 64 bytes of a file (the DOS header's e_lfanew).
// False when they are no DOS header.
bool PeHeaderOffset(std::string_view dosHeader, std::uint32_t& offset);
// The machine named by the signature and file header found at that offset.
Machine MachineAtPeHeader(std::string_view header);

// Both steps over a file: Unknown when it is missing, short or no program image.
Machine ReadExecutableMachine(const std::wstring& path);

// The machine Windows runs on: IsWow64Process2 where it exists, otherwise the WOW64 question
// and the native processor.
Machine WindowsMachine();

// How a Java built for `java` runs on Windows built for `windows`; for x64 on ARM64 Windows is
// asked whether it emulates x64 (Windows 10 on ARM does not).
enum class MachineFit { Unknown, Native, Emulated, Unsupported };
MachineFit FitOnWindows(Machine java, Machine windows);
