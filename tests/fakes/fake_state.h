// Hooks between the doubles' own files; tests use fake_platform.h instead.
#pragma once

namespace fake {

void ResetRegistry();
void ResetFileSystem();

}  // namespace fake
