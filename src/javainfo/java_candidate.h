// One Java executable that the settings window can offer.
#pragma once

#include <string>

#include "javainfo/java_version.h"

// Display name of the entry that stands for "no Java chosen"; also how the ordering finds it.
extern const std::wstring kDefaultJavaDisplayName;

struct JavaCandidate {
  std::wstring javawPath;
  std::wstring javaPath;  // what the window stores when this entry is chosen
  std::wstring displayName;
  JavaVersion version;
  std::wstring vendor;
  bool isJdk = false;
  bool is64Bit = false;
  bool inPreferredRange = false;
};

// The entry that stands for no chosen executable: empty paths, vendor "Oracle", both flags set.
JavaCandidate MakeDefaultCandidate();
