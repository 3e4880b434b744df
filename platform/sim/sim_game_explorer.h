// A game explorer whose games a test sets.
#pragma once

#include "platform/games.h"

namespace platform::sim {

class SimGameExplorer : public GameExplorer {
 public:
  std::vector<GameExplorerEntry> games;
  std::vector<GameExplorerEntry> Games() override { return games; }
};

}  // namespace platform::sim
