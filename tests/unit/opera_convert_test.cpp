// The Opera preferences converter on the simulated Windows: the replacement
// routine, every method over small preferences files compared byte for
// byte with the expected ones, the runs it refuses, load and save failures,
// the system information and the search for the file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "brantle/browsers/opera/opera_convert.h"
#include "platform/sim/sim_windows.h"
#include "tests/unit/sim_fixture.h"

namespace {

using namespace brantle;
using platform::Text;
using testing_support::ReadFile;
using testing_support::WriteFile;

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(BRANTLE_FIXTURES) + "/opera/" + name, std::ios::binary);
  if (!in) throw std::runtime_error("missing fixture " + name);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

const Text kPrefs = u"C:\\Users\\tester\\AppData\\Roaming\\Opera\\Opera\\operaprefs.ini";

class OperaConvertTest : public ::testing::Test {
 protected:
  platform::sim::TempSimWindows sim;
  platform::Platform& p = sim.Get();
  FileHelpers helpers{p};
  ConversionValues values{u"tester", u"C:"};

  std::vector<Text> Listing(const Text& dir) {
    std::vector<Text> names;
    for (const auto& e : p.files.Find(dir + u"\\*"))
      if (e.name != u"." && e.name != u"..") names.push_back(e.name);
    return names;
  }
};

TEST(RearchAndReplace, ReplacesLeftToRightWithoutSearchingInsertedText) {
  struct Case {
    const char *text, *search, *replacement, *expected;
    size_t count;
  } cases[] = {
      {"aab", "ab", "b", "ab", 1},                   // the "ab" the replacement leaves is not searched
      {"aaaa", "aa", "a", "aa", 2},                  // no overlaps
      {"x", "x", "xx", "xx", 1},                     // the inserted x is not found again
      {"Program Files (X86)\\a;program files\\b", "Program Files", "Program Files (x86)",
       "Program Files (X86)\\a;Program Files (x86)\\b", 1},  // already followed by " (x86)"
      {"ABC abc", "abc", "d", "d d", 2},             // ASCII letters in any case
      {"Mar\xC3\xA7" "al Marc MAR\xC3\x87", "marc", "X", "Mar\xC3\xA7" "al X MAR\xC3\x87", 1},
      {"J\xC3\xB6rg J\xC3\x96RG", "j\xC3\xB6rg", "Y", "Y J\xC3\x96RG", 1},  // bytes above 127: only themselves
      {"abc", "", "x", "abc", 0},                    // an empty search text matches nothing
      {"ab", "abc", "x", "ab", 0},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(RearchAndReplace(text, c.search, c.replacement), c.count) << c.text;
    EXPECT_EQ(text, c.expected) << c.text;
  }
}

