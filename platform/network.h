// HTTP over WinINet (the backup program's update fetch) and
// URLDownloadToFileW (the optimiser's update check).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/text.h"

namespace platform {

namespace inet {
constexpr uint32_t kFlagReload = 0x80000000;          // INTERNET_FLAG_RELOAD
constexpr uint32_t kFlagNoAutoRedirect = 0x00200000;  // INTERNET_FLAG_NO_AUTO_REDIRECT
constexpr uint32_t kQueryContentLength = 5;           // HTTP_QUERY_CONTENT_LENGTH
constexpr uint32_t kQueryStatusCode = 19;             // HTTP_QUERY_STATUS_CODE
constexpr uint32_t kQueryLocation = 33;               // HTTP_QUERY_LOCATION
}  // namespace inet

struct HttpGet {
  Text agent;     // InternetOpenW, preconfigured proxy settings
  Text host;      // InternetConnectW, HTTP service
  uint16_t port = 80;
  Text userName;
  Text password;
  Text object;    // HttpOpenRequestW "GET", "HTTP/1.0", no referrer, "Accept: */*"
  uint32_t flags = 0;
};

// A request that HttpSendRequestW has sent; destroying it closes the
// request, connection and session handles.
class HttpRequest {
 public:
  virtual ~HttpRequest() = default;
  // HttpQueryInfoW of one header into a 1,024-byte buffer; false when absent.
  virtual bool QueryInfo(uint32_t info, Text* value) = 0;
  // InternetReadFile; false when the read failed. *read == 0 at the end.
  virtual bool Read(uint8_t* buffer, uint32_t size, uint32_t* read) = 0;
};

class Network {
 public:
  virtual ~Network() = default;
  // InternetOpenW, InternetConnectW, HttpOpenRequestW, HttpSendRequestW;
  // null when any of them failed (its handles closed).
  virtual std::unique_ptr<HttpRequest> Get(const HttpGet& request) = 0;
  // URLDownloadToFileW(no caller, url, file, 0, no callback): its HRESULT.
  virtual int32_t DownloadToFile(const Text& url, const Text& file) = 0;
};

}  // namespace platform
