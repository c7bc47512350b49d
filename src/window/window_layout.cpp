// Measures the window's texts in its controls' fonts and moves the controls where the plan says.
#include <windows.h>

#include "window/control_ids.h"
#include "window/gdi_scope.h"
#include "window/layout_plan.h"
#include "window/settings_window.h"

namespace {

// Set while the texts are measured for a font the controls do not have yet.
HFONT gMeasuringFont = nullptr;

HFONT ControlFont(HWND control) {
  if (gMeasuringFont) return gMeasuringFont;
  return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

std::optional<int> TextWidth(HWND control, const std::wstring& text) {
  SIZE size{};
  if (!MeasureText(control, text, size)) return std::nullopt;
  return size.cx;
}

}  // namespace

bool MeasureText(HWND control, const std::wstring& text, SIZE& size) {
  const ScopedGetDC dc(control);
  const ScopedSelectFont font(dc.Get(), ControlFont(control));
  return GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size) !=
         FALSE;
}

bool FontHeight(HWND control, int& height) {
  const ScopedGetDC dc(control);
  const ScopedSelectFont font(dc.Get(), ControlFont(control));
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(dc.Get(), &metrics)) return false;
  height = metrics.tmHeight;
  return true;
}

namespace {

// The texts measured in the controls' fonts, with what they were measured for. Every WM_SIZE
// lays the controls out again, also the one the creation's own MoveWindow sends before the first
// paint; measuring takes a device context and a text extent per caption and entry, while the
// fonts, captions and entries change only with a new window, font or candidate list.
struct MeasuredTexts {
  HWND window = nullptr;
  HFONT font = nullptr;
  std::size_t entries = 0;
  LayoutMeasurements measured;
};

std::optional<MeasuredTexts>& Measured() {
  static std::optional<MeasuredTexts> measured;
  return measured;
}

LayoutMeasurements MeasureTexts(HWND window, HWND memoryLabel) {
  LayoutMeasurements measured;
  int fontHeight = 0;
  if (FontHeight(memoryLabel, fontHeight)) measured.fontHeight = fontHeight;
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    if (const HWND box = GetDlgItem(window, kCheckBoxIds[i])) {
      measured.checkBoxCaptions[i] = TextWidth(box, kCheckBoxCaptions[i]);
    }
  }
  measured.digits = TextWidth(memoryLabel, kDigitsSample);
  measured.memoryCaption = TextWidth(memoryLabel, kMemoryCaption);
  measured.hasMemoryEdit = GetDlgItem(window, IDC_MEMORY_EDIT) != nullptr;
  measured.scaleCaption = TextWidth(GetDlgItem(window, IDC_SCALE_LABEL), kScaleCaption);
  measured.javaCaption = TextWidth(GetDlgItem(window, IDC_JAVA_LABEL), kJavaCaption);
  measured.buttonSample = TextWidth(memoryLabel, kButtonSample);
  measured.browseCaption = TextWidth(memoryLabel, kBrowseCaption);
  measured.javaEntrySample = TextWidth(memoryLabel, kJavaEntrySample);
  for (const JavaCandidate& candidate : JavaCandidates()) {
    measured.javaEntries.push_back(TextWidth(memoryLabel, candidate.displayName));
  }
  measured.okCaption = TextWidth(memoryLabel, kOkCaption);
  measured.cancelCaption = TextWidth(memoryLabel, kCancelCaption);
  return measured;
}

}  // namespace

std::optional<LayoutSize> NeededClientSize(HWND window, HFONT font) {
  const HWND memoryLabel = GetDlgItem(window, IDC_MEMORY_LABEL);
  if (!memoryLabel) return std::nullopt;
  gMeasuringFont = font;
  const LayoutMeasurements measured = MeasureTexts(window, memoryLabel);
  gMeasuringFont = nullptr;
  return PlanLayout(measured, 0, 0).neededSize;  // which needs no client size
}

void ForgetLayoutMeasurements() {
  Measured().reset();
}

void LayoutControls(HWND window, int width, int height, std::optional<LayoutSize>* neededSize) {
  // Measure first, then let the plan decide where a missing value stops the layout.
  const HWND memoryLabel = GetDlgItem(window, IDC_MEMORY_LABEL);
  if (!memoryLabel) return;
  const HFONT font = ControlFont(memoryLabel);
  std::optional<MeasuredTexts>& cached = Measured();
  if (!cached || cached->window != window || cached->font != font ||
      cached->entries != JavaCandidates().size()) {
    cached =
        MeasuredTexts{window, font, JavaCandidates().size(), MeasureTexts(window, memoryLabel)};
  }
  const LayoutMeasurements& measured = cached->measured;

  const LayoutPlan plan = PlanLayout(measured, width, height);
  for (std::size_t row = 0; row < kControlCount; ++row) {
    if (!plan.rects[row]) continue;
    const LayoutRect& rect = *plan.rects[row];
    if (const HWND control = GetDlgItem(window, kControlIds[row])) {
      MoveWindow(control, rect.x, rect.y, rect.width, rect.height, FALSE);
    }
  }
  if (neededSize && plan.neededSize) *neededSize = plan.neededSize;
}
