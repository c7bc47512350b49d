// Times the Java discovery against the real registry and file system of a throwaway Wine prefix
// holding N registered installations, spread over the vendor keys, both hives and both views,
// and against a reference discovery in the same process that makes only the calls any discovery
// must make. Prints raw figures only: medians, spreads and ratios are the report's to compute.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "discovery/bundled_runtime.h"
#include "discovery/java_discovery.h"
#include "discovery/vendor_search.h"

namespace {

struct RegKeyCloser {
  HKEY key = nullptr;
  RegKeyCloser() = default;
  RegKeyCloser(const RegKeyCloser&) = delete;  // the key would close twice
  RegKeyCloser& operator=(const RegKeyCloser&) = delete;
  ~RegKeyCloser() {
    if (key) RegCloseKey(key);
  }
};

struct FileCloser {
  HANDLE file = INVALID_HANDLE_VALUE;
  FileCloser() = default;
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;
  ~FileCloser() {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

// How each vendor key of the discovery records a home: the value sits in the version subkey
// itself, or below it in a sub-path, and some vendors prefix the version subkey's name.
struct VendorLayout {
  const wchar_t* keyPath;
  const wchar_t* subPath;
  const wchar_t* valueName;
  const wchar_t* namePrefix;
};

const VendorLayout kVendorLayouts[] = {
    {L"Software\\Eclipse Adoptium\\JDK", L"hotspot\\MSI", L"Path", L""},
    {L"Software\\AdoptOpenJDK\\JDK", L"hotspot\\MSI", L"Path", L""},
    {L"Software\\AdoptOpenJDK\\JDK", L"openj9\\MSI", L"Path", L""},
    {L"Software\\Microsoft\\JDK", L"hotspot\\MSI", L"Path", L""},
    {L"Software\\Azul Systems\\Zulu", L"", L"InstallationPath", L"zulu-"},
    {L"Software\\BellSoft\\Liberica", L"", L"InstallationPath", L""},
    {L"Software\\JavaSoft\\JDK", L"", L"JavaHome", L""},
    {L"Software\\JavaSoft\\JRE", L"", L"JavaHome", L""},
    {L"Software\\JavaSoft\\Java Development Kit", L"", L"JavaHome", L""},
    {L"Software\\JavaSoft\\Java Runtime Environment", L"", L"JavaHome", L""},
    {L"Software\\IBM\\Java Development Kit", L"", L"JavaHome", L""},
    {L"Software\\IBM\\Java Runtime Environment", L"", L"JavaHome", L""},
};
constexpr int kLayoutCount = sizeof(kVendorLayouts) / sizeof(kVendorLayouts[0]);

// The user's hive is shared by both views; the machine hive has a 64-bit and a 32-bit twin.
struct Placement {
  HKEY hive;
  REGSAM view;
};
const Placement kPlacements[] = {
    {HKEY_CURRENT_USER, 0},
    {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
    {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY},
};

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  FileCloser file;
  file.file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file.file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return WriteFile(file.file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// A home with bin\javaw.exe, bin\java.exe and a release file, as an installer leaves it.
bool MakeHome(const std::wstring& home, const std::string& version) {
  const std::wstring bin = home + L"\\bin";
  CreateDirectoryW(home.c_str(), nullptr);
  CreateDirectoryW(bin.c_str(), nullptr);
  const std::string release = "IMPLEMENTOR=\"Bench\"\nJAVA_VERSION=\"" + version + "\"\n";
  return WriteWholeFile(bin + L"\\javaw.exe", "MZ") && WriteWholeFile(bin + L"\\java.exe", "MZ") &&
         WriteWholeFile(home + L"\\release", release);
}

bool RegisterInstallation(int index, const std::wstring& root) {
  const VendorLayout& layout = kVendorLayouts[index % kLayoutCount];
  const Placement& placement = kPlacements[(index / kLayoutCount) % 3];
  const std::string version = "17.0." + std::to_string(index + 1);
  const std::wstring home = root + L"\\jdk" + std::to_wstring(index);
  if (!MakeHome(home, version)) return false;

  std::wstring keyPath = std::wstring(layout.keyPath) + L"\\" + layout.namePrefix +
                         std::wstring(version.begin(), version.end());
  if (*layout.subPath) keyPath += std::wstring(L"\\") + layout.subPath;
  RegKeyCloser key;
  if (RegCreateKeyExW(placement.hive, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE | placement.view, nullptr, &key.key, nullptr) != 0) {
    return false;
  }
  const auto size = static_cast<DWORD>((home.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.key, layout.valueName, 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(home.c_str()), size) == 0;
}

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value.QuadPart;
  }();
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 / static_cast<double>(frequency);
}

template <typename Work>
double TimeMicroseconds(Work work) {
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  QueryPerformanceCounter(&start);
  work();
  QueryPerformanceCounter(&end);
  return Microseconds(start, end);
}

// How many finds the fixture's first `count` installations give: HKCU is shared by both registry
// views, so a 32-bit process under WOW64 finds those twice.
std::size_t ExpectedFinds(int count, bool underWow64) {
  std::size_t finds = 0;
  for (int index = 0; index < count; ++index) {
    const bool inUserHive = kPlacements[(index / kLayoutCount) % 3].hive == HKEY_CURRENT_USER;
    finds += inUserHive && underWow64 ? 2 : 1;
  }
  return finds;
}

// What a discovery found: javaw.exe's path and whether it came through the 64-bit view.
using Found = std::vector<std::pair<std::wstring, bool>>;

// Stops the benchmark: a call that fails where the fixture says it cannot would price an error
// path instead of the work.
[[noreturn]] void Fail(const wchar_t* call, const std::wstring& what, long status) {
  std::fwprintf(stderr, L"discovery_bench: %ls failed for %ls: %ld\n", call, what.c_str(), status);
  std::exit(1);
}

// The major version in a release file's JAVA_VERSION line or in a version subkey's name: the first
// number, or the second after a leading "1.".
int MajorOf(const char* text) {
  while (*text && (*text < '0' || *text > '9')) ++text;
  const int first = std::atoi(text);
  if (first != 1) return first;
  while (*text >= '0' && *text <= '9') ++text;
  return *text == '.' ? std::atoi(text + 1) : first;
}

// One home as the reference read it: its javaw.exe, empty when there is none, and its major.
struct HomeRead {
  std::wstring javaw;
  int major = 0;
};

// The reference: the least a discovery of the same list must ask of the system. One look at each
// place of the runtime in the installation; one walk per distinct vendor key and place, the
// user's hive once for both views since they share it; one open of the version subkey joined
// with the row's sub-path and one read per value; one search for javaw.exe and one read of the
// release file per distinct home. Every call's result is checked.
class ReferenceDiscovery {
 public:
  // The places of the runtime are the program's own, a matter of paths rather than of calls.
  explicit ReferenceDiscovery(bool underWow64)
      : underWow64_(underWow64), runtimePlaces_(RuntimeBinPlaces()) {}

  Found Find() {
    Found found;
    homes_.clear();
    for (const std::wstring& place : runtimePlaces_) {
      if (GetFileAttributesW(place.c_str()) != INVALID_FILE_ATTRIBUTES) {
        Fail(L"GetFileAttributesW", place + L" (the fixture has no runtime there)", 0);
      }
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        Fail(L"GetFileAttributesW", place, static_cast<long>(error));
    }
    const std::vector<VendorKey>& table = VendorKeyTable();
    if (underWow64_) WalkPlace(HKEY_CURRENT_USER, KEY_WOW64_64KEY, {true, false}, table, found);
    if (!underWow64_) WalkPlace(HKEY_CURRENT_USER, 0, {false, false}, table, found);
    if (underWow64_) WalkPlace(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, {true, true}, table, found);
    WalkPlace(HKEY_LOCAL_MACHINE, 0, {false, true}, table, found);
    return found;
  }

 private:
  // The views a place's finds count for: the user's hive under WOW64 counts for both.
  struct Views {
    bool is64Bit;
    bool single;
  };

  void WalkPlace(HKEY hive, REGSAM view, Views views, const std::vector<VendorKey>& table,
                 Found& found) {
    for (std::size_t first = 0; first < table.size();) {
      std::size_t last = first + 1;
      while (last < table.size() && table[last].keyPath == table[first].keyPath) ++last;
      WalkKey(hive, view, views, &table[first], &table[last - 1] + 1, found);
      first = last;
    }
  }

  void WalkKey(HKEY hive, REGSAM view, Views views, const VendorKey* first, const VendorKey* last,
               Found& found) {
    RegKeyCloser vendorKey;
    const LONG open = RegOpenKeyExW(hive, first->keyPath.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | view,
                                    &vendorKey.key);
    if (open == ERROR_FILE_NOT_FOUND) return;
    if (open != ERROR_SUCCESS) Fail(L"RegOpenKeyExW", first->keyPath, open);
    wchar_t name[1000];
    for (DWORD index = 0;; ++index) {
      DWORD length = 1000;
      const LONG status =
          RegEnumKeyExW(vendorKey.key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_NO_MORE_ITEMS) break;
      if (status != ERROR_SUCCESS) Fail(L"RegEnumKeyExW", first->keyPath, status);
      for (const VendorKey* row = first; row != last; ++row) {
        std::wstring path(name, length);
        if (!row->subPath.empty()) path.append(1, L'\\').append(row->subPath);
        RegKeyCloser valueKey;
        const LONG opened =
            RegOpenKeyExW(vendorKey.key, path.c_str(), 0, KEY_QUERY_VALUE | view, &valueKey.key);
        // Rows that share a key differ in the sub-path, which a version subkey holds for one.
        if (opened == ERROR_FILE_NOT_FOUND && !row->subPath.empty()) continue;
        if (opened != ERROR_SUCCESS) Fail(L"RegOpenKeyExW", path, opened);
        wchar_t home[MAX_PATH + 1] = {};
        DWORD type = 0;
        DWORD size = MAX_PATH * sizeof(wchar_t);
        const LONG queried = RegQueryValueExW(valueKey.key, row->homeValueName.c_str(), nullptr,
                                              &type, reinterpret_cast<BYTE*>(home), &size);
        if (queried != ERROR_SUCCESS || type != REG_SZ) Fail(L"RegQueryValueExW", path, queried);
        const HomeRead& read = ReadHome(home, row->namePrefix, name);
        if (read.javaw.empty() || read.major < 17) continue;
        found.emplace_back(read.javaw, views.is64Bit);
        if (!views.single) found.emplace_back(read.javaw, false);
      }
    }
  }

  const HomeRead& ReadHome(const std::wstring& home, const std::wstring& prefix,
                           const wchar_t* subKey) {
    const auto [at, isNew] = homes_.try_emplace(home);
    HomeRead& read = at->second;
    if (!isNew) return read;
    const std::wstring bin = home + L"\\bin";
    wchar_t javaw[MAX_PATH];
    const DWORD length = SearchPathW(bin.c_str(), L"javaw.exe", nullptr, MAX_PATH, javaw, nullptr);
    if (length == 0 || length >= MAX_PATH) Fail(L"SearchPathW", bin, static_cast<long>(length));
    read.javaw.assign(javaw, length);
    const std::wstring release = home + L"\\release";
    FileCloser file;
    file.file = CreateFileW(release.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
    if (file.file == INVALID_HANDLE_VALUE)
      Fail(L"CreateFileW", release, static_cast<long>(GetLastError()));
    char text[4097];
    DWORD bytes = 0;
    if (!ReadFile(file.file, text, sizeof(text) - 1, &bytes, nullptr) || bytes == 0)
      Fail(L"ReadFile", release, static_cast<long>(GetLastError()));
    text[bytes] = '\0';
    const char* version = std::strstr(text, "JAVA_VERSION=\"");
    if (version) {
      read.major = MajorOf(version);
    } else {
      std::wstring name = subKey;
      if (!prefix.empty() && name.starts_with(prefix)) name.erase(0, prefix.size());
      read.major = MajorOf(std::string(name.begin(), name.end()).c_str());
    }
    return read;
  }

  const bool underWow64_;
  std::vector<std::wstring> runtimePlaces_;
  std::map<std::wstring, HomeRead> homes_;
};

// The program's finds as (javaw.exe, view) pairs: the registry's, without the default entry.
Found ProgramFound(const std::vector<JavaCandidate>& candidates) {
  Found found;
  for (const JavaCandidate& candidate : candidates) {
    if (!candidate.javawPath.empty()) found.emplace_back(candidate.javawPath, candidate.is64Bit);
  }
  return found;
}

// The same pairs, each as often, in any order.
bool SameFinds(Found a, Found b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(3, _wtoi(argv[1])) : 9;
  const std::wstring root = L"C:\\kelvor-discovery-bench";
  CreateDirectoryW(root.c_str(), nullptr);
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  ReferenceDiscovery reference(wow64 != FALSE);

  // Each round times the program twice and the reference twice; the second of each pair is the
  // A/A comparison that shows how far two runs of the same code differ. The order turns by one
  // each round, so that neither side always runs first or after the other.
  const wchar_t* const kSlots[] = {L"program", L"reference", L"program_again", L"reference_again"};
  constexpr int kSlotCount = 4;
  int registered = 0;
  for (const int count : {10, 100, 500}) {
    // The prefix grows from one size to the next; each size is timed on its own.
    for (; registered < count; ++registered) {
      if (!RegisterInstallation(registered, root)) {
        std::fwprintf(stderr, L"cannot register installation %d: error %lu\n", registered,
                      GetLastError());
        return 1;
      }
    }
    // Round 0 warms the caches and is not reported.
    for (int round = 0; round <= rounds; ++round) {
      Found finds[kSlotCount];
      for (int slot = 0; slot < kSlotCount; ++slot) {
        const int which = (slot + round) % kSlotCount;
        std::vector<JavaCandidate> candidates;
        const double microseconds = TimeMicroseconds([&] {
          if (which % 2 == 0) {
            FindJavaInstallations(true, 17, candidates);
          } else {
            finds[which] = reference.Find();
          }
        });
        if (which % 2 == 0) finds[which] = ProgramFound(candidates);
        if (round > 0)
          std::wprintf(L"discovery %d %d %ls %.1f\n", count, round, kSlots[which], microseconds);
      }
      // A discovery that finds something else is broken, however fast it is: every run must find
      // every registration, the user's hive's through both views, and the same as the others.
      const std::size_t expected = ExpectedFinds(count, wow64 != FALSE);
      for (int which = 0; which < kSlotCount; ++which) {
        if (finds[which].size() != expected || !SameFinds(finds[which], finds[0])) {
          std::fwprintf(stderr,
                        L"discovery_bench: %ls found %zu pairs with %d registered (%zu expected), "
                        L"or not the program's\n",
                        kSlots[which], finds[which].size(), count, expected);
          return 1;
        }
      }
    }
    std::fflush(stdout);
  }
  return 0;
}
