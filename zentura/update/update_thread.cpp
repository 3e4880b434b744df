#include "zentura/update/update_thread.h"

#include "zentura/sysutil/text_routines.h"
#include "zentura/sysutil/version_info.h"

namespace zentura {
namespace {

// The fetched file goes on every way out, so nothing is left in the
// program folder.
class RemoveOnExit {
 public:
  RemoveOnExit(platform::FileSystem& files, Text path) : files_(files), path_(std::move(path)) {}
  ~RemoveOnExit() { files_.Remove(path_); }

 private:
  platform::FileSystem& files_;
  Text path_;
};

bool StartsWithNoCase(const Text& text, const Text& head) {
  return text.size() >= head.size() && platform::SameText(text.substr(0, head.size()), head);
}

}  // namespace

bool IsWebAddress(const Text& address) {
  for (const Text scheme : {Text(u"http://"), Text(u"https://")}) {
    if (StartsWithNoCase(address, scheme)) {
      Text rest = address.substr(scheme.size());
      return !rest.empty() && rest[0] != u'/' && rest[0] != u'\\' &&
             rest.find_first_of(u" \t\r\n\"") == Text::npos;
    }
  }
  return false;
}

TUpdateThread::TUpdateThread(UpdateCheckContext context)
    : state_(std::make_shared<State>(std::move(context))) {}

TUpdateThread::~TUpdateThread() {
  if (!thread_.joinable()) return;
  if (state_->finished) {
    thread_.join();
  } else {
    state_->abandoned = true;
    thread_.detach();
  }
}

void TUpdateThread::Start() {
  state_->prompt = Prompt;
  thread_ = std::thread([state = state_] {
    try {
      Run(*state);
    } catch (...) {
      // Whatever goes wrong in the check must not end the program.
    }
    state->finished = true;
  });
}

void TUpdateThread::Execute() {
  state_->prompt = Prompt;
  Run(*state_);
}

void TUpdateThread::Run(State& state) {
  const UpdateCheckContext& context = state.context;
  const Text folder = context.programFolder;
  const Text installed = GetVersionInfoString(context.sp, folder + u"Zentura.exe", 3);
  const Text file = folder + u"zenupdate.upt";
  try {
    int32_t result = context.net.DownloadToFile(context.address, file);
    if (state.abandoned) return;
    RemoveOnExit remove(context.files, file);
    if (result != 0) return;
    // A server's error page is written as the file too: only an ini with
    // the section is an answer.
    bool hasSection = false;
    for (const Text& section : context.sp.profile.ReadSections(file)) {
      hasSection = hasSection || platform::SameText(section, u"Zentura");
    }
    if (!hasSection) return;
    Text announced = context.sp.profile.ReadString(file, u"Zentura", u"newVersion", u"0.0.0.0");
    if (!IsNewerVersion(announced, installed)) return;
    Text url = context.sp.profile.ReadString(file, u"Zentura", u"URL", Text());
    context.files.Remove(file);
    bool yes = context.ask(state.prompt, u"Zentura Update");
    if (state.abandoned) return;
    // The address comes from the network: only a web page is opened.
    if (yes && IsWebAddress(url)) {
      context.sp.desktop.ShellExecute(u"open", url, Text(), Text(), platform::sw::kShowNormal);
    }
  } catch (...) {
    // Versions the comparison cannot read, and errors while asking or
    // opening, end the check silently.
  }
}

}  // namespace zentura
