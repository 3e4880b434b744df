// TWebUpdate: fetches the update-information page, compares the versions,
// downloads the installer it names and starts it. The owning window talks
// to the user through the events; the component itself shows nothing.
#pragma once

#include <cstdint>
#include <functional>

#include "brantle/update/update_page.h"
#include "platform/files.h"
#include "platform/network.h"
#include "platform/system.h"

namespace brantle {

enum TUpdateOption : unsigned { uoRunUpdate = 1, uoTerminate = 2, uoOverwrite = 4 };

// What the component needs of the program around it.
struct WebUpdateEnv {
  platform::Network& net;
  platform::FileSystem& files;
  platform::System& system;
  // Lets the user interface handle its pending messages (after each chunk).
  std::function<void()> processMessages;
  // ShellExecuteW "open" of the installer with its parameters, normal
  // window, main window as owner; returns the start result.
  std::function<intptr_t(const Text& file, const Text& parameters)> execute;
  // Ends the program (after the installer was started).
  std::function<void()> terminate;
  // The system's temporary folder, with a trailing backslash.
  std::function<Text()> tempFolder;
};

class TProductInfo {
 public:
  const Text& URL() const { return url_; }
  // Prefixes "http://" unless the text already starts with it (any case).
  void SetURL(const Text& url);
  Text Version = u"1.0";
  TVersionFormat VersionFormat = TVersionFormat::vfStandard;

 private:
  Text url_;
};

struct TInfoCaption {
  Text OkButton = u"&OK";
  Text CancelButton = u"&Cancel";
  Text CheckForUpdate = u"C&heck for updates in the future";
};

class TWebUpdate : public TPageValues {
 public:
  // All redirections of one check together: HTTP answers 301, 302, 303, 307
  // and 308 and pages naming "wuRedirection". One more is a download error.
  static constexpr int kMaxRedirections = 10;
  // A page longer than this is not an update-information page.
  static constexpr uint32_t kMaxPageBytes = 4u << 20;
  static constexpr uint32_t kChunk = 1025;

  explicit TWebUpdate(WebUpdateEnv env) : env_(std::move(env)) {}

  TProductInfo ProductInfo;
  TTagInfo TagInfo;
  TInfoCaption InfoCaption;
  unsigned Options = uoRunUpdate | uoTerminate;
  int HTTPPort = 80;
  Text UserName;
  Text Password;
  Text TargetFolder;
  // The component's own version.
  Text Version() const;

  // Download state.
  long long FileSize = 0;
  long long DownloadSize = 0;
  long long DownloadedSize = 0;
  bool DownloadResult = false;
  bool Aborting = false;
  bool Active = false;
  Text FileName;
  // The address of the page the last check read (after its redirections).
  Text InfoPageURL;

  // Events, each optional.
  std::function<void(TWebUpdate&)> OnBeforeGetInfo, OnAfterGetInfo, OnNoUpdateFound,
      OnDownloadError, OnCannotExecute;
  std::function<void(TWebUpdate&, const Text& actual, const Text& latest, bool& canUpdate)>
      OnUpdateAvailable;
  std::function<void(TWebUpdate&, bool& showInfo, bool& checkForUpdate)> OnBeforeShowInfo;
  std::function<void(TWebUpdate&, bool checkForUpdate)> OnAfterShowInfo;
  std::function<void(TWebUpdate&, Text& fileName)> OnGetClientFileName;
  std::function<void(TWebUpdate&, Text& fileName, bool& overwrite)> OnClientFileExists;
  std::function<void(TWebUpdate&, const Text& fileName)> OnBeforeDownload, OnAfterDownload;
  std::function<void(TWebUpdate&, long long total, long long downloaded)> OnDownload;
  // The information window: shows the page at this address modally; true on OK.
  std::function<bool(TWebUpdate&, const Text& url)> ShowInfo;

  // The whole check; true only when an installer was downloaded. A check
  // asked for while one runs returns false at once.
  bool CheckForAnUpdate();
  // The text of the last page read.
  const Text& PageText() const { return page_; }
  // Stops the running check at its next step, quietly.
  void Abort() { Aborting = true; }

 private:
  enum class Target { kPage, kInstaller };
  bool GetInfo();
  // One GET with redirects followed by hand; the page goes to page_, the
  // installer to FileName.
  bool Fetch(const Text& address, Target target);
  bool FetchOnce(const Text& address, Target target, Text* redirect);
  void Raise(const std::function<void(TWebUpdate&)>& event) {
    if (event) event(*this);
  }

  WebUpdateEnv env_;
  Text page_;
  int redirections_ = 0;
};

// Whether a name from the page may be used as the installer's file name:
// a plain name, no folder, drive, share or parent reference.
bool IsPlainFileName(const Text& name);

}  // namespace brantle
