#include "brantle/browsers/mozilla/mozilla_discovery.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/sim_windows.h"
#include "tests/unit/sim_fixture.h"

namespace {

using namespace brantle;
using platform::Text;
using testing_support::WriteFile;

struct Candidates {
  unsigned major;
  MozillaBrowser browser;
  const char16_t* dir1;
  const char16_t* dir2;
  const char16_t* dir3;
  const char16_t* dir4;
};

class CandidateTest : public ::testing::TestWithParam<Candidates> {};

TEST_P(CandidateTest, BuildsTheFourCandidatesOfItsWindowsFamily) {
  const Candidates& c = GetParam();
  platform::sim::SimConfig config;
  config.version = {c.major, 1, 0};
  platform::sim::TempSimWindows sim(config);
  sim.sim().Config().specialFolders[platform::csidl::kAppData] = u"C:\\Roam";
  sim.sim().Config().specialFolders[platform::csidl::kLocalAppData] = u"C:\\Loc";
  FileHelpers helpers(sim.Get());
  MozillaDiscovery d;

  EXPECT_FALSE(FindProfileRoot(helpers, sim.Get(), c.browser, DiscoveryForm::kSelective, d));
  EXPECT_EQ(d.dir1, c.dir1);
  EXPECT_EQ(d.dir2, c.dir2);
  EXPECT_EQ(d.dir3, c.dir3);
  EXPECT_EQ(d.dir4, c.dir4);
  EXPECT_EQ(d.windoze, platform::ToText(c.major));
  EXPECT_EQ(d.VersionNumber, platform::ToText(c.major) + u".1");
  EXPECT_EQ(d.fullFilePath, u"");
}

INSTANTIATE_TEST_SUITE_P(
    Versions, CandidateTest,
    ::testing::Values(
        Candidates{5, MozillaBrowser::kFirefox, u"C:\\Roam\\Mozilla\\Firefox",
                   u"C:\\Documents and Settings\\tester\\Local Settings\\Application Data\\Mozilla\\Firefox",
                   u"C:\\Documents and Settings\\tester\\Application Data\\Mozilla\\Firefox",
                   u"C:\\Loc\\Mozilla\\Firefox"},
        Candidates{6, MozillaBrowser::kFirefox, u"C:\\Roam\\Mozilla\\Firefox",
                   u"C:\\Users\\tester\\AppData\\Local\\Mozilla\\Firefox",
                   u"C:\\Users\\tester\\AppData\\Roaming\\Mozilla\\Firefox", u"C:\\Loc\\Mozilla\\Firefox"},
        Candidates{10, MozillaBrowser::kFirefox, u"",
                   u"C:\\Documents and Settings\\tester\\Local Settings\\Application Data\\Mozilla\\Firefox",
                   u"C:\\Documents and Settings\\tester\\Application Data\\Mozilla\\Firefox",
                   u"C:\\Loc\\Mozilla\\Firefox"},
        Candidates{6, MozillaBrowser::kFlock, u"C:\\Roam\\Flock\\Browser",
                   u"C:\\Users\\tester\\AppData\\Local\\Flock\\Browser",
                   u"C:\\Users\\tester\\AppData\\Roaming\\Flock\\Browser", u"C:\\Loc\\Flock\\Browser"},
        Candidates{5, MozillaBrowser::kFlock, u"C:\\Roam\\Flock\\Browser",
                   u"C:\\Documents and Settings\\tester\\Local Settings\\Application Data\\Flock\\Browser",
                   u"C:\\Documents and Settings\\tester\\Application Data\\Flock\\Browser",
                   u"C:\\Loc\\Flock\\Browser"}));

class DiscoveryTest : public ::testing::Test {
 protected:
  platform::sim::TempSimWindows sim;
  platform::Platform& p = sim.Get();
  FileHelpers helpers{p};
  MozillaDiscovery d;

