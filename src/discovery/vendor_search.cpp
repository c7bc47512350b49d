// Walks the vendor registry keys in every hive and view and identifies each registered home.
#include "discovery/vendor_search.h"

#include <iterator>
#include <utility>

#include "common/registry_string.h"
#include "common/windows_path.h"
#include "javainfo/java_identification.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace {

constexpr std::uint32_t kSubKeyNameLength = 1000;  // characters, terminator included
constexpr std::uint32_t kInitialSearchLength = 260;
// SearchPathW asks for more room only when the answer grew in between; a few rounds suffice.
constexpr int kSearchAttempts = 8;

// Appends a record when the caller asked for an account of the search; the window asks none.
RegistrationRecord* Record(std::vector<RegistrationRecord>* records, const VendorKey& row,
                           const SearchPlace& place, const std::wstring& subKey,
                           Registration outcome, std::int32_t status = 0) {
  if (records == nullptr) return nullptr;
  RegistrationRecord& record = records->emplace_back();
  record.row = &row;
  record.place = place;
  record.subKey = subKey;
  record.outcome = outcome;
  record.status = status;
  return &record;
}

// Where one row's finds and records go. The rows that share a vendor key are searched in one walk
// of it, and a later row's finds wait here so that the list keeps the table's order.
struct RowOutput {
  std::vector<JavaCandidate>& candidates;
  std::vector<RegistrationRecord>* records;
};

// Reads one version subkey; appends its candidate when the home has javaw.exe and the version
// is recent enough. Every key it opens is closed on return.
void SearchVersionSubKey(const platform::RegistryKey& vendorKey, const std::wstring& name,
                         const VendorKey& row, const SearchPlace& place, std::int32_t minimumMajor,
                         RowOutput out) {
  const std::uint32_t access = platform::kKeyQueryValue | place.viewFlag;
  platform::RegistryKey valueKey;
  // The sub-path is opened with its version subkey in one call. The subkey was just enumerated,
  // so a path that is not there is the sub-path missing.
  const bool hasSubPath = !row.subPath.empty();
  std::wstring path;
  if (hasSubPath) {
    path.reserve(name.size() + 1 + row.subPath.size());
    path.append(name).append(1, L'\\').append(row.subPath);
  }
  const std::int32_t status =
      platform::OpenRegistrySubKey(vendorKey, hasSubPath ? path : name, access, valueKey);
  if (status != 0) {
    Record(out.records, row, place, name,
           hasSubPath && status == platform::kErrorFileNotFound ? Registration::NoSubPathKey
                                                                : Registration::KeyUnreadable,
           status);
    return;
  }
  std::wstring home;
  if (!ReadRegistryString(valueKey, row.homeValueName, home)) {
    if (RegistrationRecord* record =
            Record(out.records, row, place, name, Registration::NoHomeValue)) {
      // Asked again for the account alone: missing, unreadable, or there with another type.
      std::uint32_t size = 0;
      record->status = platform::QueryRegistryValue(valueKey, row.homeValueName, record->valueType,
                                                    nullptr, size);
    }
    return;
  }
  const std::wstring bin = windows_path::Join(home, L"bin");
  std::wstring javawPath;
  if (!FindFileInDirectory(bin, L"javaw.exe", javawPath)) {
    if (RegistrationRecord* record = Record(out.records, row, place, name, Registration::NoJavaw))
      record->home = home;
    return;
  }
  std::wstring versionText = name;
  if (!row.namePrefix.empty() && versionText.starts_with(row.namePrefix)) {
    versionText.erase(0, row.namePrefix.size());
  }
  JavaCandidate candidate =
      IdentifyJavaInstallation(home, javawPath, windows_path::Join(bin, L"java.exe"), row.label,
                               versionText, row.vendor, row.isJdk, place.is64Bit);
  const bool listed = MajorVersion(candidate.version) >= minimumMajor;
  if (RegistrationRecord* record =
          Record(out.records, row, place, name,
                 listed ? Registration::Listed : Registration::BelowMinimum)) {
    record->home = home;
    record->versionText = versionText;
    record->candidate = candidate;
  }
  if (listed) out.candidates.push_back(std::move(candidate));
}

