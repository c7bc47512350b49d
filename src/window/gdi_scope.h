// Scoped device contexts and font selections for measuring text in a control's font.
#pragma once

#include <windows.h>

#include <utility>

// GetDC on construction, ReleaseDC on destruction. A null window gives the screen's context.
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedGetDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ScopedGetDC(const ScopedGetDC&) = delete;  // const members below forbid assignment too
  HDC Get() const { return dc_; }

 private:
  const HWND window_;
  const HDC dc_;
};

// Selects a font into a context and puts the previous one back. Declare it after the
// ScopedGetDC it uses, so that the font goes back before the context is released.
class ScopedSelectFont {
 public:
  ScopedSelectFont(HDC dc, HFONT font)
      : dc_(dc), previous_(dc && font ? SelectObject(dc, font) : nullptr) {}
  ~ScopedSelectFont() {
    if (previous_) SelectObject(dc_, previous_);
  }
  ScopedSelectFont(const ScopedSelectFont&) = delete;

 private:
  const HDC dc_;
  const HGDIOBJ previous_;
};

// Owns a GDI font; a copy would delete it twice.
class UniqueFont {
 public:
  UniqueFont() = default;
  explicit UniqueFont(HFONT font) : font_(font) {}
  UniqueFont(UniqueFont&& other) noexcept : font_(std::exchange(other.font_, nullptr)) {}
  UniqueFont& operator=(UniqueFont&& other) noexcept {
    Reset(std::exchange(other.font_, nullptr));
    return *this;
  }
  UniqueFont(const UniqueFont&) = delete;
  ~UniqueFont() { Reset(); }
  HFONT Get() const { return font_; }
  void Reset(HFONT font = nullptr) {
    if (font_) DeleteObject(font_);
    font_ = font;
  }

 private:
  HFONT font_ = nullptr;
};
