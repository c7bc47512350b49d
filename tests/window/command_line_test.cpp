// Which arguments set which command-line switch.
#include "startup/command_line.h"

#include <gtest/gtest.h>

TEST(ParseCommandLine, OnlyExactOptionsAfterDashOrSlash) {
  // Each row expects: started from Kelvor, then use the settings file.
  const std::pair<std::vector<std::wstring>, std::pair<bool, bool>> cases[] = {
      {{L"prog", L"/p"}, {false, true}},
      {{L"prog", L"/from_kelvor", L"-p"}, {true, true}},
      {{L"prog", L"p", L"-P", L"-pp", L"--p", L"-", L"", L"/From_Kelvor", L"-from_kelvorX"}, {}},
      {{L"-p"}, {}},  // the program's own name is never an option
  };
  for (const auto& [arguments, expected] : cases) {
    CommandLineOptions options;
    ParseCommandLine(arguments, options);
    EXPECT_EQ(std::pair(options.StartedFromKelvor, options.UseSettingsFile), expected)
        << arguments.back();
  }
}
