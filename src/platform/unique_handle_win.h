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

// A directory search of FindFirstFileExW; a failed one is INVALID_HANDLE_VALUE, not null.
struct FindHandleTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE find) { FindClose(find); }
};
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;

// A file of CreateFileW, whose failure is INVALID_HANDLE_VALUE as well.
struct FileHandleTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE file) { CloseHandle(file); }
};
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;

// Pipes, processes, threads and jobs, whose failure is null.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

}  // namespace platform
