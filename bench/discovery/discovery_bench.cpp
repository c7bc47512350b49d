// Times the Java discovery against the real registry and file system of a throwaway Wine prefix
// holding N registered installations, spread over the vendor keys, both hives and both views;
// prices the system calls every find must make, and times the discovery's own steps per find.
// Prints raw figures only: medians, spreads and ratios are the report's to compute.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "discovery/java_discovery.h"
#include "discovery/vendor_search.h"
#include "javainfo/java_identification.h"
#include "javainfo/release_file.h"

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

// How many finds the fixture's first `count` installations must give: HKCU is shared by both
// registry views, so a 32-bit process under WOW64 finds those twice; plus the default entry.
std::size_t ExpectedFinds(int count, bool underWow64) {
  std::size_t finds = 1;
  for (int index = 0; index < count; ++index) {
    const bool inUserHive = kPlacements[(index / kLayoutCount) % 3].hive == HKEY_CURRENT_USER;
    finds += inUserHive && underWow64 ? 2 : 1;
  }
  return finds;
}

// The system calls a find cannot do without: the enumeration that names its version subkey, one
// open and close per key on the way to the value, the value, the search for javaw.exe, and
// reading the release file. The vendor keys themselves are opened once per place, not per find.
void PrintFloorCalls(int count, bool underWow64) {
  long long opens = 0;
  long long finds = 0;
  for (int index = 0; index < count; ++index) {
    const bool inUserHive = kPlacements[(index / kLayoutCount) % 3].hive == HKEY_CURRENT_USER;
    const int seen = inUserHive && underWow64 ? 2 : 1;
    finds += seen;
    opens += seen * (*kVendorLayouts[index % kLayoutCount].subPath ? 2 : 1);
  }
  const long long places = 2LL * (underWow64 ? 2 : 1) * kLayoutCount;  // hives x views x keys
  std::wprintf(
      L"floor %d finds %lld enum %lld open %lld query %lld search %lld file %lld "
      L"vendor_open %lld\n",
      count, finds, finds, opens, finds, finds, finds, places);
}

