// Reads the saved settings with the window's own loaders and matches the saved Java as the
// window does; the trial start goes through the platform's process seam.
#include "discovery/saved_choice.h"

#include <algorithm>
#include <cwctype>
#include <initializer_list>

#include "common/text_encoding.h"
#include "common/windows_path.h"
#include "discovery/java_places.h"
#include "discovery/java_report.h"
#include "javainfo/java_validation.h"
#include "javainfo/java_version.h"
#include "platform/files.h"
#include "platform/system.h"
#include "startup/registry_store.h"
#include "startup/settings_file.h"

namespace {

std::wstring LastName(const std::wstring& path) {
  return path.substr(std::min(path.find_last_of(L"\\/") + 1, path.size()));
}

// The home of an executable in its bin folder; empty for one anywhere else.
std::wstring HomeOf(const std::wstring& executable) {
  const std::wstring bin = windows_path::Parent(executable);
  return PathKey(LastName(bin)) == L"bin" ? windows_path::Parent(bin) : L"";
}

// Vendors name a version folder by a fixed stem and the version ("jdk-21.0.2.13-hotspot",
// "zulu17.44.53-ca-jdk17.0.8.1-win_x64", "jre1.8.0_301"); an update changes only the version.
struct VersionFolder {
  std::wstring parent;  // comparison keys
  std::wstring stem;
  int major = 0;  // 0 when the name holds no version
};

VersionFolder ReadVersionFolder(const std::wstring& home) {
  const std::wstring name = LastName(home);
  const std::size_t digit = std::min(name.find_first_of(L"0123456789"), name.size());
  VersionFolder folder{PathKey(windows_path::Parent(home)), PathKey(name.substr(0, digit))};
  const JavaVersion version = ParseJavaVersion(name.substr(digit));
  folder.major = MajorVersion(version);
  if (folder.major == 1 && version.numbers.size() > 1) folder.major = version.numbers[1];
  return folder;
}

// Every home the report knows that exists now, each once, in the report's order, with the
// machine of its java.exe.
std::vector<std::pair<std::wstring, Machine>> ExistingHomes(const JavaReport& report) {
  std::vector<std::pair<std::wstring, Machine>> homes;
  for (const OfferedJava& entry : report.offered)
    if (entry.origin != JavaOrigin::NoneChosen)
      homes.emplace_back(HomeOf(entry.candidate.javaPath), entry.machine);
  for (const RegisteredHome& entry : report.registered)
    if (HasHome(entry)) homes.emplace_back(entry.home, entry.machine);
  for (const UnofferedHome& entry : report.unoffered) homes.emplace_back(entry.home, entry.machine);
  std::vector<std::pair<std::wstring, Machine>> existing;
  std::vector<std::wstring> keys;
  for (const auto& [home, machine] : homes) {
    if (home.empty() || std::find(keys.begin(), keys.end(), PathKey(home)) != keys.end() ||
        !platform::IsDirectoryFollowingLinks(home))
      continue;
    keys.push_back(PathKey(home));
    existing.emplace_back(home, machine);
  }
  return existing;
}

// A java.exe that is gone has no header left to read. Archives name the machine in the
// folder ("-aarch64", "_x64", "i686"), and installers put x86 builds below Program Files (x86);
// otherwise it stays unknown and homes of every machine count.
Machine MachineOfMissingHome(const std::wstring& home) {
  const std::wstring name = PathKey(LastName(home));
  const auto names = [&](std::initializer_list<const wchar_t*> parts) {
    return std::any_of(parts.begin(), parts.end(),
                       [&](const wchar_t* part) { return name.find(part) != std::wstring::npos; });
  };
  if (names({L"aarch64", L"arm64"})) return Machine::Arm64;
  if (names({L"x64", L"x86_64", L"amd64"})) return Machine::X64;
  if (names({L"x86", L"i386", L"i586", L"i686"})) return Machine::X86;
  std::wstring programFilesX86;
  if (platform::ReadEnvironmentVariable(L"ProgramFiles(x86)", programFilesX86) &&
      PathKey(windows_path::Parent(home)).starts_with(PathKey(programFilesX86)))
    return Machine::X86;
  return Machine::Unknown;
}

std::vector<LikelyUpdate> LikelyUpdates(const std::wstring& savedPath, Machine machine,
                                        const JavaReport& report) {
  std::vector<LikelyUpdate> updates;
  const std::wstring savedHome = HomeOf(savedPath);
  if (savedHome.empty()) return updates;
  const VersionFolder saved = ReadVersionFolder(savedHome);
  for (const auto& [home, homeMachine] : ExistingHomes(report)) {
    const VersionFolder found = ReadVersionFolder(home);
    // The saved home itself may still be there, without the executable that was saved.
    if (found.parent != saved.parent || found.stem != saved.stem || found.major != saved.major ||
        (machine != Machine::Unknown && homeMachine != machine) ||
        PathKey(home) == PathKey(savedHome))
      continue;
    LikelyUpdate& update = updates.emplace_back();
    update.javaPath = windows_path::Join(home, L"bin\\" + LastName(savedPath));
    update.machine = homeMachine;
    for (const OfferedJava& entry : report.offered)  // the first, as the window lists them
      if (update.entry.empty() && entry.origin != JavaOrigin::NoneChosen &&
          PathKey(HomeOf(entry.candidate.javaPath)) == PathKey(home))
        update.entry = entry.candidate.displayName;
  }
  return updates;
}

std::wstring NotOfferedReason(const std::wstring& path, const JavaReport& report) {
  const std::wstring key = PathKey(path);
  const std::wstring homeKey = PathKey(HomeOf(path));
  for (const OfferedJava& entry : report.offered) {
    const JavaCandidate& candidate = entry.candidate;
    if (entry.origin != JavaOrigin::NoneChosen &&
        (PathKey(candidate.javawPath) == key || PathKey(candidate.javaPath) == key))
      return L"the window matches the saved text exactly, and its entry \"" +
             candidate.displayName + L"\" spells this path with other letter case or separators";
  }
  for (const RegisteredHome& entry : report.registered) {
    if (entry.outcome != HomeOutcome::Listed && !homeKey.empty() && PathKey(entry.home) == homeKey)
      return L"its registration is left out: " + entry.reason;
  }
  for (const UnofferedHome& home : report.unoffered)
    if (!homeKey.empty() && PathKey(home.home) == homeKey) return home.reason;
  return L"it is neither registered under a vendor key the window reads nor the runtime in the "
         L"installation";
}

}  // namespace

