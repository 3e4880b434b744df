// The main window's file and registry routines that every wizard calls:
// shell copy and delete, sub-folder listing, user and system facts, and
// registry keys of the current user saved to and restored from hive files.
#pragma once

#include <functional>
#include <vector>

#include "platform/platform.h"

namespace brantle {

using platform::Text;

class FileHelpers {
 public:
  explicit FileHelpers(platform::Platform& p) : p_(p) {}

  // Shows a text in the program's standard message box (a failed restore).
  std::function<void(const Text&)> ShowMessage;

  // Copies a folder silently; into an existing toDir it lands as a sub-folder.
  bool CopyDir(const Text& fromDir, const Text& toDir);
  // Sends a folder tree to the recycle bin without questions.
  bool DelTree(const Text& DirName);
  // Appends the names of the visible sub-folders of directory.
  void GetSubDirectories(const Text& directory, std::vector<Text>& list);
  // "C:" from the Windows folder; raises OsError when that cannot be read.
  Text GetSystemDrive();
  Text GetLoginName();
  Text GetSpecialFolderPath(int folder);
  // HKEY_CURRENT_USER\Key as a hive file. Returns 0 when saved or when the
  // key does not exist (no file then), else the system's error code; raises
  // only when enabling the backup privilege itself fails.
  long SaveKeyToFile(const Text& Key, const Text& fileName);
  // Replaces HKEY_CURRENT_USER\Key by the hive file's content, if the file
  // exists, and shows the system's message when that fails.
  void LoadKeyFromFile(const Text& Key, const Text& fileName);
  // The same without the message: 0 when restored or when there is no file,
  // else the system's error code.
  long RestoreKeyFromFile(const Text& Key, const Text& fileName);

 private:
  void EnablePrivilege(platform::Token& token, uint64_t luid);
  [[noreturn]] void RaiseError(uint32_t code);

  platform::Platform& p_;
};

}  // namespace brantle
