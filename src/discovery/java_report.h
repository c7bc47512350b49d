// An account of the Java discovery for support: what became of every registered home and place
// of the bundled runtime, and the Java homes other tools find that the window does not offer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "discovery/saved_choice.h"
#include "javainfo/executable_machine.h"
#include "javainfo/java_candidate.h"

// Where an entry of the window's list comes from.
enum class JavaOrigin { NoneChosen, Installation, RegistryView64, RegistryView32 };

struct OfferedJava {
  JavaCandidate candidate;
  JavaOrigin origin = JavaOrigin::NoneChosen;
  Machine machine = Machine::Unknown;  // of java.exe; Unknown for the default entry
  MachineFit fit = MachineFit::Unknown;
};

// The window's list, in its order (FindJavaInstallations with the default entry), each entry
// with its origin and the machine its java.exe is built for.
std::vector<OfferedJava> ListOfferedJava(std::int32_t minimumMajor);

enum class HomeOutcome {
  Listed,
  BelowMinimum,
  KeyUnreadable,
  NameTooLong,
  NoSubPathKey,
  NoHomeValue,
  HomeMissing,  // the registered folder does not exist
  NoJavaw,
  NoFolder,     // a place of the bundled runtime that is not a folder
  NotLookedAt,  // a later place of the bundled runtime, after the first was found
};

// A fixed word for scripts ("listed", "below-minimum", ...).
const wchar_t* OutcomeCode(HomeOutcome outcome);

// One registered home, or one place of the bundled runtime.
struct RegisteredHome {
  std::wstring place;  // registry key (with its value name) or the runtime's bin folder
  std::wstring view;   // "64-bit" or "32-bit" registry view; empty for the bundled runtime
  std::wstring home;   // empty when none could be read
  HomeOutcome outcome = HomeOutcome::Listed;
  std::wstring version;                // the version text identified, when it got that far
  std::wstring entry;                  // the display name in the list, when listed
  std::wstring reason;                 // why it was left out; empty when listed
  Machine machine = Machine::Unknown;  // of the home's bin\java.exe
  MachineFit fit = MachineFit::Unknown;
};

// The registered home or runtime place is a folder that exists, so its machine was read.
bool HasHome(const RegisteredHome& entry);

// A Java home found where other Java tools look, which the window does not offer.
struct UnofferedHome {
  std::wstring home;
  std::vector<std::wstring> foundBy;  // the names of the JavaPlaces rows that found it
  std::wstring javaPath;              // what to pick with Browse
  std::wstring version;               // from its release file; empty without one
  bool accepted = false;              // passes the check the window makes on OK
  std::wstring reason;
  std::wstring use;  // how to use it anyway
  Machine machine = Machine::Unknown;
  MachineFit fit = MachineFit::Unknown;
};

// JAVA_HOME or JDK_HOME as set: a Java home, or why not.
struct HomeVariable {
  std::wstring name;
  std::wstring value;
  std::wstring problem;  // empty: a Java home with bin\javaw.exe
};

struct JavaReport {
  std::int32_t minimumMajor = 0;
  Machine systemMachine = Machine::Unknown;  // the machine Windows runs on
  std::vector<OfferedJava> offered;
  std::vector<RegisteredHome> registered;
  std::vector<HomeVariable> variables;
  std::vector<UnofferedHome> unoffered;
  SavedJava saved;  // filled by the tool from the saved settings, after the walk
};

// Walks the sources the window uses, checks JAVA_HOME and JDK_HOME, then walks the places other
// Java finders look (JavaPlaces).
JavaReport BuildJavaReport(std::int32_t minimumMajor);
