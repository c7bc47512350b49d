// Functions of newer Windows versions, looked up at run time so that the program still starts on
// Windows 7 without them.
#pragma once

#include <windows.h>

namespace platform {

// `name` exported by `module`, as a pointer of type `Function`; null where the module or the
// function is missing.
template <typename Function>
Function ModuleFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // Through a plain function pointer: FARPROC's own signature matches none of these.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace platform
