#include "zentura/gamemode/memory_release.h"

#include <gtest/gtest.h>

#include "tests/zentura/zentura_sim.h"

namespace zentura {
namespace {

using zentura_test::ZenturaSim;

TEST(TMemory, RefreshCopiesTheStatus) {
  ZenturaSim sim;
  sim.sys.memory.status.availPhys = 700ull << 20;
  sim.sys.memory.status.memoryLoad = 66;
  TMemory m(sim.sp());
  m.Refresh();
  EXPECT_EQ(m.PhysicalFree(), 700ull << 20);
  EXPECT_EQ(m.PhysicalTotal(), 2ull << 30);
  EXPECT_EQ(m.MemoryLoad(), 66u);
  EXPECT_EQ(m.PageSize(), 4096u);
  EXPECT_EQ(m.AllocGranularity(), 65536u);
  EXPECT_EQ(m.MaxAppAddress(), 0x7FFEFFFFu);
}

TEST(TMemory, WithoutGlobalMemoryStatusExOnlySystemInfoIsRead) {
  ZenturaSim sim;
  sim.sys.memory.hasGlobalMemoryStatusEx = false;
  TMemory m(sim.sp());
  m.Refresh();
  EXPECT_EQ(m.PhysicalFree() + m.PhysicalTotal() + m.VirtualFree() + m.VirtualTotal() +
                m.PageFileFree() + m.PageFileTotal() + m.MemoryLoad(),
            0u);
  EXPECT_EQ(m.PageSize(), 4096u);
  EXPECT_EQ(m.MinAppAddress(), 0x10000u);
}

TEST(TrimAllWorkingSets, FreesThePagesOfEveryProcessItMayOpen) {
  ZenturaSim sim;
  sim.Run(u"a.exe", u"C:\\a.exe", 10 << 20);
  sim.Run(u"b.exe", u"C:\\b.exe", 30 << 20).workingSetAfterTrim = 2 << 20;
  sim.Run(u"sys.exe", u"C:\\sys.exe", 50 << 20).deniedAccess = platform::procaccess::kSetQuota;
  TMemory m(sim.sp());
  m.Refresh();
  uint64_t before = m.PhysicalFree();
  TrimAllWorkingSets(sim.sp());
  m.Refresh();
  EXPECT_EQ(m.PhysicalFree() - before, 38ull << 20);
  EXPECT_EQ(sim.sys.processes.openHandles, 0);
}

TEST(ProcessUsage, FormatsCpuTimeAndWorkingSet) {
  ZenturaSim sim;
  auto& p = sim.Run(u"game.exe", u"C:\\game.exe", 1572864);
  p.kernelTime = 61ull * 10000000 + 9999999;   // 61.99 s counts as 61
  p.userTime = 90000ull * 10000000;            // 25 h in all: hours wrap
  pirec r = ProcessUsage(sim.sp(), u"GAME.exe");
  EXPECT_EQ(r.cpuTime, u"01:01:01");
  EXPECT_EQ(r.memory, u"1.50 MB");
  sim.sys.desktop.decimalSeparator = u',';
  EXPECT_EQ(ProcessUsage(sim.sp(), u"game.exe").memory, u"1,50 MB");
  EXPECT_EQ(CpuTimeText(0, 0), u"00:00:00");
}

TEST(ProcessUsage, AProcessThatCannotBeOpenedLeavesTheRecordEmpty) {
  ZenturaSim sim;
  sim.Run(u"locked.exe", u"C:\\locked.exe").deniedAccess = platform::procaccess::kQueryInformation;
  pirec r = ProcessUsage(sim.sp(), u"locked.exe");
  EXPECT_TRUE(r.cpuTime.empty() && r.memory.empty());
  r = ProcessUsage(sim.sp(), u"absent.exe");
  EXPECT_TRUE(r.cpuTime.empty() && r.memory.empty());
}

}  // namespace
}  // namespace zentura
