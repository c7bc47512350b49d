// The saved Java as the window will show it, and a trial start of it as Kelvor would run it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "javainfo/executable_machine.h"
#include "platform/process.h"
#include "startup/startup_settings.h"

struct JavaReport;

// The settings the window would read: the registry, or the installation's settings file.
struct SavedSettings {
  StartupSettings settings;
  std::wstring source;  // the registry key, or the settings file's path
  bool loaded = true;   // false only when the settings file could not be read
  std::wstring error;   // the loader's error text then
};
SavedSettings LoadSavedSettings(bool useSettingsFile);

enum class SavedJavaState {
  NoneChosen,  // nothing saved: the window shows [Default]
  Offered,     // the window selects one of its entries
  NotOffered,  // the window shows the path itself
  Missing,     // the saved path no longer exists
};

struct LikelyUpdate {
  std::wstring javaPath;
  Machine machine = Machine::Unknown;
  std::wstring entry;  // the window's entry for its home; empty when the window offers none
};

struct SavedJava {
  std::wstring source;
  bool loaded = true;
  std::wstring error;
  std::wstring path;  // as saved; a relative path in the settings file made absolute
  // Of the saved java.exe; for a missing one, what its folder's name or place tells.
  Machine machine = Machine::Unknown;
  SavedJavaState state = SavedJavaState::NoneChosen;
  std::wstring entry;       // Offered: the entry shown
  std::wstring notOffered;  // NotOffered: why the window has no entry for it
  std::wstring questioned;  // NotOffered and Missing: what OK finds wrong; empty if nothing
  // Missing: the Java executables, named like the saved one, of the homes beside the saved
  // home that an update of it would have made: the same vendor's naming, major and machine.
  std::vector<LikelyUpdate> likelyUpdates;
};

// Matches the saved path against the report as the window matches it: exactly, javaw.exe path
// first, then java.exe path.
SavedJava ExplainSavedJava(const SavedSettings& saved, const JavaReport& report);

inline constexpr std::uint32_t kTrialTimeoutMs = 20000;

struct JavaTrial {
  std::wstring javaPath;  // empty when nothing was saved and no path was given
  std::wstring commandLine;
  platform::ProcessRun run;
  bool starts = false;                   // ran and exited with 0
  std::wstring versionLine;              // when it starts: the first line it printed
  std::vector<std::wstring> errorLines;  // otherwise: what it printed, line by line
};

// Runs `javaPath` with -Xmx<maxMemoryMB>m when that is above 0, and -version.
JavaTrial TryJava(const std::wstring& javaPath, std::int32_t maxMemoryMB);
