// What kelvor-java-list prints: text for people (CR LF lines), JSON for scripts (UTF-8).
#pragma once

#include <string>
#include <vector>

#include "discovery/java_report.h"

std::wstring ListText(const std::vector<OfferedJava>& offered);
std::string ListJson(const std::vector<OfferedJava>& offered);

std::wstring ReportText(const JavaReport& report);
std::string ReportJson(const JavaReport& report);

// A trial start of a Java, and the saved settings it was taken from (their heap, and where they
// came from).
std::wstring TrialText(const JavaTrial& trial, const SavedSettings& saved);
std::string TrialJson(const JavaTrial& trial, const SavedSettings& saved);

// `reason` is the validation's, used when `accepted` is false.
std::wstring CheckText(const std::wstring& path, bool accepted, const std::wstring& reason);
std::string CheckJson(const std::wstring& path, bool accepted, const std::wstring& reason);
