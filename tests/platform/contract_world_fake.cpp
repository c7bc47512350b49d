// The contract tests' world in the native build: the platform doubles.
#include <random>

#include "fakes/fake_platform.h"
#include "platform/contract_world.h"

namespace contract {

void ResetWorld() {
  fake::ResetAll();
}

std::wstring UniqueName(const std::wstring& stem) {
  static std::random_device random;
  return stem + std::to_wstring(random());
}

void MakeDirectory(const std::wstring& path) {
  fake::MakeDirectory(path);
}

std::wstring RealProgramImage() {
  const std::wstring path = L"C:\\KelvorContractTests\\bin\\program.exe";
  fake::WriteExecutable(path);
  return path;
}

int OpenRegistryKeysLeft() {
  return fake::OpenHandleCount();
}

}  // namespace contract
