// The machine of a program image from hostile files, and the machine of Windows from each way
// Windows may answer.
#include <gtest/gtest.h>

#include "fakes/fake_world_test.h"
#include "javainfo/executable_machine.h"

namespace {

using ExecutableMachine = FakeWorldTest;

// An image whose header offset points `offset` bytes in, with `tail` written there.
std::string Image(std::uint32_t offset, const std::string& tail) {
  std::string image = fake::MinimalExecutableImage().substr(0, 0x40);
  for (int byte = 0; byte < 4; ++byte) image[0x3C + byte] = static_cast<char>(offset >> 8 * byte);
  return image + tail;
}

TEST_F(ExecutableMachine, ImageFromItsFileHeaderOrUnknownAndWindowsFromEachGeneration) {
  const std::pair<std::string, Machine> cases[] = {
      {fake::MinimalExecutableImage(), Machine::X86},
      {fake::MinimalExecutableImage(0x01C4), Machine::Unknown},       // 32-bit ARM: no Java for it
      {Image(0x40, std::string("PE\0\0\x64", 5)), Machine::Unknown},  // cut inside the field
      {Image(0x40, std::string("PX\0\0\x64\x86", 6)), Machine::Unknown},
      {Image(0xFFFFFFFC, std::string("PE\0\0\x64\x86", 6)), Machine::Unknown},  // beyond the end
      {"ZM" + fake::MinimalExecutableImage().substr(2), Machine::Unknown}};
  for (const auto& [bytes, machine] : cases) {
    fake::WriteFile(L"C:\\j\\java.exe", bytes);
    EXPECT_EQ(ReadExecutableMachine(L"C:\\j\\java.exe"), machine) << testing::PrintToString(bytes);
  }
  EXPECT_EQ(ReadExecutableMachine(L"C:\\absent\\java.exe"), Machine::Unknown);
  // Windows' own machine, from each generation of the question.
  const std::pair<fake::WindowsMachineAnswers, Machine> answered[] = {
      {{.nativeMachine = 0xAA64, .wow64 = true, .processorArchitecture = 9}, Machine::Arm64},
      {{.nativeMachine = 0, .wow64 = false, .processorArchitecture = 9}, Machine::X86},
      {{.nativeMachine = 0, .wow64 = true, .processorArchitecture = 9}, Machine::X64}};
  for (const auto& [answers, machine] : answered) {
    fake::SetWindowsMachine(answers);
    EXPECT_EQ(WindowsMachine(), machine) << answers.nativeMachine << " " << answers.wow64;
  }
  // ARM64 Windows 10 emulates x86 alone, 11 says it does x64 too.
  fake::SetWindowsMachine({.nativeMachine = 0xAA64});
  EXPECT_EQ(FitOnWindows(Machine::X86, Machine::Arm64), MachineFit::Emulated);
  EXPECT_EQ(FitOnWindows(Machine::X64, Machine::Arm64), MachineFit::Unsupported);
  // x86 code runs on an x64 processor itself; x64 has no ARM64 emulation.
  EXPECT_EQ(FitOnWindows(Machine::X86, Machine::X64), MachineFit::Native);
  EXPECT_EQ(FitOnWindows(Machine::Arm64, Machine::X64), MachineFit::Unsupported);
}

}  // namespace
