// Which arguments set which command-line switch.
#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseCommandLine, OnlyExactOptionsAfterDashOrSlash) {
  const struct {
    std::vector<std::wstring> arguments;
    bool fromKelvor, settingsFile;
  } cases[] = {
      {{L"prog"}, false, false},
      {{L"prog", L"-p"}, false, true},
      {{L"prog", L"/p", L"-p"}, false, true},
      {{L"prog", L"/from_kelvor", L"-p"}, true, true},
      {{L"prog", L"-P", L"p", L"-pp", L"--p", L"-", L"/", L""}, false, false},
      {{L"prog", L"-from_kelvor=1", L"-from_kelvorX", L"/From_Kelvor"}, false, false},
      {{L"-p"}, false, false},  // the program's own name is never an option
  };
  for (const auto& c : cases) {
    CommandLineOptions options;
    ParseCommandLine(c.arguments, options);
    EXPECT_EQ(options.StartedFromKelvor, c.fromKelvor) << c.arguments.back();
    EXPECT_EQ(options.UseSettingsFile, c.settingsFile) << c.arguments.back();
  }
}

}  // namespace
