// What the windows the program is measured against share: the program's imports, and the loop.
#pragma once

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include "window/startup_trace.h"

// One function from each DLL the program imports beyond what a bare window needs, referenced so
// that the linker keeps the import; a twin that never calls this imports none of them. bench.sh
// compares the import tables, so a twin that drifts from the program stops the benchmark.
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

// Shows the window and runs its messages until WM_CLOSE, stamping when it is idle after its first
// paint as the program's stamped build does; returns the exit code.
inline int ShowAndRun(HWND window, HINSTANCE instance, const wchar_t* className) {
  ShowWindow(window, SW_SHOWNORMAL);
  StampStartup("show");
  MSG message{};
  for (;;) {
    StampStartupIdle(window);
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  UnregisterClassW(className, instance);
  WriteStartupStamps();
  return 0;
}