  void Version(unsigned major) { sim.sim().Config().version = {major, 0, 0}; }
  void Roaming(const Text& folder) { sim.sim().Config().specialFolders[platform::csidl::kAppData] = folder; }
};

TEST_F(DiscoveryTest, SelectiveFormKeepsTrailingBackslashAndListsProfiles) {
  Roaming(u"D:\\Redirected");
  sim.sim().MapDrive(u"D:", sim.root() + "/D");
  WriteFile(p, u"D:\\Redirected\\Mozilla\\Firefox\\profiles.ini", "[General]");
  WriteFile(p, u"D:\\Redirected\\Mozilla\\Firefox\\Profiles\\ab12cd34.default\\prefs.js", "p");
  ASSERT_TRUE(p.files.ForceDirectories(u"D:\\Redirected\\Mozilla\\Firefox\\Profiles\\zz99yy88.work"));

  ASSERT_TRUE(FindProfileRoot(helpers, p, MozillaBrowser::kFirefox, DiscoveryForm::kSelective, d));
  EXPECT_EQ(d.fullFilePath, u"D:\\Redirected\\Mozilla\\Firefox\\profiles.ini");
  EXPECT_EQ(d.ffpath, u"D:\\Redirected\\Mozilla\\Firefox\\");
  EXPECT_EQ(d.ffpath2, u"D:\\Redirected\\Mozilla\\Firefox\\Profiles");

  std::vector<Text> list;
  ListProfiles(helpers, d, list);
  std::sort(list.begin(), list.end());
  EXPECT_EQ(list, (std::vector<Text>{u"ab12cd34.default", u"zz99yy88.work"}));
}

TEST_F(DiscoveryTest, FullFormDropsTheBackslashTooAndXpFindsTheRoamingCandidate) {
  Version(5);
  Roaming(u"C:\\Elsewhere");
  WriteFile(p, u"C:\\Documents and Settings\\tester\\Application Data\\Flock\\Browser\\profiles.ini", "");
  ASSERT_TRUE(FindProfileRoot(helpers, p, MozillaBrowser::kFlock, DiscoveryForm::kFull, d));
  EXPECT_EQ(d.ffpath, u"C:\\Documents and Settings\\tester\\Application Data\\Flock\\Browser");
}

TEST_F(DiscoveryTest, OtherVersionsIgnoreTheRoamingFolder) {
  Version(10);
  WriteFile(p, u"C:\\Users\\tester\\AppData\\Roaming\\Mozilla\\Firefox\\profiles.ini", "");
  EXPECT_FALSE(FindProfileRoot(helpers, p, MozillaBrowser::kFirefox, DiscoveryForm::kSelective, d));
  EXPECT_EQ(NotFoundText(DiscoveryForm::kSelective), u"Settings Files Not Found. Select Custom Profile.");
  EXPECT_EQ(NotFoundText(DiscoveryForm::kFull), u"Settings Files Not Found.");
}

TEST_F(DiscoveryTest, ProfilesIniInCurrentFolderWinsAndMissingProfilesFolderListsNothing) {
  WriteFile(p, u"C:\\Users\\tester\\AppData\\Roaming\\Mozilla\\Firefox\\profiles.ini", "");
  WriteFile(p, u"C:\\work\\profiles.ini", "");
  ASSERT_TRUE(p.files.SetCurrentDir(u"C:\\work"));

  ASSERT_TRUE(FindProfileRoot(helpers, p, MozillaBrowser::kFirefox, DiscoveryForm::kSelective, d));
  EXPECT_EQ(d.fullFilePath, u"profiles.ini");
  EXPECT_EQ(d.ffpath, u"");
  EXPECT_EQ(d.ffpath2, u"Profiles");
  std::vector<Text> list;
  ListProfiles(helpers, d, list);
  EXPECT_TRUE(list.empty());
}

TEST(FileSearchTest, SkipsEmptyCandidatesAndAddsSeparatorsOnlyWhereNeeded) {
  platform::sim::TempSimWindows sim;
  WriteFile(sim.Get(), u"C:\\b\\f.ini", "");
  WriteFile(sim.Get(), u"C:\\c\\f.ini", "");
  EXPECT_EQ(FileSearch(sim.Get().files, u"f.ini", u";;C:\\a;C:\\b\\;C:\\c"), u"C:\\b\\f.ini");
  EXPECT_EQ(FileSearch(sim.Get().files, u"f.ini", u"C:\\a;;C:\\c"), u"C:\\c\\f.ini");
  EXPECT_EQ(FileSearch(sim.Get().files, u"f.ini", u";;"), u"");
}

TEST(ProfileChoiceTest, CustomFolderOrSelectedItem) {
  MozillaDiscovery d;
  d.ffpath = u"C:\\FF\\";
  std::vector<Text> profiles{u"ab12cd34.default", u"zz99yy88.work"};

  ProfileChoice custom = ResolveProfile(u"E:\\Portable\\profile", d, profiles, 0);
  EXPECT_EQ(custom.folder, u"E:\\Portable\\profile\\");
  EXPECT_EQ(custom.name, u"123456789ff_custom");
  EXPECT_EQ(ProfileShortName(custom.name), u"ff_custom");

  ProfileChoice listed = ResolveProfile(kCustomProfilePlaceholder, d, profiles, 1);
  EXPECT_EQ(listed.folder, u"C:\\FF\\Profiles\\zz99yy88.work\\");
  EXPECT_EQ(ProfileShortName(listed.name), u"work");

  EXPECT_THROW(ResolveProfile(kCustomProfilePlaceholder, d, {}, -1), std::out_of_range);
  EXPECT_EQ(ProfileShortName(u"123456789"), u"");
}

}  // namespace
