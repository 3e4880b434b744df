// Byte streams: the archive codec reads and writes through these, so it works
// the same on an open file and on memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// Raised when a stream cannot deliver or take the bytes asked for; the
// message is the one the user sees. `code` is the system's reason (0: none,
// such as a stream that simply ended), so callers can name the file and why.
class StreamError : public std::runtime_error {
 public:
  explicit StreamError(const std::string& message, uint32_t code = 0)
      : std::runtime_error(message), code_(code) {}
  uint32_t code() const { return code_; }

 private:
  uint32_t code_;
};

class Stream {
 public:
  virtual ~Stream() = default;
  // Reads up to `count` bytes; returns how many were read (0 at the end).
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Writes all `count` bytes or raises StreamError.
  virtual void Write(const void* buffer, size_t count) = 0;
  virtual uint64_t Size() = 0;
  virtual uint64_t Position() = 0;
  virtual void Seek(uint64_t position) = 0;

  // Reads exactly `count` bytes or raises "Stream read error".
  void ReadBuffer(void* buffer, size_t count);
};

class MemoryStream : public Stream {
 public:
  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  uint64_t Size() override { return data_.size(); }
  uint64_t Position() override { return position_; }
  void Seek(uint64_t position) override { position_ = position; }

  std::vector<uint8_t>& Data() { return data_; }

 private:
  std::vector<uint8_t> data_;
  uint64_t position_ = 0;
};

}  // namespace platform
