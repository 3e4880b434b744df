#include "zentura/lang/safe_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/sim_profile.h"
#include "zentura/lang/multi_lan.h"

namespace zentura {
namespace {

using platform::ToUtf8;

TEST(SafeFormat, ConversionsFlagsWidthAndPrecision) {
  struct Case {
    Text format;
    std::vector<FormatArg> args;
    Text expected;
  } cases[] = {
      {u"Stopping %s ...", {u"Print Spooler"}, u"Stopping Print Spooler ..."},
      {u"%d MB", {412}, u"412 MB"},
      {u"%u", {7u}, u"7"},
      {u"%.2u:%.2u", {5u, 123u}, u"05:123"},
      {u"100%%", {}, u"100%"},
      {u"%5d|%-5d|%05d", {42, 42, 42}, u"   42|42   |00042"},
      {u"%05d %d", {-7, -7}, u"-0007 -7"},
      {u"%x %X %4x", {255, 255u, 10}, u"ff FF    a"},
      {u"%.3s|%-4s|%4s", {u"abcdef", u"ab", u"ab"}, u"abc|ab  |  ab"},
      {u"%i", {3}, u"3"},
      {u"%d", {LLONG_MIN}, u"-9223372036854775808"},
      {u"%u", {ULLONG_MAX}, u"18446744073709551615"},
      {u"%sLanguage\\%s.lng", {u"C:\\Z\\", u"English"}, u"C:\\Z\\Language\\English.lng"},
  };
  for (const Case& c : cases) EXPECT_EQ(SafeFormat(c.format, c.args), c.expected) << ToUtf8(c.format);
}

// Formats from files anyone can edit: none of these may crash, read past the
// arguments or produce unbounded output.
TEST(SafeFormat, HostileFormatsAreHarmless) {
  struct Case {
    Text format;
    std::vector<FormatArg> args;
    Text expected;
  } cases[] = {
      {u"%s and %d and %u", {u"a"}, u"a and  and "},  // missing arguments render empty
      {u"%s", {u"a", u"b", 3}, u"a"},                  // surplus ones are ignored
      {u"%d", {u"text"}, u"text"},                     // mismatched types show their value
      {u"%x", {u"text"}, u"text"},
      {u"%s", {12}, u"12"},
      {u"%s", {-12}, u"-12"},
      {u"%u", {-1}, u"4294967295"},
      {u"%d", {ULLONG_MAX}, u"18446744073709551615"},
      {u"%n%s", {u"a"}, u"%na"},  // unknown conversions are literal and use no argument
      {u"%p %c %f %ls", {u"a"}, u"%p %c %f %ls"},
      {u"%*d", {3, 4}, u"%*d"},
      {u"%0:s", {u"a"}, u"%0:s"},
      {u"50%", {1}, u"50%"},
      {u"%", {}, u"%"},
      {u"%-", {}, u"%-"},
      {u"%12", {1}, u"%12"},
      {u"%.", {1}, u"%."},
      {u"%.999999999s", {u"abc"}, u"abc"},
      {u"", {u"a"}, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(SafeFormat(c.format, c.args), c.expected) << ToUtf8(c.format);

  for (Text huge : {u"%999999999d", u"%.999999999d", u"%99999999999999999999999s", u"%-999999999s|"}) {
    Text out = SafeFormat(huge, {1});
    EXPECT_LE(out.size(), static_cast<size_t>(kMaxFormatWidth) + 1) << ToUtf8(huge);
    EXPECT_NE(out.find(u'1'), Text::npos) << ToUtf8(huge);
  }
}

TEST(SafeFormat, ConversionsListSkipsLiterals) {
  EXPECT_EQ(FormatConversions(u"%s: %.2u%% of %d (%n, %)"), u"sud");
}

// Every shipped language file parses, holds the full message list, and keeps
// each message's placeholders as English has them, so no translation can
// change what a message expects.
TEST(ShippedLanguageFiles, CompleteAndConsistentWithEnglish) {
  namespace fs = std::filesystem;
  platform::sim::MemoryProfileStore store;
  platform::sim::SimProfile profile(store);
  std::vector<Text> names;
  for (const auto& entry : fs::directory_iterator(fs::path(ZENTURA_SOURCE_DIR) / "Language")) {
    if (entry.path().extension() != ".lng") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    Text name = platform::FromUtf8(entry.path().stem().string());
    store.Save(u"C:\\Z\\Language\\" + name + u".lng", bytes.str());
    names.push_back(name);
  }
  ASSERT_NE(std::find(names.begin(), names.end(), u"English"), names.end());
  ASSERT_GE(names.size(), 2u);

  TMultiLan english(profile, u"C:\\Z\\Language\\English.lng");
  const TMessageList reference = english.ReadSectionList(u"Zentura_M_form1");
  ASSERT_GE(reference.size(), static_cast<size_t>(kMinMessages));
  const char16_t* sections[] = {u"Zentura_Form1", u"Zentura_M_form1", u"Zentura_Form2",
                                u"Zentura_M_form2", u"Zentura_Report", u"Zentura_Mail"};
  for (const Text& name : names) {
    SCOPED_TRACE(ToUtf8(name));
    TMultiLan lan(profile, u"C:\\Z\\Language\\" + name + u".lng");
    for (const char16_t* section : sections) {
      EXPECT_FALSE(profile.ReadKeys(lan.FileName, section).empty()) << ToUtf8(section);
      EXPECT_EQ(profile.ReadKeys(lan.FileName, section), profile.ReadKeys(english.FileName, section))
          << ToUtf8(section);
    }
    TMessageList messages = lan.ReadSectionList(u"Zentura_M_form1");
    ASSERT_EQ(messages.size(), reference.size());
    for (size_t i = 0; i < messages.size(); ++i) {
      EXPECT_FALSE(messages[i].empty()) << i;
      EXPECT_EQ(FormatConversions(messages[i]), FormatConversions(reference[i])) << "message " << i;
    }
    EXPECT_EQ(FormatConversions(messages[15]), u"d");
    for (int i : {11, 12, 13, 30}) EXPECT_EQ(FormatConversions(messages[static_cast<size_t>(i)]), u"s") << i;
    EXPECT_NE(lan.ReadValue(u"Zentura_Mail", u"Subject"), u"Unknown");
    // The mail's body takes the product link.
    EXPECT_EQ(FormatConversions(lan.ReadValue(u"Zentura_Mail", u"Body")), u"s");
    // A second instance finds the first by the main window's caption.
    EXPECT_EQ(lan.ReadValue(u"Zentura_Form1", u"Caption"), u"Zentura by Veltrane");
  }
}

TEST(ShippedSettingsFile, MainValuesAndServiceLists) {
  namespace fs = std::filesystem;
  std::ifstream in(fs::path(ZENTURA_SOURCE_DIR) / "zentura" / "dist" / "Zentura.ini", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  platform::sim::MemoryProfileStore store;
  platform::sim::SimProfile profile(store);
  store.Save(u"C:\\Z\\Zentura.ini", bytes.str());
  const Text file = u"C:\\Z\\Zentura.ini";
  EXPECT_EQ(profile.ReadString(file, u"Main", u"Countdown", u""), u"5");
  EXPECT_EQ(profile.ReadString(file, u"Main", u"Language", u""), u"English");
  EXPECT_EQ(profile.ReadString(file, u"Main", u"AutoMinimize", u""), u"0");
  EXPECT_EQ(profile.ReadString(file, u"Main", u"RememberApps", u""), u"1");
  for (const char16_t* section : {u"servicelist_xp", u"servicelist_vista", u"servicelist_win7"}) {
    std::vector<Text> keys = profile.ReadKeys(file, section);
    EXPECT_GE(keys.size(), 10u) << ToUtf8(section);
    for (const Text& key : keys) {
      EXPECT_EQ(key.find_first_of(u" \\/"), Text::npos) << ToUtf8(key);  // key names, not display names
      EXPECT_EQ(profile.ReadString(file, section, key, u""), u"1") << ToUtf8(key);
    }
  }
}

}  // namespace
}  // namespace zentura
