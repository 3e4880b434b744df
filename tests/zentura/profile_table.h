// One table of ini files for the profile functions, run against the
// simulation natively and against the real functions under Wine.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/profile.h"

namespace zentura_test {

using platform::Text;

// Where a run of the table keeps its files.
class ProfileTableEnv {
 public:
  virtual ~ProfileTableEnv() = default;
  virtual platform::Profile& profile() = 0;
  // A fresh path for a file of that name (not yet existing).
  virtual Text PathFor(const std::string& name) = 0;
  virtual void WriteRaw(const Text& path, const std::string& bytes) = 0;
};

struct ReadCheck {
  Text section, key;
  bool found;
  Text value;  // when found
};

struct ReadCase {
  const char* name;
  std::string content;
  std::vector<ReadCheck> reads;
  Text keysOf;  // section whose key list is checked
  std::vector<Text> keys;
};

inline std::vector<ReadCase> ReadCases() {
  std::string longValue(5000, 'x');
  return {
      {"duplicate keys", "[Main]\r\nKey=first\r\nkey=second\r\n",
       {{u"Main", u"KEY", true, u"first"}}, u"Main", {u"Key", u"key"}},
      {"spaces around =", "[Main]\r\n  Name   =   value with spaces  \r\n",
       {{u"Main", u"Name", true, u"value with spaces"}}, u"Main", {u"Name"}},
      {"empty value", "[Main]\r\nEmpty=\r\nNext=1\r\n",
       {{u"Main", u"Empty", true, u""}, {u"Main", u"Next", true, u"1"}}, u"Main",
       {u"Empty", u"Next"}},
      {"missing section", "[Main]\r\na=1\r\n", {{u"Other", u"a", false, u""}}, u"Other", {}},
      {"comments", "; about\r\n[Main]\r\n;Key=commented\r\nKey=real\r\n",
       {{u"Main", u"Key", true, u"real"}}, u"Main", {u"Key"}},
      {"very long line", "[Main]\r\nLong=" + longValue + "\r\nAfter=2\r\n",
       {{u"Main", u"Long", true, Text(longValue.begin(), longValue.end())},
        {u"Main", u"After", true, u"2"}}, u"Main", {u"Long", u"After"}},
      {"value with =", "[Main]\r\na=b=c\r\n", {{u"Main", u"a", true, u"b=c"}}, u"Main", {u"a"}},
      {"names without regard to case", "[MAIN]\r\nCountDown=7\r\n",
       {{u"main", u"countdown", true, u"7"}}, u"Main", {u"CountDown"}},
      {"quoted value", "[Main]\r\nQ=\"quoted text\"\r\nS='single'\r\n",
       {{u"Main", u"Q", true, u"quoted text"}, {u"Main", u"S", true, u"single"}}, u"Main",
       {u"Q", u"S"}},
      {"line without =", "[Main]\r\nlonely\r\nk=v\r\n",
       {{u"Main", u"lonely", false, u""}, {u"Main", u"k", true, u"v"}}, u"Main", {u"k"}},
      {"duplicate sections", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nx=3\r\nz=4\r\n",
       {{u"A", u"x", true, u"1"}, {u"B", u"y", true, u"2"}}, u"A", {u"x"}},
      {"unix line ends", "[Main]\na=1\nb=2\n",
       {{u"Main", u"a", true, u"1"}, {u"Main", u"b", true, u"2"}}, u"Main", {u"a", u"b"}},
      {"spaces inside the brackets", "[ Spaced ]\r\nk=1\r\n[Tail] ; note\r\nt=2\r\n",
       {{u"Spaced", u"k", true, u"1"}, {u"Tail", u"t", true, u"2"}}, u"Spaced", {u"k"}},
      {"hex and text values read as text", "[Main]\r\nH=0x1F\r\nT=yes\r\n",
       {{u"Main", u"H", true, u"0x1F"}, {u"Main", u"T", true, u"yes"}}, u"Main", {u"H", u"T"}},
  };
}

inline void RunReadTable(ProfileTableEnv& env) {
  for (const ReadCase& c : ReadCases()) {
    SCOPED_TRACE(c.name);
    Text path = env.PathFor("read.ini");
    env.WriteRaw(path, c.content);
    for (const ReadCheck& r : c.reads) {
      SCOPED_TRACE(platform::ToUtf8(r.section + u"/" + r.key));
      bool found = !r.found;
      Text got = env.profile().ReadString(path, r.section, r.key, u"dflt", &found);
      EXPECT_EQ(found, r.found);
      EXPECT_EQ(platform::ToUtf8(got), platform::ToUtf8(r.found ? r.value : Text(u"dflt")));
    }
    std::vector<std::string> keys, expected;
    for (const Text& k : env.profile().ReadKeys(path, c.keysOf)) keys.push_back(platform::ToUtf8(k));
    for (const Text& k : c.keys) expected.push_back(platform::ToUtf8(k));
    EXPECT_EQ(keys, expected);
  }
}

inline std::vector<std::string> Utf8(const std::vector<Text>& texts) {
  std::vector<std::string> out;
  for (const Text& t : texts) out.push_back(platform::ToUtf8(t));
  return out;
}

inline void RunWriteTable(ProfileTableEnv& env) {
  platform::Profile& pr = env.profile();
  {
    SCOPED_TRACE("a write creates the file");
    Text path = env.PathFor("new.ini");
    EXPECT_EQ(pr.ReadString(path, u"Main", u"a", u"none"), u"none");
    EXPECT_TRUE(pr.WriteString(path, u"New", u"Key", u"v"));
    EXPECT_EQ(pr.ReadString(path, u"new", u"KEY", u""), u"v");
    EXPECT_EQ(Utf8(pr.ReadSections(path)), std::vector<std::string>{"New"});
  }
  {
    SCOPED_TRACE("replace, append, delete keep the order");
    Text path = env.PathFor("order.ini");
    env.WriteRaw(path, "[Main]\r\na=1\r\nb=2\r\nc=3\r\n\r\n[Other]\r\nx=9\r\n");
    EXPECT_TRUE(pr.WriteString(path, u"MAIN", u"B", u"20"));
    EXPECT_TRUE(pr.WriteString(path, u"Main", u"d", u"4"));
    EXPECT_TRUE(pr.WriteString(path, u"Apps", u"C:\\x\\y.exe", u""));
    EXPECT_EQ(Utf8(pr.ReadKeys(path, u"Main")), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(pr.ReadString(path, u"Main", u"b", u""), u"20");
    EXPECT_EQ(Utf8(pr.ReadSections(path)), (std::vector<std::string>{"Main", "Other", "Apps"}));
    bool found = false;
    EXPECT_EQ(pr.ReadString(path, u"Apps", u"c:\\X\\y.exe", u"dflt", &found), u"");
    EXPECT_TRUE(found);
    EXPECT_TRUE(pr.DeleteKey(path, u"main", u"A"));
    EXPECT_EQ(Utf8(pr.ReadKeys(path, u"Main")), (std::vector<std::string>{"b", "c", "d"}));
    EXPECT_EQ(pr.ReadString(path, u"Other", u"x", u""), u"9");
  }
  {
    SCOPED_TRACE("erase a section");
    Text path = env.PathFor("erase.ini");
    env.WriteRaw(path, "[Services]\r\ns1=\r\ns2=\r\n[Info]\r\nMem=12\r\n");
    EXPECT_TRUE(pr.EraseSection(path, u"services"));
    EXPECT_EQ(Utf8(pr.ReadSections(path)), std::vector<std::string>{"Info"});
    EXPECT_TRUE(pr.ReadKeys(path, u"Services").empty());
    EXPECT_EQ(pr.ReadString(path, u"Info", u"Mem", u""), u"12");
  }
}

}  // namespace zentura_test
