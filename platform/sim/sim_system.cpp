#include "platform/sim/sim_system.h"

#include "platform/errors.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace platform::sim {

bool SimSystem::UserName(Text* name) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  if (s_.config.userNameFails) return false;
  *name = s_.config.userName;
  return true;
}

bool SimSystem::Wow64Process(bool* wow64) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  if (s_.config.wow64Fails) return false;
  *wow64 = s_.config.wow64;
  return true;
}

OsVersion SimSystem::Version() {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  return s_.config.version;
}

Text SimSystem::ErrorMessage(uint32_t code) {
  switch (code) {
    case 0: return u"The operation completed successfully.";
    case 1: return u"Incorrect function.";
    case 2: return u"The system cannot find the file specified.";
    case 3: return u"The system cannot find the path specified.";
    case 4: return u"The system cannot open the file.";
    case 5: return u"Access is denied.";
    case 6: return u"The handle is invalid.";
    case 8: return u"Not enough memory resources are available to process this command.";
    case 17: return u"The system cannot move the file to a different disk drive.";
    case 19: return u"The media is write protected.";
    case 32: return u"The process cannot access the file because it is being used by another process.";
    case 33: return u"The process cannot access the file because another process has locked a portion of the file.";
    case 39: return u"The disk is full.";
    case 50: return u"The request is not supported.";
    case 80: return u"The file exists.";
    case 87: return u"The parameter is incorrect.";
    case 112: return u"There is not enough space on the disk.";
    case 123: return u"The filename, directory name, or volume label syntax is incorrect.";
    case 145: return u"The directory is not empty.";
    case 170: return u"The requested resource is in use.";
    case 183: return u"Cannot create a file when that file already exists.";
    case 206: return u"The filename or extension is too long.";
    case 222: return u"The file type being saved or retrieved has been blocked.";
    case 223: return u"The file size exceeds the limit allowed and cannot be saved.";
    case 234: return u"More data is available.";
    case 259: return u"No more data is available.";
    case 267: return u"The directory name is invalid.";
    case 1018: return u"Illegal operation attempted on a registry key that has been marked for deletion.";
    case 1117: return u"The request could not be performed because of an I/O device error.";
    case 1921: return u"The name of the file cannot be resolved by the system.";
    case 1015: return u"The registry is corrupted. The structure of one of the files containing registry data is corrupted, or the system's memory image of the file is corrupted, or the file could not be recovered because the alternate copy or log was absent or corrupted.";
    case 1300: return u"Not all privileges or groups referenced are assigned to the caller.";
    case 1313: return u"A specified privilege does not exist.";
    case 1314: return u"A required privilege is not held by the client.";
    default:
      if (code & err::kHostErrnoBit)
        return FromUtf8(std::strerror(static_cast<int>(code & ~err::kHostErrnoBit))) + u".";
      return u"Unknown error " + ToText(code) + u".";
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
