// The settings file "Kelvor_ss" of an installation: where it lies, reading it and writing it.
#include "startup/settings_file.h"

#include <cerrno>
#include <string_view>

#include "common/text_encoding.h"
#include "common/windows_path.h"
#include "platform/files.h"
#include "startup/error_text.h"

namespace {

constexpr wchar_t kSettingsFileName[] = L"Kelvor_ss";
constexpr int kLevelsAboveProgram = 3;  // the program's file, bin\win, then bin
// Nothing sane comes near this; the cap only keeps a wrong file from exhausting memory.
constexpr std::size_t kSettingsFileLimit = 64u * 1024u * 1024u;
constexpr int kTemporaryFileAttempts = 100;

bool IsBlank(wchar_t character) {
  return character == L' ' || character == L'\t' || character == L'\n' || character == L'\r' ||
         character == L'\v' || character == L'\f';
}

std::wstring QuotedPath(const std::wstring& path) {
  return L"\"" + path + L"\"";
}

bool ReportUnwritable(const std::wstring& path, int errorNumber, std::wstring& errorText) {
  errorText += L"Unable to open settings file " + QuotedPath(path) + L" for writing.\n\n";
  AppendRuntimeErrorText(errorNumber, errorText);
  return false;
}

void ApplyEntry(StartupSettings& settings, std::wstring_view key, const std::wstring& value) {
  if (key == L"Arguments") {
    settings.ArgumentsPresent = true;
    settings.Arguments = value;
    settings.ParseArguments(value);
  } else if (key == L"Java") {
    settings.SetJava(value, true);
  } else if (key == L"Scale") {
    settings.Scale = value;
  } else {
    for (const StoredSwitch& stored : kStoredSwitches) {
      if (key == stored.key) settings.*stored.field = ReadsAsYes(value);
    }
  }  // "Antialias" and unknown keys are accepted and ignored
}

void AppendLine(std::wstring& content, const wchar_t* key, const std::wstring& value) {
  content += key;
  content += L':';
  content += value;
  content += L'\n';
}

bool LocateSettingsFile(StartupSettings& settings, std::wstring& errorText) {
  std::wstring programPath;
  const std::uint32_t pathError = platform::GetProgramPath(programPath);
  if (pathError != 0) {
    errorText += L"Error loading settings. Could not get module filename.\n\n";
    AppendSystemErrorText(static_cast<std::int32_t>(pathError), errorText);
    return false;
  }
  std::wstring current = programPath;
  for (int level = 0; level < kLevelsAboveProgram; ++level) {
    std::wstring parent = windows_path::Parent(current);
    if (parent.empty() || !windows_path::HasRelativePart(current)) {
      errorText += L"Error loading settings. Kelvor directory structure not as expected.";
      return false;
    }
    current = std::move(parent);
  }
  settings.BaseDirectory = current;
  settings.SettingsFilePath = windows_path::Join(current, kSettingsFileName);
  return true;
}

}  // namespace

void ReadSettingsText(StartupSettings& settings, const std::wstring& text) {
  const std::size_t size = text.size();
  std::size_t position = 0;
  while (position < size) {
    // The key runs to the next colon, across line ends; none there, or an empty key, ends it all.
    const std::size_t colon = text.find(L':', position);
    if (colon == std::wstring::npos || colon == position) return;
    const std::size_t valueStart = colon + 1;
    std::size_t lineEnd = text.find(L'\n', valueStart);
    if (lineEnd == std::wstring::npos) lineEnd = size;
    // Past a limit the whole entry is dropped: a cut-off value could be a wrong path or heap.
    const bool withinLimits = colon - position <= kMaxSettingsKeyLength &&
                              lineEnd - valueStart <= kMaxSettingsValueLength;
    if (withinLimits && lineEnd > valueStart) {
      ApplyEntry(settings, std::wstring_view(text).substr(position, colon - position),
                 text.substr(valueStart, lineEnd - valueStart));
    }
    position = lineEnd;
    while (position < size && IsBlank(text[position])) ++position;
  }
}

