// Layout arithmetic of the settings window, kept free of Win32 so that it can be tested anywhere.
#include "window/layout_plan.h"

#include <algorithm>

LayoutMetrics ComputeLayoutMetrics(int fontHeight) {
  LayoutMetrics metrics;
  metrics.h = fontHeight;
  metrics.r = (10 * fontHeight + 4) / 8;
  metrics.p = (2 * fontHeight + 4) / 8;
  metrics.b = (12 * fontHeight + 4) / 8;
  metrics.g = (fontHeight + 2) / 4 + 1;
  metrics.L = std::max(fontHeight, metrics.r);
  return metrics;
}

LayoutPlan PlanLayout(const LayoutMeasurements& measured, int width, int height) {
  LayoutPlan plan;
  if (!measured.fontHeight) return plan;
  const LayoutMetrics m = ComputeLayoutMetrics(*measured.fontHeight);
  const int g = m.g;
  const int right = std::max(width - g, g);
  auto place = [&plan](ControlRow row, int x, int y, int w, int h) {
    plan.rects[row] = LayoutRect{x, y, w, h};
  };

  int need = 0;
  int y = g / 2;
  int lastCheckBoxTop = y;
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    if (!measured.checkBoxCaptions[i]) return plan;
    need = std::max(need, *measured.checkBoxCaptions[i] + 2 * g + m.b);
    place(static_cast<ControlRow>(kVerboseRow + i), g, y, right - g, m.r);
    lastCheckBoxTop = y;
    y += m.r + g;
  }

  const int memoryTop = lastCheckBoxTop + m.r + 2 * g;
  if (!measured.digits) return plan;
  const int editWidth = *measured.digits + m.p;
  if (!measured.memoryCaption) return plan;
  const int caption = *measured.memoryCaption;
  place(kMemoryLabelRow, g, memoryTop, caption, m.L);
  if (!measured.hasMemoryEdit) return plan;
  place(kMemoryEditRow, caption + 2 * g, memoryTop, editWidth, m.L);
  need = std::max(need, caption + 2 * g + editWidth + g);

  const int scaleTop = memoryTop + m.L + g;
  if (!measured.scaleCaption) return plan;
  const int scale = *measured.scaleCaption;
  place(kScaleLabelRow, g, scaleTop, scale, m.L);
  place(kScaleComboRow, scale + 2 * g, scaleTop, std::max(scale, right - 2 * g - scale), m.L);

  const int javaLabelTop = scaleTop + m.L + g;
  place(kJavaLabelRow, g, javaLabelTop, right - g, m.h);
  if (!measured.javaCaption) return plan;
  need = std::max(need, *measured.javaCaption + 2 * g + m.b);

  if (!measured.buttonSample) return plan;
  const int buttonMinimum = *measured.buttonSample;
  if (!measured.browseCaption) return plan;
  const int browseWidth = std::max(buttonMinimum, *measured.browseCaption + 2 * g);

  const int javaTop = javaLabelTop + m.h + g;
  const int comboWidth = std::max(browseWidth, right - 2 * g - browseWidth);
  place(kJavaComboRow, g, javaTop, comboWidth, m.r);

  // Entries narrower than the sample may widen the window; the sample bounds how far.
  if (measured.javaEntrySample) {
    for (const std::optional<int>& entry : measured.javaEntries) {
      if (entry && *entry < *measured.javaEntrySample && browseWidth + *entry + g > need) {
        need = *entry + browseWidth + 3 * g + 2 * m.b;
      }
    }
  }
  place(kBrowseRow, comboWidth + 2 * g, javaTop, browseWidth, m.r);

  const int buttonTop = height - g - m.b;
  if (!measured.okCaption) return plan;
  place(kOkRow, g, buttonTop, std::max(buttonMinimum, *measured.okCaption + 2 * g), m.b);
  if (!measured.cancelCaption) return plan;
  place(kCancelRow, right - buttonMinimum, buttonTop,
        std::max(buttonMinimum, *measured.cancelCaption + 2 * g), m.b);

  plan.neededSize = LayoutSize{need, javaTop + m.r + 5 * g + m.b};
  return plan;
}

LayoutRect PlaceWindow(LayoutSize neededClient, LayoutSize frame,
                       const std::optional<LayoutRect>& desktop) {
  LayoutRect window{0, 0, neededClient.width + frame.width, neededClient.height + frame.height};
  if (!desktop) return window;
  window.width = std::min(window.width, 2 * desktop->width / 3);
  window.height = std::min(window.height, desktop->height);
  window.x = desktop->x + (desktop->width - window.width) / 2;
  window.y = desktop->y + (desktop->height - window.height) / 2;
  return window;
}
