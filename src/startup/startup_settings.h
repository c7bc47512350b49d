// The one record of Kelvor's startup settings, and the rules that carry the maximum memory and
// the font-check switch inside the argument string.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct StartupSettings {
  bool Verbose = false;
  bool AllowUIScale = false;
  bool DisableDD2 = false;
  bool KeepWS = false;
  bool SkipFontCheck = false;
  bool LegacyMS2 = true;  // the only switch that is on until a store says otherwise
  bool PreferIPv4 = false;
  std::int32_t MaxMemoryMB = 0;  // 0 or less: Java picks its own heap
  bool ArgumentsPresent = false;
  std::wstring Arguments;
  std::wstring Java;
  std::wstring Scale;
  std::wstring BaseDirectory;     // settings-file mode only
  std::wstring SettingsFilePath;  // empty means the settings came from the registry

  void SetSettings(bool verbose, bool allowUIScale, bool disableDD2, bool keepWS,
                   bool skipFontCheck, bool legacyMS2, bool preferIPv4, std::int32_t maxMemoryMB,
                   const std::wstring& java, const std::wstring& scale);
  void SetJava(const std::wstring& text, bool resolveRelative);
  void ParseArguments(const std::wstring& text);
  void RebuildArguments();
};

// The six switches that both stores keep as "Yes"/"No" under their own key, in the order both
// stores read and write them.
struct StoredSwitch {
  const wchar_t* key;
  bool StartupSettings::*field;
};
inline constexpr std::array<StoredSwitch, 6> kStoredSwitches = {{
    {L"Verbose", &StartupSettings::Verbose},
    {L"AllowUIScale", &StartupSettings::AllowUIScale},
    {L"DisableDD2", &StartupSettings::DisableDD2},
    {L"KeepWS", &StartupSettings::KeepWS},
    {L"LegacyMS2", &StartupSettings::LegacyMS2},
    {L"PreferIPv4", &StartupSettings::PreferIPv4},
}};

// The maximal runs of characters not in `delimiters`, in order; never an empty piece.
std::vector<std::wstring> SplitTokens(const std::wstring& text, const std::wstring& delimiters);

// True when a stored yes/no text means yes: it starts with "Y" or "y".
bool ReadsAsYes(const std::wstring& text);
