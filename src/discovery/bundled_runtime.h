// The Java runtime that may ship inside the program's own installation.
#pragma once

#include <vector>

#include "javainfo/java_candidate.h"

// Appends the "Bundled OpenJDK" candidate when <start>\bundled\java\bin or, failing that,
// <three above start>\bundles\windows\bundled\java\bin is a directory, where <start> is the
// parent of the program's folder.
void FindRuntimeInInstallation(std::vector<JavaCandidate>& candidates);
