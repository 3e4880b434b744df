// A service control manager whose services move through their states on
// simulated time: stops and starts that finish at once, after a delay with
// check-points and wait hints, or never; services that refuse; services
// that start late by themselves or once another one has stopped.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/services.h"
#include "platform/sim/sim_clock.h"

namespace platform::sim {

// How a start or a stop proceeds once accepted.
struct SimTransition {
  uint32_t durationMs = 0;  // 0: done at once
  bool never = false;       // stays pending for ever
  uint32_t waitHint = 0;
  // The check-point counts up by one every so many milliseconds (0: stays 1).
  uint32_t checkPointEveryMs = 100;
  // From this many milliseconds into the transition the check-point reads 0.
  int64_t checkPointFallsAtMs = -1;
};

struct SimService {
  Text keyName;
  Text displayName;
  uint32_t state = svcstate::kStopped;
  SimTransition stop;
  SimTransition start;
  bool acceptsStop = true;    // false: ControlService fails, service stays running
  bool startDisabled = false; // StartServiceW fails with ERROR_SERVICE_DISABLED
  uint32_t deniedAccess = 0;  // rights OpenServiceW refuses
  bool queryFails = false;
  int64_t startsByItselfAtMs = -1;  // runs from this time on, if stopped
  Text startsWhenStopped;           // runs once this service has been stopped
  // Services this one needs: a stop of one of them is refused with 1051
  // while this one is not stopped, as the service control manager does.
  std::vector<Text> dependsOn;
};

class SimServiceManager : public ServiceManager {
 public:
  explicit SimServiceManager(SimClock& clock) : clock_(clock) {}
  std::unique_ptr<ServiceManagerHandle> Open(uint32_t access, uint32_t* error) override;

  SimService& Add(SimService service);
  SimService* Find(const Text& keyName);
  // The state now, as a status query would see it.
  uint32_t StateOf(const Text& keyName);

  bool managerOpenFails = false;
  // Simulated milliseconds each status query takes, as a real one takes some time.
  uint32_t queryCostMs = 1;
  // Every OpenServiceW: key name and access asked for.
  struct OpenRecord {
    Text keyName;
    uint32_t access;
  };
  std::vector<OpenRecord> opened;
  std::vector<uint32_t> managerAccess;
  int openHandles = 0;  // handles not yet closed
  int stopRequests = 0;
  int startRequests = 0;

 private:
  friend class SimServiceHandle;
  friend class SimManagerHandle;
  struct Entry {
    SimService service;
    uint32_t target = 0;     // state a pending transition ends in
    uint64_t phaseStart = 0;
    bool startedByItself = false;
  };
  Entry* FindEntry(const Text& keyName);
  bool HasActiveDependent(const Text& keyName);
  void Update();
  void StartDependents(const Text& stoppedKey);
  ServiceStatus StatusOf(Entry& e);
  void Begin(Entry& e, uint32_t pending, uint32_t target);

  SimClock& clock_;
  std::vector<Entry> entries_;
};

}  // namespace platform::sim
