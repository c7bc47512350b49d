// Which arguments set which command-line switch.
#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseCommandLine, OnlyExactOptionsAfterDashOrSlash) {
  const struct {
    std::vector<std::wstring> arguments;
    bool fromKelvor;
    bool settingsFile;
  } cases[] = {
      {{L"prog.exe"}, false, false},
      {{}, false, false},
      {{L"prog.exe", L"-p"}, false, true},
      {{L"prog.exe", L"/p"}, false, true},
      {{L"prog.exe", L"-P"}, false, false},
      {{L"prog.exe", L"p"}, false, false},
      {{L"prog.exe", L"-pp"}, false, false},
      {{L"prog.exe", L"/from_kelvor", L"-p"}, true, true},
      {{L"prog.exe", L"-from_kelvor"}, true, false},
      {{L"prog.exe", L"-from_kelvor=1"}, false, false},
      {{L"prog.exe", L"-from_kelvorX"}, false, false},
      {{L"prog.exe", L"/From_Kelvor"}, false, false},
      {{L"prog.exe", L"-", L"/", L""}, false, false},
      {{L"prog.exe", L"--p"}, false, false},
      {{L"prog.exe", L"-p", L"-p", L"bare"}, false, true},
      {{L"-p"}, false, false},  // the program's own name is never an option
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "arguments: " << c.arguments.size()
                                    << (c.arguments.size() > 1 ? " second: " : "")
                                    << (c.arguments.size() > 1 ? c.arguments[1] : L""));
    CommandLineOptions options;
    ParseCommandLine(c.arguments, options);
    EXPECT_EQ(options.StartedFromKelvor, c.fromKelvor);
    EXPECT_EQ(options.UseSettingsFile, c.settingsFile);
  }
}

TEST(ParseCommandLine, NeverClearsASwitchAlreadySet) {
  CommandLineOptions options;
  options.StartedFromKelvor = true;
  ParseCommandLine({L"prog.exe", L"-p"}, options);
  EXPECT_TRUE(options.StartedFromKelvor);
  EXPECT_TRUE(options.UseSettingsFile);
}

}  // namespace
