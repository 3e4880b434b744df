#include "zentura/gamemode/command_line.h"

#include <gtest/gtest.h>

#include <set>

namespace zentura {
namespace {

struct Files {
  std::set<Text> existing;  // upper case
  FileExistsFn Fn() const {
    return [this](const Text& p) { return existing.count(platform::UpperCase(p)) > 0; };
  }
};

TEST(CommandLine, ExecutableNameAndPath) {
  struct Case {
    Text command, name, path;
  } cases[] = {
      {u"\"C:\\Program Files\\Tool\\Tool.exe\" /min", u"tool.exe", u"C:\\Program Files\\Tool\\tool.exe"},
      // Arguments with a backslash hide the executable of an unquoted line.
      {u"C:\\a\\b.exe /log C:\\x\\y", u"", u"C:\\a\\b.exe /log C:\\x\\"},
      {u"C:\\Tools\\Sync.EXE -hidden", u"sync.exe", u"C:\\Tools\\sync.exe"},
      {u"C:\\Program Files\\My App\\app.exe", u"app.exe", u"C:\\Program Files\\My App\\app.exe"},
      {u"C:\\Tools\\readme.txt", u"", u"C:\\Tools\\"},
      {u"notepad.exe", u"notepad.exe", u"notepad.exe"},
      // A quoted path's folder ends inside the quotes, whatever the arguments hold.
      {u"\"C:\\Tool\\t.exe\" /log C:\\x\\y", u"t.exe", u"C:\\Tool\\t.exe"},
      // The opening quote of a bare quoted name is not part of the name.
      {u"\"tool.exe\" -x", u"tool.exe", u"tool.exe"},
      {u"\"C:\\Unclosed\\u.exe", u"u.exe", u"C:\\Unclosed\\u.exe"},
      {u"", u"", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::ToUtf8(c.command));
    EXPECT_EQ(ExeNameOf(c.command), c.name);
    EXPECT_EQ(ExePathOf(c.command), c.path);
  }
}

TEST(CommandLine, ProgramNameIsCutAtBlanksUntilItExists) {
  Files files;
  files.existing = {u"C:\\TOOLS\\SYNC.EXE", u"C:\\PROGRAM FILES\\MY APP\\MY APP.EXE"};
  struct Case {
    Text command, program;
  } cases[] = {
      {u"\"C:\\Program Files\\Tool\\Tool.exe\" /min", u"Tool.exe"},
      {u"C:\\Tools\\sync.exe -hidden", u"sync.exe"},
      {u"C:\\Tools\\sync.exe -hidden -quiet", u"sync.exe"},
      // Nothing exists: cut down to the part before the first blank.
      {u"C:\\Tools\\gone.exe -a -b", u"gone.exe"},
      {u"C:\\Program Files\\My App\\My App.exe /x", u"My App.exe"},
      {u"C:\\Tools\\", u""},
      {u"C:\\Tools\\ lead.exe", u" lead.exe"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgramNameOf(c.command, files.Fn()), c.program) << platform::ToUtf8(c.command);
  }
}

}  // namespace
}  // namespace zentura
