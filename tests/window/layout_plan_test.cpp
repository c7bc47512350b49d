// Layout arithmetic of the settings window: metrics, placements, needed size, window placement.
#include "window/layout_plan.h"

#include <gtest/gtest.h>

namespace {

// Widths as a typical message font would measure them; only their relations matter here.
LayoutMeasurements TypicalMeasurements(int fontHeight) {
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
  m.cancelCaption = 38;
  return m;
}

TEST(LayoutMetrics, DeriveFromTheFontHeight) {
  const struct {
    int h, r, p, b, g, L;
  } cases[] = {
      {16, 20, 4, 24, 5, 20},
      {13, 16, 3, 20, 4, 16},
      {0, 0, 0, 0, 1, 0},
      {20, 25, 5, 30, 6, 25},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "tmHeight " << c.h);
    const LayoutMetrics m = ComputeLayoutMetrics(c.h);
    EXPECT_EQ(m.r, c.r);
    EXPECT_EQ(m.p, c.p);
    EXPECT_EQ(m.b, c.b);
    EXPECT_EQ(m.g, c.g);
    EXPECT_EQ(m.L, c.L);
  }
}

TEST(PlanLayout, RowsForFontHeight16) {
  const LayoutPlan plan = PlanLayout(TypicalMeasurements(16), 500, 500);
  const int checkTops[] = {2, 27, 52, 77, 102, 127};
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    EXPECT_EQ(plan.rects[i], (LayoutRect{5, checkTops[i], 490, 20})) << "check box " << i;
  }
  EXPECT_EQ(plan.rects[kMemoryLabelRow], (LayoutRect{5, 157, 320, 20}));
  EXPECT_EQ(plan.rects[kMemoryEditRow], (LayoutRect{330, 157, 46, 20}));
  EXPECT_EQ(plan.rects[kScaleLabelRow], (LayoutRect{5, 182, 45, 20}));
  EXPECT_EQ(plan.rects[kScaleComboRow], (LayoutRect{55, 182, 440, 20}));
  EXPECT_EQ(plan.rects[kJavaLabelRow], (LayoutRect{5, 207, 490, 16}));
  // Browse is the wider of the twelve-zero sample (84) and its caption plus margins (50).
  EXPECT_EQ(plan.rects[kJavaComboRow], (LayoutRect{5, 228, 401, 20}));
  EXPECT_EQ(plan.rects[kBrowseRow], (LayoutRect{411, 228, 84, 20}));
  EXPECT_EQ(plan.rects[kOkRow], (LayoutRect{5, 471, 84, 24}));
  EXPECT_EQ(plan.rects[kCancelRow], (LayoutRect{411, 471, 84, 24}));
  ASSERT_TRUE(plan.neededSize);
  // Widest: the DirectDraw caption 420 + 2g + b = 454.
  EXPECT_EQ(*plan.neededSize, (LayoutSize{454, 297}));
}

TEST(PlanLayout, RowsForFontHeight13) {
  const LayoutPlan plan = PlanLayout(TypicalMeasurements(13), 400, 300);
  // g 4, r 16: check boxes every 20 pixels from y = 2.
  EXPECT_EQ(plan.rects[kVerboseRow], (LayoutRect{4, 2, 392, 16}));
  EXPECT_EQ(plan.rects[kPreferIPv4Row], (LayoutRect{4, 102, 392, 16}));
  EXPECT_EQ(plan.rects[kMemoryLabelRow], (LayoutRect{4, 126, 320, 16}));
  EXPECT_EQ(plan.rects[kMemoryEditRow], (LayoutRect{328, 126, 45, 16}));
  EXPECT_EQ(plan.rects[kScaleLabelRow], (LayoutRect{4, 146, 45, 16}));
  EXPECT_EQ(plan.rects[kJavaLabelRow], (LayoutRect{4, 166, 392, 13}));
  EXPECT_EQ(plan.rects[kJavaComboRow], (LayoutRect{4, 183, 304, 16}));
  EXPECT_EQ(plan.rects[kOkRow], (LayoutRect{4, 276, 84, 20}));
  ASSERT_TRUE(plan.neededSize);
  EXPECT_EQ(*plan.neededSize, (LayoutSize{448, 183 + 16 + 20 + 20}));
}

TEST(PlanLayout, NeededSizeIgnoresTheGivenClientSize) {
  const LayoutMeasurements m = TypicalMeasurements(16);
  const LayoutSize reference = *PlanLayout(m, 500, 500).neededSize;
  for (const auto& [w, h] : {std::pair{0, 0}, {1, 1}, {1600, 1200}, {200, 900}}) {
    const LayoutPlan plan = PlanLayout(m, w, h);
    ASSERT_TRUE(plan.neededSize);
    EXPECT_EQ(*plan.neededSize, reference) << w << " x " << h;
  }
}

TEST(PlanLayout, NeededWidthTakesTheWidestRow) {
  LayoutMeasurements m = TypicalMeasurements(16);
  m.memoryCaption = 500;  // 500 + 10 + 46 + 5
  EXPECT_EQ(PlanLayout(m, 500, 500).neededSize->width, 561);
  m = TypicalMeasurements(16);
  m.javaCaption = 520;  // 520 + 10 + 24
  EXPECT_EQ(PlanLayout(m, 500, 500).neededSize->width, 554);
}

