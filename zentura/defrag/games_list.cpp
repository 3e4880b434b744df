#include "zentura/defrag/games_list.h"

#include <algorithm>

namespace zentura {

using namespace platform;

bool UseGameExplorer = false;

void ChooseGameSource(const OsVersion& version) {
  if (version.major == 6) UseGameExplorer = true;
  else if (version.major == 5 && version.minor == 1) UseGameExplorer = false;
}

void ReadGameExplorer(GameExplorer& explorer, std::vector<TGameInfo>& list) {
  for (const GameExplorerEntry& game : explorer.Games()) {
    if (game.installPath.empty()) continue;
    list.insert(list.begin(), TGameInfo{game.name, game.installPath, game.binaryPath});
  }
}

namespace {

const Text kUninstallKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

bool ReadValue(Registry& registry, RegKey& key, const Text& name, RegValue* value) {
  return registry.QueryValue(key, name, value) == 0;
}

Text ReplaceAll(Text text, const Text& what, const Text& with) {
  for (size_t at = text.find(what); at != Text::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

}  // namespace

void GetSoftInfo(Platform& p, std::vector<TGameInfo>& list) {
  Registry& registry = p.registry;
  std::unique_ptr<RegKey> root;
  if (registry.OpenKey(RootKey::kLocalMachine, kUninstallKey, keyaccess::kRead, &root) != 0) return;
  std::vector<Text> names;
  Text name;
  for (uint32_t i = 0; registry.EnumKey(*root, i, &name) == 0; ++i) names.push_back(name);
  root.reset();
  for (const Text& subkey : names) {
    std::unique_ptr<RegKey> key;
    if (registry.OpenKey(RootKey::kLocalMachine, kUninstallKey + subkey, keyaccess::kRead, &key) != 0) continue;
    RegValue displayName, uninstall;
    if (!ReadValue(registry, *key, u"DisplayName", &displayName)) continue;
    if (subkey.compare(0, 2, u"KB") == 0) continue;
    if (!ReadValue(registry, *key, u"UninstallString", &uninstall) || uninstall.AsText().empty()) continue;
    if (displayName.type != regtype::kSz && displayName.type != regtype::kExpandSz) continue;
    TGameInfo record;
    record.Name = displayName.AsText();
    Text command = uninstall.AsText();
    if (command.compare(0, 14, u"MsiExec.exe /X") == 0) continue;
    if (command.compare(0, 8, u"regsvr32") == 0) continue;
    RegValue iconValue;
    Text icon;
    if (ReadValue(registry, *key, u"DisplayIcon", &iconValue)) {
      icon = iconValue.AsText();
    } else {
      icon = command;
      if (icon.size() >= 2 && icon.front() == u'"' && icon.back() == u'"') icon = icon.substr(1, icon.size() - 2);
    }
    size_t comma = icon.find(u',');
    if (comma != Text::npos) icon.resize(comma);
    icon = ReplaceAll(icon, u"\\\\", u"\\");
    if (!icon.empty() && p.files.FileExists(icon)) record.IconPath = icon;
    RegValue location;
    if (ReadValue(registry, *key, u"InstallLocation", &location)) record.InstallPath = location.AsText();
    if (!record.InstallPath.empty()) list.push_back(record);
  }
}

void SortGames(std::vector<TGameInfo>& list) {
  auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
  std::stable_sort(list.begin(), list.end(), [&](const TGameInfo& a, const TGameInfo& b) {
    return std::lexicographical_compare(a.Name.begin(), a.Name.end(), b.Name.begin(), b.Name.end(),
                                        [&](char16_t x, char16_t y) { return fold(x) < fold(y); });
  });
}

bool AddMyGames(Platform& p, SystemPlatform& sp, std::vector<TGameInfo>& list) {
  Text documents;
  if (!sp.desktop.SpecialFolder(5, &documents)) return false;
  Text folder = IncludeTrailingBackslash(documents) + u"My Games\\";
  if (!p.files.DirExists(ExcludeTrailingBackslash(folder))) return false;
  list.push_back(TGameInfo{u"My Games", folder, folder});
  return true;
}

std::vector<TGameInfo> LoadGameRecords(Platform& p, SystemPlatform& sp, GameExplorer* explorer, bool* myGames) {
  std::vector<TGameInfo> list;
  if (UseGameExplorer) {
    if (explorer) ReadGameExplorer(*explorer, list);
  } else {
    GetSoftInfo(p, list);
  }
  SortGames(list);
  *myGames = AddMyGames(p, sp, list);
  return list;
}

}  // namespace zentura