// Microseconds per call of each system call a find makes, a batch of 100 each, labelled with the
// discovery run that follows it. A run is set against the mean of the pricings on either side of
// it, so that load which comes and goes on a shared machine weighs on the run and on its floor
// alike.
void PrintCallPrices(const std::wstring& root, int run) {
  const std::wstring home = root + L"\\jdk0";
  const std::wstring bin = home + L"\\bin";
  const std::wstring release = home + L"\\release";
  const wchar_t* const keyPath = kVendorLayouts[0].keyPath;
  const std::wstring valuePath = std::wstring(keyPath) + L"\\17.0.1\\" + kVendorLayouts[0].subPath;
  RegKeyCloser vendorKey;
  RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_ENUMERATE_SUB_KEYS, &vendorKey.key);
  RegKeyCloser valueKey;
  RegOpenKeyExW(HKEY_CURRENT_USER, valuePath.c_str(), 0, KEY_QUERY_VALUE, &valueKey.key);
  constexpr int kCalls = 100;
  const auto price = [run](const wchar_t* name, auto call) {
    const double total = TimeMicroseconds([&] {
      for (int i = 0; i < kCalls; ++i) call();
    });
    std::wprintf(L"call %d %ls %.2f\n", run, name, total / kCalls);
  };
  price(L"enum", [&] {
    wchar_t name[1001];
    DWORD length = 1000;
    RegEnumKeyExW(vendorKey.key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
  });
  price(L"open", [&] {
    RegKeyCloser key;
    RegOpenKeyExW(HKEY_CURRENT_USER, valuePath.c_str(), 0, KEY_QUERY_VALUE, &key.key);
  });
  price(L"query", [&] {
    wchar_t data[261] = {};
    DWORD type = 0;
    DWORD size = 520;
    RegQueryValueExW(valueKey.key, L"Path", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  });
  price(L"search", [&] {
    wchar_t found[260] = {};
    SearchPathW(bin.c_str(), L"javaw.exe", nullptr, 260, found, nullptr);
  });
  price(L"file", [&] {
    FileCloser file;
    file.file = CreateFileW(release.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
    char buffer[512];
    DWORD read = 0;
    ReadFile(file.file, buffer, sizeof(buffer), &read, nullptr);
  });
  price(L"vendor_open", [&] {
    RegKeyCloser key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ENUMERATE_SUB_KEYS, &key.key);
  });
}

// The discovery's own steps, each over every registered home, per home: what the profile
// compares with the prices of the bare calls above.
void PrintStepCosts(const std::wstring& root, int count, int batches) {
  std::vector<std::wstring> homes;
  for (int index = 0; index < count; ++index)
    homes.push_back(root + L"\\jdk" + std::to_wstring(index));
  std::vector<JavaCandidate> found;
  FindJavaInstallations(true, 17, found);
  for (int batch = 0; batch < batches; ++batch) {
    const auto step = [&](const wchar_t* name, std::size_t items, auto work) {
      std::wprintf(L"step %ls %.2f\n", name, TimeMicroseconds(work) / static_cast<double>(items));
    };
    step(L"search", homes.size(), [&] {
      std::wstring javaw;
      for (const std::wstring& home : homes)
        FindFileInDirectory(home + L"\\bin", L"javaw.exe", javaw);
    });
    step(L"release", homes.size(), [&] {
      std::wstring version;
      for (const std::wstring& home : homes) ReadReleaseVersion(home, version);
    });
    step(L"identify", homes.size(), [&] {
      for (const std::wstring& home : homes) {
        IdentifyJavaInstallation(home, home + L"\\bin\\javaw.exe", home + L"\\bin\\java.exe",
                                 L"Oracle JDK", L"17.0.1", L"Oracle", true, false);
      }
    });
    step(L"sort", found.size(), [&] {
      std::vector<JavaCandidate> copy = found;
      std::sort(copy.begin(), copy.end(), CandidateBefore);
    });
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int repeats = argc > 1 ? std::max(3, _wtoi(argv[1])) : 21;
  const std::wstring root = L"C:\\kelvor-discovery-bench";
  CreateDirectoryW(root.c_str(), nullptr);
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);

  int registered = 0;
  constexpr int kLargest = 500;
  for (const int count : {0, 10, 100, kLargest}) {
    // The prefix grows from one size to the next; each size is timed on its own.
    for (; registered < count; ++registered) {
      if (!RegisterInstallation(registered, root)) {
        std::fwprintf(stderr, L"cannot register installation %d: error %lu\n", registered,
                      GetLastError());
        return 1;
      }
    }
    const std::size_t expected = ExpectedFinds(count, wow64 != FALSE);
    for (int run = 0; run <= repeats; ++run) {
      // The floor of the verdict's size is priced between its runs, so that each run has a
      // pricing on either side of it: before the first and once more after the last.
      if (count == kLargest && run > 0) PrintCallPrices(root, run);
      std::vector<JavaCandidate> candidates;
      const double microseconds =
          TimeMicroseconds([&] { FindJavaInstallations(true, 17, candidates); });
      // A discovery that finds the wrong number is broken, however fast it is.
      if (candidates.size() != expected) {
        std::fwprintf(stderr,
                      L"discovery_bench: %zu candidates found with %d installations registered, "
                      L"%zu expected\n",
                      candidates.size(), count, expected);
        return 1;
      }
      // Run 0 warms the caches and is not reported.
      if (run > 0) std::wprintf(L"discovery %d %zu %.1f\n", count, candidates.size(), microseconds);
    }
    if (count == kLargest) PrintCallPrices(root, repeats + 1);
    PrintFloorCalls(count, wow64 != FALSE);
    std::fflush(stdout);
  }
  PrintStepCosts(root, registered, repeats < 5 ? 3 : 5);
  return 0;
}
