// One function from each DLL the program imports beyond what a bare window needs, referenced so
// that the linker keeps the import. bench.sh compares the resulting import table with the
// program's, so a twin that drifts from the program fails the benchmark instead of skewing it.
#pragma once

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

// True when the table is intact; the volatile read keeps every entry and nothing is called.
inline bool KeepProgramImports() {
  static const void* volatile imports[] = {
      reinterpret_cast<const void*>(&SHGetKnownFolderPath),
      reinterpret_cast<const void*>(&CoTaskMemFree),
      reinterpret_cast<const void*>(&RegCloseKey),
      reinterpret_cast<const void*>(&GetTextMetricsW),
  };
  return imports[0] != nullptr;
}
