// The simulation's own knobs and the Linux host mapping: what tests configure
// per case, which a real Windows cannot be made to do on demand.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/host.h"
#include "platform/sim/sim_windows.h"

namespace {

using namespace platform;
using sim::SimConfig;
using sim::TempSimWindows;

TEST(SimConfigTest, FailuresOnDemand) {
  SimConfig config;
  config.userNameFails = true;
  config.windowsDirFails = true;
  TempSimWindows sim(config);
  Text text;
  uint32_t error = 0;
  EXPECT_FALSE(sim.Get().system.UserName(&text));
  EXPECT_FALSE(sim.Get().files.WindowsDir(&text, &error));
  EXPECT_NE(error, 0u);
  EXPECT_LT(sim.Get().shell.FolderPath(35, &text), 0);
}

TEST(SimConfigTest, VersionUserAndFoldersComeFromConfig) {
  SimConfig config;
  config.version = {5, 1, 2600};
  config.userName = u"Anna";
  TempSimWindows sim(config);
  Text text;
  ASSERT_TRUE(sim.Get().system.UserName(&text));
  EXPECT_EQ(text, u"Anna");
  EXPECT_EQ(sim.Get().system.Version().major, 5u);
  ASSERT_EQ(sim.Get().shell.FolderPath(csidl::kAppData, &text), 0);
  EXPECT_EQ(text, u"C:\\Users\\Anna\\AppData\\Roaming");
}

TEST(SimConfigTest, PrivilegeNotHeldIsNotAssigned) {
  TempSimWindows sim;
  auto& sec = sim.Get().security;
  std::unique_ptr<Token> token;
  ASSERT_EQ(sec.OpenProcessToken(tokenaccess::kAdjustPrivileges, &token), 0u);
  uint64_t luid = 0;
  ASSERT_EQ(sec.LookupPrivilege(u"SeDebugPrivilege", &luid), 0u);
  EXPECT_EQ(sec.AdjustPrivilege(*token, false, luid, kSePrivilegeEnabled), err::kNotAllAssigned);
  EXPECT_FALSE(sim.sim().PrivilegeEnabled(u"SeDebugPrivilege"));

  std::unique_ptr<Token> queryOnly;
  ASSERT_EQ(sec.OpenProcessToken(tokenaccess::kQuery, &queryOnly), 0u);
  ASSERT_EQ(sec.LookupPrivilege(u"SeBackupPrivilege", &luid), 0u);
  EXPECT_EQ(sec.AdjustPrivilege(*queryOnly, false, luid, kSePrivilegeEnabled), err::kAccessDenied);
}

TEST(SimConfigTest, HiveOperationsNeedTheirPrivilege) {
  TempSimWindows sim;
  auto& reg = sim.Get().registry;
  std::unique_ptr<RegKey> key;
  ASSERT_EQ(reg.CreateKey(RootKey::kCurrentUser, u"Software\\X", 0, keyaccess::kAllAccess, &key), 0);
  EXPECT_EQ(reg.SaveKey(*key, u"C:\\x.reg"), static_cast<long>(err::kPrivilegeNotHeld));
  EXPECT_FALSE(sim.Get().files.Exists(u"C:\\x.reg"));
  EXPECT_EQ(reg.RestoreKey(*key, u"C:\\x.reg", kRegForceRestore),
            static_cast<long>(err::kPrivilegeNotHeld));
}

TEST(SimConfigTest, RecycledItemKeepsItsContent) {
  TempSimWindows sim;
  auto& files = sim.Get().files;
  ASSERT_TRUE(files.ForceDirectories(u"C:\\Backups\\stage"));
  {
    auto f = files.Open(u"C:\\Backups\\stage\\a.txt", Access::kWrite, Share::kExclusive,
                        Disposition::kCreateAlways, nullptr);
    f->Write("abc", 3);
  }
  ASSERT_EQ(sim.Get().shell.FileOperation(ShellOp::kDelete, u"c:\\backups\\STAGE", u"",
                                          fof::kAllowUndo | fof::kSilent | fof::kNoConfirmation),
            0);
  ASSERT_EQ(sim.sim().RecycledItems().size(), 1u);
  std::ifstream in(sim.sim().RecycledHostPath(0) + "/a.txt");
  std::string content;
  in >> content;
  EXPECT_EQ(content, "abc");
  EXPECT_EQ(sim.sim().RecycledHostPath(0).rfind(sim.root() + "/C/", 0), std::string::npos);
}

TEST(SimConfigTest, HostPathPrefersExactCase) {
  TempSimWindows sim;
  std::filesystem::create_directories(sim.root() + "/C/dir/Name");
  std::filesystem::create_directories(sim.root() + "/C/dir/name");
  EXPECT_EQ(sim.sim().HostPath(u"C:\\DIR\\name"), sim.root() + "/C/dir/name");
  EXPECT_EQ(sim.sim().HostPath(u"C:\\dir\\Name"), sim.root() + "/C/dir/Name");
  EXPECT_EQ(sim.sim().HostPath(u"Q:\\unmapped"), "");
}

TEST(HostLinuxTest, PathsMapOntoDriveZ) {
  auto host = OpenHostPlatform();
  std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(host->FromHostPath("/a/b"), u"Z:\\a\\b");
  EXPECT_EQ(host->FromHostPath("/"), u"Z:\\");
  EXPECT_EQ(host->FromHostPath("rel/x.dat"), host->FromHostPath(cwd) + u"\\rel\\x.dat");
  EXPECT_EQ(host->ToHostPath(host->FromHostPath(cwd)), cwd);
  EXPECT_TRUE(host->Get().files.DirExists(host->FromHostPath(cwd)));
  Text user;
  EXPECT_TRUE(!getenv("USER") || host->Get().system.UserName(&user));
}

// The recycle bin of the Linux host is the desktop's trash, where the user
// has one: what the programs send there can be brought back.
TEST(HostLinuxTest, RecycleBinIsTheDesktopTrash) {
  std::string root = std::filesystem::temp_directory_path().string() + "/host-trash-" + std::to_string(getpid());
  std::filesystem::create_directories(root + "/data/Trash");
  std::filesystem::create_directories(root + "/my backups");
  const char* oldData = getenv("XDG_DATA_HOME");
  std::string saved = oldData ? oldData : "";
  auto put = [&](const std::string& text) { std::ofstream(root + "/my backups/default.dat") << text; };
  auto recycle = [&](HostPlatform& host) {
    return host.Get().shell.FileOperation(ShellOp::kDelete, host.FromHostPath(root + "/my backups/default.dat"),
                                          u"", fof::kAllowUndo | fof::kNoConfirmation | fof::kSilent);
  };
  auto slurp = [](const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };

  setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
  {
    auto host = OpenHostPlatform();
    put("first");
    EXPECT_EQ(recycle(*host), 0);
    put("second");
    EXPECT_EQ(recycle(*host), 0);
  }
  EXPECT_FALSE(std::filesystem::exists(root + "/my backups/default.dat"));
  EXPECT_EQ(slurp(root + "/data/Trash/files/default.dat"), "first");
  EXPECT_EQ(slurp(root + "/data/Trash/files/default.dat.2"), "second");
  std::string info = slurp(root + "/data/Trash/info/default.dat.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + root + "/my%20backups/default.dat\nDeletionDate=", 0), 0u) << info;
  EXPECT_TRUE(std::filesystem::exists(root + "/data/Trash/info/default.dat.2.trashinfo"));

  // No trash: deleted for good, and none is made.
  setenv("XDG_DATA_HOME", (root + "/none").c_str(), 1);
  {
    auto host = OpenHostPlatform();
    put("third");
    EXPECT_EQ(recycle(*host), 0);
  }
  EXPECT_FALSE(std::filesystem::exists(root + "/my backups/default.dat"));
  EXPECT_FALSE(std::filesystem::exists(root + "/none"));

  if (oldData) setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else unsetenv("XDG_DATA_HOME");
  std::filesystem::remove_all(root);
}

// Names are matched through a per-folder cache: what the simulation itself
// creates, copies, renames or removes, and what appears on the host, is
// found under any case.
TEST(SimConfigTest, NamesMatchWithoutRegardToCaseAfterEachChange) {
  TempSimWindows sim;
  FileSystem& files = sim.Get().files;
  ASSERT_TRUE(files.CreateDir(u"C:\\d"));
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(files.Open(u"C:\\d\\File" + ToText(static_cast<long long>(i)) + u".txt", Access::kWrite,
                           Share::kExclusive, Disposition::kCreateNew, nullptr));
  }
  EXPECT_TRUE(files.FileExists(u"C:\\D\\FILE7.TXT"));
  // A new name in another case is the same file, not a second one.
  ASSERT_TRUE(files.Open(u"C:\\d\\file7.TXT", Access::kWrite, Share::kExclusive, Disposition::kCreateAlways, nullptr));
  EXPECT_FALSE(std::filesystem::exists(sim.root() + "/C/d/file7.TXT"));
  ASSERT_TRUE(files.Copy(u"C:\\d\\file1.txt", u"C:\\d\\Copy.txt", true));
  EXPECT_TRUE(files.FileExists(u"c:\\d\\COPY.TXT"));
  ASSERT_TRUE(files.Move(u"C:\\d\\copy.txt", u"C:\\d\\Moved.txt", false));
  EXPECT_TRUE(files.FileExists(u"c:\\d\\moved.txt"));
  EXPECT_FALSE(files.FileExists(u"c:\\d\\copy.txt"));
  ASSERT_TRUE(files.Move(u"C:\\d\\moved.txt", u"C:\\d\\MOVED.txt", false));  // a change of case only
  EXPECT_TRUE(std::filesystem::exists(sim.root() + "/C/d/MOVED.txt"));
  EXPECT_TRUE(files.FileExists(u"c:\\d\\Moved.TXT"));
  ASSERT_TRUE(files.Remove(u"C:\\d\\FILE2.txt"));
  EXPECT_FALSE(files.FileExists(u"C:\\d\\file2.txt"));
  usleep(20000);  // the host's time stamps move in ticks
  std::ofstream(sim.root() + "/C/d/Host.txt") << "x";
  EXPECT_TRUE(files.FileExists(u"C:\\d\\HOST.txt"));
}

}  // namespace

#endif  // _WIN32
