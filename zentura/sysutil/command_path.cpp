#include "zentura/sysutil/command_path.h"

#include "zentura/sysutil/system_paths.h"
#include "zentura/sysutil/text_routines.h"

namespace zentura {

Text CleanCommandPath(const Text& command, const Text& windowsDir) {
  Text s = command;
  s = ReplaceAll(s, u";", u"");
  size_t slash = s.find(u'/');
  if (slash != Text::npos) s.resize(slash);
  s = ReplaceAll(s, u"\\SYSTEMROOT", windowsDir);
  s = ReplaceAll(s, u"\\??\\", u"");
  s = platform::UpperCase(s);
  s = ReplaceAll(s, u"%SYSTEMROOT%", windowsDir);
  s = ReplaceAll(s, u"%1", u"");
  size_t comma = s.find(u',');
  if (comma != Text::npos) s.resize(comma);
  size_t option = s.find(u" -");
  if (option != Text::npos) s.resize(option);
  s = TrimChars(s, u'"');
  return TrimChars(s, u'"');
}

Text CleanCommandPath(platform::Platform& p, const Text& command) {
  return CleanCommandPath(command, WindowsDir(p));
}

void RunCommand(platform::Platform& p, platform::SystemPlatform& sp, const Text& command) {
  TAppFrame frame(sp);
  Text s = ReplaceAll(command, u"%WINDOWS%", WindowsDir(p));
  s = ReplaceAll(s, u"%SYSTEM%", SystemDir(sp));
  s = ReplaceAll(s, u"%APP%\\", frame.AppPath);
  s = ReplaceAll(s, u"%APP%/", frame.AppPath);
  if (platform::UpperCase(s.substr(0, 12)) == u"RUNDLL32.EXE") {
    Text parameters = s.size() > 13 ? s.substr(13, 255) : Text();
    sp.desktop.ShellExecute(u"open", u"RunDll32.exe", parameters, Text(),
                            platform::sw::kShowNormal);
  } else {
    sp.desktop.ShellExecute(u"open", s, Text(), Text(), platform::sw::kShowNormal);
  }
}

}  // namespace zentura
