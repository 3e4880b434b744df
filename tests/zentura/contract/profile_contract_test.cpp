// The ini table against the real profile functions.
#include "platform/win32/win32_system_platform.h"
#include "tests/zentura/contract/win32_test_support.h"
#include "tests/zentura/profile_table.h"

namespace zentura_test {
namespace {

class Win32ProfileEnv : public ProfileTableEnv {
 public:
  Win32ProfileEnv() : profile_(platform::win32::MakeProfile()), folder_(ScratchFolder("zprofile")) {}
  platform::Profile& profile() override { return *profile_; }
  Text PathFor(const std::string& name) override {
    return folder_ + platform::ToText(++serial_) + u"_" + platform::FromUtf8(name);
  }
  void WriteRaw(const Text& path, const std::string& bytes) override {
    ASSERT_TRUE(WriteRawFile(path, bytes));
  }

 private:
  std::unique_ptr<platform::Profile> profile_;
  Text folder_;
  int serial_ = 0;
};

TEST(ProfileTable, ReadsOnTheRealFunctions) {
  Win32ProfileEnv env;
  RunReadTable(env);
}

TEST(ProfileTable, WritesOnTheRealFunctions) {
  Win32ProfileEnv env;
  RunWriteTable(env);
}

}  // namespace
}  // namespace zentura_test
