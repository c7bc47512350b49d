// What kelvor-java-list prints: text for people (CR LF lines), JSON for scripts (UTF-8).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
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

// Windows 7's console host refuses a WriteConsoleW of more than about 26 000 characters (its
// buffer shares a 64 KB heap), so a console gets pieces of at most this many UTF-16 units.
inline constexpr std::size_t kConsolePiece = 8192;
// The length of the next piece of `rest`: at most `limit` units, one fewer rather than end
// between the two halves of a surrogate pair.
std::size_t ConsolePieceLength(std::wstring_view rest, std::size_t limit = kConsolePiece);
