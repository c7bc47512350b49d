// The contract tests' world under Wine: the prefix's real registry and drive C:.
#include <windows.h>

#include <random>

#include "platform/contract_world.h"
#include "platform/files.h"

namespace contract {

void ResetWorld() {}

std::wstring UniqueName(const std::wstring& stem) {
  static std::random_device random;
  return stem + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(random());
}

void MakeDirectory(const std::wstring& path) {
  for (std::size_t at = path.find_first_of(L"\\/", 3); at != std::wstring::npos;
       at = path.find_first_of(L"\\/", at + 1)) {
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryW(path.c_str(), nullptr);
}

std::wstring RealProgramImage() {
  std::wstring path;
  platform::GetProgramPath(path);
  return path;
}

int OpenRegistryKeysLeft() {
  return 0;
}

}  // namespace contract
