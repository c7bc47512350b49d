// The settings file "Kelvor_ss" of an installation: where it lies, reading it and writing it.
#include "startup/settings_file.h"

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
// A final path is used without its "\\?\" prefix only when its longest temporary file's name,
// ".saving-100.tmp" more, still fits the 260 characters of a plain path.
constexpr std::size_t kPlainPathLimit = 260 - 15;

bool IsBlank(wchar_t character) {
  return character == L' ' || character == L'\t' || character == L'\n' || character == L'\r' ||
         character == L'\v' || character == L'\f';
}

std::wstring QuotedPath(const std::wstring& path) {
  return L"\"" + path + L"\"";
}

// Both take a Win32 code and show the runtime's number for it, as its own file calls would.
bool ReportUnwritable(const std::wstring& path, std::uint32_t error, std::wstring& errorText) {
  errorText += L"Unable to open settings file " + QuotedPath(path) + L" for writing.\n\n";
  AppendRuntimeErrorText(RuntimeErrorNumber(error), errorText);
  return false;
}

bool ReportWriteFailure(const std::wstring& path, std::uint32_t error, std::wstring& errorText) {
  errorText += L"Error writing settings file " + QuotedPath(path) + L".\n\n";
  AppendRuntimeErrorText(RuntimeErrorNumber(error), errorText);
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

// What a save needs to know of the file `path` names; returns where the file itself lies,
// wherever links lead (the name itself when there is no file).
std::wstring LookAtSettingsFile(const std::wstring& path, SaveFacts& facts,
                                std::uint32_t& attributes) {
  const bool named = platform::GetFileAttributes(path, attributes);
  facts.isLink = named && (attributes & platform::kFileAttributeReparsePoint) != 0;
  platform::FileFacts file;
  const std::uint32_t inspectError = platform::InspectFile(path, file);
  std::wstring target = path;
  if (inspectError == 0) {
    facts.exists = true;
    target = windows_path::WithoutLongPathPrefix(file.finalPath, kPlainPathLimit);
    attributes = file.attributes;
    facts.linkCount = file.linkCount;
  } else {
    // Some network file systems keep the final name to themselves; the name is then the file.
    facts.exists = named && inspectError != platform::file_error::kFileNotFound &&
                   inspectError != platform::file_error::kPathNotFound && !facts.isLink;
  }
  facts.readOnly = facts.exists && (attributes & platform::kFileAttributeReadOnly) != 0;
  return target;
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

SaveWay ChooseSaveWay(const SaveFacts& facts) {
  // A link that leads nowhere stays a link: a new file would take its place.
  if (!facts.exists)
    return facts.isLink || facts.folderRefusesNewFile ? SaveWay::Refuse : SaveWay::MoveIntoPlace;
  // Windows refuses to open a read-only file for writing; Wine run by root would not.
  if (facts.readOnly) return SaveWay::Refuse;
  // A replaced file would leave its other names on the old content.
  if (facts.linkCount > 1 || facts.folderRefusesNewFile) return SaveWay::WriteInPlace;
  return SaveWay::ReplaceBeside;
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

  const std::wstring& path = settings.SettingsFilePath;
  SaveFacts facts;
  std::uint32_t attributes = 0;
  const std::wstring target = LookAtSettingsFile(path, facts, attributes);
  SaveWay way = ChooseSaveWay(facts);

  std::wstring temporaryPath;
  std::uint32_t error = 0;
  if (way == SaveWay::MoveIntoPlace || way == SaveWay::ReplaceBeside) {
    // A file the user hid stays hidden.
    const std::uint32_t kept =
        facts.exists
            ? attributes & (platform::kFileAttributeHidden | platform::kFileAttributeSystem)
            : 0;
    bool created = false;
    for (int attempt = 1; !created; ++attempt) {
      // Names left by a crash are skipped, never reused or read: another copy may be writing one.
      temporaryPath = target + L".saving-" + std::to_wstring(attempt) + L".tmp";
      error = platform::WriteNewFile(temporaryPath, bytes, kept, created);
      if (created || error != platform::file_error::kFileExists ||
          attempt == kTemporaryFileAttempts)
        break;
    }
    if (created && error != 0) return ReportWriteFailure(path, error, errorText);
    facts.folderRefusesNewFile = error == platform::file_error::kAccessDenied ||
                                 error == platform::file_error::kWriteProtect;
    if (error != 0 && !facts.folderRefusesNewFile) return ReportUnwritable(path, error, errorText);
    if (error != 0) way = ChooseSaveWay(facts);
  }

  switch (way) {
    case SaveWay::Refuse:
      if (error == 0)
        error = facts.exists ? platform::file_error::kAccessDenied
                             : platform::file_error::kFileNotFound;
      return ReportUnwritable(path, error, errorText);
    case SaveWay::WriteInPlace: {
      bool opened = false;
      error = platform::WriteFileInPlace(target, bytes, opened);
      if (error == 0) return true;
      return opened ? ReportWriteFailure(path, error, errorText)
                    : ReportUnwritable(path, error, errorText);
    }
    case SaveWay::ReplaceBeside:
      error = platform::ReplaceFileKeepingIdentity(target, temporaryPath);
      // Gone since it was looked at, or removed by the replace itself: the move puts it back.
      if (error != platform::file_error::kFileNotFound &&
          error != platform::file_error::kUnableToMoveReplacement)
        break;
      [[fallthrough]];
    case SaveWay::MoveIntoPlace: error = platform::MoveFileReplacing(temporaryPath, target); break;
  }
  if (error == 0) return true;
  platform::RemoveFile(temporaryPath);
  // Both files are as they were: the old one could not be removed (held open, or denied).
  if (error == platform::file_error::kUnableToRemoveReplaced)
    error = platform::file_error::kAccessDenied;
  return ReportUnwritable(path, error, errorText);
}
