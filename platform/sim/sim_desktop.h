// Shortcuts, version resources, icons, ShellExecuteW, the notification area
// and deletions at restart, as configured per test; calls are recorded.
#pragma once

#include <map>
#include <set>
#include <vector>

#include "platform/desktop.h"

namespace platform::sim {

struct SimShortcut {
  int32_t result = 0;  // HRESULT of loading and resolving
  Text target;
  Text arguments;
};

struct SimVersionInfo {
  bool hasTranslation = true;
  uint32_t translation = 0x04B00409;  // language 0409, code page 04B0
  std::map<Text, Text> strings;       // "CompanyName" -> value
  bool hasFixedInfo = true;
  uint32_t fixedInfo[13] = {0xFEEF04BD, 0x00010000};
};

struct SimShellExecute {
  Text verb;
  Text file;
  Text parameters;
  Text directory;
  int show = 0;
};

class SimDesktop : public Desktop {
 public:
  int32_t ResolveShortcut(const Text& lnkPath, Text* target, Text* arguments) override;
  std::unique_ptr<VersionBlock> ReadVersionInfo(const Text& file) override;
  uintptr_t FileIcon(const Text& path, bool small) override;
  void DestroyIcon(uintptr_t icon) override;
  intptr_t ShellExecute(const Text& verb, const Text& file, const Text& parameters,
                        const Text& directory, int show) override;
  std::unique_ptr<TrayToolbar> FindTrayToolbar() override;
  void SmallIconSize(int* width, int* height) override;
  bool DeleteAtReboot(const Text& path) override;
  bool CreateProcess(const Text& application, const Text& commandLine) override {
    created.push_back({application, commandLine});
    return true;
  }
  Text SystemDir(uint32_t capacity) override;
  bool SpecialFolder(int csidl, Text* path) override;
  Text ExePath() override { return exePath; }
  char16_t DecimalSeparator() override { return decimalSeparator; }

  // Keys are upper-case paths.
  std::map<Text, SimShortcut> shortcuts;
  std::map<Text, SimVersionInfo> versionInfos;
  std::map<int, Text> specialFolders;
  Text systemDir = u"C:\\Windows\\system32";
  Text exePath = u"C:\\Program Files\\Zentura\\Zentura.exe";
  char16_t decimalSeparator = u'.';
  bool hasTray = true;
  int trayWidth = 96;
  int trayHeight = 16;
  int smallIconWidth = 16;
  int smallIconHeight = 16;

  std::vector<SimShellExecute> executed;
  std::vector<Text> deleteAtReboot;
  std::vector<std::pair<Text, Text>> created;  // application, command line
  std::vector<std::pair<int, int>> mouseMoves;
  std::vector<std::pair<Text, bool>> iconRequests;
  // Upper-case paths for which SHGetFileInfoW finds no icon.
  std::set<Text> iconless;
  int liveIcons = 0;
};

}  // namespace platform::sim
