// Walks the vendor registry keys in every hive and view and identifies each registered home.
#include "discovery/vendor_search.h"

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

// Reads one version subkey; appends its candidate when the home has javaw.exe and the version
// is recent enough. Every key it opens is closed on return.
void SearchVersionSubKey(const platform::RegistryKey& vendorKey, const std::wstring& name,
                         const VendorKey& row, const SearchPlace& place, std::int32_t minimumMajor,
                         std::vector<JavaCandidate>& candidates,
                         std::vector<RegistrationRecord>* records) {
  const std::uint32_t access = platform::kKeyQueryValue | place.viewFlag;
  platform::RegistryKey valueKey;
  std::int32_t status = platform::OpenRegistrySubKey(vendorKey, name, access, valueKey);
  if (status != 0) {
    Record(records, row, place, name, Registration::KeyUnreadable, status);
    return;
  }
  if (!row.subPath.empty()) {
    platform::RegistryKey subPathKey;
    status = platform::OpenRegistrySubKey(valueKey, row.subPath, access, subPathKey);
    if (status != 0) {
      Record(records, row, place, name,
             status == platform::kErrorFileNotFound ? Registration::NoSubPathKey
                                                    : Registration::KeyUnreadable,
             status);
      return;
    }
    valueKey = std::move(subPathKey);  // closes the version subkey at once
  }
  std::wstring home;
  if (!ReadRegistryString(valueKey, row.homeValueName, home)) {
    if (RegistrationRecord* record = Record(records, row, place, name, Registration::NoHomeValue)) {
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
    if (RegistrationRecord* record = Record(records, row, place, name, Registration::NoJavaw))
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
  if (RegistrationRecord* record = Record(
          records, row, place, name, listed ? Registration::Listed : Registration::BelowMinimum)) {
    record->home = home;
    record->versionText = versionText;
    record->candidate = candidate;
  }
  if (listed) candidates.push_back(std::move(candidate));
}

void SearchVendorKey(const VendorKey& row, const SearchPlace& place, std::int32_t minimumMajor,
                     std::vector<JavaCandidate>& candidates,
                     std::vector<RegistrationRecord>* records) {
  platform::RegistryKey vendorKey;
  const std::int32_t openStatus = platform::OpenRegistryKey(
      place.hive, row.keyPath, platform::kKeyEnumerateSubKeys | place.viewFlag, vendorKey);
  if (openStatus != 0) {
    // An absent vendor key registers nothing; any other failure hides what it may hold.
    if (openStatus != platform::kErrorFileNotFound)
      Record(records, row, place, L"", Registration::KeyUnreadable, openStatus);
    return;
  }
  std::wstring name;  // one buffer for every subkey's name
  for (std::uint32_t index = 0;; ++index) {
    const std::int32_t status =
        platform::EnumRegistrySubKey(vendorKey, index, kSubKeyNameLength, name);
    if (status == platform::kErrorMoreData) {  // a name too long for any version
      Record(records, row, place, L"", Registration::NameTooLong, status);
      continue;
    }
    if (status != 0) {
      if (status != platform::kErrorNoMoreItems)
        Record(records, row, place, L"", Registration::KeyUnreadable, status);
      break;
    }
    SearchVersionSubKey(vendorKey, name, row, place, minimumMajor, candidates, records);
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
  const std::vector<VendorKey>& table = VendorKeyTable();
  // A 32-bit process sees the 64-bit view only when it asks for it.
  std::vector<std::pair<std::uint32_t, bool>> views;
  if (underWow64) views.emplace_back(platform::kKeyWow64_64Key, true);
  views.emplace_back(0u, false);
  for (const auto& [viewFlag, is64Bit] : views) {
    for (const platform::Hive hive : {platform::Hive::CurrentUser, platform::Hive::LocalMachine}) {
      const SearchPlace place{hive, viewFlag, is64Bit};
      for (const VendorKey& row : table)
        SearchVendorKey(row, place, minimumMajor, candidates, records);
    }
  }
}
