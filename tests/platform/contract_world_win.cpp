// The contract tests' world under Wine: the throwaway prefix's real registry and drive C:.
#include <windows.h>

#include "platform/contract_world.h"

void contract::ResetWorld() {
  CreateDirectoryW(kDirectory, nullptr);
}

void contract::MakeDirectory(const std::wstring& path) {
  CreateDirectoryW(path.c_str(), nullptr);
}

void contract::SetVariable(const std::wstring& name, const std::wstring& value) {
  SetEnvironmentVariableW(name.c_str(), value.c_str());
}