// Searches the rows [first, last), which share one vendor key, in a single walk of that key:
// each version subkey is read for every row before the walk moves on.
void SearchVendorKey(const VendorKey* first, const VendorKey* last, const SearchPlace& place,
                     std::int32_t minimumMajor, std::vector<JavaCandidate>& candidates,
                     std::vector<RegistrationRecord>* records) {
  // The first row writes straight to the list; the others wait in their own.
  const std::size_t later = static_cast<std::size_t>(last - first) - 1;
  std::vector<std::vector<JavaCandidate>> laterCandidates(later);
  std::vector<std::vector<RegistrationRecord>> laterRecords(records ? later : 0);
  const auto output = [&](std::size_t row) {
    if (row == 0) return RowOutput{candidates, records};
    return RowOutput{laterCandidates[row - 1], records ? &laterRecords[row - 1] : nullptr};
  };
  const auto recordEach = [&](Registration outcome, std::int32_t status) {
    for (std::size_t row = 0; first + row != last; ++row)
      Record(output(row).records, first[row], place, L"", outcome, status);
  };

  platform::RegistryKey vendorKey;
  const std::int32_t openStatus = platform::OpenRegistryKey(
      place.hive, first->keyPath, platform::kKeyEnumerateSubKeys | place.viewFlag, vendorKey);
  // An absent vendor key registers nothing; any other failure hides what it may hold.
  if (openStatus != 0 && openStatus != platform::kErrorFileNotFound)
    recordEach(Registration::KeyUnreadable, openStatus);
  std::wstring name;  // one buffer for every subkey's name
  for (std::uint32_t index = 0; openStatus == 0; ++index) {
    const std::int32_t status =
        platform::EnumRegistrySubKey(vendorKey, index, kSubKeyNameLength, name);
    if (status == platform::kErrorMoreData) {  // a name too long for any version
      recordEach(Registration::NameTooLong, status);
      continue;
    }
    if (status != 0) {
      if (status != platform::kErrorNoMoreItems) recordEach(Registration::KeyUnreadable, status);
      break;
    }
    for (std::size_t row = 0; first + row != last; ++row)
      SearchVersionSubKey(vendorKey, name, first[row], place, minimumMajor, output(row));
  }
  for (std::size_t row = 0; row < later; ++row) {
    std::move(laterCandidates[row].begin(), laterCandidates[row].end(),
              std::back_inserter(candidates));
    if (records)
      std::move(laterRecords[row].begin(), laterRecords[row].end(), std::back_inserter(*records));
  }
}

// Every row of the table under one hive and view, consecutive rows with one vendor key together.
void SearchPlaceOnce(const SearchPlace& place, std::int32_t minimumMajor,
                     std::vector<JavaCandidate>& candidates,
                     std::vector<RegistrationRecord>* records) {
  const std::vector<VendorKey>& table = VendorKeyTable();
  const VendorKey* const end = table.data() + table.size();
  for (const VendorKey* first = table.data(); first != end;) {
    const VendorKey* last = first + 1;
    while (last != end && last->keyPath == first->keyPath) ++last;
    SearchVendorKey(first, last, place, minimumMajor, candidates, records);
    first = last;
  }
}

}  // namespace

