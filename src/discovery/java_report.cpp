// Re-walks the discovery's sources with the discovery's own functions, keeping what it drops
// and why, then looks where other Java finders look.
#include "discovery/java_report.h"

#include <algorithm>
#include <cwctype>

#include "common/windows_path.h"
#include "discovery/bundled_runtime.h"
#include "discovery/java_discovery.h"
#include "discovery/vendor_search.h"
#include "javainfo/java_identification.h"
#include "javainfo/java_validation.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {

std::wstring ErrorText(std::int32_t status) {
  std::wstring message;
  platform::FormatSystemMessage(status, message);
  while (!message.empty() && std::iswspace(static_cast<std::wint_t>(message.back())))
    message.pop_back();
  return L"error " + std::to_wstring(status) + (message.empty() ? L"" : L" (" + message + L")");
}

// The machine of a home's java.exe and how it runs here.
template <typename Entry>
void ReadMachine(const std::wstring& javaPath, Machine windows, Entry& entry) {
  entry.machine = ReadExecutableMachine(javaPath);
  entry.fit = FitOnWindows(entry.machine, windows);
}

bool Exists(const std::wstring& path, bool& isDirectory) {
  std::uint32_t attributes = 0;
  if (!platform::GetFileAttributes(path, attributes)) return false;
  isDirectory = (attributes & platform::kFileAttributeDirectory) != 0;
  return true;
}

std::wstring VersionAccount(const std::wstring& home, const std::wstring& keyName,
                            std::wstring& version) {
  bool fromReleaseFile = false;
  version = IdentifiedVersionText(home, keyName, fromReleaseFile);
  return fromReleaseFile ? windows_path::Join(home, L"release") : L"the key name";
}

RegisteredHome FromRecord(const RegistrationRecord& record, std::int32_t minimumMajor) {
  const VendorKey& row = *record.row;
  RegisteredHome entry;
  entry.place = (record.place.hive == platform::Hive::CurrentUser ? L"HKEY_CURRENT_USER\\"
                                                                  : L"HKEY_LOCAL_MACHINE\\") +
                row.keyPath;
  if (!record.subKey.empty()) {
    entry.place += L"\\" + record.subKey;
    if (!row.subPath.empty()) entry.place += L"\\" + row.subPath;
    entry.place += L", value " + row.homeValueName;
  }
  entry.view = record.place.is64Bit ? L"64-bit" : L"32-bit";
  entry.home = record.home;
  bool isDirectory = false;
  switch (record.outcome) {
    case Registration::Listed:
      entry.outcome = HomeOutcome::Listed;
      VersionAccount(record.home, record.versionText, entry.version);
      entry.entry = record.candidate.displayName;
      break;
    case Registration::BelowMinimum: {
      entry.outcome = HomeOutcome::BelowMinimum;
      const std::wstring source = VersionAccount(record.home, record.versionText, entry.version);
      entry.reason = L"version \"" + entry.version + L"\" (from " + source + L") is Java " +
                     std::to_wstring(MajorVersion(record.candidate.version)) +
                     L", below the minimum, Java " + std::to_wstring(minimumMajor);
      break;
    }
    case Registration::KeyUnreadable:
      entry.outcome = HomeOutcome::KeyUnreadable;
      entry.reason = L"the key could not be read: " + ErrorText(record.status);
      break;
    case Registration::NameTooLong:
      entry.outcome = HomeOutcome::NameTooLong;
      entry.reason = L"a subkey name too long for a version (999 characters at most)";
      break;
    case Registration::NoSubPathKey:
      entry.outcome = HomeOutcome::NoSubPathKey;
      entry.reason = L"no " + row.subPath + L" key below it, where this layout keeps the home";
      break;
    case Registration::NoHomeValue:
      entry.outcome = HomeOutcome::NoHomeValue;
      entry.reason =
          record.status == platform::kErrorFileNotFound ? L"no " + row.homeValueName + L" value"
          : record.status == 0 ? L"the " + row.homeValueName + L" value is not text (type " +
                                     std::to_wstring(record.valueType) + L")"
                               : L"the " + row.homeValueName + L" value could not be read: " +
                                     ErrorText(record.status);
      break;
    case Registration::NoJavaw:
      if (!Exists(record.home, isDirectory) || !isDirectory) {
        entry.outcome = HomeOutcome::HomeMissing;
        entry.reason = L"the home folder does not exist";
      } else {
        entry.outcome = HomeOutcome::NoJavaw;
        entry.reason = L"no bin\\javaw.exe in the home";
      }
      break;
  }
  return entry;
}

