// The program's command-line switches and how they are read from the argument vector.
#pragma once

#include <string>
#include <vector>

struct CommandLineOptions {
  bool StartedFromKelvor = false;  // "from_kelvor": tell the user to restart Kelvor after a save
  bool UseSettingsFile = false;  // "p": the settings file inside the installation, not the registry
};

// `arguments` is the whole vector, program name first; that first entry is never an option.
// Unknown, mis-cased or bare arguments are ignored without a word.
void ParseCommandLine(const std::vector<std::wstring>& arguments, CommandLineOptions& options);
