// Renders the list, the report and a check, as text and as JSON.
#include "java_list/java_list_output.h"

#include <nlohmann/json.hpp>
#include <tuple>

#include "common/text_encoding.h"

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
  return text;
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
               {"unoffered", std::move(unoffered)}});
}

std::wstring CheckText(const std::wstring& path, bool accepted, const std::wstring& reason) {
  return L"\"" + path + L"\" " + (accepted ? L"passes every Java executable check" : reason) +
         L".\r\n";
}

std::string CheckJson(const std::wstring& path, bool accepted, const std::wstring& reason) {
  return Dump(
      {{"path", Utf8(path)}, {"accepted", accepted}, {"reason", Utf8(accepted ? L"" : reason)}});
}

std::size_t ConsolePieceLength(std::wstring_view rest, std::size_t limit) {
  if (rest.size() <= limit) return rest.size();
  const auto last = static_cast<std::uint32_t>(rest[limit - 1]);
  return last >= 0xD800 && last <= 0xDBFF && limit > 1 ? limit - 1 : limit;
}
