// Small value types shared by the form model, its test driver and its
// Win32 realisation.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace platform::ui {

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// 0x00BBGGRR, as Windows stores colours; kDefaultColor lets the system choose.
using Color = uint32_t;
constexpr Color kDefaultColor = 0xFF000000u;
constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;
constexpr Color kNavy = 0x800000;
constexpr Color kGray = 0x808080;

struct Font {
  Text name = u"Tahoma";
  int points = 8;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  Color color = kBlack;
  // A pixel height overrides the point size when set (designs that give the
  // height of the letters rather than their size).
  int pixelHeight = 0;
  bool operator==(const Font& o) const {
    return name == o.name && points == o.points && bold == o.bold && italic == o.italic &&
           underline == o.underline && color == o.color && pixelHeight == o.pixelHeight;
  }
  bool operator!=(const Font& o) const { return !(*this == o); }
};

enum class MouseButton { Left, Right, Middle };

struct MouseEvent {
  MouseButton button = MouseButton::Left;
  int x = 0;  // in the control's client coordinates
  int y = 0;
  // Filled by list views from their hit test: the row under the mouse (-1
  // for none) and whether the press was on the row's check box.
  int item = -1;
  bool onStateIcon = false;
};

// What a message box or modal window answered, with the values of IDOK...
enum class ModalResult { None = 0, Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

enum class MsgButtons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Error, Question, Warning, Information };

enum class Alignment { Left, Right, Center };

// A key pressed or released, by its Windows virtual-key code ('A'..'Z' and
// '0'..'9' for letters and digits, the kKey constants below for the rest),
// with the modifiers held at the time.
struct KeyEvent {
  int key = 0;
  bool down = true;
  bool repeat = false;  // the auto-repeat of a key held down
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};
constexpr int kKeyAlt = 0x12;
constexpr int kKeyEscape = 0x1B;
constexpr int kKeyF4 = 0x73;
constexpr int kKeyF10 = 0x79;

}  // namespace platform::ui