TEST_F(OperaConvertTest, EveryMethodGivesTheExpectedFileByteForByte) {
  struct Case {
    const char* input;
    int method;
    const char* expected;
    const char16_t* oldUser = u"Olduser";
    const char16_t* user = u"tester";
  } cases[] = {
      {"xp_paths.ini", 0, "xp_paths.to7.ini"},
      {"xp_paths.ini", 1, "xp_paths.to7_64.ini"},
      {"xp_paths.ini", 2, "xp_paths.to7_32.ini"},
      {"xp_paths.ini", 3, "xp_paths.to7.ini"},
      {"vista_paths.ini", 4, "vista_paths.to64.ini"},
      {"vista_paths.ini", 5, "vista_paths.to32.ini"},
      {"vista_paths.ini", 6, "vista_paths.toxp.ini"},
      {"vista_paths.ini", 7, "vista_paths.toxp_32.ini"},
      {"vista_paths.ini", 8, "vista_paths.toxp_64.ini"},
      {"vista_paths.ini", 9, "vista_paths.toxp.ini"},
      {"drive.ini", 10, "drive.toC.ini"},
      {"olduser.ini", 11, "olduser.totester.ini"},
      {"marc.ini", 11, "marc.totester.ini", u"Marc"},
      {"utf8_user.ini", 11, "utf8_user.tojurgen.ini", u"J\u00f6rg", u"J\u00fcrgen"},
      {"mark.ini", 4, "mark.to64.ini"},
      // A second run finds nothing left to change.
      {"xp_paths.to7.ini", 0, "xp_paths.to7.ini"},
      {"xp_paths.to7_64.ini", 1, "xp_paths.to7_64.ini"},
      {"vista_paths.to64.ini", 4, "vista_paths.to64.ini"},
      {"vista_paths.toxp_64.ini", 8, "vista_paths.toxp_64.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.input) + " by method " + std::to_string(c.method));
    WriteFile(p, kPrefs, Fixture(c.input));
    ConversionValues v = values;
    v.oldUser = c.oldUser;
    v.user = c.user;
    ConversionOutcome outcome = ConvertFile(p, kPrefs, c.method, v);
    EXPECT_TRUE(outcome.saved) << platform::ToUtf8(outcome.message);
    EXPECT_EQ(ReadFile(p, kPrefs), Fixture(c.expected));
    EXPECT_EQ(outcome.text, Fixture(c.expected));
  }
  EXPECT_EQ(Listing(u"C:\\Users\\tester\\AppData\\Roaming\\Opera\\Opera"), std::vector<Text>{u"operaprefs.ini"});
}

TEST_F(OperaConvertTest, RefusesAnEmptySearchTextAndLeavesTheFileAlone) {
  const std::string before = Fixture("olduser.ini");
  WriteFile(p, kPrefs, before);
  ConversionValues noOldUser = values, noOldDrive = values;
  noOldUser.oldUser.clear();
  noOldDrive.oldDrive.clear();
  ConversionOutcome user = ConvertFile(p, kPrefs, kUserChangeMethod, noOldUser);
  ConversionOutcome drive = ConvertFile(p, kPrefs, kDriveChangeMethod, noOldDrive);
  EXPECT_FALSE(user.saved);
  EXPECT_FALSE(drive.saved);
  EXPECT_EQ(user.message, convert_text::kNoOldUser);
  EXPECT_EQ(drive.message, convert_text::kNoOldDrive);
  EXPECT_EQ(ReadFile(p, kPrefs), before);
  // The other methods take nothing from the two edits.
  EXPECT_TRUE(ConvertFile(p, kPrefs, 6, noOldUser).saved);
  EXPECT_TRUE(ConvertFile(p, kPrefs, 4, noOldDrive).saved);
}

TEST_F(OperaConvertTest, AFileThatCannotBeLoadedOrSavedStaysAsItWas) {
  ConversionOutcome missing = ConvertFile(p, kPrefs, 0, values);
  EXPECT_FALSE(missing.saved);
  EXPECT_EQ(missing.message, u"Cannot open " + kPrefs + u":\nThe system cannot find the path specified.");
  EXPECT_FALSE(p.files.Exists(kPrefs));
  EXPECT_EQ(ConvertFile(p, Text(), 0, values).message, convert_text::kNotFound);

  const std::string before = Fixture("xp_paths.ini");
  WriteFile(p, kPrefs, before);
  p.files.SetAttributes(kPrefs, platform::attr::kReadOnly);
  ConversionOutcome readOnly = ConvertFile(p, kPrefs, 0, values);
  EXPECT_FALSE(readOnly.saved);
  EXPECT_EQ(readOnly.message, u"Cannot save " + kPrefs + u":\nAccess is denied.");
  EXPECT_EQ(ReadFile(p, kPrefs), before);
  // The temporary file it was built in is gone.
  EXPECT_EQ(Listing(u"C:\\Users\\tester\\AppData\\Roaming\\Opera\\Opera"), std::vector<Text>{u"operaprefs.ini"});
}

TEST(OperaSystemInformation, NamesTypeAndUserFromTheSystem) {
  struct Case {
    unsigned major;
    bool wow64;
    const char16_t *name, *type;
  } cases[] = {
      {5, false, u"XP/2000", u"32 bit"}, {6, true, u"7/Vista", u"64 bit"}, {7, false, u"8", u"32 bit"},
      {10, true, u"", u"64 bit"},
  };
  for (const Case& c : cases) {
    platform::sim::SimConfig config;
    config.version = {c.major, 1, 0};
    config.wow64 = c.wow64;
    config.userName = u"J\u00fcrgen";
    platform::sim::TempSimWindows sim(config);
    FileHelpers helpers(sim.Get());
    SystemInformation info = ReadSystemInformation(helpers, sim.Get());
    EXPECT_EQ(info.windowsName, c.name);
    EXPECT_EQ(info.windowsType, c.type);
    EXPECT_EQ(info.windowsUser, u"J\u00fcrgen");
  }
  platform::sim::SimConfig failing;
  failing.wow64Fails = true;
  platform::sim::TempSimWindows sim(failing);
  FileHelpers helpers(sim.Get());
  try {
    ReadSystemInformation(helpers, sim.Get());
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "IsWow64: bad process handle");
  }
}

TEST_F(OperaConvertTest, FindsThePreferencesFileInEitherLayout) {
  EXPECT_EQ(FindPreferencesFile(helpers, p), Text());
  const Text subLayout = u"C:\\Users\\tester\\AppData\\Local\\Opera\\Opera\\profile\\operaprefs.ini";
  WriteFile(p, subLayout, "Opera Preferences version 2.1\r\n");
  EXPECT_EQ(FindPreferencesFile(helpers, p), subLayout);
  // The roaming profile folder comes first.
  WriteFile(p, kPrefs, "Opera Preferences version 2.1\r\n");
  EXPECT_EQ(FindPreferencesFile(helpers, p), kPrefs);
}

}  // namespace
