// The user, the version, error texts and the ANSI code page.
#include "contract_env.h"

namespace contract {
namespace {

using namespace platform;

using SystemTest = ContractTest;

TEST_F(SystemTest, UserNameAndVersion) {
  Text name;
  ASSERT_TRUE(P().system.UserName(&name));
  EXPECT_FALSE(name.empty());
  OsVersion v = P().system.Version();
  EXPECT_GE(v.major, 5u);
  EXPECT_LE(v.major, 10u);
}

TEST_F(SystemTest, ErrorMessagesAreTheSystemTexts) {
  if (env_->IsWine()) {
    // Wine has texts of its own ("File not found.").
    EXPECT_FALSE(P().system.ErrorMessage(err::kFileNotFound).empty());
    EXPECT_NE(P().system.ErrorMessage(err::kFileNotFound),
              P().system.ErrorMessage(err::kAccessDenied));
    return;
  }
  EXPECT_EQ(P().system.ErrorMessage(err::kFileNotFound),
            u"The system cannot find the file specified.");
  EXPECT_EQ(P().system.ErrorMessage(err::kAccessDenied), u"Access is denied.");
}

TEST_F(SystemTest, AnsiRoundTripAndDefaultCharacter) {
  const Text latin = u"Caf\u00e9 \u00c4rger \u20ac";
  bool usedDefault = true;
  std::string bytes = P().system.ToAnsi(latin, &usedDefault);
  EXPECT_FALSE(usedDefault);
  EXPECT_EQ(bytes, "Caf\xe9 \xc4rger \x80");
  EXPECT_EQ(P().system.FromAnsi(bytes), latin);

  bytes = P().system.ToAnsi(u"\u65e5\u672c.txt", &usedDefault);
  EXPECT_TRUE(usedDefault);
  EXPECT_EQ(bytes, "??.txt");
}

}  // namespace
}  // namespace contract
