// What the optimiser's windows share: the system, the program folder, the
// command line and the addresses its links open.
#pragma once

#include <functional>
#include <vector>

#include "platform/games.h"
#include "platform/network.h"
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
  Text update = u"update.veltrane.com";             // + "/infofiles/zenupdate.upt"; may carry ":port"
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
  // The update check's fetch; without it there is no check.
  platform::Network* net = nullptr;
  // The update question, asked from the checking thread (a message box of
  // no window, so the main window stays usable); true on Yes. Unset: the Ui's box.
  std::function<bool(const Text& text, const Text& caption)> askFromWorker;

  Text SettingsFile() const { return programFolder + u"Zentura.ini"; }
  Text RecordFile() const { return programFolder + u"temp.ini"; }
  // The update server's file; the host may be given with its "http://".
  Text UpdateAddress() const {
    bool hasScheme = hosts.update.rfind(u"http://", 0) == 0 || hosts.update.rfind(u"https://", 0) == 0;
    return (hasScheme ? Text() : Text(u"http://")) + hosts.update + u"/infofiles/zenupdate.upt";
  }
  // The first command-line argument is exactly "-gm".
  bool AutoGameMode() const { return !args.empty() && args[0] == u"-gm"; }
};

}  // namespace zentura
