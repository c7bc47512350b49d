// Every control of the settings window: identifiers, captions and the order they are created in.
#pragma once

#include <array>
#include <cstddef>

constexpr int IDC_LEGACY_MERGE_SORT = 9972;
constexpr int IDC_SCALE_COMBO = 9973;
constexpr int IDC_SCALE_LABEL = 9974;
constexpr int IDC_VERBOSE = 9976;
constexpr int IDC_CANCEL = 9977;
constexpr int IDC_OK = 9978;
constexpr int IDC_BROWSE = 9979;
constexpr int IDC_JAVA_COMBO = 9980;
constexpr int IDC_JAVA_LABEL = 9981;
constexpr int IDC_MEMORY_EDIT = 9982;
constexpr int IDC_MEMORY_LABEL = 9983;
constexpr int IDC_PREFER_IPV4 = 9984;
constexpr int IDC_KEEP_WORKING_SET = 9986;
constexpr int IDC_DISABLE_DIRECTDRAW = 9987;
constexpr int IDC_SKIP_FONT_CHECK = 9988;

// Rows of the control table; creation order is also the z-order and the layout's order.
enum ControlRow : std::size_t {
  kVerboseRow,
  kSkipFontCheckRow,
  kLegacyMergeSortRow,
  kDisableDirectDrawRow,
  kKeepWorkingSetRow,
  kPreferIPv4Row,
  kMemoryLabelRow,
  kMemoryEditRow,
  kScaleLabelRow,
  kScaleComboRow,
  kJavaLabelRow,
  kJavaComboRow,
  kBrowseRow,
  kOkRow,
  kCancelRow,
  kControlCount
};

inline constexpr std::array<int, kControlCount> kControlIds = {
    IDC_VERBOSE,
    IDC_SKIP_FONT_CHECK,
    IDC_LEGACY_MERGE_SORT,
    IDC_DISABLE_DIRECTDRAW,
    IDC_KEEP_WORKING_SET,
    IDC_PREFER_IPV4,
    IDC_MEMORY_LABEL,
    IDC_MEMORY_EDIT,
    IDC_SCALE_LABEL,
    IDC_SCALE_COMBO,
    IDC_JAVA_LABEL,
    IDC_JAVA_COMBO,
    IDC_BROWSE,
    IDC_OK,
    IDC_CANCEL,
};

inline constexpr std::size_t kCheckBoxCount = 6;
// The check boxes are rows 0 to 5, so their ids and captions share one index.
inline constexpr std::array<int, kCheckBoxCount> kCheckBoxIds = {
    IDC_VERBOSE,          IDC_SKIP_FONT_CHECK, IDC_LEGACY_MERGE_SORT, IDC_DISABLE_DIRECTDRAW,
    IDC_KEEP_WORKING_SET, IDC_PREFER_IPV4,
};
inline constexpr std::array<const wchar_t*, kCheckBoxCount> kCheckBoxCaptions = {
    L"Verbose startup messages (in Kelvor Control Shell)",
    L"Skip font check (helpful if your system takes a long time to load fonts)",
    L"Use legacy merge sort (fixes Java filechooser bugs on some systems)",
    L"Disable DirectDraw (fixes graphics problems and/or speed on some systems)",
    L"Keep working set (don't swap memory to disk) on minimize",
    L"Prefer IPv4 (fixes slow debug startup on some systems)",
};

inline constexpr const wchar_t* kMemoryCaption =
    L"Maximum memory use in megabytes (leave blank for default)";
inline constexpr const wchar_t* kScaleCaption = L"UI Scale";
inline constexpr const wchar_t* kScaleComboText = L"Java UI scale";
inline constexpr const wchar_t* kJavaCaption = L"Java executable for running Kelvor";
inline constexpr const wchar_t* kBrowseCaption = L"Browse";
inline constexpr const wchar_t* kOkCaption = L"OK";
inline constexpr const wchar_t* kCancelCaption = L"Cancel";
