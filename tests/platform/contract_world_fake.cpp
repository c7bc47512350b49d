// The contract tests' world in the native build: the platform doubles.
#include "fakes/fake_platform.h"
#include "platform/contract_world.h"

void contract::ResetWorld() {
  fake::ResetAll();
  fake::MakeDirectory(kDirectory);
}

void contract::MakeDirectory(const std::wstring& path) {
  fake::MakeDirectory(path);
}

void contract::SetVariable(const std::wstring& name, const std::wstring& value) {
  fake::SetEnvironmentVariable(name, value);
}
