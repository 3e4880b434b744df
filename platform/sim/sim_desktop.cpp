#include "platform/sim/sim_desktop.h"

#include <cstdio>

namespace platform::sim {

namespace {

constexpr int32_t kFileNotFoundHresult = static_cast<int32_t>(0x80070002);

class SimVersionBlock : public VersionBlock {
 public:
  explicit SimVersionBlock(const SimVersionInfo& info) : info_(info) {}
  bool Translation(uint32_t* value) override {
    if (!info_.hasTranslation) return false;
    *value = info_.translation;
    return true;
  }
  bool QueryString(const Text& path, Text* value) override {
    // "\StringFileInfo\<language><code page>\<name>", the block's own language only.
    uint32_t t = info_.translation;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04X%04X", t & 0xFFFF, t >> 16);
    Text prefix = u"\\StringFileInfo\\" + FromUtf8(buffer) + u"\\";
    if (path.size() <= prefix.size() || !SameText(path.substr(0, prefix.size()), prefix)) return false;
    Text name = path.substr(prefix.size());
    for (const auto& [key, text] : info_.strings) {
      if (SameText(key, name)) {
        *value = text;
        return true;
      }
    }
    return false;
  }
  bool FixedInfo(uint32_t words[13]) override {
    if (!info_.hasFixedInfo) return false;
    for (int i = 0; i < 13; ++i) words[i] = info_.fixedInfo[i];
    return true;
  }

 private:
  SimVersionInfo info_;
};

class SimTray : public TrayToolbar {
 public:
  explicit SimTray(SimDesktop& d) : d_(d) {}
  bool ClientSize(int* width, int* height) override {
    *width = d_.trayWidth;
    *height = d_.trayHeight;
    return true;
  }
  void MouseMove(int x, int y) override { d_.mouseMoves.emplace_back(x, y); }

 private:
  SimDesktop& d_;
};

}  // namespace

int32_t SimDesktop::ResolveShortcut(const Text& lnkPath, Text* target, Text* arguments) {
  target->clear();
  arguments->clear();
  auto it = shortcuts.find(UpperCase(lnkPath));
  if (it == shortcuts.end()) return kFileNotFoundHresult;
  if (it->second.result != 0) return it->second.result;
  *target = it->second.target.substr(0, 259);
  *arguments = it->second.arguments.substr(0, 254);
  return 0;
}

std::unique_ptr<VersionBlock> SimDesktop::ReadVersionInfo(const Text& file) {
  auto it = versionInfos.find(UpperCase(file));
  if (it == versionInfos.end()) return nullptr;
  return std::make_unique<SimVersionBlock>(it->second);
}

uintptr_t SimDesktop::FileIcon(const Text& path, bool small) {
  iconRequests.emplace_back(path, small);
  if (iconless.count(UpperCase(path))) return 0;
  ++liveIcons;
  return 0x1000 + iconRequests.size();
}

void SimDesktop::DestroyIcon(uintptr_t) { --liveIcons; }

intptr_t SimDesktop::ShellExecute(const Text& verb, const Text& file, const Text& parameters,
                                  const Text& directory, int show) {
  executed.push_back({verb, file, parameters, directory, show});
  return 42;
}

std::unique_ptr<TrayToolbar> SimDesktop::FindTrayToolbar() {
  if (!hasTray) return nullptr;
  return std::make_unique<SimTray>(*this);
}

void SimDesktop::SmallIconSize(int* width, int* height) {
  *width = smallIconWidth;
  *height = smallIconHeight;
}

bool SimDesktop::DeleteAtReboot(const Text& path) {
  deleteAtReboot.push_back(path);
  return true;
}

Text SimDesktop::SystemDir(uint32_t capacity) {
  return systemDir.size() < capacity ? systemDir : Text();
}

bool SimDesktop::SpecialFolder(int csidl, Text* path) {
  auto it = specialFolders.find(csidl);
  if (it == specialFolders.end()) return false;
  *path = it->second;
  return true;
}

}  // namespace platform::sim
