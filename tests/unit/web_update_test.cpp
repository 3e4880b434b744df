#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brantle/update/web_update.h"
#include "platform/sim/sim_network.h"
#include "platform/sim/sim_windows.h"
#include "sim_fixture.h"

namespace brantle {
namespace {

using platform::sim::SimHttpAnswer;
using platform::sim::SimNetwork;

TEST(UpdateVersionTest, ComparesAsTheirFormatSays) {
  struct Case {
    TVersionFormat format;
    const char16_t* running;
    const char16_t* latest;
    bool newer;
  } cases[] = {
      {TVersionFormat::vfStandard, u"2.0.2", u"2.0.10", true},
      {TVersionFormat::vfStandard, u"2.0.2", u"2.0.2", false},
      {TVersionFormat::vfStandard, u"2.0.2", u"2.1", true},
      {TVersionFormat::vfStandard, u"2.0.2", u"2.0.1", false},
      {TVersionFormat::vfStandard, u"2.0.2", u"1.9.9", false},
      {TVersionFormat::vfStandard, u"2.0.2", u"3", true},
      // Missing parts count 0: neither a missed update nor a downgrade.
      {TVersionFormat::vfStandard, u"2.0.2", u"2.0.2.1", true},
      {TVersionFormat::vfStandard, u"2.0.2", u"2", false},
      {TVersionFormat::vfStandard, u"2.0.2", u"2.0.2.0", false},
      {TVersionFormat::vfStandard, u"2", u"2.0.0.1", true},
      // Parts that are no number count 0.
      {TVersionFormat::vfStandard, u"2.0.2", u"2.x.1", false},
      {TVersionFormat::vfStandard, u"2.0.2", u"2.0.3beta", false},
      {TVersionFormat::vfStandard, u"2.0.2", u"2.0.99999999999", false},
      {TVersionFormat::vfStandard, u"2.0.2", u"", false},
      {TVersionFormat::vfString, u"2.0.2", u"2.0.3", true},
      {TVersionFormat::vfString, u"2.0.2", u"2.0.10", false},
      {TVersionFormat::vfString, u"2.0.2", u"2.0.2", false},
      {TVersionFormat::vfNumber, u"1.5", u"1.25", false},
      {TVersionFormat::vfNumber, u"1.5", u"1.75", true},
      {TVersionFormat::vfNumber, u"1.5", u"two", false},
      {TVersionFormat::vfNumber, u"1.5", u"inf", false},
      {TVersionFormat::vfNumber, u"x", u"2", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsNewerVersion(c.format, c.running, c.latest), c.newer)
        << platform::ToUtf8(c.running) << " -> " << platform::ToUtf8(c.latest);
  }
}

TEST(UpdatePageTest, ReadsTheMetaTags) {
  const Text longValue(300, u'v');
  const Text longLine = u"<META NAME=\"wuAuthor\" CONTENT=\"" + Text(1 << 20, u'a');
  struct Case {
    Text page;
    Text product, version, download, author;
  } cases[] = {
      {u"<html>\r\n<META NAME=\"wuProduct\" CONTENT=\"Brantle\">\r\n"
       u"<META NAME=\"wuVersion\" content=\"2.1\">\n<META NAME=\"wuDownload\" Content=\"http://h/s.exe\">",
       u"Brantle", u"2.1", u"http://h/s.exe", u""},
      // Lower-case "meta name" defines nothing; names compare exactly.
      {u"<meta name=\"wuVersion\" CONTENT=\"9\">\n<META NAME=\"WUVERSION\" CONTENT=\"8\">", u"", u"", u"", u""},
      // Later lines win; only the first tag of a line counts.
      {u"<META NAME=\"wuVersion\" CONTENT=\"1\">\r<META NAME=\"wuVersion\" CONTENT=\"2\">"
       u"<META NAME=\"wuProduct\" CONTENT=\"x\">",
       u"", u"2", u"", u""},
      // No closing quote: cut at 255 characters.
      {u"<META NAME=\"wuAuthor\" CONTENT=\"" + longValue, u"", u"", u"", longValue.substr(0, 255)},
      {longLine, u"", u"", u"", Text(255, u'a')},
      // A tag at the very end of the text, and a line without CONTENT=.
      {u"<META NAME=\"wuVersion\" CONTENT=\"", u"", u"", u"", u""},
      {u"<META NAME=\"", u"", u"", u"", u""},
      {u"<META NAME=\"wuVersion\">", u"", u"", u"", u""},
      {u"", u"", u"", u"", u""},
      {u"<META NAME=\"wuProduct\" CONTENT=\"Br\u00e4ntle\">", u"Br\u00e4ntle", u"", u"", u""},
  };
  for (const Case& c : cases) {
    TPageValues v;
    ParseUpdatePage(c.page, TTagInfo(), &v);
    EXPECT_EQ(v.ProductName, c.product) << platform::ToUtf8(c.page.substr(0, 80));
    EXPECT_EQ(v.ProductVersion, c.version) << platform::ToUtf8(c.page.substr(0, 80));
    EXPECT_EQ(v.UpdateURL, c.download) << platform::ToUtf8(c.page.substr(0, 80));
    EXPECT_EQ(v.Author, c.author) << platform::ToUtf8(c.page.substr(0, 80));
  }
}

std::string Page(const std::string& version, const std::string& extra = "",
                 const std::string& clientName = "Update.exe") {
  return "<html><head>\r\n<META NAME=\"wuProduct\" CONTENT=\"Brantle\">\r\n"
         "<META NAME=\"wuVersion\" CONTENT=\"" + version + "\">\r\n"
         "<META NAME=\"wuDownload\" CONTENT=\"http://upd.example/files/setup.exe\">\r\n"
         "<META NAME=\"wuClientSideName\" CONTENT=\"" + clientName + "\">\r\n"
         "<META NAME=\"wuRunParameters\" CONTENT=\"/S\">\r\n" + extra + "</head></html>\r\n";
}

class WebUpdateTest : public ::testing::Test {
 protected:
  WebUpdateTest()
      : net(sim.Get().files),
        update(WebUpdateEnv{net, sim.Get().files, sim.Get().system,
                            [this] {
                              if (onMessages) onMessages();
                            },
                            [this](const Text& file, const Text& params) {
                              events.push_back("execute " + platform::ToUtf8(file) + " " + platform::ToUtf8(params));
                              return executeResult;
                            },
                            [this] { events.push_back("terminate"); },
                            [] { return Text(u"C:\\Temp\\"); }}) {
    sim.Get().files.ForceDirectories(u"C:\\Work");
    sim.Get().files.ForceDirectories(u"C:\\Temp");
    update.ProductInfo.SetURL(u"upd.example/update.html");
    update.ProductInfo.Version = u"2.0.2";
    update.Options = uoRunUpdate | uoTerminate | uoOverwrite;
    update.TargetFolder = u"C:\\Work";
    Record(update.OnBeforeGetInfo, "BeforeGetInfo");
    Record(update.OnAfterGetInfo, "AfterGetInfo");
    Record(update.OnNoUpdateFound, "NoUpdateFound");
    Record(update.OnDownloadError, "DownloadError");
    Record(update.OnCannotExecute, "CannotExecute");
    update.OnUpdateAvailable = [this](TWebUpdate&, const Text& a, const Text& n, bool& can) {
      events.push_back("UpdateAvailable " + platform::ToUtf8(a) + " " + platform::ToUtf8(n));
      can = answerYes;
    };
    update.OnBeforeShowInfo = [this](TWebUpdate&, bool& show, bool&) {
      events.push_back("BeforeShowInfo");
      show = showInfo;
    };
    update.ShowInfo = [this](TWebUpdate&, const Text& url) {
      events.push_back("ShowInfo " + platform::ToUtf8(url));
      return infoOk;
    };
    update.OnAfterShowInfo = [this](TWebUpdate&, bool) { events.push_back("AfterShowInfo"); };
    update.OnGetClientFileName = [this](TWebUpdate&, Text& f) { events.push_back("GetClientFileName " + platform::ToUtf8(f)); };
    update.OnBeforeDownload = [this](TWebUpdate&, const Text&) { events.push_back("BeforeDownload"); };
    update.OnAfterDownload = [this](TWebUpdate&, const Text&) { events.push_back("AfterDownload"); };
    update.OnDownload = [this](TWebUpdate&, long long total, long long done) {
      progress.push_back({total, done});
    };
  }

