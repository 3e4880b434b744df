// Folders the optimiser asks Windows for.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "platform/system_platform.h"

namespace zentura {

using platform::Text;

// GetWindowsDirectoryW; empty on failure.
Text WindowsDir(platform::Platform& p);
// GetSystemDirectoryW into a 255-character buffer.
Text SystemDir(platform::SystemPlatform& sp);
// SHGetSpecialFolderPathW without creating the folder; empty on failure.
Text SpecialFolder(platform::SystemPlatform& sp, int csidl);
// Names of folder + "*." + extension, extension removed, in directory order.
std::vector<Text> ListFiles(platform::Platform& p, const Text& folder, const Text& extension);
// SHGetFileInfoW icon of CleanCommandPath(path); the caller owns it.
uintptr_t GetFileIcon(platform::Platform& p, platform::SystemPlatform& sp, const Text& path,
                      bool small);

// The application-data folders and the program's own folder, read once.
class TAppFrame {
 public:
  explicit TAppFrame(platform::SystemPlatform& sp);
  Text AppDataPath;
  Text CommonAppDataPath;
  Text AppPath;  // ends in a backslash
};

}  // namespace zentura
