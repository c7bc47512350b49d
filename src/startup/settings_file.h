// The settings file "Kelvor_ss" of an installation: where it lies, reading it and writing it.
#pragma once

#include <cstddef>
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

// Writes the content to SettingsFilePath as UTF-8 without a mark, with CR LF line ends, through
// a file beside it that then replaces it, so a failure leaves the old file whole and no other
// file behind. False after appending to `errorText`.
bool SaveSettingsToFile(const StartupSettings& settings, std::wstring& errorText);
