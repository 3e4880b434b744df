#include "platform/ui/canvas.h"

#include <cstdio>

namespace platform::ui {

namespace {
std::string Hex(Color c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c & 0xFFFFFF));
  return buf;
}
std::string Box(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}
}  // namespace

void RecordingCanvas::SetBrushColor(Color color) { ops.push_back("brush " + Hex(color)); }
void RecordingCanvas::SetTextColor(Color color) { ops.push_back("text-color " + Hex(color)); }
void RecordingCanvas::SetFont(const Font& font) {
  ops.push_back("font " + ToUtf8(font.name) + " " + std::to_string(font.points) + (font.bold ? " bold" : ""));
}
void RecordingCanvas::FillRect(const Rect& rect) { ops.push_back("fill " + Box(rect)); }
void RecordingCanvas::TextOut(int x, int y, const Text& text) {
  ops.push_back("text " + std::to_string(x) + "," + std::to_string(y) + " " + ToUtf8(text));
}
void RecordingCanvas::DrawRadio(const Rect& rect, bool checked) {
  ops.push_back(std::string("radio ") + Box(rect) + (checked ? " checked" : ""));
}

}  // namespace platform::ui
