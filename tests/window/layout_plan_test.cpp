// Layout arithmetic of the settings window: metrics, placements, needed size, window placement.
#include "window/layout_plan.h"

#include <gtest/gtest.h>

namespace {

// Widths a message font might measure; only their relations matter here.
LayoutMeasurements Typical(int fontHeight) {
  LayoutMeasurements m;
  m.fontHeight = fontHeight;
  m.checkBoxCaptions = {300, 410, 380, 420, 330, 310};
  m.digits = 42;
  m.memoryCaption = 320;
  m.scaleCaption = 45;
  m.javaCaption = 200;
  m.buttonSample = 84;
  m.browseCaption = 40;
  m.javaEntrySample = 600;
  m.okCaption = 15;
  m.cancelCaption = 100;  // wider than the sample: Cancel grows but keeps its left edge
  return m;
}

TEST(LayoutMetrics, DeriveFromTheFontHeight) {
  const struct { int h, r, p, b, g, L; } cases[] = {{16, 20, 4, 24, 5, 20}, {13, 16, 3, 20, 4, 16}};
  for (const auto& c : cases) {
    const LayoutMetrics m = ComputeLayoutMetrics(c.h);
    EXPECT_EQ((std::array{m.r, m.p, m.b, m.g, m.L}), (std::array{c.r, c.p, c.b, c.g, c.L})) << c.h;
  }
}

TEST(PlanLayout, EveryControlForFontHeight16) {
  const LayoutPlan plan = PlanLayout(Typical(16), 500, 500);
  const int checkTops[] = {2, 27, 52, 77, 102, 127};
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    EXPECT_EQ(plan.rects[i], (LayoutRect{5, checkTops[i], 490, 20})) << "check box " << i;
  }
  const std::pair<ControlRow, LayoutRect> expected[] = {
      {kMemoryLabelRow, {5, 157, 320, 20}}, {kMemoryEditRow, {330, 157, 46, 20}},
      {kScaleLabelRow, {5, 182, 45, 20}},   {kScaleComboRow, {55, 182, 440, 20}},
      {kJavaLabelRow, {5, 207, 490, 16}},   {kJavaComboRow, {5, 228, 401, 20}},
      {kBrowseRow, {411, 228, 84, 20}},     {kOkRow, {5, 471, 84, 24}},
      {kCancelRow, {411, 471, 110, 24}},
  };
  for (const auto& [row, rect] : expected) EXPECT_EQ(plan.rects[row], rect) << "row " << row;
  // The widest row is the DirectDraw caption: 420 + 2g + b.
  EXPECT_EQ(plan.neededSize, (LayoutSize{454, 297}));
  // The needed size ignores the client size; a minimised window keeps the lower bounds.
  const LayoutPlan minimised = PlanLayout(Typical(16), 0, 0);
  EXPECT_EQ(minimised.neededSize, plan.neededSize);
  EXPECT_EQ(minimised.rects[kVerboseRow]->width, 0);
  EXPECT_EQ(minimised.rects[kScaleComboRow]->width, 45);
  EXPECT_EQ(minimised.rects[kJavaComboRow]->width, 84);
}

TEST(PlanLayout, JavaEntriesWidenOnlyBelowTheSampleAndInOrder) {
  const struct {
    std::vector<std::optional<int>> entries;
    int width;
  } cases[] = {
      {{}, 454},
      {{360}, 454},  // 84 + 360 + 5 is not above 454
      {{380}, 527},
      {{600}, 454},                // 380 + 84 + 15 + 48; the sample's width never counts
      {{std::nullopt, 380}, 527},  // a failed measurement is skipped
      {{380, 400}, 527},
      {{450, 380}, 597},
      {{380, 450}, 597},
  };
  for (const auto& c : cases) {
    LayoutMeasurements m = Typical(16);
    m.javaEntries = c.entries;
    EXPECT_EQ(PlanLayout(m, 500, 500).neededSize->width, c.width) << c.entries.size() << " entries";
  }
  LayoutMeasurements noSample = Typical(16);
  noSample.javaEntrySample.reset();
  noSample.javaEntries = {380};
  EXPECT_EQ(PlanLayout(noSample, 500, 500).neededSize->width, 454);
}

TEST(PlanLayout, StopsWhereAMeasurementIsMissing) {
  const struct {
    void (*breakIt)(LayoutMeasurements&);
    std::size_t placedRows;  // rows before this one placed, the rest not
  } cases[] = {
      {[](LayoutMeasurements& m) { m.fontHeight.reset(); }, 0},
      {[](LayoutMeasurements& m) { m.checkBoxCaptions[2].reset(); }, 2},
      {[](LayoutMeasurements& m) { m.digits.reset(); }, 6},
      {[](LayoutMeasurements& m) { m.hasMemoryEdit = false; }, 7},
      {[](LayoutMeasurements& m) { m.scaleCaption.reset(); }, 8},
      {[](LayoutMeasurements& m) { m.javaCaption.reset(); }, 11},
      {[](LayoutMeasurements& m) { m.browseCaption.reset(); }, 11},
      {[](LayoutMeasurements& m) { m.okCaption.reset(); }, 13},
      {[](LayoutMeasurements& m) { m.cancelCaption.reset(); }, 14},
  };
  for (const auto& c : cases) {
    LayoutMeasurements m = Typical(16);
    c.breakIt(m);
    const LayoutPlan plan = PlanLayout(m, 500, 500);
    EXPECT_FALSE(plan.neededSize);
    for (std::size_t row = 0; row < kControlCount; ++row) {
      EXPECT_EQ(plan.rects[row].has_value(), row < c.placedRows) << c.placedRows << " " << row;
    }
  }
}

TEST(PlaceWindow, AddsTheFrameClampsAndCentres) {
  const struct {
    std::optional<LayoutRect> desktop;
    LayoutRect window;
  } cases[] = {
      {LayoutRect{0, 0, 1280, 1024}, {405, 344, 470, 336}},
      {LayoutRect{0, 0, 600, 1024}, {100, 344, 400, 336}},  // two thirds of a narrow desktop
      {LayoutRect{0, 0, 1280, 300}, {405, 0, 470, 300}},    // a low one: its full height
      {LayoutRect{100, 50, 1281, 1025}, {505, 394, 470, 336}},
      {std::nullopt, {0, 0, 470, 336}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlaceWindow({454, 297}, {16, 39}, c.desktop), c.window);
  }
}

}  // namespace
