// The shipped language files as the real profile functions read them: the
// English file is 8-bit text, the others UTF-16 with a byte-order mark.
#include <gtest/gtest.h>

#include "platform/win32/win32_system_platform.h"
#include "tests/zentura/contract/win32_test_support.h"
#include "zentura/lang/multi_lan.h"

namespace zentura_test {
namespace {

TEST(ShippedLanguageFiles, ReadThroughTheRealProfileFunctions) {
  auto profile = platform::win32::MakeProfile();
  const Text folder = ProgramFolder() + u"Language\\";
  zentura::TMultiLan english(*profile, folder + u"English.lng");
  zentura::TMultiLan deutsch(*profile, folder + u"Deutsch.lng");
  zentura::TMessageList en = english.ReadSectionList(u"Zentura_M_form1");
  zentura::TMessageList de = deutsch.ReadSectionList(u"Zentura_M_form1");
  ASSERT_GE(en.size(), static_cast<size_t>(zentura::kMinMessages));
  ASSERT_EQ(de.size(), en.size());
  EXPECT_EQ(en[15], u"%d MB");
  EXPECT_EQ(de[33], u"Gr\u00f6\u00dfe");
  EXPECT_EQ(deutsch.ReadValue(u"Zentura_Form1", u"Caption"), u"Zentura by Veltrane");
  EXPECT_EQ(deutsch.ReadIndexed(u"Zentura_M_form2", 0, u"All programs"), u"Alle Programme");
}

}  // namespace
}  // namespace zentura_test
