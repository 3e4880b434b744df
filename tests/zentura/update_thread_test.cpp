// The optimiser's update check against a scripted server: the versions that
// ask, the answers that are no answer, and what is left behind.
#include <gtest/gtest.h>

#include "platform/sim/sim_network.h"
#include "tests/zentura/zentura_sim.h"
#include "zentura/update/update_thread.h"

namespace {

using platform::Text;
using platform::sim::SimHttpAnswer;
using zentura::TUpdateThread;

const Text kFolder = u"C:\\Program Files\\Zentura\\";
const Text kAddress = u"http://update.example:8080/infofiles/zenupdate.upt";

struct UpdateRig {
  zentura_test::ZenturaSim sim;
  platform::sim::SimNetwork net{sim.p().files};
  std::vector<Text> asked;
  bool answer = true;

  void Installed(const Text& version) {
    sim.WriteFile(kFolder + u"Zentura.exe");
    if (!version.empty()) sim.sys.desktop.versionInfos[platform::UpperCase(kFolder + u"ZENTURA.EXE")].strings[u"FileVersion"] = version;
  }
  void Serve(const std::string& body) {
    SimHttpAnswer a;
    a.body = body;
    net.Answer(u"update.example:8080/infofiles/zenupdate.upt", a);
  }
  std::unique_ptr<TUpdateThread> Make() {
    auto t = std::make_unique<TUpdateThread>(zentura::UpdateCheckContext{net, sim.p().files, sim.sp(), kFolder, kAddress,
                                                [this](const Text& text, const Text& caption) {
                                                  asked.push_back(caption + u": " + text);
                                                  return answer;
                                                }});
    t->Prompt = u"A new version is available. Open the download page?";
    return t;
  }
  std::vector<Text> Opened() {
    std::vector<Text> files;
    for (const auto& e : sim.sys.desktop.executed) files.push_back(e.verb + u" " + e.file);
    return files;
  }
};

TEST(ZenturaUpdateTest, AsksOnlyForANewerReadableVersionAndLeavesNoFile) {
  struct Case {
    const char* name;
    const char16_t* installed;  // empty: no version resource ("Unknown")
    std::string file;           // empty: the server cannot be reached
    bool asks;
  } cases[] = {
      {"newer build", u"1.6.0.103", "[Zentura]\nnewVersion=1.6.0.104\nURL=http://www.example/dl\n", true},
      {"equal", u"1.6.0.103", "[Zentura]\nnewVersion=1.6.0.103\nURL=http://www.example/dl\n", false},
      {"fewer parts, numeric", u"1.9.0.0", "[Zentura]\nnewVersion=1.10\nURL=http://www.example/dl\n", true},
      {"older", u"1.6.0.103", "[Zentura]\nnewVersion=1.5.9.999\n", false},
      {"no version key", u"1.6.0.103", "[Zentura]\nURL=http://www.example/dl\n", false},
      {"error page", u"1.6.0.103", "<html><body>404 Not Found</body></html>", false},
      {"other section", u"1.6.0.103", "[Other]\nnewVersion=9.0.0.0\n", false},
      {"bad part", u"1.6.0.103", "[Zentura]\nnewVersion=1.x.0.0\n", false},
      {"more parts, equal lead", u"1.6.0.103", "[Zentura]\nnewVersion=1.6.0.103.1\n", false},
      {"installed unknown", u"", "[Zentura]\nnewVersion=9.0.0.0\n", false},
      {"unreachable", u"1.6.0.103", "", false},
  };
  for (const Case& c : cases) {
    UpdateRig rig;
    rig.Installed(c.installed);
    if (!c.file.empty()) rig.Serve(c.file);
    rig.answer = false;
    rig.Make()->Execute();
    EXPECT_EQ(rig.asked.size(), c.asks ? 1u : 0u) << c.name;
    if (c.asks) {
      EXPECT_EQ(rig.asked[0], u"Zentura Update: A new version is available. Open the download page?") << c.name;
    }
    EXPECT_FALSE(rig.sim.p().files.Exists(kFolder + u"zenupdate.upt")) << c.name;
    EXPECT_TRUE(rig.Opened().empty()) << c.name;
    EXPECT_EQ(rig.net.downloads, std::vector<Text>{kAddress}) << c.name;
  }
}

TEST(ZenturaUpdateTest, YesOpensOnlyAWebAddress) {
  const std::pair<const char*, bool> cases[] = {
      {"http://www.example/zentura.html?Str=download", true},
      {"HTTPS://www.example/dl", true},
      {"", false},
      {"C:\\Windows\\system32\\calc.exe", false},
      {"\\\\host\\share\\setup.exe", false},
      {"file:///C:/x.exe", false},
      {"http://", false},
  };
  for (const auto& [url, opens] : cases) {
    UpdateRig rig;
    rig.Installed(u"1.6.0.103");
    rig.Serve(std::string("[Zentura]\nnewVersion=2.0.0.0\nURL=") + url + "\n");
    rig.Make()->Execute();
    ASSERT_EQ(rig.asked.size(), 1u) << url;
    EXPECT_EQ(rig.Opened(), opens ? std::vector<Text>{u"open " + platform::FromUtf8(url)} : std::vector<Text>{})
        << url;
  }
}

TEST(ZenturaUpdateTest, RunsOnItsOwnThread) {
  UpdateRig rig;
  rig.Installed(u"1.6.0.103");
  rig.Serve("[Zentura]\nnewVersion=1.7\nURL=http://www.example/dl\n");
  auto t = rig.Make();
  t->Start();
  for (int i = 0; i < 500 && !t->Finished(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(t->Finished());
  EXPECT_EQ(rig.Opened(), std::vector<Text>{u"open http://www.example/dl"});
}

}  // namespace
