#include "zentura/sysutil/text_routines.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "zentura/sysutil/command_path.h"

namespace zentura {
namespace {

TEST(TextRoutines, PartsAroundACharacter) {
  struct Case {
    Text text;
    size_t n;
    char16_t c;
    Text left, right;
  } cases[] = {
      {u"a,b,c", 0, u',', u"a", u"c"},
      {u"abc", 0, u',', u"", u"abc"},  // absent: left empty, right whole
      {u"abcdef", 2, 0, u"ab", u"ef"},
      {u"ab", 5, 0, u"ab", u"ab"},
      {u",x,", 0, u',', u"", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::ToUtf8(c.text));
    EXPECT_EQ(LeftPart(c.text, c.n, c.c), c.left);
    EXPECT_EQ(RightPart(c.text, c.n, c.c), c.right);
  }
}

TEST(TextRoutines, BackPosCountsFromTheEnd) {
  EXPECT_EQ(BackPos(u"a\\b\\c", u'\\', 1), 4u);
  EXPECT_EQ(BackPos(u"a\\b\\c", u'\\', 2), 2u);
  EXPECT_EQ(BackPos(u"a\\b\\c", u'\\', 3), 0u);
  EXPECT_EQ(BackPos(u"", u'\\', 1), 0u);
}

TEST(TextRoutines, TrimCharsDropsEverythingNotAboveTheLimit) {
  EXPECT_EQ(TrimChars(u"  \"C:\\x.exe\"\t ", u'"'), u"C:\\x.exe");
  EXPECT_EQ(TrimChars(u"\" \"  \"", u'"'), u"");
  EXPECT_EQ(TrimChars(u"  a b  ", u' '), u"a b");
}

TEST(TextRoutines, SplitTextKeepsEmptyParts) {
  EXPECT_EQ(SplitText(u"1.2.3", u'.'), (std::vector<Text>{u"1", u"2", u"3"}));
  EXPECT_EQ(SplitText(u"1..", u'.'), (std::vector<Text>{u"1", u"", u""}));
  EXPECT_EQ(SplitText(u"", u'.'), (std::vector<Text>{u""}));
}

TEST(TextRoutines, SizeTextSwitchesUnitAtEachPowerOf1024) {
  struct Case {
    uint64_t bytes;
    Text text;
  } cases[] = {
      {0, u"0 Byte"},
      {1023, u"1023 Byte"},
      {1024, u"1.00 KB"},
      {1536, u"1.50 KB"},
      {1048575, u"1024.00 KB"},
      {1048576, u"1.00 MB"},
      {1073741824, u"1.00 GB"},
      {5ull << 40, u"5120.00 GB"},
  };
  for (const Case& c : cases) EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
  EXPECT_EQ(SizeText(1536, u','), u"1,50 KB");
}

TEST(TextRoutines, IsNewerVersionComparesPartsAsNumbers) {
  struct Case {
    Text a, b;
    bool newer;
  } cases[] = {
      {u"1.10.0.0", u"1.9.0.0", true},
      {u"1.9.0.0", u"1.10.0.0", false},
      {u"1.6.0.1", u"1.6.0.1", false},
      {u"1.6", u"1.6.0.1", false},
      {u"2", u"1.9", true},
      {u"1.6.0.2", u"1.6.0.10", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsNewerVersion(c.a, c.b), c.newer)
        << platform::ToUtf8(c.a) << " vs " << platform::ToUtf8(c.b);
  }
}

TEST(TextRoutines, IsNewerVersionRaisesOnBadParts) {
  EXPECT_THROW(IsNewerVersion(u"1.x", u"1.2"), std::invalid_argument);
  EXPECT_THROW(IsNewerVersion(u"1.2", u"1.y"), std::invalid_argument);
  EXPECT_THROW(IsNewerVersion(u"1.2.3", u"1.2"), std::out_of_range);
  // A decided comparison never looks at the missing part.
  EXPECT_TRUE(IsNewerVersion(u"1.3.0", u"1.2"));
}

TEST(CleanCommandPath, TurnsRegistryCommandsIntoPaths) {
  const Text win = u"C:\\Windows";
  struct Case {
    Text command, path;
  } cases[] = {
      {u"\"C:\\Program Files\\Tool\\tool.exe\" /min", u"C:\\PROGRAM FILES\\TOOL\\TOOL.EXE"},
      {u"C:\\Tools\\my-app\\app.exe -hidden", u"C:\\TOOLS\\MY-APP\\APP.EXE"},
      {u"%SystemRoot%\\system32\\shell32.dll,-21", u"C:\\Windows\\SYSTEM32\\SHELL32.DLL"},
      // Inserted before the upper-casing, so it is upper case too.
      {u"\\SYSTEMROOT\\system32\\drivers\\x.sys", u"C:\\WINDOWS\\SYSTEM32\\DRIVERS\\X.SYS"},
      {u"\\??\\C:\\x\\y.exe", u"C:\\X\\Y.EXE"},
      {u"C:\\a\\open.exe \"%1\"", u"C:\\A\\OPEN.EXE"},
      {u"C:\\a\\b.exe;", u"C:\\A\\B.EXE"},
      {u"\"\"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CleanCommandPath(c.command, win), c.path) << platform::ToUtf8(c.command);
  }
}

}  // namespace
}  // namespace zentura
