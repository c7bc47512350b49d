// Reads "-from_kelvor" and "-p" (or with "/") from the argument vector.
#include "startup/command_line.h"

void ParseCommandLine(const std::vector<std::wstring>& arguments, CommandLineOptions& options) {
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    if (argument.empty() || (argument[0] != L'-' && argument[0] != L'/')) continue;
    const std::wstring name = argument.substr(1);
    if (name == L"from_kelvor") {
      options.StartedFromKelvor = true;
    } else if (name == L"p") {
      options.UseSettingsFile = true;
    }
  }
}
