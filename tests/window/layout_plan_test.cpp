// Layout arithmetic of the settings window: placements, needed size, window placement.
#include "window/layout_plan.h"

#include <gtest/gtest.h>

// Widths a message font might measure, in the fields' order; Cancel's caption is wider than the
// button sample, so Cancel grows but keeps its left edge.
static LayoutMeasurements Typical(int fontHeight) {
  return {fontHeight, {300, 410, 380, 420, 330, 310}, 42, 320, true, 45, 200, 84, 40, 600, {}, 15,
          100};
}

TEST(PlanLayout, EveryControlAndTheNeededSizeForFontHeight16) {
  LayoutMeasurements typical = Typical(16);
  const LayoutRect expected[kControlCount] = {
      {5, 2, 490, 20},    {5, 27, 490, 20},   {5, 52, 490, 20},   {5, 77, 490, 20},
      {5, 102, 490, 20},  {5, 127, 490, 20},  {5, 157, 320, 20},  {330, 157, 46, 20},
      {5, 182, 45, 20},   {55, 182, 440, 20}, {5, 207, 490, 16},  {5, 228, 401, 20},
      {411, 228, 84, 20}, {5, 471, 84, 24},   {411, 471, 110, 24}};
  const LayoutPlan plan = PlanLayout(typical, 500, 500);
  for (std::size_t row = 0; row < kControlCount; ++row)
    EXPECT_EQ(plan.rects[row], expected[row]) << row;
  // The widest row, DirectDraw's 420 + 2g + b.
  EXPECT_EQ(plan.neededSize, (LayoutSize{454, 297}));
  // Java entries: 380 widens (84 + 380 + 5 > 454) to 380 + 84 + 3g + 2b; 400 then falls short
  // of that, and an entry as wide as the sample or unmeasured never counts.
  typical.javaEntries = {300, std::nullopt, 380, 400, 600};
  EXPECT_EQ(PlanLayout(typical, 500, 500).neededSize, (LayoutSize{527, 297}));
}

// The smaller message fonts: every row follows r, p, b, g and L of the font height alone
// (13: r 16, p 3, b 20, g 4, L 16; 14: r 18, p 4, b 21, g 5, L 18).
TEST(PlanLayout, RowsForFontHeights13And14) {
  const ControlRow checked[] = {kVerboseRow,   kPreferIPv4Row, kMemoryEditRow,
                                kJavaLabelRow, kJavaComboRow,  kOkRow};
  // clang-format off
  const std::tuple<int, LayoutSize, std::array<LayoutRect, std::size(checked)>> rows[] = {
      {13, {448, 239}, {{{4, 2, 492, 16}, {4, 102, 492, 16}, {328, 126, 45, 16},
                         {4, 166, 492, 13}, {4, 183, 404, 16}, {4, 476, 84, 20}}}},
      {14, {451, 274}, {{{5, 2, 490, 18}, {5, 117, 490, 18}, {330, 145, 46, 18},
                         {5, 191, 490, 14}, {5, 210, 401, 18}, {5, 474, 84, 21}}}}};
  // clang-format on
  for (const auto& [h, needed, rects] : rows) {
    const LayoutPlan plan = PlanLayout(Typical(h), 500, 500);
    EXPECT_EQ(plan.neededSize, needed) << h;
    for (std::size_t i = 0; i < rects.size(); ++i)
      EXPECT_EQ(plan.rects[checked[i]], rects[i]) << h << " row " << checked[i];
  }
}

TEST(PlaceWindow, AddsTheFrameClampsAndCentres) {
  const std::pair<std::optional<LayoutRect>, LayoutRect> cases[] = {
      {LayoutRect{0, 0, 1280, 1024}, {405, 344, 470, 336}},
      {LayoutRect{0, 0, 600, 1024}, {100, 344, 400, 336}},    // two thirds of a narrow desktop
      {LayoutRect{100, 50, 1281, 300}, {505, 50, 470, 300}},  // a low one: its full height
      {std::nullopt, {0, 0, 470, 336}}};
  for (const auto& [desktop, window] : cases)
    EXPECT_EQ(PlaceWindow({454, 297}, {16, 39}, desktop), window);
}
