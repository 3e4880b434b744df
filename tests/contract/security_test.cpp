// Enabling and dropping the token privileges the hive routines need.
#include "contract_env.h"

namespace contract {
namespace {

using namespace platform;

using SecurityTest = ContractTest;

TEST_F(SecurityTest, LookupKnownAndUnknownPrivileges) {
  uint64_t backup = 0, restore = 0, unknown = 0;
  EXPECT_EQ(P().security.LookupPrivilege(u"SeBackupPrivilege", &backup), 0u);
  EXPECT_EQ(P().security.LookupPrivilege(u"SeRestorePrivilege", &restore), 0u);
  EXPECT_NE(backup, restore);
  EXPECT_EQ(P().security.LookupPrivilege(u"SeNoSuchPrivilege", &unknown), err::kNoSuchPrivilege);
}

TEST_F(SecurityTest, EnableThenDisableAll) {
  auto& sec = P().security;
  std::unique_ptr<Token> token;
  ASSERT_EQ(sec.OpenProcessToken(tokenaccess::kAdjustPrivileges | tokenaccess::kQuery, &token),
            0u);
  for (const char16_t* name : {u"SeBackupPrivilege", u"SeRestorePrivilege"}) {
    uint64_t luid = 0;
    ASSERT_EQ(sec.LookupPrivilege(name, &luid), 0u);
    EXPECT_EQ(sec.AdjustPrivilege(*token, false, luid, kSePrivilegeEnabled), 0u)
        << ToUtf8(name);
    if (env_->IsSim()) {
      EXPECT_TRUE(env_->PrivilegeEnabled(name));
    }
  }
  EXPECT_EQ(sec.AdjustPrivilege(*token, true, 0, 0), 0u);
  if (env_->IsSim()) {
    EXPECT_FALSE(env_->PrivilegeEnabled(u"SeBackupPrivilege"));
    EXPECT_FALSE(env_->PrivilegeEnabled(u"SeRestorePrivilege"));
  }
}

}  // namespace
}  // namespace contract
