#include "zentura/gamemode/startup_entries.h"

#include "zentura/gamemode/command_line.h"
#include "zentura/sysutil/system_paths.h"

namespace zentura {

namespace {

const Text kRunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// RegEnumValueW with the Run buffers: a value that does not fit them fails.
long EnumRunValue(platform::Registry& registry, platform::RegKey& key, uint32_t index,
                  platform::RegValue* value) {
  long rc = registry.EnumValue(key, index, value);
  if (rc != platform::err::kSuccess) return rc;
  if (value->name.size() + 1 > kRunValueNameChars ||
      value->data.size() > kRunValueDataChars * sizeof(char16_t)) {
    return platform::err::kMoreData;
  }
  return rc;
}

void AddRunValues(platform::Platform& p, platform::RootKey root, std::vector<Text>* list) {
  std::unique_ptr<platform::RegKey> key;
  if (p.registry.OpenKey(root, kRunKey, platform::keyaccess::kRead, &key) != 0 || !key) return;
  platform::RegValue value;
  for (uint32_t i = 0; EnumRunValue(p.registry, *key, i, &value) == platform::err::kSuccess; ++i) {
    if (value.type == platform::regtype::kSz) list->push_back(value.AsText());
  }
}

void AddShortcutTargets(platform::Platform& p, platform::SystemPlatform& sp, int csidl,
                        std::vector<Text>* list) {
  Text folder = platform::ExcludeTrailingBackslash(SpecialFolder(sp, csidl));
  if (folder.empty()) return;
  constexpr uint32_t kSkipped =
      platform::attr::kHidden | platform::attr::kSystem | platform::attr::kDirectory;
  for (const platform::FindEntry& e : p.files.Find(folder + u"\\*.lnk")) {
    if (e.attributes & kSkipped) continue;
    Text target, arguments;
    if (ResolveShortcut(sp, folder + u"\\" + e.name, &target, &arguments) == 0 &&
        !target.empty()) {
      list->push_back(target);
    }
  }
}

}  // namespace

int32_t ResolveShortcut(platform::SystemPlatform& sp, const Text& lnkPath, Text* target,
                        Text* arguments) {
  return sp.desktop.ResolveShortcut(lnkPath, target, arguments);
}

std::vector<Text> GetStartupEntries(platform::Platform& p, platform::SystemPlatform& sp) {
  std::vector<Text> list;
  AddRunValues(p, platform::RootKey::kLocalMachine, &list);
  AddRunValues(p, platform::RootKey::kCurrentUser, &list);
  AddShortcutTargets(p, sp, platform::csidl::kStartup, &list);
  AddShortcutTargets(p, sp, platform::csidl::kCommonStartup, &list);
  return list;
}

std::vector<Text> LoadStartupEntries(platform::Platform& p, platform::SystemPlatform& sp) {
  std::vector<Text> list = GetStartupEntries(p, sp);
  FileExistsFn exists = [&p](const Text& path) { return p.files.FileExists(path); };
  for (size_t i = list.size(); i > 0; --i) {
    if (!exists(ExePathOf(list[i - 1]))) list.erase(list.begin() + (i - 1));
  }
  for (size_t i = list.size(); i > 1; --i) {
    Text name = ProgramNameOf(list[i - 1], exists);
    for (size_t j = 0; j + 1 < i; ++j) {
      if (platform::SameText(ProgramNameOf(list[j], exists), name)) {
        list.erase(list.begin() + (i - 1));
        break;
      }
    }
  }
  return list;
}

}  // namespace zentura
