#include "zentura/gamemode/service_control.h"

namespace zentura {

namespace sa = platform::svcaccess;
namespace ss = platform::svcstate;

Text ServiceListSection(const platform::OsVersion& version) {
  if (version.major == 5) return u"servicelist_xp";
  if (version.major == 6 && version.minor == 0) return u"servicelist_vista";
  if (version.major == 6 && version.minor == 1) return u"servicelist_win7";
  // Without a manifest entry for them, Windows 8 to 11 report 6.2; 6.3 and
  // 10.0 are what they report to a program that declares them.
  if ((version.major == 6 && (version.minor == 2 || version.minor == 3)) || version.major == 10) {
    return u"servicelist_win10";
  }
  return Text();
}

std::vector<ServiceListEntry> ReadServiceList(TIniFile& settings, const Text& section) {
  std::vector<ServiceListEntry> list;
  if (section.empty()) return list;
  for (const Text& key : settings.ReadSection(section)) {
    list.push_back({key, settings.ReadInteger(section, key, 1) != 0});
  }
  return list;
}

uint32_t GetServiceState(platform::SystemPlatform& sp, const Text&, const Text& keyName) {
  uint32_t error = 0;
  auto manager = sp.services.Open(sa::kManagerConnect, &error);
  if (!manager) return ss::kStopped;
  auto service = manager->OpenService(keyName, sa::kQueryStatus, &error);
  if (!service) return 0;
  platform::ServiceStatus status;
  return service->QueryStatus(&status, &error) ? status.currentState : 0;
}

bool IsServiceRunning(platform::SystemPlatform& sp, const Text& machine, const Text& keyName) {
  return GetServiceState(sp, machine, keyName) == ss::kRunning;
}

bool StartServiceAndWait(platform::SystemPlatform& sp, const Text&, const Text& keyName) {
  uint32_t error = 0;
  auto manager = sp.services.Open(sa::kManagerConnect, &error);
  if (!manager) return false;
  auto service = manager->OpenService(keyName, sa::kQueryStatus | sa::kStart, &error);
  if (!service) return false;
  uint32_t state = 0;
  platform::ServiceStatus status;
  if (service->Start(&error) && service->QueryStatus(&status, &error)) {
    state = status.currentState;
    const uint64_t began = sp.clock.TickMs();
    while (state != ss::kRunning && sp.clock.TickMs() - began < kServiceWaitLimitMs) {
      uint32_t checkPoint = status.checkPoint;
      sp.clock.SleepMs(status.waitHint > 100 ? 100 : status.waitHint);
      if (!service->QueryStatus(&status, &error)) break;
      state = status.currentState;
      if (status.checkPoint < checkPoint) break;
    }
  }
  return state == ss::kRunning;
}

bool StopServiceAndWait(platform::SystemPlatform& sp, const Text&, const Text& keyName) {
  uint32_t error = 0;
  auto manager = sp.services.Open(sa::kManagerConnect, &error);
  if (!manager) return false;
  auto service = manager->OpenService(keyName, sa::kQueryStatus | sa::kStop, &error);
  if (!service) return false;
  bool known = false;
  uint32_t state = 0;
  platform::ServiceStatus status;
  bool statusValid = false;
  if (!service->Control(platform::kServiceControlStop, &status, &statusValid, &error)) {
    // A service that is not active answers with its stopped state.
    known = statusValid;
    state = status.currentState;
  } else if (service->QueryStatus(&status, &error)) {
    known = true;
    state = status.currentState;
    uint32_t slept = 0;
    const uint64_t began = sp.clock.TickMs();
    while (state != ss::kStopped) {
      uint32_t checkPoint = status.checkPoint;
      if (slept > 1000 || sp.clock.TickMs() - began >= kServiceWaitLimitMs) break;
      uint32_t pause = status.waitHint > 100 ? 50 : status.waitHint;
      sp.clock.SleepMs(pause);
      slept += pause;
      if (!service->QueryStatus(&status, &error)) break;
      state = status.currentState;
      if (status.checkPoint < checkPoint) break;
    }
  }
  return known && state == ss::kStopped;
}

namespace {
// A 256-character buffer whose stated capacity is 255 characters.
constexpr uint32_t kNameCapacity = 255;
}  // namespace

Text GetServiceDisplayName(platform::SystemPlatform& sp, const Text&, const Text& keyName) {
  uint32_t error = 0;
  auto manager = sp.services.Open(sa::kManagerConnect, &error);
  Text name;
  if (!manager || !manager->DisplayName(keyName, kNameCapacity, &name, &error)) return Text();
  return name;
}

Text GetServiceKeyName(platform::SystemPlatform& sp, const Text&, const Text& displayName) {
  uint32_t error = 0;
  auto manager = sp.services.Open(sa::kManagerConnect, &error);
  Text name;
  if (!manager || !manager->KeyName(displayName, kNameCapacity, &name, &error)) return Text();
  return name;
}

void EditServiceList(platform::SystemPlatform& sp, const Text& settingsPath) {
  sp.desktop.ShellExecute(u"open", settingsPath, Text(), Text(), platform::sw::kShowNormal);
}

}  // namespace zentura
