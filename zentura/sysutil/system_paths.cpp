#include "zentura/sysutil/system_paths.h"

#include "zentura/sysutil/command_path.h"

namespace zentura {

Text WindowsDir(platform::Platform& p) {
  Text dir;
  uint32_t error = 0;
  if (!p.files.WindowsDir(&dir, &error)) return Text();
  return dir;
}

Text SystemDir(platform::SystemPlatform& sp) { return sp.desktop.SystemDir(255); }

Text SpecialFolder(platform::SystemPlatform& sp, int csidl) {
  Text path;
  return sp.desktop.SpecialFolder(csidl, &path) ? path : Text();
}

std::vector<Text> ListFiles(platform::Platform& p, const Text& folder, const Text& extension) {
  std::vector<Text> names;
  Text tail = u"." + extension;
  for (const platform::FindEntry& e : p.files.Find(folder + u"*." + extension)) {
    Text name = e.name;
    if (name.size() >= tail.size() && platform::SameText(name.substr(name.size() - tail.size()), tail)) {
      name.resize(name.size() - tail.size());
    }
    names.push_back(name);
  }
  return names;
}

uintptr_t GetFileIcon(platform::Platform& p, platform::SystemPlatform& sp, const Text& path,
                      bool small) {
  return sp.desktop.FileIcon(CleanCommandPath(p, path), small);
}

TAppFrame::TAppFrame(platform::SystemPlatform& sp)
    : AppDataPath(SpecialFolder(sp, platform::csidl::kAppData)),
      CommonAppDataPath(SpecialFolder(sp, platform::csidl::kCommonAppData)) {
  Text exe = sp.desktop.ExePath();
  size_t slash = exe.find_last_of(u"\\:");
  AppPath = slash == Text::npos ? Text() : exe.substr(0, slash + 1);
  if (!AppPath.empty() && AppPath.back() != u'\\') AppPath += u'\\';
}

}  // namespace zentura
