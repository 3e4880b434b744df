#include "brantle/cli/cli_commands.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zlib.h>

#include <csignal>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/sim_windows.h"
#include "tests/unit/sim_fixture.h"

namespace {

using platform::Text;
using namespace testing_support;

// The simulated machine as brantle-cli's host: paths are typed as Windows paths.
class SimHost : public platform::HostPlatform {
 public:
  explicit SimHost(platform::sim::TempSimWindows& sim) : sim_(sim) {}
  platform::Platform& Get() override { return sim_.Get(); }
  Text FromHostPath(const std::string& path) override { return platform::FromUtf8(path); }
  std::string ToHostPath(const Text& path) override { return platform::ToUtf8(path); }

 private:
  platform::sim::TempSimWindows& sim_;
};

class CliTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    brantle::cli::Console console{out, err, false};
    return brantle::cli::Run(host, args, console);
  }
  std::string Host(const Text& path) { return sim.sim().HostPath(path); }

  platform::sim::TempSimWindows sim;
  platform::Platform& p = sim.Get();
  SimHost host{sim};
  std::ostringstream out, err;
};

TEST_F(CliTest, ArgumentsAreCheckedBeforeAnythingRuns) {
  WriteFile(p, u"C:\\src\\a.txt", "a");
  ASSERT_EQ(Run({"pack", "C:\\src", "C:\\e.dat"}), 0);
  p.files.SetCurrentDir(u"C:\\src");
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string text;  // in stderr, or in stdout for a code of 0
  } cases[] = {
      {{"--help"}, 0, "Usage: brantle-cli"},
      {{"backup", "firefox", "--help"}, 0, "--custom-profile"},
      {{}, 2, "Subcommands:"},
      {{"unpack", "C:\\e.dat", ""}, 2, "DIR: an empty path is not allowed"},
      {{"pack", "", "C:\\x.dat"}, 2, "DIR: an empty path is not allowed"},
      {{"pack", "C:\\src"}, 2, "ARCHIVE is required"},
      {{"list", "C:\\e.dat", "extra"}, 2, "extra"},
      {{"backup", "firefox", "--to="}, 2, "--to: an empty path is not allowed"},
      {{"backup", "firefox", "--to=C:\\bk", "--full", "--items=all"}, 2, "--full excludes --items"},
      {{"backup", "ie", "--to", "C:\\bk", "--profile", "x"}, 2, "--profile"},
      {{"restore", "ie", "--from", "C:\\bk", "--archive", "a.dat"}, 2, "--archive"},
      {{"backup", "netscape", "--to", "C:\\bk"}, 2, "unknown browser: netscape (ie, firefox"},
      {{"update"}, 2, "--check or --install"},
      {{"update", "--check", "--install"}, 2, "--check excludes --install"},
      {{"update", "--server=", "--check"}, 2, "--server: an empty host is not allowed"},
      {{"list", "C:\\none.dat"}, 1, "archive not found: C:\\none.dat"},
      // --opt=value reaches the command: the wizard runs and reports the profile.
      {{"restore", "firefox", "--from=C:\\bk", "--profile=nobody"}, 1, "Settings Files Not Found"},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const auto& a : c.args) line += "[" + a + "] ";
    EXPECT_EQ(Run(c.args), c.code) << line << err.str();
    EXPECT_NE((c.code == 0 ? out : err).str().find(c.text), std::string::npos) << line << err.str();
  }
  // The refused unpack wrote nothing into the current folder.
  EXPECT_EQ(ReadFile(p, u"C:\\src\\a.txt"), "a");
}

