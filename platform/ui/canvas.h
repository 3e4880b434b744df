// Drawing surface handed to owner-draw events. The Win32 realisation paints
// on a device context; tests record what a handler drew.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/ui_types.h"

namespace platform::ui {

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void SetBrushColor(Color color) = 0;
  virtual void SetTextColor(Color color) = 0;
  virtual void SetFont(const Font& font) = 0;
  virtual void FillRect(const Rect& rect) = 0;
  virtual void TextOut(int x, int y, const Text& text) = 0;
  // The system's radio-button glyph (DrawFrameControl), filled when checked.
  virtual void DrawRadio(const Rect& rect, bool checked) = 0;
};

// Keeps one readable line per drawing call.
class RecordingCanvas : public Canvas {
 public:
  void SetBrushColor(Color color) override;
  void SetTextColor(Color color) override;
  void SetFont(const Font& font) override;
  void FillRect(const Rect& rect) override;
  void TextOut(int x, int y, const Text& text) override;
  void DrawRadio(const Rect& rect, bool checked) override;

  std::vector<std::string> ops;
};

}  // namespace platform::ui
