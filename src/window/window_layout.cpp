// Measures the window's texts in its controls' font and moves the controls where the plan says.
#include <windows.h>

#include <array>

#include "window/control_ids.h"
#include "window/gdi_scope.h"
#include "window/layout_plan.h"
#include "window/settings_window.h"

namespace {

// The texts measured in the controls' font, with what they were measured for, and where each
// control was last put. Every WM_SIZE lays the controls out again, also the ones creating and
// first showing the window send before the first paint; measuring takes a text extent per
// caption and entry, while the font, captions and entries change only with a new window, font or
// candidate list, and most of those layouts put the controls where they already are.
struct MeasuredTexts {
  HWND window = nullptr;
  HFONT font = nullptr;
  std::size_t entries = 0;
  LayoutMeasurements measured;
  // Per control, the rectangle it was last given. Nothing else moves a control: Windows leaves the
  // children of a per-monitor window where they are, also when the DPI changes.
  std::array<std::optional<LayoutRect>, kControlCount> placed;
};

std::optional<MeasuredTexts>& Measured() {
  static std::optional<MeasuredTexts> measured;
  return measured;
}

// Text extents in one screen device context with one font selected: every control shows the same
// font, and a screen context measures as a control's own does.
class FontMeasuring {
 public:
  explicit FontMeasuring(HFONT font) : screen_(nullptr), selected_(screen_.Get(), font) {}
  std::optional<int> TextWidth(const std::wstring& text) const {
    SIZE size{};
    if (!screen_.Get() ||
        !GetTextExtentPoint32W(screen_.Get(), text.c_str(), static_cast<int>(text.size()), &size))
      return std::nullopt;
    return size.cx;
  }
  std::optional<int> FontHeight() const {
    TEXTMETRICW metrics{};
    if (!screen_.Get() || !GetTextMetricsW(screen_.Get(), &metrics)) return std::nullopt;
    return metrics.tmHeight;
  }

 private:
  const ScopedGetDC screen_;
  const ScopedSelectFont selected_;  // after the context, so that it is undone first
};

HFONT ControlFont(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

}  // namespace

LayoutMeasurements MeasureTexts(HWND window, HFONT font) {
  const FontMeasuring in(font);
  // A missing control leaves its caption unmeasured, which stops the layout there.
  const auto present = [window](int id) { return !window || GetDlgItem(window, id) != nullptr; };
  const auto caption = [&](int id, const wchar_t* text) {
    return present(id) ? in.TextWidth(text) : std::nullopt;
  };
  LayoutMeasurements measured;
  measured.fontHeight = present(IDC_MEMORY_LABEL) ? in.FontHeight() : std::nullopt;
  for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
    measured.checkBoxCaptions[i] = caption(kCheckBoxIds[i], kCheckBoxCaptions[i]);
  }
  measured.digits = in.TextWidth(kDigitsSample);
  measured.memoryCaption = caption(IDC_MEMORY_LABEL, kMemoryCaption);
  measured.hasMemoryEdit = present(IDC_MEMORY_EDIT);
  measured.scaleCaption = caption(IDC_SCALE_LABEL, kScaleCaption);
  measured.javaCaption = caption(IDC_JAVA_LABEL, kJavaCaption);
  measured.buttonSample = in.TextWidth(kButtonSample);
  measured.browseCaption = caption(IDC_BROWSE, kBrowseCaption);
  measured.javaEntrySample = in.TextWidth(kJavaEntrySample);
  for (const JavaCandidate& candidate : JavaCandidates()) {
    measured.javaEntries.push_back(in.TextWidth(candidate.displayName));
  }
  measured.okCaption = caption(IDC_OK, kOkCaption);
  measured.cancelCaption = caption(IDC_CANCEL, kCancelCaption);
  return measured;
}

std::optional<LayoutSize> NeededClientSize(HWND window, HFONT font) {
  return PlanLayout(MeasureTexts(window, font), 0, 0).neededSize;  // which needs no client size
}

void ForgetLayoutMeasurements() {
  Measured().reset();
}

void RememberLayout(HWND window, HFONT font, const LayoutMeasurements& measured,
                    const LayoutPlan& plan) {
  Measured() = MeasuredTexts{window, font, JavaCandidates().size(), measured, plan.rects};
}

bool LayoutControls(HWND window, int width, int height, std::optional<LayoutSize>* neededSize) {
  const HWND memoryLabel = GetDlgItem(window, IDC_MEMORY_LABEL);
  if (!memoryLabel) return false;
  const HFONT font = ControlFont(memoryLabel);
  std::optional<MeasuredTexts>& cached = Measured();
  if (!cached || cached->window != window || cached->font != font ||
      cached->entries != JavaCandidates().size()) {
    cached = MeasuredTexts{window, font, JavaCandidates().size(), MeasureTexts(window, font), {}};
  }

  // A control given the same rectangle last time is left alone: moving it again would change
  // nothing, yet costs a trip through the window manager (a combobox resizes its edit field and
  // list too), and even finding it by its id makes Wine list every child of the window.
  const LayoutPlan plan = PlanLayout(cached->measured, width, height);
  bool moved = false;
  for (std::size_t row = 0; row < kControlCount; ++row) {
    const std::optional<LayoutRect>& rect = plan.rects[row];
    if (!rect || cached->placed[row] == rect) continue;
    if (const HWND control = GetDlgItem(window, kControlIds[row])) {
      MoveWindow(control, rect->x, rect->y, rect->width, rect->height, FALSE);
      cached->placed[row] = rect;
      moved = true;
    }
  }
  if (neededSize && plan.neededSize) *neededSize = plan.neededSize;
  return moved;
}
