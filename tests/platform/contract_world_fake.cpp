// The contract tests' world in the native build: the platform doubles.
#include "fakes/fake_platform.h"
#include "platform/contract_world.h"

void contract::ResetWorld() {
  fake::ResetAll();
  fake::MakeDirectory(kDirectory);
}
