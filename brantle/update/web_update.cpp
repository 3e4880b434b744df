#include "brantle/update/web_update.h"

#include <exception>
#include <vector>

namespace brantle {
namespace {

bool StartsWithNoCase(const Text& text, const Text& head) {
  return text.size() >= head.size() && platform::SameText(text.substr(0, head.size()), head);
}

struct Address {
  Text host;
  int port = 0;  // 0: the component's HTTPPort
  Text object;
};

// "http://host[:port]/object"; an address without "/" is an object path on
// `defaultHost`.
Address Split(const Text& address, const Text& defaultHost) {
  Text rest = StartsWithNoCase(address, u"http://") ? address.substr(7) : address;
  Address a;
  size_t slash = rest.find(u'/');
  if (slash == Text::npos) {
    a.object = rest;
    rest = defaultHost;
  } else {
    a.object = rest.substr(slash);
    rest = rest.substr(0, slash);
  }
  size_t colon = rest.find(u':');
  a.host = rest.substr(0, colon);
  if (colon != Text::npos) {
    int port = 0;
    Text digits = rest.substr(colon + 1);
    for (char16_t c : digits) {
      if (c < u'0' || c > u'9' || port > 65535) return Address{};
      port = port * 10 + (c - u'0');
    }
    if (digits.empty() || port == 0 || port > 65535) return Address{};
    a.port = port;
  }
  return a;
}

Text HostOf(const Text& url) {
  Text rest = StartsWithNoCase(url, u"http://") ? url.substr(7) : url;
  return rest.substr(0, rest.find(u'/'));
}

// A header number: decimal digits only, at most 2^31 - 1; anything else
// counts as no number.
bool ParseLength(const Text& text, long long* value) {
  if (text.empty() || text.size() > 10) return false;
  long long n = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    n = n * 10 + (c - u'0');
  }
  if (n > 0x7FFFFFFF) return false;
  *value = n;
  return true;
}

bool IsRedirect(long long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Clears Active on every way out of a check.
class ActiveScope {
 public:
  explicit ActiveScope(bool& active) : active_(active) { active_ = true; }
  ~ActiveScope() { active_ = false; }

 private:
  bool& active_;
};

}  // namespace

void TProductInfo::SetURL(const Text& url) {
  url_ = StartsWithNoCase(url, u"http://") ? url : u"http://" + url;
}

Text TWebUpdate::Version() const {
  const int stored = (1 << 8) | 21;
  return platform::ToText(stored >> 8) + u"." + platform::ToText(stored & 0xFF);
}

bool IsPlainFileName(const Text& name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (c < 32 || c == u'\\' || c == u'/' || c == u':' || c == u'*' || c == u'?' || c == u'"' ||
        c == u'<' || c == u'>' || c == u'|') {
      return false;
    }
  }
  return true;
}

bool TWebUpdate::FetchOnce(const Text& address, Target target, Text* redirect) {
  Address a = Split(address, HostOf(ProductInfo.URL()));
  if (a.host.empty() || a.object.empty()) return false;
  platform::HttpGet get;
  get.agent = u"TWebUpdate";
  get.host = a.host;
  get.port = static_cast<uint16_t>(a.port ? a.port : HTTPPort);
  get.userName = UserName;
  get.password = Password;
  get.object = a.object;
  get.flags = platform::inet::kFlagReload | platform::inet::kFlagNoAutoRedirect;
  std::unique_ptr<platform::HttpRequest> request = env_.net.Get(get);
  if (!request || Aborting) return false;

  Text text;
  long long status = 0;
  if (!request->QueryInfo(platform::inet::kQueryStatusCode, &text) || !ParseLength(text, &status)) {
    return false;
  }
  if (IsRedirect(status)) {
    Text location;
    if (!request->QueryInfo(platform::inet::kQueryLocation, &location) || location.empty()) return false;
    if (StartsWithNoCase(location, u"http://")) {
      *redirect = location;
    } else if (location.find(u"://") != Text::npos) {
      return false;  // only plain HTTP is spoken
    } else {
      Text base = u"http://" + a.host + (a.port ? u":" + platform::ToText(a.port) : Text());
      Text folder = a.object.substr(0, a.object.find_last_of(u'/') + 1);
      *redirect = base + (location[0] == u'/' ? location : folder + location);
    }
    return false;
  }
  if (status < 200 || status > 299) return false;

  bool hasLength = request->QueryInfo(platform::inet::kQueryContentLength, &text) &&
                   ParseLength(text, &FileSize);
  if (!hasLength) FileSize = 0;
  DownloadResult = hasLength;
  if (!hasLength && target == Target::kInstaller) return false;
  if (target == Target::kPage && FileSize > kMaxPageBytes) return false;

  std::unique_ptr<platform::File> out;
  if (target == Target::kInstaller) {
    uint32_t error = 0;
    out = env_.files.Open(FileName, platform::Access::kWrite, platform::Share::kExclusive,
                          platform::Disposition::kCreateAlways, &error);
    if (!out) return false;
  }
  std::string bytes;
  uint8_t buffer[kChunk];
  for (;;) {
    uint32_t n = 0;
    if (!request->Read(buffer, kChunk, &n)) return false;
    if (n == 0) break;
    DownloadSize = n;
    DownloadedSize += n;
    if (hasLength && DownloadedSize > FileSize) return false;
    if (target == Target::kPage) {
      if (DownloadedSize > kMaxPageBytes) return false;
      bytes.append(reinterpret_cast<const char*>(buffer), n);
    } else {
      out->Write(buffer, n);
    }
    if (OnDownload) OnDownload(*this, FileSize, DownloadedSize);
    if (env_.processMessages) env_.processMessages();
    if (Aborting) return false;
  }
  if (hasLength && DownloadedSize != FileSize) return false;
  if (target == Target::kPage) {
    if (DownloadedSize == 0) return false;
    page_ = env_.system.FromAnsi(bytes);
  }
  return true;
}

