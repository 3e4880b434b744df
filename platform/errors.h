// System error codes as Windows numbers them, shared by the real and the
// simulated platform so that logic and tests can name them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

namespace err {
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kPathNotFound = 3;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kInvalidHandle = 6;
constexpr uint32_t kNotEnoughMemory = 8;
constexpr uint32_t kNotSameDevice = 17;
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kNotSupported = 50;
constexpr uint32_t kFileExists = 80;
constexpr uint32_t kInvalidParameter = 87;
constexpr uint32_t kInvalidName = 123;
constexpr uint32_t kDirNotEmpty = 145;
constexpr uint32_t kAlreadyExists = 183;
constexpr uint32_t kMoreData = 234;
constexpr uint32_t kDirectory = 267;
constexpr uint32_t kNoMoreItems = 259;
constexpr uint32_t kNotAllAssigned = 1300;
constexpr uint32_t kNoSuchPrivilege = 1313;
constexpr uint32_t kPrivilegeNotHeld = 1314;
constexpr uint32_t kBadFileType = 222;
constexpr uint32_t kRegistryCorrupt = 1015;
constexpr uint32_t kKeyDeleted = 1018;
constexpr uint32_t kTooManyOpenFiles = 4;
constexpr uint32_t kWriteProtect = 19;
constexpr uint32_t kHandleDiskFull = 39;
constexpr uint32_t kDiskFull = 112;
constexpr uint32_t kBusy = 170;
constexpr uint32_t kFilenameTooLong = 206;
constexpr uint32_t kFileTooLarge = 223;
constexpr uint32_t kIoDevice = 1117;
constexpr uint32_t kCantResolveFilename = 1921;
// The simulation's code for a host error that no Windows code matches: this
// bit (the one Windows leaves to applications) plus the host's errno.
constexpr uint32_t kHostErrnoBit = 0x20000000;
}  // namespace err

// A failed system call whose error the caller chose to raise (the programs'
// "raise the last system error").
class OsError : public std::runtime_error {
 public:
  OsError(uint32_t code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  uint32_t code() const { return code_; }

 private:
  uint32_t code_;
};

}  // namespace platform
