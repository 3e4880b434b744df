// The shell's game explorer (Windows Vista and 7) through WMI.
#pragma once

#include <vector>

#include "platform/text.h"

namespace platform {

struct GameExplorerEntry {
  Text installPath;  // "GameInstallPath"
  Text name;         // "name"
  Text binaryPath;   // "GDFBinaryPath"
};

class GameExplorer {
 public:
  virtual ~GameExplorer() = default;
  // "select * from game" in "root\cimv2\applications\games", in the order
  // WMI enumerates them; a failure ends the list with the games read so far.
  virtual std::vector<GameExplorerEntry> Games() = 0;
};

}  // namespace platform
