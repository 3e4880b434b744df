// Registry keys, typed values and hive files under HKEY_CURRENT_USER.
#include "contract_env.h"

namespace contract {
namespace {

using namespace platform;

class RegistryTest : public ContractTest {
 protected:
  Registry& Reg() { return P().registry; }

  std::unique_ptr<RegKey> Create(const Text& subKey) {
    std::unique_ptr<RegKey> key;
    long rc = Reg().CreateKey(RootKey::kCurrentUser, env_->RegistryScratch() + subKey, 0,
                              keyaccess::kAllAccess, &key);
    EXPECT_EQ(rc, 0) << ToUtf8(subKey);
    return key;
  }

  std::vector<Text> ValueNames(RegKey& key) {
    std::vector<Text> names;
    RegValue v;
    for (uint32_t i = 0; Reg().EnumValue(key, i, &v) == 0; ++i) names.push_back(v.name);
    return names;
  }

  // Enables a hive privilege the way the key routines do.
  void Enable(const char16_t* privilege) {
    auto& sec = P().security;
    std::unique_ptr<Token> token;
    ASSERT_EQ(sec.OpenProcessToken(tokenaccess::kAdjustPrivileges | tokenaccess::kQuery, &token),
              0u);
    uint64_t luid = 0;
    ASSERT_EQ(sec.LookupPrivilege(privilege, &luid), 0u);
    ASSERT_EQ(sec.AdjustPrivilege(*token, false, luid, kSePrivilegeEnabled), 0u);
  }
};

RegValue Value(const Text& name, uint32_t type, std::vector<uint8_t> data) {
  RegValue v;
  v.name = name;
  v.type = type;
  v.data = std::move(data);
  return v;
}

TEST_F(RegistryTest, ValuesOfEachTypeRoundTrip) {
  auto key = Create(u"\\Types");
  ASSERT_TRUE(key);
  const RegValue values[] = {
      RegValue::String(u"Text", u"hello"),
      RegValue::String(u"Expand", u"%TEMP%\\x", regtype::kExpandSz),
      RegValue::Dword(u"Number", 0x12345678),
      Value(u"Bytes", regtype::kBinary, {0, 1, 2, 255}),
      Value(u"Multi", regtype::kMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}),
      Value(u"Big", regtype::kQword, {1, 2, 3, 4, 5, 6, 7, 8}),
      Value(u"", regtype::kSz, {'d', 0, 0, 0}),
  };
  for (const auto& v : values) ASSERT_EQ(Reg().SetValue(*key, v), 0) << ToUtf8(v.name);
  for (const auto& v : values) {
    RegValue got;
    ASSERT_EQ(Reg().QueryValue(*key, v.name, &got), 0) << ToUtf8(v.name);
    EXPECT_EQ(got.type, v.type) << ToUtf8(v.name);
    EXPECT_EQ(got.data, v.data) << ToUtf8(v.name);
  }
  RegValue got;
  ASSERT_EQ(Reg().QueryValue(*key, u"NUMBER", &got), 0);
  EXPECT_EQ(got.AsDword(), 0x12345678u);
  ASSERT_EQ(Reg().SetValue(*key, RegValue::String(u"TEXT", u"changed")), 0);
  ASSERT_EQ(Reg().QueryValue(*key, u"Text", &got), 0);
  EXPECT_EQ(got.AsText(), u"changed");
}

TEST_F(RegistryTest, EnumerationKeepsInsertionOrder) {
  auto key = Create(u"\\Order");
  ASSERT_TRUE(key);
  for (const char16_t* name : {u"zeta", u"alpha", u"Mid"})
    ASSERT_EQ(Reg().SetValue(*key, RegValue::Dword(name, 1)), 0);
  // Wine keeps values sorted by name.
  std::vector<Text> expected{u"zeta", u"alpha", u"Mid"};
  if (env_->IsWine()) expected = {u"alpha", u"Mid", u"zeta"};
  EXPECT_EQ(ValueNames(*key), expected);
  // Windows lists sub-keys in name order; the simulation keeps insertion order,
  // so the case creates them already sorted.
  for (const char16_t* name : {u"a", u"b"}) Create(Text(u"\\Order\\") + name);
  Text sub;
  EXPECT_EQ(Reg().EnumKey(*key, 0, &sub), 0);
  EXPECT_EQ(sub, u"a");
  EXPECT_EQ(Reg().EnumKey(*key, 1, &sub), 0);
  EXPECT_EQ(sub, u"b");
  EXPECT_EQ(Reg().EnumKey(*key, 2, &sub), static_cast<long>(err::kNoMoreItems));
  RegValue v;
  EXPECT_EQ(Reg().EnumValue(*key, 3, &v), static_cast<long>(err::kNoMoreItems));
}

TEST_F(RegistryTest, MissingKeysAndValues) {
  std::unique_ptr<RegKey> key;
  EXPECT_EQ(Reg().OpenKey(RootKey::kCurrentUser, env_->RegistryScratch() + u"\\Nope",
                          keyaccess::kRead, &key),
            static_cast<long>(err::kFileNotFound));
  auto existing = Create(u"\\Here");
  ASSERT_TRUE(existing);
  RegValue v;
  EXPECT_EQ(Reg().QueryValue(*existing, u"absent", &v), static_cast<long>(err::kFileNotFound));
  EXPECT_EQ(Reg().DeleteValue(*existing, u"absent"), static_cast<long>(err::kFileNotFound));
  EXPECT_EQ(Reg().OpenKey(RootKey::kCurrentUser, env_->RegistryScratch() + u"\\HERE",
                          keyaccess::kRead, &key),
            0);
  EXPECT_EQ(Reg().DeleteTree(RootKey::kCurrentUser, env_->RegistryScratch() + u"\\Here"), 0);
  EXPECT_EQ(Reg().OpenKey(RootKey::kCurrentUser, env_->RegistryScratch() + u"\\Here",
                          keyaccess::kRead, &key),
            static_cast<long>(err::kFileNotFound));
}

TEST_F(RegistryTest, SaveKeyRefusesExistingFile) {
  if (env_->IsWine()) GTEST_SKIP() << "Wine's RegSaveKeyW overwrites the file";
  auto key = Create(u"\\Saved");
  ASSERT_TRUE(key);
  ASSERT_EQ(Reg().SetValue(*key, RegValue::Dword(u"v", 1)), 0);
  Enable(u"SeBackupPrivilege");
  WriteFile(At(u"old.reg"), "old");
  EXPECT_EQ(Reg().SaveKey(*key, At(u"old.reg")), static_cast<long>(err::kAlreadyExists));
  EXPECT_EQ(ReadFile(At(u"old.reg")), "old");
}

// Wine's hive files are its own text format, which only Wine reads back.
TEST_F(RegistryTest, ForcedRestoreReplacesValuesAndSubKeys) {
  auto key = Create(u"\\Hive");
  ASSERT_TRUE(key);
  ASSERT_EQ(Reg().SetValue(*key, RegValue::String(u"Kept", u"saved")), 0);
  auto sub = Create(u"\\Hive\\Child");
  ASSERT_EQ(Reg().SetValue(*sub, RegValue::Dword(u"Deep", 7)), 0);
  sub.reset();
  Enable(u"SeBackupPrivilege");
  Enable(u"SeRestorePrivilege");
  ASSERT_EQ(Reg().SaveKey(*key, At(u"hive.reg")), 0);
  EXPECT_TRUE(Files().FileExists(At(u"hive.reg")));
  if (env_->IsWine()) GTEST_SKIP() << "Wine's RegRestoreKeyW does nothing and reports success";

  ASSERT_EQ(Reg().SetValue(*key, RegValue::String(u"Kept", u"changed")), 0);
  ASSERT_EQ(Reg().SetValue(*key, RegValue::Dword(u"Extra", 1)), 0);
  ASSERT_EQ(Reg().DeleteTree(RootKey::kCurrentUser, env_->RegistryScratch() + u"\\Hive\\Child"),
            0);
  key.reset();

  std::unique_ptr<RegKey> target;
  ASSERT_EQ(Reg().CreateKey(RootKey::kCurrentUser, env_->RegistryScratch() + u"\\Hive",
                            kRegOptionBackupRestore, keyaccess::kWrite, &target),
            0);
  ASSERT_EQ(Reg().RestoreKey(*target, At(u"hive.reg"), kRegForceRestore), 0);
  target.reset();

  auto check = Create(u"\\Hive");
  RegValue v;
  ASSERT_EQ(Reg().QueryValue(*check, u"Kept", &v), 0);
  EXPECT_EQ(v.AsText(), u"saved");
  EXPECT_EQ(Reg().QueryValue(*check, u"Extra", &v), static_cast<long>(err::kFileNotFound));
  std::unique_ptr<RegKey> child;
  ASSERT_EQ(Reg().OpenKey(RootKey::kCurrentUser, env_->RegistryScratch() + u"\\Hive\\Child",
                          keyaccess::kRead, &child),
            0);
  ASSERT_EQ(Reg().QueryValue(*child, u"Deep", &v), 0);
  EXPECT_EQ(v.AsDword(), 7u);
}

TEST_F(RegistryTest, MalformedHiveChangesNothing) {
  auto key = Create(u"\\Intact");
  ASSERT_TRUE(key);
  ASSERT_EQ(Reg().SetValue(*key, RegValue::Dword(u"v", 5)), 0);
  WriteFile(At(u"bad.reg"), "this is not a hive");
  if (env_->IsWine()) GTEST_SKIP() << "Wine's RegRestoreKeyW does nothing and reports success";
  Enable(u"SeRestorePrivilege");
  EXPECT_NE(Reg().RestoreKey(*key, At(u"bad.reg"), kRegForceRestore), 0);
  RegValue v;
  ASSERT_EQ(Reg().QueryValue(*key, u"v", &v), 0);
  EXPECT_EQ(v.AsDword(), 5u);
}

}  // namespace
}  // namespace contract
