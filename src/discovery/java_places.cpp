// The finders' table and the walk over it.
#include "discovery/java_places.h"

#include <algorithm>
#include <cwctype>
#include <sstream>

#include "common/registry_string.h"
#include "common/windows_path.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::uint32_t kKeyNameRoom = 256;  // registry key names hold 255 characters at most

// %NAME% replaced by the variable's value; false when one is not set.
bool Expand(const std::wstring& pattern, std::wstring& expanded) {
  expanded.clear();
  for (std::size_t at = 0; at < pattern.size();) {
    const std::size_t open = pattern.find(L'%', at), close = pattern.find(L'%', open + 1);
    if (open == std::wstring::npos || close == std::wstring::npos) {
      expanded += pattern.substr(at);
      break;
    }
    std::wstring value;
    if (!platform::ReadEnvironmentVariable(pattern.substr(open + 1, close - open - 1), value))
      return false;
    expanded += pattern.substr(at, open - at) + value;
    at = close + 1;
  }
  return true;
}

std::vector<std::wstring> SortedSubfolders(const std::wstring& folder) {
  std::vector<std::wstring> names;
  if (platform::ListSubdirectories(folder, names) != 0) return {};
  std::sort(names.begin(), names.end(),
            [](const std::wstring& a, const std::wstring& b) { return PathKey(a) < PathKey(b); });
  return names;
}

// What names a folder whatever path leads to it: a link, a junction, a short name.
struct Identity {
  std::uint64_t volume = 0, index = 0;
  bool known = false;
  explicit Identity(const std::wstring& path)
      : known(platform::GetFileIdentity(path, volume, index)) {}
  bool operator==(const Identity& other) const {
    return known && other.known && volume == other.volume && index == other.index;
  }
};

class HomeCollector {
 public:
  void Search(const JavaPlace& place) {
    place_ = &place;
    switch (place.kind) {
      case PlaceKind::Variable: {
        std::wstring value;
        if (platform::ReadEnvironmentVariable(place.where, value) && IsJavaHome(value))
          Offer(value);
        break;
      }
      case PlaceKind::PathBins: SearchPathList(); break;
      case PlaceKind::Folders: SearchPattern(); break;
      case PlaceKind::UninstallKeys: SearchUninstallKeys(); break;
    }
  }

  std::vector<FoundHome> Take() { return std::move(homes_); }

 private:
  void Offer(const std::wstring& home) {
    const std::wstring finder = *place_->name != L'\0' ? place_->name : searchedFolder_;
    const std::wstring key = PathKey(home);
    const Identity identity(home);
    std::size_t index = 0;
    while (index < homes_.size() && PathKey(homes_[index].home) != key &&
           !(identities_[index] == identity))
      ++index;
    if (index == homes_.size()) {
      homes_.push_back({home, {finder}});
      identities_.push_back(identity);
      return;
    }
    FoundHome& known = homes_[index];
    if (place_->stablePath) known.home = home;  // the path that still holds after an update
    if (std::find(known.foundBy.begin(), known.foundBy.end(), finder) == known.foundBy.end())
      known.foundBy.push_back(finder);
  }

  // A bin folder on the list that holds java.exe; launcher stubs elsewhere have no home around
  // them.
  void SearchPathList() {
    std::wstring list;
    if (!platform::ReadEnvironmentVariable(place_->where, list)) return;
    for (std::size_t start = 0, end; start <= list.size(); start = end + 1) {
      end = std::min(list.find(L';', start), list.size());
      std::wstring folder = list.substr(start, end - start);
      std::erase(folder, L'"');
      while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
      const std::size_t nameStart = folder.find_last_of(L"\\/") + 1;
      if (nameStart == 0 || PathKey(folder.substr(nameStart)) != L"bin") continue;
      const std::wstring home = windows_path::Parent(folder);
      if (IsJavaHome(home)) Offer(home);
    }
  }

  void SearchPattern() {
    std::wstring expanded;
    if (!Expand(place_->where, expanded)) return;
    const std::wstring key = PathKey(expanded);
    if (std::find(walked_.begin(), walked_.end(), key) != walked_.end()) return;
    walked_.push_back(key);
    // The folder before the first wildcard is where the walk starts, and what an unnamed row
    // says found its homes.
    const std::size_t split = expanded.rfind(L'\\', expanded.find(L'*'));
    if (split == std::wstring::npos) return;
    searchedFolder_ = expanded.substr(0, split);
    std::vector<std::wstring> parts;
    std::wistringstream rest(expanded.substr(split + 1));
    for (std::wstring part; std::getline(rest, part, L'\\');)
      if (!part.empty()) parts.push_back(part);
    Walk(searchedFolder_, parts, 0);
  }