TEST_F(CliTest, PackThatLeftSomethingOutWritesTheArchiveAndSaysSo) {
  WriteFile(p, u"C:\\src\\a.txt", "kept");
  WriteFile(p, u"C:\\src\\busy.log", "busy");
  WriteFile(p, u"C:\\up.txt", "outside the tree");
  // A host name that as a Windows path would climb out of the tree.
  std::ofstream(Host(u"C:\\src") + "/..\\up.txt") << "host file";
  uint32_t error = 0;
  auto writer = p.files.Open(u"C:\\src\\busy.log", platform::Access::kWrite, platform::Share::kReadWrite,
                             platform::Disposition::kOpenExisting, &error);
  ASSERT_TRUE(writer);

  EXPECT_EQ(Run({"pack", "C:\\src", "C:\\a.dat"}), 4);
  EXPECT_NE(err.str().find("skipped C:\\src\\busy.log: Cannot open file"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("Not a valid Windows name: \"..\\up.txt\""), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("2 files or folders were left out"), std::string::npos) << err.str();
  ASSERT_EQ(Run({"list", "C:\\a.dat"}), 0);
  EXPECT_EQ(out.str(), "a.txt\n");
}

TEST_F(CliTest, WriteFailuresNameTheFileAndTheSystemReason) {
  WriteFile(p, u"C:\\src\\a.bin", std::string(200000, 'x'));
  ASSERT_EQ(Run({"pack", "C:\\src", "C:\\a.dat"}), 0);
  // A file-size limit makes the write fail part-way, as a full disk would.
  struct rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit small = old;
  small.rlim_cur = 100000;
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  int code = Run({"unpack", "C:\\a.dat", "C:\\out"});
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(err.str(),
            "brantle-cli: unpack: Cannot write file \"C:\\out\\a.bin\". The file size exceeds the limit allowed "
            "and cannot be saved.\n");
}

TEST_F(CliTest, UnpackAndVerifyNameTheEntriesWhoseNamesWindowsRefuses) {
  WriteFile(p, u"C:\\old.dat", ArchiveEntry("", "?.txt", "x"));
  EXPECT_EQ(Run({"verify", "C:\\old.dat"}), 4);
  EXPECT_NE(err.str().find("renamed ?.txt: not a valid Windows name, would be restored as \\_.txt"), std::string::npos)
      << err.str();
  EXPECT_EQ(Run({"unpack", "C:\\old.dat", "C:\\out"}), 4);
  EXPECT_EQ(ReadFile(p, u"C:\\out\\_.txt"), "x");
}

TEST_F(CliTest, BrowserRunsNameWhatTheArchiveLeftOutOrRenamedAndExitWithFour) {
  const Text root = u"C:\\Users\\tester\\AppData\\Roaming\\Mozilla\\Firefox";
  const Text profile = root + u"\\Profiles\\x7k2m9qa.default";
  WriteFile(p, root + u"\\profiles.ini", "[General]");
  WriteFile(p, profile + u"\\prefs.js", "prefs");
  WriteFile(p, profile + u"\\parent.lock", "");
  p.files.ForceDirectories(u"C:\\Backups");
  // A running browser holds its lock file.
  uint32_t error = 0;
  auto lock = p.files.Open(profile + u"\\parent.lock", platform::Access::kWrite, platform::Share::kExclusive,
                           platform::Disposition::kOpenExisting, &error);
  ASSERT_TRUE(lock);
  EXPECT_EQ(Run({"backup", "firefox", "--full", "--to", "C:\\Backups"}), 4);
  EXPECT_NE(err.str().find("brantle-cli: These files were left out of the backup or changed while it read them:\n\n"
                           "Cannot open file \"" + platform::ToUtf8(profile) + "\\parent.lock\"."),
            std::string::npos)
      << err.str();
  EXPECT_NE(out.str().find("Backed up "), std::string::npos);
  lock.reset();

  // A name an older version stored with "?" comes back under a valid one.
  std::string archive = ReadFile(p, u"C:\\Backups\\fbackup_firefox.dat");
  WriteFile(p, u"C:\\Backups\\fbackup_firefox.dat",
            archive + ArchiveEntry("Profiles\\x7k2m9qa.default\\", "?.js", "old"));
  EXPECT_EQ(Run({"restore", "firefox", "--full", "--from", "C:\\Backups"}), 4);
  EXPECT_EQ(ReadFile(p, profile + u"\\_.js"), "old");
  EXPECT_EQ(ReadFile(p, profile + u"\\prefs.js"), "prefs");
  EXPECT_NE(err.str().find("restored under other names:\n\nProfiles\\x7k2m9qa.default\\?.js as _.js\n"),
            std::string::npos)
      << err.str();
}

TEST(SimErrorTextTest, SystemCodesAndHostErrorsHaveTheirOwnText) {
  platform::sim::TempSimWindows sim;
  platform::System& system = sim.Get().system;
  EXPECT_EQ(system.ErrorMessage(platform::err::kInvalidName),
            u"The filename, directory name, or volume label syntax is incorrect.");
  EXPECT_EQ(system.ErrorMessage(platform::err::kDiskFull), u"There is not enough space on the disk.");
  // A host error without a Windows code keeps the host's words rather than a guess.
  EXPECT_EQ(system.ErrorMessage(platform::err::kHostErrnoBit | ENOLINK),
            platform::FromUtf8(std::strerror(ENOLINK)) + u".");
}

}  // namespace
