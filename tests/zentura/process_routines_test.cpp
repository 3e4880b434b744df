#include "zentura/sysutil/process_routines.h"

#include <gtest/gtest.h>

#include "tests/zentura/zentura_sim.h"
#include "zentura/gamemode/user_processes.h"

namespace zentura {
namespace {

using zentura_test::ZenturaSim;

TEST(KillProcessByName, EndsEveryProcessOfThatName) {
  ZenturaSim sim;
  sim.Run(u"game.exe", u"C:\\Games\\game.exe");
  sim.Run(u"GAME.EXE", u"C:\\Games\\game.exe");
  sim.Run(u"C:\\Games\\Game.exe", u"C:\\Games\\game.exe");  // a recorded path
  sim.Run(u"other.exe", u"C:\\other.exe");
  EXPECT_TRUE(IsProcessRunning(sim.sp(), u"Game.Exe"));
  EXPECT_TRUE(KillProcessByName(sim.sp(), u"Game.exe"));
  EXPECT_EQ(sim.sys.processes.terminated.size(), 3u);
  EXPECT_EQ(sim.sys.processes.table.size(), 1u);
  EXPECT_FALSE(IsProcessRunning(sim.sp(), u"game.exe"));
  EXPECT_FALSE(KillProcessByName(sim.sp(), u"game.exe"));
  for (const auto& open : sim.sys.processes.opened) EXPECT_EQ(open.access, 0x1u);
  EXPECT_EQ(sim.sys.processes.openHandles, 0);
}

TEST(KillProcessByName, AnswersTheLastTermination) {
  ZenturaSim sim;
  sim.Run(u"app.exe", u"C:\\app.exe");
  sim.Run(u"app.exe", u"C:\\app.exe").terminateFails = true;
  EXPECT_FALSE(KillProcessByName(sim.sp(), u"app.exe"));
  EXPECT_EQ(sim.sys.processes.terminated.size(), 1u);

  ZenturaSim other;
  other.Run(u"app.exe", u"C:\\app.exe").deniedAccess = platform::procaccess::kTerminate;
  other.Run(u"app.exe", u"C:\\app.exe");
  EXPECT_TRUE(KillProcessByName(other.sp(), u"app.exe"));
}

TEST(ProcessRoutines, NamesAndIdsFromTheSnapshot) {
  ZenturaSim sim;
  uint32_t first = sim.Run(u"a.exe", u"C:\\a.exe").processId;
  sim.Run(u"A.exe", u"C:\\a.exe");
  std::vector<Text> names{u"kept"};
  ListProcessNames(sim.sp(), &names);
  EXPECT_EQ(names, (std::vector<Text>{u"kept", u"a.exe", u"A.exe"}));
  EXPECT_EQ(ProcessIdByName(sim.sp(), u"A.EXE"), first);
  EXPECT_EQ(ProcessIdByName(sim.sp(), u"b.exe"), 0u);
  sim.sys.processes.snapshotFails = true;
  EXPECT_FALSE(IsProcessRunning(sim.sp(), u"a.exe"));
}

TEST(RunningProcessPath, FirstMatchByFileNameWithoutRegardToCase) {
  ZenturaSim sim;
  sim.Run(u"C:\\Old\\Tool.exe", u"C:\\Old\\Tool.exe");
  sim.Run(u"tool.exe", u"C:\\New\\tool.exe");
  EXPECT_EQ(RunningProcessPath(sim.sp(), u"TOOL.EXE"), u"C:\\Old\\Tool.exe");
  EXPECT_EQ(RunningProcessPath(sim.sp(), u"none.exe"), u"");
  sim.sys.processes.table[0].deniedAccess = platform::procaccess::kVmRead;
  EXPECT_EQ(RunningProcessPath(sim.sp(), u"tool.exe"), u"");
}

TEST(UserProcesses, ByTokenListsTheCurrentUsersOthers) {
  ZenturaSim sim;
  sim.Run(u"mine.exe", u"C:\\mine.exe");
  sim.Run(u"theirs.exe", u"C:\\theirs.exe").user = u"admin";
  sim.Run(u"TESTER.exe", u"C:\\case.exe").user = u"Tester";  // names compare exactly
  sim.Run(u"locked.exe", u"C:\\locked.exe").deniedAccess = platform::procaccess::kVmRead;
  sim.Run(u"notoken.exe", u"C:\\notoken.exe").tokenFails = true;
  auto& self = sim.Run(u"zentura.exe", u"C:\\Z\\zentura.exe");
  sim.sys.processes.currentProcessId = self.processId;
  std::vector<Text> list;
  GetUserProcessesByToken(sim.p(), sim.sp(), &list);
  EXPECT_EQ(list, std::vector<Text>{u"C:\\mine.exe"});
}

TEST(UserProcesses, ByWmiUsesTheOwnersAndTrimsItsOwnWorkingSet) {
  ZenturaSim sim;
  sim.Run(u"mine.exe", u"C:\\mine.exe");
  sim.Run(u"nopath.exe", u"C:\\x.exe").wmiPathNull = true;
  sim.Run(u"theirs.exe", u"C:\\theirs.exe").user = u"admin";
  sim.Run(u"gone.exe", u"C:\\gone.exe").wmiOwnerResult = 2;
  auto& self = sim.Run(u"zentura.exe", u"C:\\Z\\zentura.exe", 20 << 20);
  sim.sys.processes.currentProcessId = self.processId;
  uint64_t before = sim.sys.memory.status.availPhys;
  std::vector<Text> list{u"stale"};
  GetUserProcessesByWmi(sim.p(), sim.sp(), &list);
  EXPECT_EQ(list, (std::vector<Text>{u"C:\\mine.exe", u""}));
  EXPECT_EQ(sim.sys.memory.status.availPhys, before + (20 << 20));
}

}  // namespace
}  // namespace zentura
