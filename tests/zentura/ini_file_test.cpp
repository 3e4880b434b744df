#include "zentura/shell/ini_file.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_profile.h"

namespace zentura {
namespace {

TEST(IniFile, IntegersAreDecimalOrHexadecimal) {
  struct Case {
    Text text;
    bool ok;
    int value;
  } cases[] = {
      {u"0", true, 0},       {u"1", true, 1},           {u"-12", true, -12},
      {u"+7", true, 7},      {u"0x1F", true, 31},       {u"0X1f", true, 31},
      {u"0xFFFFFFFF", true, -1}, {u"2147483647", true, 2147483647},
      {u"2147483648", false, 0}, {u"", false, 0},       {u"yes", false, 0},
      {u"12abc", false, 0},  {u"0x", false, 0},         {u"1.5", false, 0},
      {u"$10", false, 0},    {u"0x100000000", false, 0},
  };
  for (const Case& c : cases) {
    int v = 12345;
    EXPECT_EQ(ParseIniInteger(c.text, &v), c.ok) << platform::ToUtf8(c.text);
    if (c.ok) {
      EXPECT_EQ(v, c.value) << platform::ToUtf8(c.text);
    }
  }
}

TEST(IniFile, UnreadableValuesGiveTheDefault) {
  platform::sim::MemoryProfileStore store;
  platform::sim::SimProfile profile(store);
  store.Save(u"C:\\Z\\Zentura.ini",
             "[Main]\r\nCountdown=abc\r\nAutoMinimize=0x0\r\nRememberApps=\r\nLanguage=German\r\n");
  TIniFile ini(profile, u"C:\\Z\\Zentura.ini");
  EXPECT_EQ(ini.ReadInteger(u"Main", u"Countdown", 5), 5);
  EXPECT_FALSE(ini.ReadBool(u"Main", u"AutoMinimize", true));
  EXPECT_TRUE(ini.ReadBool(u"Main", u"RememberApps", true));
  EXPECT_FALSE(ini.ReadBool(u"Main", u"Missing", false));
  EXPECT_EQ(ini.ReadString(u"main", u"language", u""), u"German");
  ASSERT_TRUE(ini.WriteBool(u"main", u"AutoMinimize", true));
  EXPECT_EQ(ini.ReadString(u"Main", u"AutoMinimize", u""), u"1");
  EXPECT_TRUE(ini.SectionExists(u"MAIN"));
  EXPECT_FALSE(ini.SectionExists(u"Info"));
}

}  // namespace
}  // namespace zentura
