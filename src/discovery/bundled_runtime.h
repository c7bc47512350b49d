// The Java runtime that may ship inside the program's own installation.
#pragma once

#include <string>
#include <vector>

#include "javainfo/java_candidate.h"

// Appends the "Bundled OpenJDK" candidate when <start>\bundled\java\bin or, failing that,
// <three above start>\bundles\windows\bundled\java\bin is a directory, where <start> is the
// parent of the program's folder.
void FindRuntimeInInstallation(std::vector<JavaCandidate>& candidates);

// The runtime's bin folder in each layout, in the order tried: the installed layout, then the
// build tree's. A layout whose steps up reach a root first is left out, both are when the
// program's own path is unknown.
std::vector<std::wstring> RuntimeBinPlaces();

// The index of the first place that is a directory; places.size() when none is.
std::size_t FirstRuntimeBin(const std::vector<std::wstring>& places);

// The "Bundled OpenJDK" candidate of a runtime bin folder; neither executable is looked for.
JavaCandidate IdentifyBundledRuntime(const std::wstring& binDirectory);
