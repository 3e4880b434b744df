#include "platform/sim/sim_network.h"

#include <algorithm>
#include <cstring>

namespace platform::sim {
namespace {

Text Number(long long n) {
  std::string s = std::to_string(n);
  return Text(s.begin(), s.end());
}

bool IsRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

class SimRequest : public HttpRequest {
 public:
  explicit SimRequest(const SimHttpAnswer& answer) : answer_(answer) {}

  bool QueryInfo(uint32_t info, Text* value) override {
    switch (info) {
      case inet::kQueryStatusCode:
        *value = Number(answer_.status);
        return true;
      case inet::kQueryContentLength:
        if (!answer_.hasContentLength) return false;
        *value = answer_.contentLength.empty() ? Number(static_cast<long long>(answer_.body.size()))
                                               : answer_.contentLength;
        return true;
      case inet::kQueryLocation:
        if (answer_.location.empty()) return false;
        *value = answer_.location;
        return true;
      default:
        return false;
    }
  }

  bool Read(uint8_t* buffer, uint32_t size, uint32_t* read) override {
    *read = 0;
    size_t left = answer_.body.size() - position_;
    size_t n = std::min<size_t>(size, left);
    if (answer_.failReadAt >= 0) {
      if (static_cast<long long>(position_) >= answer_.failReadAt) return false;
      n = std::min<size_t>(n, static_cast<size_t>(answer_.failReadAt) - position_);
    }
    std::memcpy(buffer, answer_.body.data() + position_, n);
    position_ += n;
    *read = static_cast<uint32_t>(n);
    if (answer_.onRead) answer_.onRead();
    return true;
  }

 private:
  const SimHttpAnswer& answer_;
  size_t position_ = 0;
};

// "http://host[:port]/object" as the key of an answer.
Text KeyOfUrl(const Text& url) {
  Text rest = url;
  if (rest.rfind(u"http://", 0) == 0) rest.erase(0, 7);
  size_t slash = rest.find(u'/');
  Text host = slash == Text::npos ? rest : rest.substr(0, slash);
  Text object = slash == Text::npos ? u"/" : rest.substr(slash);
  if (host.find(u':') == Text::npos) host += u":80";
  return host + object;
}

}  // namespace

void SimNetwork::Answer(const Text& hostPortObject, SimHttpAnswer answer) {
  answers_[hostPortObject] = std::move(answer);
}

const SimHttpAnswer* SimNetwork::Find(const Text& key) const {
  auto it = answers_.find(key);
  return it == answers_.end() ? nullptr : &it->second;
}

std::unique_ptr<HttpRequest> SimNetwork::Get(const HttpGet& request) {
  requests.push_back(request);
  Text key = request.host + u":" + Number(request.port) + request.object;
  const SimHttpAnswer* answer = Find(key);
  // Without INTERNET_FLAG_NO_AUTO_REDIRECT the library follows redirects
  // itself; a loop is cut here where Wine would spin for ever.
  for (int hops = 0; answer && IsRedirect(answer->status) &&
                     !(request.flags & inet::kFlagNoAutoRedirect) && hops < 100;
       ++hops) {
    Text location = answer->location;
    answer = Find(location.rfind(u"http://", 0) == 0 ? KeyOfUrl(location)
                                                     : request.host + u":" + Number(request.port) + location);
  }
  if (!answer) return nullptr;
  return std::make_unique<SimRequest>(*answer);
}

int32_t SimNetwork::DownloadToFile(const Text& url, const Text& file) {
  downloads.push_back(url);
  const SimHttpAnswer* answer = Find(KeyOfUrl(url));
  if (!answer) return static_cast<int32_t>(0x800C0005);  // INET_E_RESOURCE_NOT_FOUND
  uint32_t error = 0;
  auto out = files_.Open(file, Access::kWrite, Share::kExclusive, Disposition::kCreateAlways, &error);
  if (!out) return static_cast<int32_t>(0x80070000 | error);
  out->Write(answer->body.data(), answer->body.size());
  return 0;
}

}  // namespace platform::sim