  void Record(std::function<void(TWebUpdate&)>& event, const char* name) {
    event = [this, name](TWebUpdate&) { events.push_back(name); };
  }
  void ServePage(const std::string& body, const Text& object = u"/update.html") {
    SimHttpAnswer a;
    a.body = body;
    net.Answer(u"upd.example:80" + object, a);
  }
  void ServeInstaller(SimHttpAnswer a) { net.Answer(u"upd.example:80/files/setup.exe", std::move(a)); }
  SimHttpAnswer Installer(size_t size = 3000) {
    SimHttpAnswer a;
    a.body = std::string(size, 'M');
    return a;
  }
  SimHttpAnswer Redirect(const Text& to) {
    SimHttpAnswer a;
    a.status = 302;
    a.location = to;
    return a;
  }
  bool InstallerExists() { return sim.Get().files.FileExists(u"C:\\Work\\Update.exe"); }
  int Count(const std::string& event) {
    int n = 0;
    for (const auto& e : events) n += e == event;
    return n;
  }

  platform::sim::TempSimWindows sim;
  SimNetwork net;
  TWebUpdate update;
  std::vector<std::string> events;
  std::vector<std::pair<long long, long long>> progress;
  std::function<void()> onMessages;
  bool answerYes = true;
  bool showInfo = false;
  bool infoOk = true;
  intptr_t executeResult = 42;
};

TEST_F(WebUpdateTest, NewerVersionIsDownloadedAndStartedWithEventsInOrder) {
  ServePage(Page("2.1"));
  ServeInstaller(Installer(3000));
  showInfo = true;
  EXPECT_TRUE(update.CheckForAnUpdate());
  const std::vector<std::string> expected = {
      "BeforeGetInfo", "AfterGetInfo", "UpdateAvailable 2.0.2 2.1", "BeforeShowInfo",
      "ShowInfo http://upd.example/update.html", "AfterShowInfo",
      "GetClientFileName C:\\Work\\Update.exe", "BeforeDownload", "AfterDownload",
      "execute C:\\Work\\Update.exe /S", "terminate"};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(testing_support::ReadFile(sim.Get(), u"C:\\Work\\Update.exe"), std::string(3000, 'M'));
  // Chunks of 1,025 bytes; the installer's counts start from zero again.
  ASSERT_EQ(progress.size(), 1u + 3u);  // the page is one chunk
  EXPECT_EQ(progress[1], (std::pair<long long, long long>{3000, 1025}));
  EXPECT_EQ(progress.back(), (std::pair<long long, long long>{3000, 3000}));
  EXPECT_FALSE(update.Active);
  // The request as the update server expects it.
  ASSERT_FALSE(net.requests.empty());
  const platform::HttpGet& get = net.requests[0];
  EXPECT_EQ(get.agent, u"TWebUpdate");
  EXPECT_EQ(get.host, u"upd.example");
  EXPECT_EQ(get.port, 80);
  EXPECT_EQ(get.object, u"/update.html");
  EXPECT_TRUE(get.flags & platform::inet::kFlagReload);
  EXPECT_TRUE(get.flags & platform::inet::kFlagNoAutoRedirect);
}

TEST_F(WebUpdateTest, OutcomesWithoutAnInstaller) {
  struct Case {
    const char* name;
    std::string page;  // empty: no server answer
    int pageStatus;
    bool yes;
    bool infoOk;
    std::vector<std::string> tail;  // events after BeforeGetInfo
  } cases[] = {
      {"equal", Page("2.0.2"), 200, true, true, {"AfterGetInfo", "NoUpdateFound"}},
      {"older", Page("2.0.1"), 200, true, true, {"AfterGetInfo", "NoUpdateFound"}},
      {"fewer parts", Page("2"), 200, true, true, {"AfterGetInfo", "NoUpdateFound"}},
      {"unreachable", "", 200, true, true, {"DownloadError", "AfterGetInfo", "DownloadError"}},
      {"404 page", Page("9.9"), 404, true, true, {"DownloadError", "AfterGetInfo", "DownloadError"}},
      {"no product", "<META NAME=\"wuVersion\" CONTENT=\"9\">", 200, true, true,
       {"AfterGetInfo", "DownloadError"}},
      {"answer No", Page("2.1"), 200, false, true, {"AfterGetInfo", "UpdateAvailable 2.0.2 2.1"}},
      {"info Cancel", Page("2.1"), 200, true, false,
       {"AfterGetInfo", "UpdateAvailable 2.0.2 2.1", "BeforeShowInfo",
        "ShowInfo http://upd.example/update.html", "AfterShowInfo"}},
  };
  for (const Case& c : cases) {
    events.clear();
    net.Reset();
    if (!c.page.empty()) {
      SimHttpAnswer a;
      a.status = c.pageStatus;
      a.body = c.page;
      net.Answer(u"upd.example:80/update.html", a);
    }
    ServeInstaller(Installer());
    answerYes = c.yes;
    showInfo = true;
    infoOk = c.infoOk;
    EXPECT_FALSE(update.CheckForAnUpdate()) << c.name;
    std::vector<std::string> expected = {"BeforeGetInfo"};
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(events, expected) << c.name;
    EXPECT_FALSE(InstallerExists()) << c.name;
    EXPECT_FALSE(update.Active) << c.name;
  }
}

TEST_F(WebUpdateTest, RedirectionsAreFollowedWithinTheBound) {
  // HTTP redirects and a page's own redirection, two of each.
  net.Answer(u"upd.example:80/update.html", Redirect(u"/moved.html"));
  net.Answer(u"upd.example:80/moved.html", Redirect(u"http://other.example:8080/page.html"));
  SimHttpAnswer first;
  first.body = "<META NAME=\"wuRedirection\" CONTENT=\"http://upd.example/final.html\">";
  net.Answer(u"other.example:8080/page.html", first);
  ServePage(Page("2.1"), u"/final.html");
  ServeInstaller(Installer());
  showInfo = true;
  EXPECT_TRUE(update.CheckForAnUpdate());
  EXPECT_EQ(Count("ShowInfo http://upd.example/final.html"), 1);
  EXPECT_TRUE(InstallerExists());
}

TEST_F(WebUpdateTest, RedirectLoopsEndAsDownloadErrors) {
  struct Case {
    const char* name;
    std::function<void()> serve;
  } cases[] = {
      {"HTTP to itself", [this] { net.Answer(u"upd.example:80/update.html", Redirect(u"/update.html")); }},
      {"HTTP ping-pong",
       [this] {
         net.Answer(u"upd.example:80/update.html", Redirect(u"http://upd.example/b.html"));
         net.Answer(u"upd.example:80/b.html", Redirect(u"http://upd.example/update.html"));
       }},
      {"page to itself",
       [this] {
         ServePage(Page("2.1", "<META NAME=\"wuRedirection\" CONTENT=\"http://upd.example/update.html\">\r\n"));
       }},
      {"redirect without Location", [this] { net.Answer(u"upd.example:80/update.html", Redirect(u"")); }},
      {"redirect to https", [this] { net.Answer(u"upd.example:80/update.html", Redirect(u"https://upd.example/")); }},
  };
  for (const Case& c : cases) {
    events.clear();
    net.Reset();
    c.serve();
    EXPECT_FALSE(update.CheckForAnUpdate()) << c.name;
    EXPECT_EQ(Count("DownloadError"), 2) << c.name;
    EXPECT_LE(net.requests.size(), static_cast<size_t>(TWebUpdate::kMaxRedirections + 1)) << c.name;
  }
}

TEST_F(WebUpdateTest, BrokenInstallerDownloadsLeaveNoFile) {
  struct Case {
    const char* name;
    SimHttpAnswer answer;
  } cases[5];
  cases[0] = {"no Content-Length", Installer()};
  cases[0].answer.hasContentLength = false;
  cases[1] = {"length not a number", Installer()};
  cases[1].answer.contentLength = u"3000abc";
  cases[2] = {"length beyond 32 bits", Installer()};
  cases[2].answer.contentLength = u"5000000000";
  cases[3] = {"short body", Installer()};
  cases[3].answer.contentLength = u"4000";
  cases[4] = {"failed read", Installer()};
  cases[4].answer.failReadAt = 2050;
  for (const Case& c : cases) {
    events.clear();
    net.Reset();
    ServePage(Page("2.1"));
    ServeInstaller(c.answer);
    EXPECT_FALSE(update.CheckForAnUpdate()) << c.name;
    EXPECT_EQ(Count("DownloadError"), 1) << c.name;
    EXPECT_EQ(Count("terminate"), 0) << c.name;
    EXPECT_FALSE(InstallerExists()) << c.name;
  }
  // More bytes than announced, or an error page, are no installer either.
  for (int status : {200, 404, 500}) {
    events.clear();
    net.Reset();
    ServePage(Page("2.1"));
    SimHttpAnswer a = Installer();
    a.status = status;
    if (status == 200) a.contentLength = u"2000";
    ServeInstaller(a);
    EXPECT_FALSE(update.CheckForAnUpdate()) << status;
    EXPECT_EQ(Count("DownloadError"), 1) << status;
    EXPECT_FALSE(InstallerExists()) << status;
  }
}

TEST_F(WebUpdateTest, OnlyAPlainClientFileNameIsUsed) {
  for (const char* name : {"..\\x.exe", "C:\\Windows\\x.exe", "\\\\host\\share\\x.exe", "sub/x.exe", "", ".."}) {
    events.clear();
    net.Reset();
    ServePage(Page("2.1", "", name));
    ServeInstaller(Installer());
    EXPECT_FALSE(update.CheckForAnUpdate()) << name;
    EXPECT_EQ(Count("DownloadError"), 1) << name;
    EXPECT_EQ(Count("BeforeDownload"), 0) << name;
  }
  // An empty download address is a download error too.
  events.clear();
  ServePage("<META NAME=\"wuProduct\" CONTENT=\"B\">\n<META NAME=\"wuVersion\" CONTENT=\"3\">\n"
            "<META NAME=\"wuClientSideName\" CONTENT=\"Update.exe\">");
  EXPECT_FALSE(update.CheckForAnUpdate());
  EXPECT_EQ(Count("DownloadError"), 1);
}

TEST_F(WebUpdateTest, FailedStartStillEndsTheProgram) {
  ServePage(Page("2.1"));
  ServeInstaller(Installer());
  executeResult = 2;
  EXPECT_TRUE(update.CheckForAnUpdate());
  EXPECT_EQ(Count("CannotExecute"), 1);
  EXPECT_EQ(events.back(), "terminate");
}

TEST_F(WebUpdateTest, AbortStopsQuietlyAndReentryIsRefused) {
  ServePage(Page("2.1"));
  SimHttpAnswer a = Installer(5000);
  ServeInstaller(a);
  bool reentered = true;
  onMessages = [this, &reentered] {
    if (update.DownloadedSize >= 2050 && update.FileSize == 5000) {
      reentered = update.CheckForAnUpdate();
      update.Abort();
    }
  };
  EXPECT_FALSE(update.CheckForAnUpdate());
  EXPECT_FALSE(reentered);
  EXPECT_EQ(Count("DownloadError"), 0);
  EXPECT_EQ(Count("BeforeGetInfo"), 1);
  EXPECT_EQ(Count("terminate"), 0);
  EXPECT_FALSE(InstallerExists());
  EXPECT_FALSE(update.Active);

  // An abort while the page is read ends the check with no further event.
  events.clear();
  onMessages = [this] { update.Abort(); };
  EXPECT_FALSE(update.CheckForAnUpdate());
  EXPECT_EQ(events, std::vector<std::string>{"BeforeGetInfo"});
}

TEST_F(WebUpdateTest, ExistingFileAndMissingTargetFolder) {
  ServePage(Page("2.1"));
  ServeInstaller(Installer());
  testing_support::WriteFile(sim.Get(), u"C:\\Work\\Update.exe", "old");
  update.Options = uoRunUpdate;
  update.OnClientFileExists = [this](TWebUpdate&, Text&, bool& overwrite) {
    events.push_back(overwrite ? "exists overwrite" : "exists keep");
  };
  EXPECT_FALSE(update.CheckForAnUpdate());
  EXPECT_EQ(Count("exists keep"), 1);
  EXPECT_EQ(Count("DownloadError"), 1);
  EXPECT_EQ(testing_support::ReadFile(sim.Get(), u"C:\\Work\\Update.exe"), "old");

  events.clear();
  update.TargetFolder = u"C:\\Nowhere";
  EXPECT_TRUE(update.CheckForAnUpdate());
  EXPECT_EQ(Count("GetClientFileName C:\\Temp\\Update.exe"), 1);
  EXPECT_EQ(Count("terminate"), 0);  // without uoTerminate the program goes on
}

TEST(WebUpdateInfoTest, UrlPrefixAndComponentVersion) {
  TProductInfo info;
  info.SetURL(u"HTTP://x/update.html");
  EXPECT_EQ(info.URL(), u"HTTP://x/update.html");
  info.SetURL(u"x/update.html");
  EXPECT_EQ(info.URL(), u"http://x/update.html");
}

}  // namespace
}  // namespace brantle
