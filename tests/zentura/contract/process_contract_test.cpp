// Process and memory routines against the real API, on a process the test starts.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_system_platform.h"
#include "tests/zentura/contract/win32_test_support.h"
#include "zentura/gamemode/memory_release.h"
#include "zentura/gamemode/user_processes.h"
#include "zentura/sysutil/process_routines.h"

namespace zentura {
namespace {

const Text kSleeper = u"zentura_test_sleeper.exe";

class Sleeper {
 public:
  Sleeper() {
    path_ = zentura_test::ProgramFolder() + kSleeper;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    Text command = u"\"" + path_ + u"\"";
    started_ = ::CreateProcessW(platform::win32::W(path_), const_cast<wchar_t*>(platform::win32::W(command)),
                                nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != 0;
  }
  ~Sleeper() {
    if (!started_) return;
    ::TerminateProcess(pi_.hProcess, 1);
    ::CloseHandle(pi_.hThread);
    ::CloseHandle(pi_.hProcess);
  }
  bool started() const { return started_; }
  const Text& path() const { return path_; }
  bool Ended(DWORD waitMs) { return ::WaitForSingleObject(pi_.hProcess, waitMs) == WAIT_OBJECT_0; }
  DWORD ExitCode() {
    DWORD code = 0;
    ::GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }

 private:
  Text path_;
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
};

TEST(ProcessContract, AStartedProcessIsFoundMeasuredAndTerminatedByName) {
  Sleeper sleeper;
  ASSERT_TRUE(sleeper.started());
  platform::win32::Win32Platform win;
  platform::win32::Win32SystemPlatform sys;
  platform::SystemPlatform& sp = sys.Get();

  EXPECT_TRUE(IsProcessRunning(sp, u"ZENTURA_TEST_SLEEPER.EXE"));
  EXPECT_NE(ProcessIdByName(sp, kSleeper), 0u);
  EXPECT_TRUE(platform::SameText(RunningProcessPath(sp, kSleeper), sleeper.path()))
      << platform::ToUtf8(RunningProcessPath(sp, kSleeper));
  std::vector<Text> mine;
  GetUserProcessesByToken(win.Get(), sp, &mine);
  bool listed = false;
  for (const Text& p : mine) listed = listed || platform::SameText(p, sleeper.path());
  EXPECT_TRUE(listed);
  // The WMI query runs, but Wine 8's Win32_Process has no ExecutablePath
  // property, so each process fails there and is left out, as any process
  // whose properties cannot be read: the list itself is not compared here.
  std::vector<platform::WmiProcess> wmi;
  EXPECT_TRUE(sp.processes.WmiProcessList(&wmi));
  pirec usage = ProcessUsage(sp, kSleeper);
  EXPECT_EQ(usage.cpuTime, u"00:00:00");
  EXPECT_NE(usage.memory.find(u" MB"), Text::npos);

  EXPECT_TRUE(KillProcessByName(sp, kSleeper));
  ASSERT_TRUE(sleeper.Ended(5000));
  EXPECT_EQ(sleeper.ExitCode(), 0u);
  EXPECT_FALSE(IsProcessRunning(sp, kSleeper));
  EXPECT_FALSE(KillProcessByName(sp, kSleeper));
}

TEST(MemoryContract, RefreshAndTrimRun) {
  platform::win32::Win32SystemPlatform sys;
  TMemory memory(sys.Get());
  memory.Refresh();
  EXPECT_GT(memory.PhysicalTotal(), 0u);
  EXPECT_LE(memory.PhysicalFree(), memory.PhysicalTotal());
  EXPECT_GT(memory.PageSize(), 0u);
  EXPECT_GT(memory.AllocGranularity(), 0u);
  TrimAllWorkingSets(sys.Get());
  memory.Refresh();
  EXPECT_GT(memory.PhysicalFree(), 0u);
}

}  // namespace
}  // namespace zentura
