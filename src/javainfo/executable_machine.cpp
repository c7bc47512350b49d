// The PE header is read in two small pieces, each checked before the next is trusted: a file
// of any length or content ends in Unknown, never in a read outside what was read.
#include "javainfo/executable_machine.h"

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/system.h"

namespace {

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t index = count; index-- > 0;)
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + index]);
  return value;
}

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kSignatureAndMachine = 6;  // "PE\0\0", then the file header's Machine

}  // namespace

Machine WindowsMachine() {
  std::uint16_t native = 0;
  if (platform::QueryNativeMachine(native)) return MachineFromImageCode(native);
  // Without IsWow64Process2 (Windows 7 to 10 1703, never ARM64), a 32-bit process outside WOW64
  // runs on x86 Windows; inside it, the native processor tells which.
  bool underWow64 = false;
  if (!platform::QueryWow64Process(underWow64)) return Machine::Unknown;
  if (!underWow64) return Machine::X86;
  switch (platform::NativeProcessorArchitecture()) {
    case 9: return Machine::X64;
    case 12: return Machine::Arm64;
    default: return Machine::Unknown;
  }
}

const wchar_t* MachineName(Machine machine) {
  switch (machine) {
    case Machine::Unknown: break;
    case Machine::X86: return L"x86";
    case Machine::X64: return L"x64";
    case Machine::Arm64: return L"arm64";
  }
  return L"unknown";
}

Machine MachineFromImageCode(std::uint16_t code) {
  switch (code) {
    case 0x014C: return Machine::X86;
    case 0x8664: return Machine::X64;
    case 0xAA64: return Machine::Arm64;
    default: return Machine::Unknown;
  }
}

bool PeHeaderOffset(std::string_view dosHeader, std::uint32_t& offset) {
  if (dosHeader.size() < kDosHeaderSize || dosHeader.substr(0, 2) != "MZ") return false;
  offset = LittleEndian(dosHeader, 0x3C, 4);
  return true;
}

Machine MachineAtPeHeader(std::string_view header) {
  if (header.size() < kSignatureAndMachine || header.substr(0, 4) != std::string_view("PE\0\0", 4))
    return Machine::Unknown;
  return MachineFromImageCode(static_cast<std::uint16_t>(LittleEndian(header, 4, 2)));
}

Machine ReadExecutableMachine(const std::wstring& path) {
  std::string dosHeader, header;
  std::uint32_t offset = 0;
  if (platform::ReadFileAt(path, 0, kDosHeaderSize, dosHeader) != 0 ||
      !PeHeaderOffset(dosHeader, offset) ||
      platform::ReadFileAt(path, offset, kSignatureAndMachine, header) != 0)
    return Machine::Unknown;
  return MachineAtPeHeader(header);
}

MachineFit FitOnWindows(Machine java, Machine windows) {
  if (java == Machine::Unknown || windows == Machine::Unknown) return MachineFit::Unknown;
  if (java == windows || (java == Machine::X86 && windows == Machine::X64))
    return MachineFit::Native;  // WOW64 on x64 runs x86 code on the processor itself
  if (windows != Machine::Arm64) return MachineFit::Unsupported;
  // ARM64 Windows emulates x86; x64 only from Windows 11 on, which alone can say so.
  bool runsX64 = false;
  return java == Machine::X86 || (platform::QueryMachineRunsUserCode(0x8664, runsX64) && runsX64)
             ? MachineFit::Emulated
             : MachineFit::Unsupported;
}
