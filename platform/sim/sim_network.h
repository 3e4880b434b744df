// A scripted web: answers per address (host, port and object), recorded
// requests, and URLDownloadToFileW into the simulated file system.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/network.h"

namespace platform::sim {

struct SimHttpAnswer {
  int status = 200;
  bool hasContentLength = true;  // Content-Length: the body's size, or contentLength
  Text contentLength;            // when not empty, sent verbatim
  Text location;                 // Location header of a redirect
  std::string body;
  // InternetReadFile fails once this many bytes were delivered (-1: never).
  long long failReadAt = -1;
  // Called after each read (a test can press Abort there).
  std::function<void()> onRead;
};

class SimNetwork : public Network {
 public:
  explicit SimNetwork(FileSystem& files) : files_(files) {}

  // Answer for "host:port/object", e.g. "upd.example:80/update.html".
  void Answer(const Text& hostPortObject, SimHttpAnswer answer);
  // Forgets all answers and recorded calls.
  void Reset() {
    answers_.clear();
    requests.clear();
    downloads.clear();
  }
  // A download address ("http://host[:port]/object") that URLDownloadToFileW
  // cannot reach gives this HRESULT; reachable ones write the body, whatever
  // the status, as Wine does.
  std::unique_ptr<HttpRequest> Get(const HttpGet& request) override;
  int32_t DownloadToFile(const Text& url, const Text& file) override;

  std::vector<HttpGet> requests;  // every Get, in order
  std::vector<Text> downloads;    // every DownloadToFile address

 private:
  const SimHttpAnswer* Find(const Text& key) const;
  FileSystem& files_;
  std::map<Text, SimHttpAnswer> answers_;
};

}  // namespace platform::sim
