#include "platform/sim/sim_system.h"

#include <chrono>
#include <thread>

namespace platform::sim {

bool SimSystem::UserName(Text* name) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  if (s_.config.userNameFails) return false;
  *name = s_.config.userName;
  return true;
}

OsVersion SimSystem::Version() {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  return s_.config.version;
}

Text SimSystem::ErrorMessage(uint32_t code) {
  switch (code) {
    case 0: return u"The operation completed successfully.";
    case 2: return u"The system cannot find the file specified.";
    case 3: return u"The system cannot find the path specified.";
    case 5: return u"Access is denied.";
    case 32: return u"The process cannot access the file because it is being used by another process.";
    case 80: return u"The file exists.";
    case 87: return u"The parameter is incorrect.";
    case 183: return u"Cannot create a file when that file already exists.";
    case 1015: return u"The registry is corrupted. The structure of one of the files containing registry data is corrupted, or the system's memory image of the file is corrupted, or the file could not be recovered because the alternate copy or log was absent or corrupted.";
    case 1300: return u"Not all privileges or groups referenced are assigned to the caller.";
    case 1313: return u"A specified privilege does not exist.";
    case 1314: return u"A required privilege is not held by the client.";
    default: return u"Unknown error " + ToText(code) + u".";
  }
}

std::string SimSystem::ToAnsi(std::u16string_view text, bool* usedDefault) {
  return ToCp1252(text, usedDefault);
}

Text SimSystem::FromAnsi(std::string_view bytes) { return FromCp1252(bytes); }

void SimSystem::SleepMs(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace platform::sim