SavedSettings LoadSavedSettings(bool useSettingsFile) {
  SavedSettings saved;
  if (useSettingsFile) {
    saved.loaded = LoadSettingsFromFile(saved.settings, saved.error);
    saved.source = saved.settings.SettingsFilePath;
  } else {
    LoadSettingsFromRegistry(saved.settings);
    // The load does not say which key it read: the machine's too when the user's has no
    // Arguments.
    StartupSettings user;
    platform::RegistryKey key;
    if (platform::OpenRegistryKey(platform::Hive::CurrentUser, kSettingsRegistryPath,
                                  platform::kKeyQueryValue, key) == platform::kErrorSuccess)
      ReadRegistrySettings(user, key);
    const std::wstring userKey = std::wstring(L"HKEY_CURRENT_USER\\") + kSettingsRegistryPath;
    saved.source = user.ArgumentsPresent
                       ? userKey
                       : L"HKEY_LOCAL_MACHINE\\" + std::wstring(kSettingsRegistryPath) + L" over " +
                             userKey + L", which has no Arguments";
  }
  return saved;
}

SavedJava ExplainSavedJava(const SavedSettings& saved, const JavaReport& report) {
  SavedJava java;
  java.source = saved.source;
  java.loaded = saved.loaded;
  java.error = saved.error;
  java.path = saved.settings.Java;
  if (!saved.loaded || java.path.empty()) return java;
  java.machine = ReadExecutableMachine(java.path);
  for (const OfferedJava& entry : report.offered) {
    if (entry.candidate.javawPath == java.path || entry.candidate.javaPath == java.path) {
      java.state = SavedJavaState::Offered;
      java.entry = entry.candidate.displayName;
      return java;
    }
  }
  std::uint32_t attributes = 0;
  if (!platform::GetFileAttributes(java.path, attributes)) {
    java.state = SavedJavaState::Missing;
    java.machine = MachineOfMissingHome(HomeOf(java.path));
    java.likelyUpdates = LikelyUpdates(java.path, java.machine, report);
    return java;
  }
  java.state = SavedJavaState::NotOffered;
  java.notOffered = NotOfferedReason(java.path, report);
  ValidateJavaExecutable(java.path, java.questioned);
  return java;
}

JavaTrial TryJava(const std::wstring& javaPath, std::int32_t maxMemoryMB) {
  JavaTrial trial;
  trial.javaPath = javaPath;
  if (javaPath.empty()) return trial;
  // The launcher passes the saved -J-Xmx<N>m on to Java as -Xmx<N>m.
  trial.commandLine = L"\"" + javaPath + L"\"" +
                      (maxMemoryMB > 0 ? L" -Xmx" + std::to_wstring(maxMemoryMB) + L"m" : L"") +
                      L" -version";
  trial.run = platform::RunProcess(javaPath, trial.commandLine, kTrialTimeoutMs);
  trial.starts =
      trial.run.outcome == platform::ProcessRun::Outcome::Exited && trial.run.exitCode == 0;
  // Java writes -version and its start-up errors to standard error.
  std::wstring printed;
  DecodeTextFile(trial.run.errors + trial.run.output, printed);
  std::vector<std::wstring> lines = SplitTokens(printed, L"\r\n");
  std::erase_if(lines, [](const std::wstring& line) {
    return std::all_of(line.begin(), line.end(),
                       [](wchar_t c) { return std::iswspace(static_cast<std::wint_t>(c)); });
  });
  if (!trial.starts)
    trial.errorLines = std::move(lines);
  else if (!lines.empty())
    trial.versionLine = lines.front();
  return trial;
}