void AddBundledPlaces(std::vector<RegisteredHome>& registered) {
  const std::vector<std::wstring> places = RuntimeBinPlaces();
  const std::size_t found = FirstRuntimeBin(places);
  for (std::size_t index = 0; index < places.size(); ++index) {
    RegisteredHome entry;
    entry.place = places[index];
    entry.home = windows_path::Parent(places[index]);
    if (index == found) {
      const JavaCandidate candidate = IdentifyBundledRuntime(places[index]);
      bool fromReleaseFile = false;
      entry.version = IdentifiedVersionText(entry.home, L"", fromReleaseFile);
      entry.entry = candidate.displayName;
    } else if (index > found) {
      entry.outcome = HomeOutcome::NotLookedAt;
      entry.reason = L"the runtime at " + places[found] + L" is used instead";
    } else {
      entry.outcome = HomeOutcome::NoFolder;
      entry.reason = L"no such folder";
    }
    registered.push_back(std::move(entry));
  }
}

bool IsJavaHome(const std::wstring& folder) {
  bool isDirectory = true;
  return Exists(windows_path::Join(folder, L"bin\\java.exe"), isDirectory) && !isDirectory;
}

// The Java homes other finders would see, each with who found it, in the order found.
class HomeCollector {
 public:
  explicit HomeCollector(std::vector<UnofferedHome>& homes) : homes_(homes) {}

  void Offer(const std::wstring& home, const std::wstring& foundBy) {
    const std::wstring key = PathKey(home);
    const auto known = std::find_if(homes_.begin(), homes_.end(),
                                    [&](const UnofferedHome& h) { return PathKey(h.home) == key; });
    if (known == homes_.end()) {
      homes_.emplace_back().home = home;
      homes_.back().foundBy.push_back(foundBy);
    } else if (std::find(known->foundBy.begin(), known->foundBy.end(), foundBy) ==
               known->foundBy.end()) {
      known->foundBy.push_back(foundBy);
    }
  }

  void Variable(const wchar_t* name) {
    std::wstring value;
    if (platform::ReadEnvironmentVariable(name, value) && IsJavaHome(value)) Offer(value, name);
  }

  // A bin folder on PATH that holds java.exe; launcher stubs elsewhere have no home around them.
  void SearchPath() {
    std::wstring path;
    if (!platform::ReadEnvironmentVariable(L"PATH", path)) return;
    for (std::size_t start = 0, end; start <= path.size(); start = end + 1) {
      end = std::min(path.find(L';', start), path.size());
      std::wstring folder = path.substr(start, end - start);
      std::erase(folder, L'"');
      while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
      const std::size_t nameStart = folder.find_last_of(L"\\/") + 1;
      if (nameStart == 0 || PathKey(folder.substr(nameStart)) != L"bin") continue;
      const std::wstring home = windows_path::Parent(folder);
      if (IsJavaHome(home)) Offer(home, L"PATH");
    }
  }

  // Java homes one or two folder levels below `base`, as vendors and archives lay them out.
  void SearchFolder(const std::wstring& base, int levels, const std::wstring& foundBy) {
    std::vector<std::wstring> names;
    if (platform::ListSubdirectories(base, names) != 0) return;
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return PathKey(a) < PathKey(b); });
    for (const std::wstring& name : names) {
      const std::wstring folder = windows_path::Join(base, name);
      if (IsJavaHome(folder))
        Offer(folder, foundBy);
      else if (levels > 1)
        SearchFolder(folder, levels - 1, foundBy);
    }
  }

 private:
  std::vector<UnofferedHome>& homes_;
};

