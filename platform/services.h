// The service control manager of the local machine: open, query, start,
// stop, and the name lookups, with the access rights each call asks for.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/text.h"

namespace platform {

namespace svcstate {
constexpr uint32_t kStopped = 1;
constexpr uint32_t kStartPending = 2;
constexpr uint32_t kStopPending = 3;
constexpr uint32_t kRunning = 4;
constexpr uint32_t kContinuePending = 5;
constexpr uint32_t kPausePending = 6;
constexpr uint32_t kPaused = 7;
}  // namespace svcstate

namespace svcaccess {
constexpr uint32_t kManagerConnect = 0x1;
constexpr uint32_t kManagerCreateService = 0x2;
constexpr uint32_t kQueryConfig = 0x1;
constexpr uint32_t kQueryStatus = 0x4;
constexpr uint32_t kStart = 0x10;
constexpr uint32_t kStop = 0x20;
constexpr uint32_t kDelete = 0x10000;
}  // namespace svcaccess

constexpr uint32_t kServiceControlStop = 1;

namespace svcerr {
constexpr uint32_t kDependentServicesRunning = 1051;
constexpr uint32_t kInvalidServiceControl = 1052;
constexpr uint32_t kServiceRequestTimeout = 1053;
constexpr uint32_t kServiceAlreadyRunning = 1056;
constexpr uint32_t kServiceDisabled = 1058;
constexpr uint32_t kServiceDoesNotExist = 1060;
constexpr uint32_t kServiceCannotAcceptCtrl = 1061;
constexpr uint32_t kServiceNotActive = 1062;
}  // namespace svcerr

// SERVICE_STATUS, the fields the programs read.
struct ServiceStatus {
  uint32_t serviceType = 0;
  uint32_t currentState = 0;
  uint32_t controlsAccepted = 0;
  uint32_t win32ExitCode = 0;
  uint32_t checkPoint = 0;
  uint32_t waitHint = 0;
};

// An open service handle (OpenServiceW); closed when destroyed.
class ServiceHandle {
 public:
  virtual ~ServiceHandle() = default;
  // QueryServiceStatus; false with *error on failure.
  virtual bool QueryStatus(ServiceStatus* status, uint32_t* error) = 0;
  // StartServiceW without arguments.
  virtual bool Start(uint32_t* error) = 0;
  // ControlService. On failure *status holds what Windows returned with it
  // (the stopped state for a service that is not active) and *statusValid
  // says whether it returned anything.
  virtual bool Control(uint32_t control, ServiceStatus* status, bool* statusValid,
                       uint32_t* error) = 0;
};

// An open service control manager handle (OpenSCManagerW); closed when destroyed.
class ServiceManagerHandle {
 public:
  virtual ~ServiceManagerHandle() = default;
  virtual std::unique_ptr<ServiceHandle> OpenService(const Text& keyName, uint32_t access,
                                                     uint32_t* error) = 0;
  // GetServiceDisplayNameW / GetServiceKeyNameW with a buffer of `capacity`
  // characters (the terminating null included); false when the name does not
  // exist or does not fit.
  virtual bool DisplayName(const Text& keyName, uint32_t capacity, Text* displayName,
                           uint32_t* error) = 0;
  virtual bool KeyName(const Text& displayName, uint32_t capacity, Text* keyName,
                       uint32_t* error) = 0;
};

class ServiceManager {
 public:
  virtual ~ServiceManager() = default;
  // OpenSCManagerW on the local machine's active database.
  virtual std::unique_ptr<ServiceManagerHandle> Open(uint32_t access, uint32_t* error) = 0;
};

}  // namespace platform