const std::vector<VendorKey>& VendorKeyTable() {
  static const std::vector<VendorKey> kTable = {
      {L"Software\\Eclipse Adoptium\\JDK", L"Eclipse Adoptium", L"Eclipse", true, L"hotspot\\MSI",
       L"Path", L""},
      {L"Software\\AdoptOpenJDK\\JDK", L"AdoptOpenJDK", L"AdoptOpenJDK", true, L"hotspot\\MSI",
       L"Path", L""},
      {L"Software\\AdoptOpenJDK\\JDK", L"AdoptOpenJDK/J9", L"AdoptOpenJDK", true, L"openj9\\MSI",
       L"Path", L""},
      {L"Software\\Microsoft\\JDK", L"Microsoft OpenJDK", L"Microsoft", true, L"hotspot\\MSI",
       L"Path", L""},
      {L"Software\\Azul Systems\\Zulu", L"Zulu OpenJDK", L"Azul Systems Inc.", true, L"",
       L"InstallationPath", L"zulu-"},
      {L"Software\\BellSoft\\Liberica", L"Liberica OpenJDK", L"BellSoft", true, L"",
       L"InstallationPath", L"zulu-"},
      {L"Software\\JavaSoft\\JDK", L"Oracle JDK", L"Oracle", true, L"", L"JavaHome", L""},
      {L"Software\\JavaSoft\\JRE", L"Oracle JRE", L"Oracle", false, L"", L"JavaHome", L""},
      {L"Software\\JavaSoft\\Java Development Kit", L"Oracle JDK", L"Oracle", true, L"",
       L"JavaHome", L""},
      {L"Software\\JavaSoft\\Java Runtime Environment", L"Oracle JRE", L"Oracle", false, L"",
       L"JavaHome", L""},
      {L"Software\\IBM\\Java Development Kit", L"IBM JDK", L"IBM", true, L"", L"JavaHome", L""},
      {L"Software\\IBM\\Java Runtime Environment", L"IBM JRE", L"IBM", false, L"", L"JavaHome",
       L""},
  };
  return kTable;
}

bool RunningUnderWow64() {
  static const bool kIsWow64 = [] {
    bool isWow64 = false;
    return platform::QueryWow64Process(isWow64) && isWow64;
  }();
  return kIsWow64;
}

bool FindFileInDirectory(const std::wstring& directory, const std::wstring& fileName,
                         std::wstring& found) {
  std::uint32_t bufferLength = kInitialSearchLength;
  for (int attempt = 0; attempt < kSearchAttempts; ++attempt) {
    std::wstring path;
    const std::uint32_t length =
        platform::SearchFileInDirectory(directory, fileName, bufferLength, path);
    if (length == 0) break;
    if (length < bufferLength) {
      found = std::move(path);
      return true;
    }
    bufferLength = length + 1;
  }
  found.clear();
  return false;
}

void SearchVendorKeys(std::int32_t minimumMajor, std::vector<JavaCandidate>& candidates) {
  SearchVendorKeysInViews(RunningUnderWow64(), minimumMajor, candidates);
}

void SearchVendorKeysInViews(bool underWow64, std::int32_t minimumMajor,
                             std::vector<JavaCandidate>& candidates,
                             std::vector<RegistrationRecord>* records) {
  // A 32-bit process sees the 64-bit view only when it asks for it.
  std::vector<std::pair<std::uint32_t, bool>> views;
  if (underWow64) views.emplace_back(platform::kKeyWow64_64Key, true);
  views.emplace_back(0u, false);
  // HKCU\Software is one key in both views, so the user's hive is read once; the later view
  // repeats its finds and records as its own.
  std::size_t userCandidates[2] = {};
  std::size_t userRecords[2] = {};
  bool userHiveRead = false;
  for (const auto& [viewFlag, is64Bit] : views) {
    for (const platform::Hive hive : {platform::Hive::CurrentUser, platform::Hive::LocalMachine}) {
      const SearchPlace place{hive, viewFlag, is64Bit};
      if (hive != platform::Hive::CurrentUser) {
        SearchPlaceOnce(place, minimumMajor, candidates, records);
      } else if (!userHiveRead) {
        userCandidates[0] = candidates.size();
        userRecords[0] = records ? records->size() : 0;
        SearchPlaceOnce(place, minimumMajor, candidates, records);
        userCandidates[1] = candidates.size();
        userRecords[1] = records ? records->size() : 0;
        userHiveRead = true;
      } else {
        for (std::size_t i = userCandidates[0]; i < userCandidates[1]; ++i) {
          JavaCandidate again = candidates[i];
          again.is64Bit = is64Bit;
          candidates.push_back(std::move(again));
        }
        for (std::size_t i = userRecords[0]; records && i < userRecords[1]; ++i) {
          RegistrationRecord again = (*records)[i];
          again.place = place;
          again.candidate.is64Bit = is64Bit;
          records->push_back(std::move(again));
        }
      }
    }
  }
}
