// The places other Java finders look for Java homes, one row each, and the search over them.
// The support report lists what they find that the window does not offer; a place a user names
// next is one more row.
#pragma once

#include <string>
#include <vector>

enum class PlaceKind {
  Variable,       // the environment variable `where` names a Java home
  PathBins,       // a bin folder on the list in the environment variable `where`
  Folders,        // the folder pattern `where`, below
  UninstallKeys,  // an installed program's InstallLocation (joined with `where` when not empty)
};

// A folder pattern: each %NAME% is the environment variable (a row whose variable is not set
// finds nothing); a part "*" is every folder there, "prefix*" every folder whose name starts so;
// a last part "**" is every folder there or, below one that is no Java home, every folder in it.
struct JavaPlace {
  const wchar_t* name;  // what foundBy says; empty: the folder searched, as the pattern expands
  PlaceKind kind;
  const wchar_t* where;
  bool stablePath = false;  // its path survives updates: it names a home found otherwise too
};

// Every row, in the order searched.
const std::vector<JavaPlace>& JavaPlaces();

struct FoundHome {
  std::wstring home;
  std::vector<std::wstring> foundBy;  // each finder once, in the order found
};

// Walks `places`; a home found several ways, whatever path leads to it, is one entry.
std::vector<FoundHome> FindHomesInPlaces(const std::vector<JavaPlace>& places);

// The same path as Windows compares them, or two paths to one folder (a link, a short name).
bool SameFolder(const std::wstring& a, const std::wstring& b);
// A folder with bin\java.exe.
bool IsJavaHome(const std::wstring& folder);
// Windows compares paths ignoring case; a trailing separator names the same folder.
std::wstring PathKey(std::wstring path);