void AddUnofferedHomes(const std::vector<RegisteredHome>& registered, Machine windows,
                       std::vector<UnofferedHome>& unoffered) {
  std::vector<UnofferedHome> found;
  HomeCollector collector(found);
  collector.Variable(L"JAVA_HOME");
  collector.Variable(L"JDK_HOME");
  collector.SearchPath();
  // A 32-bit process sees the 64-bit Program Files only as ProgramW6432.
  std::vector<std::wstring> bases;
  for (const wchar_t* name :
       {L"ProgramW6432", L"ProgramFiles", L"ProgramFiles(x86)", L"LOCALAPPDATA"}) {
    std::wstring value;
    if (platform::ReadEnvironmentVariable(name, value)) bases.push_back(value);
  }
  std::wstring localData;
  if (platform::ReadEnvironmentVariable(L"LOCALAPPDATA", localData))
    bases.push_back(windows_path::Join(localData, L"Programs"));
  std::vector<std::wstring> searched;
  for (const std::wstring& base : bases) {
    if (std::find(searched.begin(), searched.end(), PathKey(base)) != searched.end()) continue;
    searched.push_back(PathKey(base));
    collector.SearchFolder(base, 2, base);
  }

  for (UnofferedHome& home : found) {
    const std::wstring key = PathKey(home.home);
    if (std::any_of(registered.begin(), registered.end(),
                    [&](const RegisteredHome& r) { return PathKey(r.home) == key; }))
      continue;  // accounted for above, listed or not
    home.javaPath = windows_path::Join(home.home, L"bin\\java.exe");
    ReadMachine(home.javaPath, windows, home);
    bool fromReleaseFile = false;
    home.version = IdentifiedVersionText(home.home, L"", fromReleaseFile);
    std::wstring problem;
    home.accepted = ValidateJavaExecutable(home.javaPath, problem);
    home.reason = L"not registered by an installer under a vendor key the window reads";
    home.use = L"choose Browse... and pick " + home.javaPath;
    if (!home.accepted) home.use += L"; the window questions it (it " + problem + L")";
    unoffered.push_back(std::move(home));
  }
}

}  // namespace

// Windows compares paths ignoring case; a trailing separator names the same folder.
std::wstring PathKey(std::wstring path) {
  std::replace(path.begin(), path.end(), L'/', L'\\');
  while (path.size() > windows_path::RootLength(path) && path.back() == L'\\') path.pop_back();
  for (wchar_t& c : path) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
  return path;
}

std::vector<OfferedJava> ListOfferedJava(std::int32_t minimumMajor) {
  const Machine windows = WindowsMachine();
  std::vector<JavaCandidate> candidates;
  FindJavaInstallations(true, minimumMajor, candidates);
  std::vector<JavaCandidate> bundled;
  FindRuntimeInInstallation(bundled);
  std::vector<OfferedJava> offered;
  for (JavaCandidate& candidate : candidates) {
    const bool isBundled = !bundled.empty() && candidate.javaPath == bundled[0].javaPath &&
                           candidate.displayName == bundled[0].displayName;
    const JavaOrigin origin = candidate.displayName == kDefaultJavaDisplayName
                                  ? JavaOrigin::NoneChosen
                              : isBundled         ? JavaOrigin::Installation
                              : candidate.is64Bit ? JavaOrigin::RegistryView64
                                                  : JavaOrigin::RegistryView32;
    OfferedJava entry{std::move(candidate), origin};
    if (origin != JavaOrigin::NoneChosen) ReadMachine(entry.candidate.javaPath, windows, entry);
    offered.push_back(std::move(entry));
  }
  return offered;
}

const wchar_t* OutcomeCode(HomeOutcome outcome) {
  switch (outcome) {
    case HomeOutcome::Listed: return L"listed";
    case HomeOutcome::BelowMinimum: return L"below-minimum";
    case HomeOutcome::KeyUnreadable: return L"key-unreadable";
    case HomeOutcome::NameTooLong: return L"name-too-long";
    case HomeOutcome::NoSubPathKey: return L"no-subpath-key";
    case HomeOutcome::NoHomeValue: return L"no-home-value";
    case HomeOutcome::HomeMissing: return L"home-missing";
    case HomeOutcome::NoJavaw: return L"no-javaw";
    case HomeOutcome::NoFolder: return L"no-folder";
    case HomeOutcome::NotLookedAt: return L"not-looked-at";
  }
  return L"";
}

bool HasHome(const RegisteredHome& entry) {
  return !entry.home.empty() && entry.outcome != HomeOutcome::NoFolder &&
         entry.outcome != HomeOutcome::HomeMissing;
}

JavaReport BuildJavaReport(std::int32_t minimumMajor) {
  JavaReport report;
  report.minimumMajor = minimumMajor;
  report.systemMachine = WindowsMachine();
  report.offered = ListOfferedJava(minimumMajor);
  std::vector<JavaCandidate> found;
  std::vector<RegistrationRecord> records;
  SearchVendorKeysInViews(RunningUnderWow64(), minimumMajor, found, &records);
  AddBundledPlaces(report.registered);
  for (const RegistrationRecord& record : records)
    report.registered.push_back(FromRecord(record, minimumMajor));
  for (RegisteredHome& entry : report.registered)
    if (HasHome(entry))
      ReadMachine(windows_path::Join(entry.home, L"bin\\java.exe"), report.systemMachine, entry);
  AddUnofferedHomes(report.registered, report.systemMachine, report.unoffered);
  return report;
}
