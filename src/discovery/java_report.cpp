// Re-walks the discovery's sources with the discovery's own functions, keeping what it drops
// and why, then looks where other Java finders look.
#include "discovery/java_report.h"

#include <algorithm>
#include <cwctype>

#include "common/windows_path.h"
#include "discovery/bundled_runtime.h"
#include "discovery/java_discovery.h"
#include "discovery/java_places.h"
#include "discovery/vendor_search.h"
#include "javainfo/java_identification.h"
#include "javainfo/java_validation.h"
#include "platform/files.h"
#include "platform/system.h"
#include "startup/error_text.h"

namespace {

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
      entry.reason = L"the key could not be read: " + DescribeSystemError(record.status);
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
                                     DescribeSystemError(record.status);
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

void AddUnofferedHomes(const std::vector<RegisteredHome>& registered,
                       const std::vector<OfferedJava>& offered, Machine windows,
                       std::vector<UnofferedHome>& unoffered) {
  for (FoundHome& found : FindHomesInPlaces(JavaPlaces())) {
    // Accounted for above, listed or not; the window's own entries by the home of their java.exe.
    const auto isFound = [&](const std::wstring& home) { return SameFolder(home, found.home); };
    if (std::any_of(registered.begin(), registered.end(),
                    [&](const RegisteredHome& r) { return HasHome(r) && isFound(r.home); }) ||
        std::any_of(offered.begin(), offered.end(), [&](const OfferedJava& o) {
          return o.origin != JavaOrigin::NoneChosen &&
                 isFound(windows_path::Parent(windows_path::Parent(o.candidate.javaPath)));
        }))
      continue;
    UnofferedHome home;
    home.home = std::move(found.home);
    home.foundBy = std::move(found.foundBy);
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

// Why a JAVA_HOME or JDK_HOME value is not the Java home it is meant to be; empty when it is.
std::wstring VariableProblem(const std::wstring& value) {
  bool isDirectory = false;
  if (IsJavaHome(value))
    return Exists(windows_path::Join(value, L"bin\\javaw.exe"), isDirectory)
               ? L""
               : L"a Java home without bin\\javaw.exe, which the window needs";
  if (value.front() == L'"' || value.back() == L'"')
    return L"the value is in quotes, which Windows takes as part of the folder name";
  if (std::iswspace(static_cast<std::wint_t>(value.back())))
    return L"the value ends in white space, which Windows takes as part of the folder name";
  if (PathKey(value).ends_with(L"\\bin"))
    return L"it names the bin folder; the Java home is the folder above it, " +
           windows_path::Parent(value);
  if (!Exists(value, isDirectory)) return L"the folder does not exist";
  if (!isDirectory) return L"it names a file, not a folder";
  return L"the folder has no bin\\java.exe";
}

}  // namespace

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
  for (const wchar_t* name : {L"JAVA_HOME", L"JDK_HOME"}) {
    std::wstring value;
    if (platform::ReadEnvironmentVariable(name, value))
      report.variables.push_back({name, value, VariableProblem(value)});
  }
  AddUnofferedHomes(report.registered, report.offered, report.systemMachine, report.unoffered);
  return report;
}
