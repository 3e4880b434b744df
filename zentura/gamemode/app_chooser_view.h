// What the closing step needs of the application chooser window.
#pragma once

#include <cstddef>

#include "platform/text.h"

namespace zentura {

class AppChooserView {
 public:
  virtual ~AppChooserView() = default;
  // The "Remember" check box.
  virtual bool RememberChecked() = 0;
  virtual size_t RowCount() = 0;
  virtual bool RowChecked(size_t row) = 0;
  // The row's "Command Line" column: the raw startup entry.
  virtual platform::Text RowCommandLine(size_t row) = 0;
  virtual bool OnScreen() = 0;
  virtual void Close() = 0;
  // A message box owned by the chooser: empty title, information icon.
  virtual void ShowInformation(const platform::Text& text) = 0;
};

}  // namespace zentura
