// Measures the window's texts in its controls' fonts and moves the controls where the plan says.
#include <windows.h>

#include <array>
#include <utility>

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

// The texts measured in the controls' fonts, with what they were measured for, and where each
// control was last put. Every WM_SIZE lays the controls out again, also the ones the creation's
// own MoveWindow and the first ShowWindow send before the first paint; measuring takes a text
// extent per caption and entry, while the fonts, captions and entries change only with a new
// window, font or candidate list, and most of those layouts put the controls where they are.
struct MeasuredTexts {
  HWND window = nullptr;
  HFONT font = nullptr;
  std::size_t entries = 0;
  LayoutMeasurements measured;
  // Per control: the rectangle last asked of MoveWindow and the one the control then had.
  std::array<std::optional<std::pair<LayoutRect, RECT>>, kControlCount> placed;
};

std::optional<MeasuredTexts>& Measured() {
  static std::optional<MeasuredTexts> measured;
  return measured;
}

// Measures in one device context with the memory label's font, the font every control is given;
// a control with another font, or a missing one, is measured on its own as MeasureText does.
class SharedMeasuring {
 public:
  SharedMeasuring(HWND memoryLabel, HFONT font)
      : font_(font), dc_(memoryLabel), selected_(dc_.Get(), font) {}
  std::optional<int> TextWidth(HWND control, const std::wstring& text) const {
    if (!control || !dc_.Get() || ControlFont(control) != font_) return ::TextWidth(control, text);
    SIZE size{};
    if (!GetTextExtentPoint32W(dc_.Get(), text.c_str(), static_cast<int>(text.size()), &size))
      return std::nullopt;
    return size.cx;
  }
  std::optional<int> FontHeight() const {
    TEXTMETRICW metrics{};
    if (!dc_.Get() || !GetTextMetricsW(dc_.Get(), &metrics)) return std::nullopt;
    return metrics.tmHeight;
  }

 private:
  const HFONT font_;
  const ScopedGetDC dc_;
  const ScopedSelectFont selected_;  // after the context, so that it is undone first
};

LayoutMeasurements MeasureTexts(HWND window, HWND memoryLabel, HFONT font) {
  const SharedMeasuring in(memoryLabel, font);
  LayoutMeasurements measured;
  measured.fontHeight = in.FontHeight();
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    if (const HWND box = GetDlgItem(window, kCheckBoxIds[i])) {
      measured.checkBoxCaptions[i] = in.TextWidth(box, kCheckBoxCaptions[i]);
    }
  }
  measured.digits = in.TextWidth(memoryLabel, kDigitsSample);
  measured.memoryCaption = in.TextWidth(memoryLabel, kMemoryCaption);
  measured.hasMemoryEdit = GetDlgItem(window, IDC_MEMORY_EDIT) != nullptr;
  measured.scaleCaption = in.TextWidth(GetDlgItem(window, IDC_SCALE_LABEL), kScaleCaption);
  measured.javaCaption = in.TextWidth(GetDlgItem(window, IDC_JAVA_LABEL), kJavaCaption);
  measured.buttonSample = in.TextWidth(memoryLabel, kButtonSample);
  measured.browseCaption = in.TextWidth(memoryLabel, kBrowseCaption);
  measured.javaEntrySample = in.TextWidth(memoryLabel, kJavaEntrySample);
  for (const JavaCandidate& candidate : JavaCandidates()) {
    measured.javaEntries.push_back(in.TextWidth(memoryLabel, candidate.displayName));
  }
  measured.okCaption = in.TextWidth(memoryLabel, kOkCaption);
  measured.cancelCaption = in.TextWidth(memoryLabel, kCancelCaption);
  return measured;
}

// The control's rectangle in the client area's coordinates.
RECT PlacedRect(HWND window, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// MoveWindow, unless the same rectangle was asked last time and the control has not moved since:
// the same call again would change nothing, yet each costs a trip through the window manager.
void Place(HWND window, HWND control, const LayoutRect& rect,
           std::optional<std::pair<LayoutRect, RECT>>& last) {
  if (last && last->first == rect) {
    const RECT now = PlacedRect(window, control);
    if (EqualRect(&last->second, &now) != 0) return;
  }
  MoveWindow(control, rect.x, rect.y, rect.width, rect.height, FALSE);
  last.emplace(rect, PlacedRect(window, control));
}

}  // namespace

std::optional<LayoutSize> NeededClientSize(HWND window, HFONT font) {
  const HWND memoryLabel = GetDlgItem(window, IDC_MEMORY_LABEL);
  if (!memoryLabel) return std::nullopt;
  gMeasuringFont = font;
  const LayoutMeasurements measured = MeasureTexts(window, memoryLabel, font);
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
    cached = MeasuredTexts{
        window, font, JavaCandidates().size(), MeasureTexts(window, memoryLabel, font), {}};
  }

  const LayoutPlan plan = PlanLayout(cached->measured, width, height);
  for (std::size_t row = 0; row < kControlCount; ++row) {
    if (!plan.rects[row]) continue;
    if (const HWND control = GetDlgItem(window, kControlIds[row])) {
      Place(window, control, *plan.rects[row], cached->placed[row]);
    }
  }
  if (neededSize && plan.neededSize) *neededSize = plan.neededSize;
}