  void Walk(const std::wstring& folder, const std::vector<std::wstring>& parts, std::size_t at) {
    if (at == parts.size()) {
      if (IsJavaHome(folder)) Offer(folder);
      return;
    }
    const std::wstring& part = parts[at];
    if (part == L"**") {
      for (const std::wstring& name : SortedSubfolders(folder)) {
        const std::wstring below = windows_path::Join(folder, name);
        if (IsJavaHome(below)) {
          Offer(below);
          continue;
        }
        for (const std::wstring& deeper : SortedSubfolders(below))
          if (IsJavaHome(windows_path::Join(below, deeper)))
            Offer(windows_path::Join(below, deeper));
      }
    } else if (part.ends_with(L'*')) {
      const std::wstring prefix = PathKey(part.substr(0, part.size() - 1));
      for (const std::wstring& name : SortedSubfolders(folder))
        if (PathKey(name).starts_with(prefix))
          Walk(windows_path::Join(folder, name), parts, at + 1);
    } else {
      Walk(windows_path::Join(folder, part), parts, at + 1);
    }
  }

  // Both hives in both views: a 32-bit installer's programs are listed in the 32-bit one.
  void SearchUninstallKeys() {
    for (const platform::Hive hive : {platform::Hive::LocalMachine, platform::Hive::CurrentUser})
      for (const std::uint32_t view : {platform::kKeyWow64_64Key, platform::kKeyWow64_32Key}) {
        platform::RegistryKey programs;
        if (platform::OpenRegistryKey(hive, kUninstallKey, platform::kKeyEnumerateSubKeys | view,
                                      programs) != 0)
          continue;
        std::wstring name;
        for (std::uint32_t index = 0;
             platform::EnumRegistrySubKey(programs, index, kKeyNameRoom, name) == 0; ++index) {
          platform::RegistryKey program;
          std::wstring location;
          if (platform::OpenRegistrySubKey(programs, name, platform::kKeyQueryValue | view,
                                           program) != 0 ||
              !ReadRegistryString(program, L"InstallLocation", location) || location.empty())
            continue;
          const std::wstring home =
              *place_->where != L'\0' ? windows_path::Join(location, place_->where) : location;
          if (IsJavaHome(home)) Offer(home);
        }
      }
  }

  const JavaPlace* place_ = nullptr;
  std::wstring searchedFolder_;
  std::vector<std::wstring> walked_;  // expanded patterns, so two names for one folder walk once
  std::vector<FoundHome> homes_;
  std::vector<Identity> identities_;  // beside homes_
};

}  // namespace

const std::vector<JavaPlace>& JavaPlaces() {
  // A 32-bit process sees the 64-bit Program Files only as ProgramW6432. Scoop keeps every
  // version beside a "current" link, so its rows name the link, which stays after an update.
  static const std::vector<JavaPlace> kPlaces = {
      {L"JAVA_HOME", PlaceKind::Variable, L"JAVA_HOME"},
      {L"JDK_HOME", PlaceKind::Variable, L"JDK_HOME"},
      {L"PATH", PlaceKind::PathBins, L"PATH"},
      {L"", PlaceKind::Folders, L"%ProgramW6432%\\**"},
      {L"", PlaceKind::Folders, L"%ProgramFiles%\\**"},
      {L"", PlaceKind::Folders, L"%ProgramFiles(x86)%\\**"},
      {L"", PlaceKind::Folders, L"%LOCALAPPDATA%\\**"},
      {L"", PlaceKind::Folders, L"%LOCALAPPDATA%\\Programs\\**"},
      {L"IDE downloads", PlaceKind::Folders, L"%USERPROFILE%\\.jdks\\*"},
      {L"Gradle", PlaceKind::Folders, L"%USERPROFILE%\\.gradle\\jdks\\**"},
      {L"Scoop", PlaceKind::Folders, L"%SCOOP%\\apps\\*\\current", true},
      {L"Scoop", PlaceKind::Folders, L"%USERPROFILE%\\scoop\\apps\\*\\current", true},
      {L"Scoop global", PlaceKind::Folders, L"%SCOOP_GLOBAL%\\apps\\*\\current", true},
      {L"Scoop global", PlaceKind::Folders, L"%ProgramData%\\scoop\\apps\\*\\current", true},
      {L"installed programs", PlaceKind::UninstallKeys, L""},
      {L"winget", PlaceKind::Folders, L"%LOCALAPPDATA%\\Microsoft\\WinGet\\Packages\\**"},
      {L"Android Studio", PlaceKind::Folders, L"%ProgramW6432%\\Android\\Android Studio*\\jbr"},
      {L"Android Studio", PlaceKind::Folders, L"%LOCALAPPDATA%\\Programs\\Android Studio*\\jbr"},
      {L"Android Studio", PlaceKind::UninstallKeys, L"jbr"},
  };
  return kPlaces;
}

std::vector<FoundHome> FindHomesInPlaces(const std::vector<JavaPlace>& places) {
  HomeCollector collector;
  for (const JavaPlace& place : places) collector.Search(place);
  return collector.Take();
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
  return PathKey(a) == PathKey(b) || Identity(a) == Identity(b);
}

bool IsJavaHome(const std::wstring& folder) {
  std::uint32_t attributes = 0;
  return platform::GetFileAttributes(windows_path::Join(folder, L"bin\\java.exe"), attributes) &&
         (attributes & platform::kFileAttributeDirectory) == 0;
}

std::wstring PathKey(std::wstring path) {
  std::replace(path.begin(), path.end(), L'/', L'\\');
  while (path.size() > windows_path::RootLength(path) && path.back() == L'\\') path.pop_back();
  for (wchar_t& c : path) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
  return path;
}
