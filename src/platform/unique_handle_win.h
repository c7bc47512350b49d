// Owners of the Win32 handles the platform bodies use internally.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace platform {

struct RegKeyTraits {
  using Handle = HKEY;
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
using UniqueRegKey = UniqueHandle<RegKeyTraits>;

// Memory the system allocated for us, such as FormatMessageW's buffer.
struct LocalMemoryTraits {
  using Handle = HLOCAL;
  static HLOCAL Invalid() { return nullptr; }
  static void Close(HLOCAL memory) { LocalFree(memory); }
};
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;

}  // namespace platform
