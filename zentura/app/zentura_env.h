// What the optimiser's windows share: the system, the program folder, the
// command line and the addresses its links open.
#pragma once

#include <vector>

#include "platform/games.h"
#include "platform/platform.h"
#include "platform/volumes.h"
#include "platform/system_platform.h"
#include "platform/text.h"

namespace zentura {

using platform::Text;

// Hosts of the addresses the links open; configuration, not code.
struct LinkHosts {
  Text home = u"http://www.veltrane.com";          // the maker's home page
  Text forum = u"http://forum.veltrane.com";       // + "/forumdisplay.php?f=15"
  Text web = u"http://www.veltrane.com";           // + "/zentura.html"
  Text download = u"http://download.veltrane.com";  // the system-care product
};

struct ZenturaEnv {
  platform::Platform& p;
  platform::SystemPlatform& sp;
  Text programFolder;        // the running executable's folder, ends in "\"
  std::vector<Text> args;    // command-line arguments after the program name
  LinkHosts hosts;
  // The game defragmenter's volumes and the game explorer (none: the Game
  // Defrag page lists games but analyses nothing).
  platform::Volumes* volumes = nullptr;
  platform::GameExplorer* games = nullptr;

  Text SettingsFile() const { return programFolder + u"Zentura.ini"; }
  Text RecordFile() const { return programFolder + u"temp.ini"; }
  // The first command-line argument is exactly "-gm".
  bool AutoGameMode() const { return !args.empty() && args[0] == u"-gm"; }
};

}  // namespace zentura