TEST(PlanLayout, JavaEntriesWidenOnlyBelowTheSample) {
  const struct {
    std::vector<std::optional<int>> entries;
    int expected;
  } cases[] = {
      {{}, 454},
      {{360}, 454},                      // 84 + 360 + 5 = 449: not above 454
      {{380}, 380 + 84 + 15 + 48},       // 469 > 454
      {{600}, 454},                      // as wide as the sample
      {{700}, 454},                      // wider than the sample
      {{std::nullopt, 380}, 527},        // a failed measurement is skipped
      {{380, 400}, 527},                 // 84 + 400 + 5 = 489 is not above 527
      {{380, 450}, 450 + 84 + 15 + 48},  // 539 > 527
      {{450, 380}, 597},                 // order decides
  };
  for (const auto& c : cases) {
    LayoutMeasurements m = TypicalMeasurements(16);
    m.javaEntries = c.entries;
    SCOPED_TRACE(testing::Message() << "entries: " << c.entries.size());
    EXPECT_EQ(PlanLayout(m, 500, 500).neededSize->width, c.expected);
  }
  LayoutMeasurements noSample = TypicalMeasurements(16);
  noSample.javaEntrySample.reset();
  noSample.javaEntries = {380};
  EXPECT_EQ(PlanLayout(noSample, 500, 500).neededSize->width, 454);
}

TEST(PlanLayout, ResizingStretchesCombosAndAnchorsButtons) {
  const LayoutPlan wide = PlanLayout(TypicalMeasurements(16), 900, 600);
  EXPECT_EQ(wide.rects[kVerboseRow]->width, 890);
  EXPECT_EQ(wide.rects[kScaleComboRow]->width, 895 - 10 - 45);
  EXPECT_EQ(wide.rects[kJavaComboRow]->width, 895 - 10 - 84);
  EXPECT_EQ(wide.rects[kBrowseRow]->x + wide.rects[kBrowseRow]->width, 895);
  EXPECT_EQ(wide.rects[kCancelRow]->x, 895 - 84);
  EXPECT_EQ(wide.rects[kOkRow]->y, 600 - 5 - 24);

  // A minimised window: R falls back to g and the combos to their lower bounds.
  const LayoutPlan empty = PlanLayout(TypicalMeasurements(16), 0, 0);
  EXPECT_EQ(empty.rects[kVerboseRow]->width, 0);
  EXPECT_EQ(empty.rects[kScaleComboRow]->width, 45);
  EXPECT_EQ(empty.rects[kJavaComboRow]->width, 84);
  EXPECT_EQ(empty.rects[kCancelRow]->x, 5 - 84);
}

TEST(PlanLayout, CancelKeepsItsLeftEdgeWhenItsCaptionIsWide) {
  LayoutMeasurements m = TypicalMeasurements(16);
  m.cancelCaption = 100;
  const LayoutPlan plan = PlanLayout(m, 500, 500);
  EXPECT_EQ(plan.rects[kCancelRow], (LayoutRect{495 - 84, 471, 110, 24}));
}

TEST(PlanLayout, StopsWhereAMeasurementIsMissing) {
  const struct {
    const char* name;
    void (*breakIt)(LayoutMeasurements&);
    std::size_t placedRows;  // rows 0 .. placedRows-1 placed, the rest not
  } cases[] = {
      {"font", [](LayoutMeasurements& m) { m.fontHeight.reset(); }, 0},
      {"third box", [](LayoutMeasurements& m) { m.checkBoxCaptions[2].reset(); }, 2},
      {"digits", [](LayoutMeasurements& m) { m.digits.reset(); }, 6},
      {"memory edit", [](LayoutMeasurements& m) { m.hasMemoryEdit = false; }, 7},
      {"scale caption", [](LayoutMeasurements& m) { m.scaleCaption.reset(); }, 8},
      {"java caption", [](LayoutMeasurements& m) { m.javaCaption.reset(); }, 11},
      {"browse caption", [](LayoutMeasurements& m) { m.browseCaption.reset(); }, 11},
      {"ok caption", [](LayoutMeasurements& m) { m.okCaption.reset(); }, 13},
      {"cancel caption", [](LayoutMeasurements& m) { m.cancelCaption.reset(); }, 14},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LayoutMeasurements m = TypicalMeasurements(16);
    c.breakIt(m);
    const LayoutPlan plan = PlanLayout(m, 500, 500);
    EXPECT_FALSE(plan.neededSize);
    for (std::size_t row = 0; row < kControlCount; ++row) {
      EXPECT_EQ(plan.rects[row].has_value(), row < c.placedRows) << "row " << row;
    }
  }
}

TEST(PlaceWindow, AddsTheFrameClampsAndCentres) {
  const LayoutSize needed{454, 297};
  const LayoutSize frame{16, 39};
  const struct {
    std::optional<LayoutRect> desktop;
    LayoutRect expected;
  } cases[] = {
      {LayoutRect{0, 0, 1280, 1024}, {(1280 - 470) / 2, (1024 - 336) / 2, 470, 336}},
      // Narrower than 1.5 times the window: exactly two thirds wide, still centred.
      {LayoutRect{0, 0, 600, 1024}, {100, (1024 - 336) / 2, 400, 336}},
      // Lower than the window: as high as the desktop, at its top.
      {LayoutRect{0, 0, 1280, 300}, {(1280 - 470) / 2, 0, 470, 300}},
      {LayoutRect{100, 50, 1281, 1025}, {100 + 405, 50 + 344, 470, 336}},
      {std::nullopt, {0, 0, 470, 336}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlaceWindow(needed, frame, c.desktop), c.expected);
  }
}

}  // namespace
