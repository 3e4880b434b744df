#include "platform/win32/win32_network.h"

#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

class WinInetRequest : public HttpRequest {
 public:
  WinInetRequest(HINTERNET session, HINTERNET connection, HINTERNET request)
      : session_(session), connection_(connection), request_(request) {}
  ~WinInetRequest() override {
    if (request_) InternetCloseHandle(request_);
    if (connection_) InternetCloseHandle(connection_);
    if (session_) InternetCloseHandle(session_);
  }

  bool QueryInfo(uint32_t info, Text* value) override {
    wchar_t buffer[512] = {};  // 1,024 bytes
    DWORD size = sizeof(buffer);
    DWORD index = 0;
    if (!HttpQueryInfoW(request_, info, buffer, &size, &index)) return false;
    *value = FromW(buffer, size / sizeof(wchar_t));
    return true;
  }

  bool Read(uint8_t* buffer, uint32_t size, uint32_t* read) override {
    DWORD n = 0;
    BOOL ok = InternetReadFile(request_, buffer, size, &n);
    *read = ok ? n : 0;
    return ok != FALSE;
  }

 private:
  HINTERNET session_;
  HINTERNET connection_;
  HINTERNET request_;
};

class WinInetNetwork : public Network {
 public:
  std::unique_ptr<HttpRequest> Get(const HttpGet& r) override {
    HINTERNET session = InternetOpenW(W(r.agent), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return nullptr;
    HINTERNET connection =
        InternetConnectW(session, W(r.host), r.port, W(r.userName), W(r.password),
                         INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) {
      InternetCloseHandle(session);
      return nullptr;
    }
    const wchar_t* accept[] = {L"Accept: */*", nullptr};
    HINTERNET request = HttpOpenRequestW(connection, L"GET", W(r.object), L"HTTP/1.0", L"",
                                         accept, r.flags, 0);
    auto result = std::make_unique<WinInetRequest>(session, connection, request);
    if (!request || !HttpSendRequestW(request, nullptr, 0, nullptr, 0)) return nullptr;
    return result;
  }

  int32_t DownloadToFile(const Text& url, const Text& file) override {
    return URLDownloadToFileW(nullptr, W(url), W(file), 0, nullptr);
  }
};

}  // namespace

std::unique_ptr<Network> MakeNetwork() { return std::make_unique<WinInetNetwork>(); }

}  // namespace platform::win32
