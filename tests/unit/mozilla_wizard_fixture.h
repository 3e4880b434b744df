// A small Firefox/Flock profile on the simulated Windows, the wizard
// operations over it and what they leave behind.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "brantle/archive/zlib_multiple.h"
#include "brantle/browsers/mozilla/mozilla_backup.h"
#include "platform/sim/sim_windows.h"
#include "tests/unit/wizard_fixture.h"

namespace testing_support {

using brantle::MozillaBrowser;

class MozillaWizardTest : public WizardFixture {
 protected:
  static Text Root(MozillaBrowser browser) {
    return browser == MozillaBrowser::kFlock ? u"C:\\Users\\tester\\AppData\\Roaming\\Flock\\Browser"
                                             : u"C:\\Users\\tester\\AppData\\Roaming\\Mozilla\\Firefox";
  }
  static Text ProfileDir(MozillaBrowser browser, const Text& name) {
    return Root(browser) + u"\\Profiles\\" + name;
  }

  // A root with profiles.ini and, when given, one profile holding `files`
  // (paths relative to the profile, content = the path itself).
  Text MakeProfile(MozillaBrowser browser, const Text& name, const std::vector<Text>& files) {
    WriteFile(p, Root(browser) + u"\\profiles.ini", "[General]");
    Text dir = ProfileDir(browser, name);
    p.files.ForceDirectories(dir);
    for (const Text& f : files) WriteFile(p, dir + u"\\" + f, platform::ToUtf8(f));
    return dir;
  }

  static std::vector<int> AllItems(MozillaBrowser browser) {
    std::vector<int> all;
    for (const auto& item : brantle::CatalogueOf(browser).items) all.push_back(item.checkBox);
    return all;
  }

  // The choice a freshly activated window offers: every box ticked, the
  // first profile and the first backup file selected.
  brantle::SelectiveChoice Choice(brantle::MozillaSelectiveWizard& w) {
    brantle::SelectiveChoice c;
    w.Activate(c.profiles);
    c.profileIndex = c.profiles.empty() ? -1 : 0;
    c.backupLocation = backups;
    c.ticked = AllItems(w.browser);
    c.backupFiles = brantle::ListBackupFiles(p.files, backups);
    c.backupFileIndex = c.backupFiles.empty() ? -1 : 0;
    return c;
  }
};

}  // namespace testing_support
