// HTTP/1.0 over plain sockets, enough for the update check of the Linux
// command line; redirects are never followed here (the caller does that).
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/host_network.h"

namespace platform {
namespace {

class SocketRequest : public HttpRequest {
 public:
  SocketRequest(int fd, std::string head, std::string early)
      : fd_(fd), head_(std::move(head)), early_(std::move(early)) {}
  ~SocketRequest() override { close(fd_); }

  bool QueryInfo(uint32_t info, Text* value) override {
    if (info == inet::kQueryStatusCode) {
      size_t space = head_.find(' ');
      if (space == std::string::npos) return false;
      *value = FromUtf8(head_.substr(space + 1, 3));
      return true;
    }
    const char* name = info == inet::kQueryContentLength ? "content-length:"
                       : info == inet::kQueryLocation    ? "location:"
                                                         : nullptr;
    if (!name) return false;
    std::string lower = head_;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    size_t at = lower.find(std::string("\n") + name);
    if (at == std::string::npos) return false;
    size_t start = at + 1 + strlen(name);
    size_t end = head_.find('\r', start);
    std::string v = head_.substr(start, end == std::string::npos ? std::string::npos : end - start);
    size_t first = v.find_first_not_of(" \t");
    *value = FromUtf8(first == std::string::npos ? std::string() : v.substr(first));
    return true;
  }

  bool Read(uint8_t* buffer, uint32_t size, uint32_t* read) override {
    if (!early_.empty()) {
      size_t n = std::min<size_t>(size, early_.size());
      memcpy(buffer, early_.data(), n);
      early_.erase(0, n);
      *read = static_cast<uint32_t>(n);
      return true;
    }
    ssize_t n = recv(fd_, buffer, size, 0);
    *read = n > 0 ? static_cast<uint32_t>(n) : 0;
    return n >= 0;
  }

 private:
  int fd_;
  std::string head_;
  std::string early_;
};

class SocketNetwork : public Network {
 public:
  std::unique_ptr<HttpRequest> Get(const HttpGet& r) override {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string host = ToUtf8(r.host);
    if (getaddrinfo(host.c_str(), std::to_string(r.port).c_str(), &hints, &found) != 0) return nullptr;
    int fd = -1;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
      fd = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
      if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
        close(fd);
        fd = -1;
      }
    }
    freeaddrinfo(found);
    if (fd < 0) return nullptr;
    std::string request = "GET " + ToUtf8(r.object) + " HTTP/1.0\r\nHost: " + host +
                          "\r\nUser-Agent: " + ToUtf8(r.agent) + "\r\nAccept: */*\r\n\r\n";
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
      close(fd);
      return nullptr;
    }
    std::string data;
    char buffer[4096];
    size_t end;
    while ((end = data.find("\r\n\r\n")) == std::string::npos) {
      ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0 || data.size() > 65536) {
        close(fd);
        return nullptr;
      }
      data.append(buffer, static_cast<size_t>(n));
    }
    return std::make_unique<SocketRequest>(fd, data.substr(0, end + 2), data.substr(end + 4));
  }

  int32_t DownloadToFile(const Text&, const Text&) override { return static_cast<int32_t>(0x80004001); }
};

}  // namespace

std::unique_ptr<Network> OpenHostNetwork() { return std::make_unique<SocketNetwork>(); }

intptr_t StartHostProgram(const Text&, const Text&) { return 31; }  // no association for Windows programs

Text HostTempFolder(HostPlatform& host) { return IncludeTrailingBackslash(host.FromHostPath("/tmp")); }

}  // namespace platform
