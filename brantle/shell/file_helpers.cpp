#include "brantle/shell/file_helpers.h"

namespace brantle {

using namespace platform;

bool FileHelpers::CopyDir(const Text& fromDir, const Text& toDir) {
  return p_.shell.FileOperation(ShellOp::kCopy, fromDir, toDir,
                                fof::kSilent | fof::kNoConfirmation | fof::kNoConfirmMkdir) == 0;
}

bool FileHelpers::DelTree(const Text& DirName) {
  try {
    return p_.shell.FileOperation(ShellOp::kDelete, DirName, Text(),
                                  fof::kAllowUndo | fof::kNoConfirmation | fof::kSilent) == 0;
  } catch (const std::exception&) {
    return false;
  }
}

void FileHelpers::GetSubDirectories(const Text& directory, std::vector<Text>& list) {
  // Hidden and system folders stay out, as the ordinary folder search leaves them out.
  for (const FindEntry& e : p_.files.Find(IncludeTrailingBackslash(directory) + u"*.*")) {
    if (!(e.attributes & attr::kDirectory)) continue;
    if (e.attributes & (attr::kHidden | attr::kSystem)) continue;
    if (e.name == u"." || e.name == u"..") continue;
    list.push_back(e.name);
  }
}

Text FileHelpers::GetSystemDrive() {
  Text dir;
  uint32_t error = 0;
  if (!p_.files.WindowsDir(&dir, &error)) RaiseError(error);
  size_t colon = dir.find(u':');
  return colon == Text::npos ? Text() : dir.substr(0, colon + 1);
}

Text FileHelpers::GetLoginName() {
  Text name;
  return p_.system.UserName(&name) ? name : Text();
}

Text FileHelpers::GetSpecialFolderPath(int folder) {
  Text path;
  return p_.shell.FolderPath(folder, &path) < 0 ? Text() : path;
}

long FileHelpers::SaveKeyToFile(const Text& Key, const Text& fileName) {
  std::unique_ptr<RegKey> key;
  long opened = p_.registry.OpenKey(RootKey::kCurrentUser, Key, keyaccess::kQueryValue, &key);
  // An absent key is nothing to save.
  if (opened == static_cast<long>(err::kFileNotFound)) return 0;
  if (opened != 0) return opened;
  std::unique_ptr<Token> token;
  uint64_t luid = 0;
  uint32_t error = p_.security.OpenProcessToken(tokenaccess::kAdjustPrivileges | tokenaccess::kQuery, &token);
  if (error == 0) error = p_.security.LookupPrivilege(u"SeBackupPrivilege", &luid);
  if (error != 0) return static_cast<long>(error);
  EnablePrivilege(*token, luid);
  // The save refuses to overwrite an existing hive file.
  if (p_.files.FileExists(fileName)) p_.files.Remove(fileName);
  long result = p_.registry.SaveKey(*key, fileName);
  p_.security.AdjustPrivilege(*token, true, 0, 0);
  return result;
}

void FileHelpers::LoadKeyFromFile(const Text& Key, const Text& fileName) {
  long result = RestoreKeyFromFile(Key, fileName);
  if (result != 0 && ShowMessage) ShowMessage(p_.system.ErrorMessage(static_cast<uint32_t>(result)));
}

long FileHelpers::RestoreKeyFromFile(const Text& Key, const Text& fileName) {
  std::unique_ptr<Token> token;
  uint64_t luid = 0;
  if (p_.security.OpenProcessToken(tokenaccess::kAdjustPrivileges | tokenaccess::kQuery, &token) != 0 ||
      p_.security.LookupPrivilege(u"SeRestorePrivilege", &luid) != 0)
    return 0;
  EnablePrivilege(*token, luid);
  long result = 0;
  if (p_.files.FileExists(fileName)) {
    std::unique_ptr<RegKey> key;
    result = p_.registry.CreateKey(RootKey::kCurrentUser, Key, kRegOptionBackupRestore, keyaccess::kWrite, &key);
    if (result == 0) result = p_.registry.RestoreKey(*key, fileName, kRegForceRestore);
  }
  p_.security.AdjustPrivilege(*token, true, 0, 0);
  return result;
}

void FileHelpers::EnablePrivilege(Token& token, uint64_t luid) {
  // A privilege the user does not hold is not a failure of the call itself:
  // the save or restore that needs it fails later, silently.
  uint32_t error = p_.security.AdjustPrivilege(token, false, luid, kSePrivilegeEnabled);
  if (error != 0 && error != err::kNotAllAssigned) RaiseError(error);
}

void FileHelpers::RaiseError(uint32_t code) {
  throw OsError(code, ToUtf8(p_.system.ErrorMessage(code)));
}

}  // namespace brantle
