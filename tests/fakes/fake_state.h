// A hook between the doubles' own files; tests use fake_platform.h instead.
#pragma once

namespace fake {

void ResetFileSystem();

}  // namespace fake
