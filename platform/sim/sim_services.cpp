#include "platform/sim/sim_services.h"

#include "platform/errors.h"

namespace platform::sim {

namespace {
constexpr uint32_t kInsufficientBuffer = 122;
constexpr uint32_t kServiceWin32OwnProcess = 0x10;
constexpr uint32_t kAcceptStop = 0x1;
}  // namespace

class SimServiceHandle : public ServiceHandle {
 public:
  SimServiceHandle(SimServiceManager& m, Text key, uint32_t access)
      : m_(m), key_(std::move(key)), access_(access) {
    ++m_.openHandles;
  }
  ~SimServiceHandle() override { --m_.openHandles; }

  bool QueryStatus(ServiceStatus* status, uint32_t* error) override {
    m_.clock_.Advance(m_.queryCostMs);
    m_.Update();
    SimServiceManager::Entry* e = m_.FindEntry(key_);
    if (!(access_ & svcaccess::kQueryStatus)) return Fail(error, err::kAccessDenied);
    if (!e || e->service.queryFails) return Fail(error, err::kInvalidHandle);
    *status = m_.StatusOf(*e);
    return true;
  }

  bool Start(uint32_t* error) override {
    m_.Update();
    SimServiceManager::Entry* e = m_.FindEntry(key_);
    if (!(access_ & svcaccess::kStart)) return Fail(error, err::kAccessDenied);
    if (!e) return Fail(error, err::kInvalidHandle);
    ++m_.startRequests;
    if (e->service.startDisabled) return Fail(error, svcerr::kServiceDisabled);
    if (e->service.state != svcstate::kStopped) return Fail(error, svcerr::kServiceAlreadyRunning);
    m_.Begin(*e, svcstate::kStartPending, svcstate::kRunning);
    return true;
  }

  bool Control(uint32_t control, ServiceStatus* status, bool* statusValid,
               uint32_t* error) override {
    m_.Update();
    *statusValid = false;
    SimServiceManager::Entry* e = m_.FindEntry(key_);
    if (control != kServiceControlStop) return Fail(error, err::kInvalidParameter);
    if (!(access_ & svcaccess::kStop)) return Fail(error, err::kAccessDenied);
    if (!e) return Fail(error, err::kInvalidHandle);
    ++m_.stopRequests;
    *status = m_.StatusOf(*e);
    *statusValid = true;
    uint32_t state = e->service.state;
    if (state == svcstate::kStopped) return Fail(error, svcerr::kServiceNotActive);
    if (state == svcstate::kStartPending || state == svcstate::kStopPending) {
      return Fail(error, svcerr::kServiceCannotAcceptCtrl);
    }
    if (!e->service.acceptsStop) return Fail(error, svcerr::kInvalidServiceControl);
    if (m_.HasActiveDependent(key_)) return Fail(error, svcerr::kDependentServicesRunning);
    m_.Begin(*e, svcstate::kStopPending, svcstate::kStopped);
    *status = m_.StatusOf(*e);
    return true;
  }

 private:
  static bool Fail(uint32_t* error, uint32_t code) {
    if (error) *error = code;
    return false;
  }
  SimServiceManager& m_;
  Text key_;
  uint32_t access_;
};

class SimManagerHandle : public ServiceManagerHandle {
 public:
  SimManagerHandle(SimServiceManager& m, uint32_t access) : m_(m), access_(access) {
    ++m_.openHandles;
  }
  ~SimManagerHandle() override { --m_.openHandles; }

  std::unique_ptr<ServiceHandle> OpenService(const Text& keyName, uint32_t access,
                                             uint32_t* error) override {
    m_.opened.push_back({keyName, access});
    SimServiceManager::Entry* e = m_.FindEntry(keyName);
    uint32_t code = 0;
    if (!(access_ & svcaccess::kManagerConnect)) code = err::kAccessDenied;
    else if (!e) code = svcerr::kServiceDoesNotExist;
    else if (access & e->service.deniedAccess) code = err::kAccessDenied;
    if (code != 0) {
      if (error) *error = code;
      return nullptr;
    }
    return std::make_unique<SimServiceHandle>(m_, e->service.keyName, access);
  }

  bool DisplayName(const Text& keyName, uint32_t capacity, Text* displayName,
                   uint32_t* error) override {
    SimServiceManager::Entry* e = m_.FindEntry(keyName);
    return Answer(e ? &e->service.displayName : nullptr, capacity, displayName, error);
  }

  bool KeyName(const Text& displayName, uint32_t capacity, Text* keyName,
               uint32_t* error) override {
    for (SimServiceManager::Entry& e : m_.entries_) {
      if (SameText(e.service.displayName, displayName)) {
        return Answer(&e.service.keyName, capacity, keyName, error);
      }
    }
    return Answer(nullptr, capacity, keyName, error);
  }

