// Times the Java discovery against the real registry and file system of a throwaway Wine prefix
// holding N registered installations, spread over the vendor keys, both hives and both views.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "discovery/java_discovery.h"

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

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

// Microseconds per call of one of the system calls the discovery makes for every find, so the
// total can be laid out as calls times their cost under this Wine.
template <typename Call>
double MicrosecondsPerCall(LARGE_INTEGER frequency, Call call) {
  constexpr int kCalls = 2000;
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < kCalls; ++i) call();
  QueryPerformanceCounter(&end);
  return Milliseconds(start, end, frequency) * 1000.0 / kCalls;
}

void PrintCallCosts(const std::wstring& root, LARGE_INTEGER frequency) {
  const std::wstring home = root + L"\\jdk0";
  const std::wstring release = home + L"\\release";
  const wchar_t* const keyPath = kVendorLayouts[0].keyPath;
  const double open = MicrosecondsPerCall(frequency, [&] {
    RegKeyCloser key;
    RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key.key);
  });
  RegKeyCloser valueKey;
  const std::wstring valuePath = std::wstring(keyPath) + L"\\17.0.1\\" + kVendorLayouts[0].subPath;
  RegOpenKeyExW(HKEY_CURRENT_USER, valuePath.c_str(), 0, KEY_QUERY_VALUE, &valueKey.key);
  const double query = MicrosecondsPerCall(frequency, [&] {
    wchar_t data[261] = {};
    DWORD type = 0;
    DWORD size = 520;
    RegQueryValueExW(valueKey.key, L"Path", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  });
  const double search = MicrosecondsPerCall(frequency, [&] {
    wchar_t found[260] = {};
    SearchPathW((home + L"\\bin").c_str(), L"javaw.exe", nullptr, 260, found, nullptr);
  });
  const double readFile = MicrosecondsPerCall(frequency, [&] {
    FileCloser file;
    file.file = CreateFileW(release.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
    char buffer[512];
    DWORD read = 0;
    ReadFile(file.file, buffer, sizeof(buffer), &read, nullptr);
  });
  std::wprintf(L"call RegOpenKeyExW+RegCloseKey %.1f\n", open);
  std::wprintf(L"call RegQueryValueExW %.1f\n", query);
  std::wprintf(L"call SearchPathW %.1f\n", search);
  std::wprintf(L"call CreateFileW+ReadFile+CloseHandle %.1f\n", readFile);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int repeats = argc > 1 ? std::max(1, _wtoi(argv[1])) : 21;
  const std::wstring root = L"C:\\kelvor-discovery-bench";
  CreateDirectoryW(root.c_str(), nullptr);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);

  int registered = 0;
  for (const int count : {0, 10, 100, 500}) {
    // The prefix grows from one size to the next; each size is timed on its own.
    for (; registered < count; ++registered) {
      if (!RegisterInstallation(registered, root)) {
        std::fwprintf(stderr, L"cannot register installation %d: error %lu\n", registered,
                      GetLastError());
        return 1;
      }
    }
    std::vector<double> times;
    std::size_t found = 0;
    for (int run = 0; run <= repeats; ++run) {
      std::vector<JavaCandidate> candidates;
      LARGE_INTEGER start;
      LARGE_INTEGER end;
      QueryPerformanceCounter(&start);
      FindJavaInstallations(true, 17, candidates);
      QueryPerformanceCounter(&end);
      found = candidates.size();
      if (run > 0) times.push_back(Milliseconds(start, end, frequency));  // run 0 warms caches
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::wprintf(L"discovery %d %zu %.3f %.4f %.3f %.3f\n", count, found, median,
                 count > 0 ? median / count : 0.0, times.front(), times.back());
    std::fflush(stdout);
  }
  PrintCallCosts(root, frequency);
  return 0;
}