bool TWebUpdate::Fetch(const Text& address, Target target) {
  Text current = address;
  bool ok = false;
  bool failedInside = false;
  for (;;) {
    FileSize = 0;
    DownloadSize = 0;
    DownloadedSize = 0;
    DownloadResult = false;
    Text redirect;
    try {
      ok = FetchOnce(current, target, &redirect);
    } catch (const std::exception&) {
      // A failure inside (a full disk) ends the transfer without a message.
      ok = false;
      failedInside = true;
      break;
    }
    if (ok || redirect.empty() || Aborting) break;
    if (++redirections_ > kMaxRedirections) break;
    current = redirect;
  }
  DownloadResult = ok;
  // Nothing half-downloaded may be started later.
  if (!ok && target == Target::kInstaller) env_.files.Remove(FileName);
  if (!ok && !Aborting && !failedInside) Raise(OnDownloadError);
  return ok;
}

bool TWebUpdate::GetInfo() {
  Text address = RedirectionURL.empty() ? ProductInfo.URL() : RedirectionURL;
  for (;;) {
    static_cast<TPageValues&>(*this) = TPageValues();
    InfoPageURL = address;
    if (!Fetch(address, Target::kPage)) return false;
    ParseUpdatePage(page_, TagInfo, this);
    if (RedirectionURL.empty()) return true;
    if (++redirections_ > kMaxRedirections) {
      static_cast<TPageValues&>(*this) = TPageValues();
      Raise(OnDownloadError);
      return false;
    }
    address = RedirectionURL;
  }
}

bool TWebUpdate::CheckForAnUpdate() {
  if (Active) return false;
  ActiveScope active(Active);
  Aborting = false;
  redirections_ = 0;
  RedirectionURL.clear();
  Raise(OnBeforeGetInfo);
  GetInfo();
  if (Aborting) return false;
  Raise(OnAfterGetInfo);
  if (ProductName.empty() || ProductVersion.empty()) {
    Raise(OnDownloadError);
    return false;
  }
  if (!IsNewerVersion(ProductInfo.VersionFormat, ProductInfo.Version, ProductVersion)) {
    Raise(OnNoUpdateFound);
    return false;
  }
  bool canUpdate = true;
  if (OnUpdateAvailable) OnUpdateAvailable(*this, ProductInfo.Version, ProductVersion, canUpdate);
  if (!canUpdate || Aborting) return false;
  bool showInfo = true;
  bool checkForUpdate = true;
  if (OnBeforeShowInfo) OnBeforeShowInfo(*this, showInfo, checkForUpdate);
  if (Aborting) return false;
  if (showInfo) {
    bool ok = !ShowInfo || ShowInfo(*this, InfoPageURL);
    if (OnAfterShowInfo) OnAfterShowInfo(*this, checkForUpdate);
    if (!ok || Aborting) return false;
  }
  // The page comes from a network: its installer must be a plain file in
  // the target folder, and there must be one to fetch.
  if (UpdateURL.empty() || !IsPlainFileName(ClientFileName)) {
    Raise(OnDownloadError);
    return false;
  }
  if (!TargetFolder.empty() && env_.files.DirExists(TargetFolder)) {
    FileName = platform::IncludeTrailingBackslash(TargetFolder) + ClientFileName;
  } else {
    FileName = env_.tempFolder() + ClientFileName;
  }
  if (OnGetClientFileName) OnGetClientFileName(*this, FileName);
  if (env_.files.Exists(FileName)) {
    bool overwrite = (Options & uoOverwrite) != 0;
    if (OnClientFileExists) OnClientFileExists(*this, FileName, overwrite);
    if (!overwrite) {
      Raise(OnDownloadError);
      return false;
    }
  }
  if (OnBeforeDownload) OnBeforeDownload(*this, FileName);
  bool ok = Fetch(UpdateURL, Target::kInstaller);
  if (OnAfterDownload) OnAfterDownload(*this, FileName);
  if (!ok || Aborting) {
    if (Aborting) env_.files.Remove(FileName);
    return false;
  }
  if (Options & uoRunUpdate) {
    intptr_t started = env_.execute(FileName, RunParameters);
    if (started <= 32) Raise(OnCannotExecute);
    if (Options & uoTerminate) env_.terminate();
  }
  return true;
}

}  // namespace brantle