 private:
  static bool Answer(const Text* name, uint32_t capacity, Text* out, uint32_t* error) {
    uint32_t code = !name ? svcerr::kServiceDoesNotExist
                          : name->size() + 1 > capacity ? kInsufficientBuffer : 0;
    if (code != 0) {
      if (error) *error = code;
      return false;
    }
    *out = *name;
    return true;
  }
  SimServiceManager& m_;
  uint32_t access_;
};

std::unique_ptr<ServiceManagerHandle> SimServiceManager::Open(uint32_t access, uint32_t* error) {
  managerAccess.push_back(access);
  if (managerOpenFails) {
    if (error) *error = err::kAccessDenied;
    return nullptr;
  }
  return std::make_unique<SimManagerHandle>(*this, access);
}

SimService& SimServiceManager::Add(SimService service) {
  Entry e;
  e.service = std::move(service);
  // A service added in a pending state is mid-way through that transition.
  e.target = e.service.state == svcstate::kStartPending  ? svcstate::kRunning
             : e.service.state == svcstate::kStopPending ? svcstate::kStopped
                                                         : e.service.state;
  e.phaseStart = clock_.Now();
  entries_.push_back(std::move(e));
  return entries_.back().service;
}

SimServiceManager::Entry* SimServiceManager::FindEntry(const Text& keyName) {
  for (Entry& e : entries_) {
    if (SameText(e.service.keyName, keyName)) return &e;
  }
  return nullptr;
}

bool SimServiceManager::HasActiveDependent(const Text& keyName) {
  for (const Entry& e : entries_) {
    if (e.service.state == svcstate::kStopped) continue;
    for (const Text& needed : e.service.dependsOn) {
      if (SameText(needed, keyName)) return true;
    }
  }
  return false;
}

SimService* SimServiceManager::Find(const Text& keyName) {
  Entry* e = FindEntry(keyName);
  return e ? &e->service : nullptr;
}

uint32_t SimServiceManager::StateOf(const Text& keyName) {
  Update();
  Entry* e = FindEntry(keyName);
  return e ? e->service.state : 0;
}

void SimServiceManager::Begin(Entry& e, uint32_t pending, uint32_t target) {
  e.service.state = pending;
  e.target = target;
  e.phaseStart = clock_.Now();
  Update();
}

void SimServiceManager::Update() {
  uint64_t now = clock_.Now();
  // A finished stop may let another service start: repeat until nothing changes.
  for (bool changed = true; changed;) {
    changed = false;
    for (Entry& e : entries_) {
      SimService& s = e.service;
      bool pending = s.state == svcstate::kStartPending || s.state == svcstate::kStopPending;
      const SimTransition& t = s.state == svcstate::kStartPending ? s.start : s.stop;
      if (pending && !t.never && now - e.phaseStart >= t.durationMs && s.state != e.target) {
        s.state = e.target;
        changed = true;
        if (s.state == svcstate::kStopped) StartDependents(s.keyName);
      }
      if (s.state == svcstate::kStopped && !e.startedByItself && s.startsByItselfAtMs >= 0 &&
          now >= static_cast<uint64_t>(s.startsByItselfAtMs)) {
        s.state = svcstate::kRunning;
        e.startedByItself = true;
        changed = true;
      }
    }
  }
}

void SimServiceManager::StartDependents(const Text& stoppedKey) {
  for (Entry& e : entries_) {
    if (e.service.state == svcstate::kStopped && !e.startedByItself &&
        SameText(e.service.startsWhenStopped, stoppedKey)) {
      e.service.state = svcstate::kRunning;
      e.startedByItself = true;
    }
  }
}

ServiceStatus SimServiceManager::StatusOf(Entry& e) {
  ServiceStatus st;
  st.serviceType = kServiceWin32OwnProcess;
  st.currentState = e.service.state;
  st.controlsAccepted = e.service.acceptsStop ? kAcceptStop : 0;
  bool pending = st.currentState == svcstate::kStartPending ||
                 st.currentState == svcstate::kStopPending;
  if (pending) {
    const SimTransition& t =
        st.currentState == svcstate::kStartPending ? e.service.start : e.service.stop;
    uint64_t elapsed = clock_.Now() - e.phaseStart;
    st.waitHint = t.waitHint;
    st.checkPoint = t.checkPointEveryMs ? static_cast<uint32_t>(elapsed / t.checkPointEveryMs) + 1 : 1;
    if (t.checkPointFallsAtMs >= 0 && elapsed >= static_cast<uint64_t>(t.checkPointFallsAtMs)) {
      st.checkPoint = 0;
    }
  }
  return st;
}

}  // namespace platform::sim
