// What every wizard test on the simulated Windows starts from: a fresh
// machine with a backup folder, the helpers and a headless host, and views
// of archives and folders.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "brantle/archive/zlib_multiple.h"
#include "brantle/browsers/common/wizard_host.h"
#include "brantle/shell/file_helpers.h"
#include "platform/sim/sim_windows.h"
#include "tests/unit/sim_fixture.h"

namespace testing_support {

inline std::vector<Text> Sorted(std::vector<Text> v) {
  std::sort(v.begin(), v.end());
  return v;
}

inline std::vector<Text> Plus(std::vector<Text> a, const std::vector<Text>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return Sorted(a);
}

class WizardFixture : public ::testing::Test {
 protected:
  platform::sim::TempSimWindows sim;
  platform::Platform& p = sim.Get();
  brantle::FileHelpers helpers{p};
  brantle::HeadlessWizardHost host;
  const Text backups = u"C:\\Backups";

  WizardFixture() { p.files.ForceDirectories(backups); }

  // The paths an archive holds, sorted.
  std::vector<Text> Stored(const Text& archive) {
    brantle::TZlibMultiple codec(p);
    std::vector<Text> files;
    codec.ListStoredFiles(archive, files);
    return Sorted(files);
  }

  // The names in a folder, sorted, without "." and "..".
  std::vector<Text> Listing(const Text& dir) {
    std::vector<Text> names;
    for (const auto& e : p.files.Find(dir + u"\\*"))
      if (e.name != u"." && e.name != u"..") names.push_back(e.name);
    return Sorted(names);
  }
};

}  // namespace testing_support
