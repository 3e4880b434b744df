// zentura-defrag: the game defragmenter's engine on the command line.
//   zentura-defrag analyze FOLDER [options]
//   zentura-defrag defrag FOLDER [options]
// On Windows it works on the real volume; elsewhere on a simulated volume
// loaded with --volume FILE.json (see volume_json.h).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/volumes.h"

namespace zentura::cli {

// `volumes` is the real system's (null where there is none); returns the
// exit code: 0 done, 1 some fragmented file was not defragmented, 2 usage
// or input error, 3 the simulated volume failed its check.
int RunDefrag(const std::vector<std::string>& args, platform::Volumes* volumes, platform::Clock& clock,
              std::ostream& out, std::ostream& err);

}  // namespace zentura::cli
