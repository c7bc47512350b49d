// The settings window's layout as plain arithmetic: font height and measured widths in,
// control rectangles and the needed client size out. The Win32 side measures and moves.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "window/control_ids.h"

struct LayoutRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const LayoutRect&) const = default;
};

struct LayoutSize {
  int width = 0;
  int height = 0;
  bool operator==(const LayoutSize&) const = default;
};

// Every size derives from the font's one height.
struct LayoutMetrics {
  int h = 0;  // tmHeight: the base unit
  int r = 0;  // row height of check boxes, the Java combobox and Browse
  int p = 0;  // extra width of the memory edit beyond its digits
  int b = 0;  // height of OK and Cancel; room for a check box's mark
  int g = 0;  // gap and margin
  int L = 0;  // row height of the memory and UI-scale rows
};
LayoutMetrics ComputeLayoutMetrics(int fontHeight);

// The texts whose widths stand for sizes rather than captions.
inline constexpr const wchar_t* kDigitsSample = L"000000";
inline constexpr const wchar_t* kButtonSample = L"000000000000";
inline constexpr const wchar_t* kJavaEntrySample =
    L"Oracle JDK 1.10.0_99 (C:\\Program Files (x86)\\Java\\jdk1.10.0_99)0000000000000000000000000";

// What the window measured. An empty value is a missing control or a failed measurement, and
// stops the layout where that value is needed (except the Java entries, which are skipped).
struct LayoutMeasurements {
  std::optional<int> fontHeight;  // of the memory label
  std::array<std::optional<int>, kCheckBoxCount> checkBoxCaptions;
  std::optional<int> digits;  // kDigitsSample in the memory label's font
  std::optional<int> memoryCaption;
  bool hasMemoryEdit = true;
  std::optional<int> scaleCaption;
  std::optional<int> javaCaption;
  std::optional<int> buttonSample;
  std::optional<int> browseCaption;
  std::optional<int> javaEntrySample;
  std::vector<std::optional<int>> javaEntries;  // display names, in candidate-list order
  std::optional<int> okCaption;
  std::optional<int> cancelCaption;
};

struct LayoutPlan {
  // Indexed by ControlRow; empty for a control this pass does not place.
  std::array<std::optional<LayoutRect>, kControlCount> rects;
  // Only when the layout ran to its end.
  std::optional<LayoutSize> neededSize;
};

// Lays out for a client area of `width` by `height`; the needed size does not depend on them.
LayoutPlan PlanLayout(const LayoutMeasurements& measured, int width, int height);

// Turns the needed client size into the window's rectangle: adds the frame, keeps the window
// within two thirds of the desktop's width and its full height, and centres it. Without a
// desktop rectangle the window goes to (0, 0) unclamped.
LayoutRect PlaceWindow(LayoutSize neededClient, LayoutSize frame,
                       const std::optional<LayoutRect>& desktop);
