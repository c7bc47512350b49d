// Renders the list, the report and a check, as text and as JSON.
#include "java_list/java_list_output.h"

#include <cwchar>
#include <nlohmann/json.hpp>
#include <tuple>

#include "common/text_encoding.h"
#include "startup/error_text.h"

namespace {

// Keys keep the order written, so the system comes first and each entry reads name first.
using json = nlohmann::ordered_json;

std::string Utf8(const std::wstring& text) {
  return EncodeUtf8(text);
}

// Invalid UTF-8 cannot arise from EncodeUtf8, but a dump must never throw in a support tool.
std::string Dump(const json& value) {
  return value.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

const wchar_t* OriginText(JavaOrigin origin) {
  switch (origin) {
    case JavaOrigin::NoneChosen: break;
    case JavaOrigin::Installation: return L"in the installation";
    case JavaOrigin::RegistryView64: return L"64-bit view";
    case JavaOrigin::RegistryView32: return L"32-bit view";
  }
  return L"";
}

const char* OriginCode(JavaOrigin origin) {
  switch (origin) {
    case JavaOrigin::NoneChosen: return "none-chosen";
    case JavaOrigin::Installation: return "installation";
    case JavaOrigin::RegistryView64: return "registry-64";
    case JavaOrigin::RegistryView32: return "registry-32";
  }
  return "";
}

const char* FitCode(MachineFit fit) {
  switch (fit) {
    case MachineFit::Unknown: break;
    case MachineFit::Native: return "native";
    case MachineFit::Emulated: return "emulated";
    case MachineFit::Unsupported: return "unsupported";
  }
  return "unknown";
}

// "x64", "x64, runs emulated", "arm64, cannot run on this Windows" or "machine unknown".
std::wstring MachineWords(Machine machine, MachineFit fit) {
  if (machine == Machine::Unknown) return L"machine unknown";
  const std::wstring name = MachineName(machine);
  return fit == MachineFit::Emulated      ? name + L", runs emulated"
         : fit == MachineFit::Unsupported ? name + L", cannot run on this Windows"
                                          : name;
}

// "machine" and "runs" of an entry with a home.
template <typename Entry>
void AddMachine(const Entry& entry, json& into) {
  into["machine"] = Utf8(MachineName(entry.machine));
  into["runs"] = FitCode(entry.fit);
}

json OfferedJson(const std::vector<OfferedJava>& offered) {
  json entries = json::array();
  for (const OfferedJava& java : offered) {
    const auto& [candidate, origin] = std::tie(java.candidate, java.origin);
    json entry = {{"name", Utf8(candidate.displayName)}, {"origin", OriginCode(origin)}};
    if (origin != JavaOrigin::NoneChosen) {
      AddMachine(java, entry);
      entry.update({{"javaPath", Utf8(candidate.javaPath)},
                    {"javawPath", Utf8(candidate.javawPath)},
                    {"vendor", Utf8(candidate.vendor)},
                    {"kind", candidate.isJdk ? "kit" : "runtime"},
                    {"major", MajorVersion(candidate.version)},
                    {"preferred", candidate.inPreferredRange}});
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::wstring Joined(const std::vector<std::wstring>& parts) {
  std::wstring text;
  for (const std::wstring& part : parts) text += (text.empty() ? L"" : L", ") + part;
  return text;
}

const char* SavedStateCode(SavedJavaState state) {
  switch (state) {
    case SavedJavaState::NoneChosen: return "none-chosen";
    case SavedJavaState::Offered: return "offered";
    case SavedJavaState::NotOffered: return "not-offered";
    case SavedJavaState::Missing: return "missing";
  }
  return "";
}

std::wstring SavedText(const SavedJava& saved, Machine windows) {
  std::wstring text = L"\r\nThe saved Java, from " + saved.source + L":\r\n  ";
  if (!saved.loaded) return text + L"the settings could not be read: " + saved.error + L"\r\n";
  if (saved.state == SavedJavaState::NoneChosen)
    return text + L"none: the window shows [Default]\r\n";
  text += saved.path + L"  [" + MachineWords(saved.machine, FitOnWindows(saved.machine, windows)) +
          L"]\r\n    ";
  switch (saved.state) {
    case SavedJavaState::NoneChosen: break;
    case SavedJavaState::Offered:
      return text + L"the window selects its entry \"" + saved.entry + L"\"\r\n";
    case SavedJavaState::NotOffered:
      return text + L"not offered, so the window shows the path itself: " + saved.notOffered +
             L"\r\n    " +
             (saved.questioned.empty() ? L"OK accepts it"
                                       : L"OK questions it: it " + saved.questioned) +
             L"\r\n";
    case SavedJavaState::Missing: break;
  }
  text += L"no longer exists: the window shows the path itself and OK questions it\r\n";
  for (const LikelyUpdate& update : saved.likelyUpdates)
    text += L"    likely update (same vendor, major and machine): " + update.javaPath + L"  [" +
            MachineWords(update.machine, FitOnWindows(update.machine, windows)) + L"]" +
            (update.entry.empty() ? L"" : L", offered as \"" + update.entry + L"\"") + L"\r\n";
  if (saved.likelyUpdates.empty())
    text += L"    no home of the same vendor, major and machine beside it\r\n";
  return text;
}

json SavedJson(const SavedJava& saved) {
  json updates = json::array();
  for (const LikelyUpdate& update : saved.likelyUpdates)
    updates.push_back({{"javaPath", Utf8(update.javaPath)},
                       {"machine", Utf8(MachineName(update.machine))},
                       {"entry", Utf8(update.entry)}});
  return {{"source", Utf8(saved.source)},
          {"loaded", saved.loaded},
          {"error", Utf8(saved.error)},
          {"path", Utf8(saved.path)},
          {"machine", Utf8(MachineName(saved.machine))},
          {"state", SavedStateCode(saved.state)},
          {"entry", Utf8(saved.entry)},
          {"notOffered", Utf8(saved.notOffered)},
          {"questioned", Utf8(saved.questioned)},
          {"likelyUpdates", std::move(updates)}};
}

const char* TrialCode(const JavaTrial& trial) {
  using Outcome = platform::ProcessRun::Outcome;
  if (trial.javaPath.empty()) return "nothing-saved";
  if (trial.starts) return "starts";
  return trial.run.outcome == Outcome::NotStarted ? "not-started"
         : trial.run.outcome == Outcome::TimedOut ? "timed-out"
                                                  : "fails";
}

}  // namespace

std::wstring ListText(const std::vector<OfferedJava>& offered) {
  std::wstring text;
  for (const OfferedJava& java : offered) {
    const auto& [candidate, origin] = std::tie(java.candidate, java.origin);
    text += candidate.displayName + L"\t";
    // The default entry stands for no executable: vendor, kind and range would mean nothing.
    if (origin == JavaOrigin::NoneChosen) {
      text += L"no Java chosen: the setting stays empty\r\n";
      continue;
    }
    text += candidate.vendor + L"\t" + (candidate.isJdk ? L"kit" : L"runtime") + L"\t" +
            MachineWords(java.machine, java.fit) + L"\t" + OriginText(origin) + L"\t" +
            (candidate.inPreferredRange ? L"preferred" : L"not preferred") + L"\r\n";
  }
  return text;
}

std::string ListJson(const std::vector<OfferedJava>& offered) {
  return Dump(OfferedJson(offered));
}

std::wstring ReportText(const JavaReport& report) {
  std::wstring text =
      L"Windows runs on " + std::wstring(MachineName(report.systemMachine)) +
      (report.systemMachine == Machine::Arm64
           ? L": Java built for x86, or for x64 from Windows 11 on, runs emulated, more slowly"
           : L"") +
      L".\r\n\r\nThe settings window offers, in this order (Java " +
      std::to_wstring(report.minimumMajor) + L" or later):\r\n";
  for (const OfferedJava& java : report.offered) {
    text += L"  " + java.candidate.displayName +
            (java.origin == JavaOrigin::NoneChosen
                 ? L"  (no Java chosen)"
                 : L"  [" + MachineWords(java.machine, java.fit) + L"]") +
            L"\r\n";
  }

  text += L"\r\nRegistered Java homes and the places of the bundled runtime:\r\n";
  for (const RegisteredHome& entry : report.registered) {
    text += L"  " + entry.place + (entry.view.empty() ? L"" : L" (" + entry.view + L" view)") +
            L"\r\n    ";
    if (!entry.home.empty())
      text += L"home " + entry.home +
              (HasHome(entry) ? L" [" + MachineWords(entry.machine, entry.fit) + L"]" : L"") +
              L": ";
    text += entry.outcome == HomeOutcome::Listed ? L"listed as \"" + entry.entry + L"\""
                                                 : L"left out: " + entry.reason;
    text += L"\r\n";
  }
  if (report.registered.empty()) text += L"  none\r\n";

  text += L"\r\nJAVA_HOME and JDK_HOME:\r\n";
  for (const HomeVariable& variable : report.variables) {
    text += L"  " + variable.name + L" = \"" + variable.value + L"\": " +
            (variable.problem.empty() ? L"a Java home" : variable.problem) + L"\r\n";
  }
  if (report.variables.empty()) text += L"  neither is set\r\n";

  text += L"\r\nJava homes other Java tools find that the window does not offer:\r\n";
  for (const UnofferedHome& home : report.unoffered) {
    text += L"  " + home.home + L" (found by " + Joined(home.foundBy) + L")" +
            (home.version.empty() ? L"" : L", version " + home.version) + L" [" +
            MachineWords(home.machine, home.fit) + L"]\r\n    " + home.reason +
            L"\r\n    to use it anyway: " + home.use + L"\r\n";
  }
  if (report.unoffered.empty()) text += L"  none\r\n";
  return text + SavedText(report.saved, report.systemMachine);
}

std::string ReportJson(const JavaReport& report) {
  json registered = json::array();
  for (const RegisteredHome& entry : report.registered) {
    json item = {{"place", Utf8(entry.place)},     {"view", Utf8(entry.view)},
                 {"home", Utf8(entry.home)},       {"outcome", Utf8(OutcomeCode(entry.outcome))},
                 {"version", Utf8(entry.version)}, {"entry", Utf8(entry.entry)},
                 {"reason", Utf8(entry.reason)}};
    if (HasHome(entry)) AddMachine(entry, item);
    registered.push_back(std::move(item));
  }
  json variables = json::array();
  for (const HomeVariable& variable : report.variables) {
    variables.push_back({{"name", Utf8(variable.name)},
                         {"value", Utf8(variable.value)},
                         {"usable", variable.problem.empty()},
                         {"problem", Utf8(variable.problem)}});
  }
  json unoffered = json::array();
  for (const UnofferedHome& home : report.unoffered) {
    json foundBy = json::array();
    for (const std::wstring& finder : home.foundBy) foundBy.push_back(Utf8(finder));
    json item = {{"home", Utf8(home.home)},
                 {"foundBy", std::move(foundBy)},
                 {"javaPath", Utf8(home.javaPath)},
                 {"version", Utf8(home.version)},
                 {"accepted", home.accepted},
                 {"reason", Utf8(home.reason)},
                 {"use", Utf8(home.use)}};
    AddMachine(home, item);
    unoffered.push_back(std::move(item));
  }
  return Dump({{"system", {{"machine", Utf8(MachineName(report.systemMachine))}}},
               {"minimumMajor", report.minimumMajor},
               {"offered", OfferedJson(report.offered)},
               {"registered", std::move(registered)},
               {"variables", std::move(variables)},
               {"unoffered", std::move(unoffered)},
               {"savedJava", SavedJson(report.saved)}});
}

std::wstring CheckText(const std::wstring& path, bool accepted, const std::wstring& reason) {
  return L"\"" + path + L"\" " + (accepted ? L"passes every Java executable check" : reason) +
         L".\r\n";
}

std::string CheckJson(const std::wstring& path, bool accepted, const std::wstring& reason) {
  return Dump(
      {{"path", Utf8(path)}, {"accepted", accepted}, {"reason", Utf8(accepted ? L"" : reason)}});
}

std::wstring TrialText(const JavaTrial& trial, const SavedSettings& saved) {
  if (!saved.loaded) return L"The settings could not be read: " + saved.error + L"\r\n";
  if (trial.javaPath.empty())
    return L"No Java is saved (the window shows [Default]) and no PATH was given: nothing to "
           L"try.\r\n";
  std::wstring text = L"\"" + trial.javaPath + L"\" ";
  const std::string code = TrialCode(trial);
  if (code == "starts") {
    text += L"starts: " + trial.versionLine + L"\r\n";
  } else if (code == "not-started") {
    text += L"could not be started: " +
            DescribeSystemError(static_cast<std::int32_t>(trial.run.startError)) + L"\r\n";
  } else if (code == "timed-out") {
    text += L"did not finish within " + std::to_wstring(kTrialTimeoutMs / 1000) +
            L" seconds and was ended\r\n";
  } else {
    // Windows ends a program it cannot load with an NTSTATUS, such as 0xC0000135 for a
    // missing DLL, which reads only in hexadecimal.
    wchar_t status[16] = {};
    if (trial.run.exitCode >= 0xC0000000)
      std::swprintf(status, 16, L" (0x%08X)", trial.run.exitCode);
    text += L"does not start: exit code " + std::to_wstring(trial.run.exitCode) + status + L"\r\n";
    for (const std::wstring& line : trial.errorLines) text += L"  " + line + L"\r\n";
  }
  if (code != "not-started" && !trial.run.inJob)
    text += L"  not in a job of its own (" +
            DescribeSystemError(static_cast<std::int32_t>(trial.run.jobError)) +
            L"): before Windows 8 a program inside another job cannot be given one, so only the "
            L"time limit ended it, and what it started itself may have outlived it\r\n";
  text += L"  ran: " + trial.commandLine + L" (" +
          (saved.settings.MaxMemoryMB > 0 ? L"the maximum heap" : L"no maximum heap") +
          L" saved in " + saved.source + L")\r\n";
  return text;
}

std::string TrialJson(const JavaTrial& trial, const SavedSettings& saved) {
  json lines = json::array();
  for (const std::wstring& line : trial.errorLines) lines.push_back(Utf8(line));
  return Dump({{"source", Utf8(saved.source)},
               {"loaded", saved.loaded},
               {"error", Utf8(saved.error)},
               {"javaPath", Utf8(trial.javaPath)},
               {"maxMemoryMB", saved.settings.MaxMemoryMB},
               {"commandLine", Utf8(trial.commandLine)},
               {"outcome", TrialCode(trial)},
               {"starts", trial.starts},
               {"exitCode", trial.run.exitCode},
               {"startError", trial.run.startError},
               {"versionLine", Utf8(trial.versionLine)},
               {"errorLines", std::move(lines)},
               {"inJob", trial.run.inJob},
               {"jobError", trial.run.jobError}});
}

std::size_t ConsolePieceLength(std::wstring_view rest, std::size_t limit) {
  if (rest.size() <= limit) return rest.size();
  const auto last = static_cast<std::uint32_t>(rest[limit - 1]);
  return last >= 0xD800 && last <= 0xDBFF && limit > 1 ? limit - 1 : limit;
}
