// The update window Tf_Update, which runs one check while it is created and
// answers the component's events, and the information window that shows
// the update page before the download.
#pragma once

#include <functional>
#include <memory>

#include "brantle/update/web_update.h"
#include "platform/ui/controls.h"
#include "platform/ui/ui.h"

namespace brantle {

// What a check needs of the program besides the file system.
struct UpdateServices {
  platform::Network& net;
  platform::FileSystem& files;
  platform::System& system;
  // ShellExecuteW "open" with parameters, normal window; its result.
  std::function<intptr_t(const Text& file, const Text& parameters)> execute;
  std::function<Text()> tempFolder;  // with a trailing backslash
  Text host;                         // the update server, "host[:port]"; empty: the maker's
};

class Tfrm_ShowInfoUpdate : public platform::ui::Form {
 public:
  explicit Tfrm_ShowInfoUpdate(platform::ui::Ui& ui);
  platform::ui::Panel* Panel1;
  // The page as text: any view of its HTML serves, only OK and Cancel matter.
  platform::ui::Memo* WebBrowser;
  platform::ui::Panel* Panel_Bottom;
  platform::ui::Button* btn_OK;
  platform::ui::Button* btn_Cancel;

  // Centres the buttons in the bottom panel.
  void Panel_BottomResize();
  // Shows the page modally; true on OK.
  bool ShowPage(const TInfoCaption& captions, const Text& url, const Text& page);
};

class Tf_Update : public platform::ui::Form {
 public:
  // Runs the whole check before it returns.
  Tf_Update(platform::ui::Ui& ui, UpdateServices& services);

  platform::ui::ProgressBar* ProgressBar;
  TWebUpdate WebUpdate;

 private:
  // Made the first time it is needed, destroyed with the window.
  std::unique_ptr<Tfrm_ShowInfoUpdate> info_;
};

// The page's text without its tags, for the information window.
Text PageAsText(const Text& html);

}  // namespace brantle