std::wstring SettingsFileContent(const StartupSettings& settings) {
  std::wstring content;
  AppendLine(content, L"Arguments", settings.Arguments);
  if (!settings.Java.empty()) AppendLine(content, L"Java", settings.Java);
  if (!settings.Scale.empty()) AppendLine(content, L"Scale", settings.Scale);
  for (const StoredSwitch& stored : kStoredSwitches) {
    AppendLine(content, stored.key, settings.*stored.field ? L"Yes" : L"No");
  }
  return content;
}

int ReadSettingsFile(StartupSettings& settings, std::FILE* file) {
  std::string bytes;
  bool truncated = false;
  // A read error part way keeps what came before it, as the end of the file would.
  platform::ReadFileBytes(file, kSettingsFileLimit, bytes, truncated);
  std::wstring text;
  const int decodeError = DecodeTextFile(bytes, text);
  if (decodeError != 0) return decodeError;
  ReadSettingsText(settings, text);
  return 0;
}

bool LoadSettingsFromFile(StartupSettings& settings, std::wstring& errorText) {
  if (!LocateSettingsFile(settings, errorText)) return false;
  platform::UniqueFile file;
  int openError = platform::OpenFile(settings.SettingsFilePath, platform::FileAccess::Read, file);
  // A UTF-16 big-endian file is refused as an open failure, as the runtime's text mode does.
  if (openError == 0 && file) openError = ReadSettingsFile(settings, file.get());
  if (openError != 0 || !file) {
    errorText +=
        L"Could not open file " + QuotedPath(settings.SettingsFilePath) + L" for reading.\n\n";
    AppendRuntimeErrorText(openError, errorText);
    return false;
  }
  return true;
}

bool SaveSettingsToFile(const StartupSettings& settings, std::wstring& errorText) {
  const std::wstring content = SettingsFileContent(settings);
  std::wstring withCarriageReturns;
  withCarriageReturns.reserve(content.size() + 16);
  for (const wchar_t character : content) {
    if (character == L'\n') withCarriageReturns += L'\r';
    withCarriageReturns += character;
  }
  const std::string bytes = EncodeUtf8(withCarriageReturns);

  // The new content goes to a file of its own beside the old one and then takes its place in one
  // step, so a failure at any point leaves the user's earlier settings whole.
  const std::wstring& path = settings.SettingsFilePath;
  std::uint32_t attributes = 0;
  const bool exists = platform::GetFileAttributes(path, attributes);
  // Windows refuses to open a read-only file for writing; Wine run by root would let the move
  // replace it, so both are told the same.
  int error = exists && (attributes & platform::kFileAttributeReadOnly) != 0 ? EACCES : 0;
  std::wstring temporaryPath;
  platform::UniqueFile file;
  for (int attempt = 1; error == 0 && !file; ++attempt) {
    // Names left by a crash are skipped, never reused: another copy may be writing one.
    temporaryPath = path + L".saving-" + std::to_wstring(attempt) + L".tmp";
    error = platform::CreateNewFile(temporaryPath, file);
    if (error == EEXIST && attempt < kTemporaryFileAttempts) error = 0;
  }
  if (error != 0) return ReportUnwritable(path, error, errorText);

  error = platform::WriteFileBytes(file.get(), bytes);
  const int finishError = platform::FinishFile(file);
  if (error == 0) error = finishError;
  if (error != 0) {
    platform::RemoveFile(temporaryPath);
    errorText += L"Error writing settings file " + QuotedPath(path) + L".\n\n";
    AppendRuntimeErrorText(error, errorText);
    return false;
  }
  // A file the user hid stays hidden; read-only was refused above.
  const std::uint32_t kept =
      attributes & (platform::kFileAttributeHidden | platform::kFileAttributeSystem);
  if (exists && kept != 0) platform::ChangeFileAttributes(temporaryPath, kept);
  // Held open by another program, or a folder in its place: the file cannot be written today.
  error = platform::MoveFileReplacing(temporaryPath, path);
  if (error != 0) {
    platform::RemoveFile(temporaryPath);
    return ReportUnwritable(path, error, errorText);
  }
  return true;
}
