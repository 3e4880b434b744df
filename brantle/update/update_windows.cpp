#include "brantle/update/update_windows.h"

#include "brantle/update/update_settings.h"

namespace brantle {

using namespace platform::ui;

Text PageAsText(const Text& html) {
  Text out;
  bool inTag = false;
  for (char16_t c : html) {
    if (c == u'<') inTag = true;
    else if (c == u'>') inTag = false;
    else if (!inTag && c != u'\r') out.push_back(c);
  }
  // Lines without text are what the tags left behind.
  Text lines;
  size_t start = 0;
  while (start <= out.size()) {
    size_t end = out.find(u'\n', start);
    if (end == Text::npos) end = out.size();
    Text line = out.substr(start, end - start);
    if (line.find_first_not_of(u" \t") != Text::npos) lines += line + u"\r\n";
    start = end + 1;
  }
  return lines;
}

// --- information window

Tfrm_ShowInfoUpdate::Tfrm_ShowInfoUpdate(Ui& ui) : Form(ui, u"Tfrm_ShowInfoUpdate") {
  SetCaption(u"Web Update");
  SetBorderStyle(BorderStyle::Dialog);
  SetBorderIcons({false, false, false});
  SetPosition(FormPosition::ScreenCenter);
  SetClientSize(514, 415);
  Panel1 = Add<Panel>(u"Panel1");
  Panel1->SetBounds(0, 0, 514, 374);
  WebBrowser = Add<Memo>(u"WebBrowser", Panel1);
  WebBrowser->SetBounds(2, 2, 510, 370);
  WebBrowser->SetReadOnly(true);
  Panel_Bottom = Add<Panel>(u"Panel_Bottom");
  Panel_Bottom->SetBounds(0, 374, 514, 41);
  btn_OK = Add<Button>(u"btn_OK", Panel_Bottom);
  btn_OK->SetBounds(0, 8, 75, 25);
  btn_OK->SetDefault(true);
  btn_OK->SetModalResult(ModalResult::Ok);
  btn_Cancel = Add<Button>(u"btn_Cancel", Panel_Bottom);
  btn_Cancel->SetBounds(0, 8, 75, 25);
  btn_Cancel->SetModalResult(ModalResult::Cancel);
  Panel_BottomResize();
}

void Tfrm_ShowInfoUpdate::Panel_BottomResize() {
  int left = (Panel_Bottom->Width() - btn_OK->Width() - btn_Cancel->Width() - 6) / 2;
  btn_OK->SetLeft(left);
  btn_Cancel->SetLeft(left + btn_OK->Width() + 3);
}

bool Tfrm_ShowInfoUpdate::ShowPage(const TInfoCaption& captions, const Text& url, const Text& page) {
  btn_OK->SetCaption(captions.OkButton);
  btn_Cancel->SetCaption(captions.CancelButton);
  WebBrowser->SetLines({url, Text(), PageAsText(page)});
  return ShowModal() == ModalResult::Ok;
}

// --- update window

Tf_Update::Tf_Update(Ui& ui, UpdateServices& services)
    : Form(ui, u"Tf_Update"),
      WebUpdate(WebUpdateEnv{services.net, services.files, services.system,
                             [this] {
                               GetUi().ProcessMessages();
                               // The program is ending: nothing more of this check may happen.
                               if (GetUi().Terminated()) WebUpdate.Abort();
                             },
                             services.execute, [this] { GetUi().Terminate(); }, services.tempFolder}) {
  SetCaption(u"Web Update");
  SetBorderStyle(BorderStyle::Single);
  SetBorderIcons({true, false, false});
  SetPosition(FormPosition::ScreenCenter);
  SetClientSize(232, 24);
  SetColor(kWhite);
  ProgressBar = Add<platform::ui::ProgressBar>(u"ProgressBar");
  ProgressBar->SetBounds(4, 4, 225, 17);
  OnClose = [](Form&, CloseAction& action) { action = CloseAction::Free; };

  ConfigureWebUpdate(WebUpdate, services.host);
  WebUpdate.OnAfterGetInfo = [&services](TWebUpdate& u) { u.TargetFolder = services.files.CurrentDir(); };
  WebUpdate.OnUpdateAvailable = [this](TWebUpdate&, const Text& actual, const Text& latest, bool& canUpdate) {
    canUpdate = GetUi().MessageBox(u"You are using version " + actual + u", but version " + latest +
                                       u" is available.\r\n\r\nDo you want to update your application now?",
                                   u"Warning", MsgButtons::YesNo, MsgIcon::Warning) == ModalResult::Yes;
  };
  WebUpdate.OnBeforeShowInfo = [this](TWebUpdate&, bool& showInfo, bool&) {
    showInfo = GetUi().MessageBox(u"Would you like to read the changelog?", u"Confirmation", MsgButtons::YesNo,
                                  MsgIcon::Question) == ModalResult::Yes;
  };
  WebUpdate.ShowInfo = [this](TWebUpdate& u, const Text& url) {
    if (!info_) info_ = std::make_unique<Tfrm_ShowInfoUpdate>(GetUi());
    return info_->ShowPage(u.InfoCaption, url, u.PageText());
  };
  WebUpdate.OnDownload = [this](TWebUpdate&, long long total, long long downloaded) {
    ProgressBar->SetMax(static_cast<int>(total));
    ProgressBar->SetPosition(static_cast<int>(downloaded));
  };
  WebUpdate.OnDownloadError = [this](TWebUpdate&) {
    GetUi().MessageBox(u"Cannot download data from the web", u"Error", MsgButtons::Ok, MsgIcon::Error);
  };
  WebUpdate.OnNoUpdateFound = [this](TWebUpdate&) {
    GetUi().MessageBox(u"There is no update available!", u"Error", MsgButtons::Ok, MsgIcon::Error);
  };
  WebUpdate.CheckForAnUpdate();
}

}  // namespace brantle
