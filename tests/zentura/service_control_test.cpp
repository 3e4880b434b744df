#include "zentura/gamemode/service_control.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_system_platform.h"

namespace zentura {
namespace {

namespace ss = platform::svcstate;
using platform::sim::SimService;
using platform::sim::SimTransition;

SimService Running(SimTransition stop) {
  SimService s;
  s.keyName = u"Svc";
  s.displayName = u"Some Service";
  s.state = ss::kRunning;
  s.stop = stop;
  return s;
}

SimService Stopped(SimTransition start) {
  SimService s = Running({});
  s.state = ss::kStopped;
  s.start = start;
  return s;
}

struct WaitCase {
  const char* name;
  SimService service;
  bool answer;
  uint32_t stateAfter;   // the service's own state when the call returns
  uint64_t maxSleptMs;   // total sleep of the wait
};

TEST(StopServiceAndWait, WaitsAsTheServiceReports) {
  SimService refuses = Running({});
  refuses.acceptsStop = false;
  SimService denied = Running({});
  denied.deniedAccess = platform::svcaccess::kStop;
  WaitCase cases[] = {
      {"stops at once", Running({}), true, ss::kStopped, 0},
      {"stops after 500 ms, long hint", Running({500, false, 2000}), true, ss::kStopped, 550},
      {"short hint is slept as given", Running({600, false, 30}), true, ss::kStopped, 630},
      {"completes after 1000 ms", Running({1200, false, 2000}), false, ss::kStopPending, 1050},
      {"never stops", Running({0, true, 200}), false, ss::kStopPending, 1050},
      {"hint 0 polls until stopped", Running({1500, false, 0}), true, ss::kStopped, 0},
      {"check-point falls", Running({5000, false, 200, 100, 300}), false, ss::kStopPending, 350},
      {"refuses to stop", refuses, false, ss::kRunning, 0},
      {"already stopped", Stopped({}), true, ss::kStopped, 0},
      {"stop right denied", denied, false, ss::kRunning, 0},
  };
  for (WaitCase& c : cases) {
    SCOPED_TRACE(c.name);
    platform::sim::SimSystemPlatform sim;
    sim.services.Add(c.service);
    EXPECT_EQ(StopServiceAndWait(sim.Get(), u"", u"svc"), c.answer);
    EXPECT_EQ(sim.services.StateOf(u"Svc"), c.stateAfter);
    EXPECT_LE(sim.clock.TotalSlept(), c.maxSleptMs);
    EXPECT_EQ(sim.services.openHandles, 0);
  }
}

TEST(StopServiceAndWait, AStopPendingServiceWithoutHintCannotHangIt) {
  platform::sim::SimSystemPlatform sim;
  sim.services.Add(Running({0, true, 0, 0}));
  EXPECT_FALSE(StopServiceAndWait(sim.Get(), u"", u"Svc"));
  EXPECT_GE(sim.clock.Now(), kServiceWaitLimitMs);
  EXPECT_LT(sim.clock.Now(), kServiceWaitLimitMs + 100);
}

TEST(StartServiceAndWait, WaitsAsTheServiceReports) {
  SimService disabled = Stopped({});
  disabled.startDisabled = true;
  SimService denied = Stopped({});
  denied.deniedAccess = platform::svcaccess::kStart;
  WaitCase cases[] = {
      {"starts at once", Stopped({}), true, ss::kRunning, 0},
      {"starts after 2.5 s, long hint", Stopped({2500, false, 1000}), true, ss::kRunning, 2600},
      {"hint 0 polls until running", Stopped({700, false, 0}), true, ss::kRunning, 0},
      {"check-point falls", Stopped({5000, false, 300, 100, 1000}), false, ss::kStartPending, 1100},
      {"never starts", Stopped({0, true, 500}), false, ss::kStartPending, kServiceWaitLimitMs},
      {"disabled", disabled, false, ss::kStopped, 0},
      {"start right denied", denied, false, ss::kStopped, 0},
      // StartServiceW fails on a running service: reported as not started.
      {"already running", Running({}), false, ss::kRunning, 0},
  };
  for (WaitCase& c : cases) {
    SCOPED_TRACE(c.name);
    platform::sim::SimSystemPlatform sim;
    sim.services.Add(c.service);
    EXPECT_EQ(StartServiceAndWait(sim.Get(), u"", u"Svc"), c.answer);
    EXPECT_EQ(sim.services.StateOf(u"Svc"), c.stateAfter);
    EXPECT_LE(sim.clock.TotalSlept(), c.maxSleptMs);
    EXPECT_EQ(sim.services.openHandles, 0);
  }
}

TEST(StartServiceAndWait, SleepsAtMost100MsAndGivesUpAtTheLimit) {
  for (uint32_t hint : {0u, 5000u}) {
    SCOPED_TRACE(hint);
    platform::sim::SimSystemPlatform sim;
    sim.services.Add(Stopped({0, true, hint, 0}));
    EXPECT_FALSE(StartServiceAndWait(sim.Get(), u"", u"Svc"));
    EXPECT_GE(sim.clock.Now(), kServiceWaitLimitMs);
    EXPECT_LT(sim.clock.Now(), kServiceWaitLimitMs + 200);
    if (hint > 0) {
      EXPECT_EQ(sim.clock.TotalSlept() / sim.clock.SleepCount(), 100u);
    }
  }
}

TEST(ServiceControl, AsksForTheNamedAccessRights) {
  platform::sim::SimSystemPlatform sim;
  sim.services.Add(Running({}));
  GetServiceState(sim.Get(), u"", u"Svc");
  StopServiceAndWait(sim.Get(), u"", u"Svc");
  StartServiceAndWait(sim.Get(), u"", u"Svc");
  ASSERT_EQ(sim.services.opened.size(), 3u);
  EXPECT_EQ(sim.services.opened[0].access, 0x4u);
  EXPECT_EQ(sim.services.opened[1].access, 0x24u);
  EXPECT_EQ(sim.services.opened[2].access, 0x14u);
  for (uint32_t access : sim.services.managerAccess) EXPECT_EQ(access, 0x1u);
}

TEST(GetServiceState, OnlyState4CountsAsRunning) {
  struct Case {
    uint32_t state;
    bool running;
  } cases[] = {{ss::kRunning, true},       {ss::kStartPending, false}, {ss::kPaused, false},
               {ss::kStopPending, false},  {ss::kStopped, false}};
  for (const Case& c : cases) {
    platform::sim::SimSystemPlatform sim;
    SimService s = Running({0, true});
    s.start.never = true;
    s.state = c.state;
    sim.services.Add(s);
    EXPECT_EQ(GetServiceState(sim.Get(), u"", u"Svc"), c.state);
    EXPECT_EQ(IsServiceRunning(sim.Get(), u"", u"Svc"), c.running) << c.state;
  }
  platform::sim::SimSystemPlatform sim;
  EXPECT_EQ(GetServiceState(sim.Get(), u"", u"Missing"), 0u);
  sim.services.managerOpenFails = true;
  EXPECT_EQ(GetServiceState(sim.Get(), u"", u"Missing"), ss::kStopped);
}

TEST(ServiceControl, ASecondServiceThatStartsOnceTheFirstStops) {
  platform::sim::SimSystemPlatform sim;
  sim.services.Add(Running({}));
  SimService later = Stopped({});
  later.keyName = u"Later";
  later.startsWhenStopped = u"Svc";
  sim.services.Add(later);
  EXPECT_FALSE(IsServiceRunning(sim.Get(), u"", u"Later"));
  EXPECT_TRUE(StopServiceAndWait(sim.Get(), u"", u"Svc"));
  EXPECT_TRUE(IsServiceRunning(sim.Get(), u"", u"Later"));
}

TEST(ServiceControl, AServiceThatStartsLateByItself) {
  platform::sim::SimSystemPlatform sim;
  SimService late = Stopped({});
  late.startsByItselfAtMs = 5000;
  sim.services.Add(late);
  EXPECT_FALSE(IsServiceRunning(sim.Get(), u"", u"Svc"));
  sim.clock.Advance(5000);
  EXPECT_TRUE(IsServiceRunning(sim.Get(), u"", u"Svc"));
  EXPECT_TRUE(StopServiceAndWait(sim.Get(), u"", u"Svc"));
  sim.clock.Advance(60000);
  EXPECT_FALSE(IsServiceRunning(sim.Get(), u"", u"Svc"));  // only once
}

TEST(ServiceNames, TranslateBetweenKeyAndDisplayName) {
  platform::sim::SimSystemPlatform sim;
  sim.services.Add(Running({}));
  SimService longName = Stopped({});
  longName.keyName = u"Long";
  longName.displayName = Text(255, u'L');
  sim.services.Add(longName);
  SimService fits = Stopped({});
  fits.keyName = u"Fits";
  fits.displayName = Text(254, u'F');
  sim.services.Add(fits);
  platform::SystemPlatform& sp = sim.Get();
  EXPECT_EQ(GetServiceDisplayName(sp, u"", u"svc"), u"Some Service");
  EXPECT_EQ(GetServiceKeyName(sp, u"", u"some service"), u"Svc");
  EXPECT_EQ(GetServiceKeyName(sp, u"", u"No Such Service"), u"");
  EXPECT_EQ(GetServiceDisplayName(sp, u"", u"Long"), u"");
  EXPECT_EQ(GetServiceDisplayName(sp, u"", u"Fits"), Text(254, u'F'));
  sim.services.managerOpenFails = true;
  EXPECT_EQ(GetServiceDisplayName(sp, u"", u"svc"), u"");
}

TEST(ServiceList, SectionByWindowsVersion) {
  struct Case {
    uint32_t major, minor;
    Text section;
  } cases[] = {{5, 0, u"servicelist_xp"},    {5, 1, u"servicelist_xp"},
               {5, 2, u"servicelist_xp"},    {6, 0, u"servicelist_vista"},
               {6, 1, u"servicelist_win7"},  {6, 2, u"servicelist_win10"},
               {6, 3, u"servicelist_win10"}, {10, 0, u"servicelist_win10"},
               {6, 4, u""},                  {11, 0, u""},
               {4, 0, u""}};
  for (const Case& c : cases) {
    EXPECT_EQ(ServiceListSection({c.major, c.minor, 0}), c.section) << c.major << "." << c.minor;
  }
}

TEST(ServiceList, OnlyZeroDeselects) {
  platform::sim::SimSystemPlatform sim;
  sim.memoryStore.Save(u"C:\\Z\\Zentura.ini",
                       "[servicelist_win7]\r\nSpooler=0\r\nThemes=yes\r\nWSearch=\r\n"
                       "Fax=2\r\nwuauserv=0x0\r\nBITS\r\n[Main]\r\nCountdown=5\r\n");
  TIniFile ini(sim.profile(), u"C:\\Z\\Zentura.ini");
  std::vector<ServiceListEntry> list = ReadServiceList(ini, u"servicelist_win7");
  ASSERT_EQ(list.size(), 5u);
  const std::pair<Text, bool> expected[] = {
      {u"Spooler", false}, {u"Themes", true}, {u"WSearch", true}, {u"Fax", true}, {u"wuauserv", false}};
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].keyName, expected[i].first);
    EXPECT_EQ(list[i].selected, expected[i].second) << i;
  }
  EXPECT_TRUE(ReadServiceList(ini, u"").empty());
  EXPECT_TRUE(ReadServiceList(ini, u"servicelist_xp").empty());
}

}  // namespace
}  // namespace zentura
