// The settings file "Kelvor_ss" of an installation: where it lies, reading it and writing it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "startup/startup_settings.h"

inline constexpr std::size_t kMaxSettingsKeyLength = 99;
inline constexpr std::size_t kMaxSettingsValueLength = 999;

// Sets BaseDirectory (two levels above the program's folder) and SettingsFilePath, then reads
// the file. False after appending to `errorText`.
bool LoadSettingsFromFile(StartupSettings& settings, std::wstring& errorText);

// Reads the entries of a file opened for reading, from its current position. Returns 0, or 22
// when the file starts with a UTF-16 big-endian mark (nothing is read then). A read error part
// way ends the entries like the end of the file.
int ReadSettingsFile(StartupSettings& settings, std::FILE* file);

// Applies the "key:value" entries of decoded text (LF line ends) to `settings`.
void ReadSettingsText(StartupSettings& settings, const std::wstring& text);

// The file's content with LF line ends, in the fixed order of lines.
std::wstring SettingsFileContent(const StartupSettings& settings);

// What the platform tells a save about the settings file.
struct SaveFacts {
  bool exists = false;  // the name leads to a file, through any links
  bool isLink = false;  // the name itself is a link
  bool readOnly = false;
  std::uint32_t linkCount = 1;        // the file's names in folders (hard links)
  bool folderRefusesNewFile = false;  // a new file beside it was denied or write-protected
};
enum class SaveWay {
  Refuse,         // nothing is written
  MoveIntoPlace,  // no file yet: a new file beside the name is moved to it
  ReplaceBeside,  // a new file beside the file replaces it, which keeps the file's identity
  WriteInPlace,   // the file itself is overwritten, its new length taken first
};
// Which way a save goes. The file that a link leads to is the one saved, in its own folder.
SaveWay ChooseSaveWay(const SaveFacts& facts);

// Writes the content as UTF-8 without a mark, with CR LF line ends, to the file that
// SettingsFilePath leads to, the way ChooseSaveWay picks, so that a failure leaves the old
// content whole and no other file behind. False after appending to `errorText`.
bool SaveSettingsToFile(const StartupSettings& settings, std::wstring& errorText);
