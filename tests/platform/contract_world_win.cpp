// The contract tests' world under Wine: the throwaway prefix's real registry and drive C:.
#include <windows.h>

#include "platform/contract_world.h"

void contract::ResetWorld() {
  CreateDirectoryW(kDirectory, nullptr);
}
