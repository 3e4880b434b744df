#include "platform/sim/sim_profile.h"

#include "tests/zentura/profile_table.h"

namespace zentura_test {
namespace {

class SimProfileEnv : public ProfileTableEnv {
 public:
  platform::Profile& profile() override { return profile_; }
  Text PathFor(const std::string& name) override {
    return u"C:\\t\\" + platform::ToText(++serial_) + u"_" + platform::FromUtf8(name);
  }
  void WriteRaw(const Text& path, const std::string& bytes) override { store_.Save(path, bytes); }

 private:
  platform::sim::MemoryProfileStore store_;
  platform::sim::SimProfile profile_{store_};
  int serial_ = 0;
};

TEST(ProfileTable, ReadsOnTheSimulation) {
  SimProfileEnv env;
  RunReadTable(env);
}

TEST(ProfileTable, WritesOnTheSimulation) {
  SimProfileEnv env;
  RunWriteTable(env);
}

TEST(SimProfile, KeepsAUnicodeFileUnicode) {
  platform::sim::MemoryProfileStore store;
  platform::sim::SimProfile profile(store);
  store.Save(u"C:\\u.ini", std::string("\xFF\xFE[\0A\0]\0\r\0\n\0", 12));
  ASSERT_TRUE(profile.WriteString(u"C:\\u.ini", u"A", u"k", u"\u4E2D"));
  std::string bytes;
  ASSERT_TRUE(store.Load(u"C:\\u.ini", &bytes));
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(profile.ReadString(u"C:\\u.ini", u"a", u"K", u""), u"\u4E2D");
}

}  // namespace
}  // namespace zentura_test
