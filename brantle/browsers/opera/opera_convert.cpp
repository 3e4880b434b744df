#include "brantle/browsers/opera/opera_convert.h"

#include <stdexcept>

#include "brantle/browsers/opera/opera_search.h"

namespace brantle {

using namespace platform;

namespace convert_text {
const char16_t kNotFound[] = u"Settings Files Not Found.";
const char16_t kNoOldUser[] = u"Please Enter Old Username";
const char16_t kNoOldDrive[] = u"Please Enter Old Drive Letter";
const char16_t kBadProcessHandle[] = u"IsWow64: bad process handle";
}  // namespace convert_text

namespace {

unsigned char Fold(char c) {
  unsigned char b = static_cast<unsigned char>(c);
  return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + ('a' - 'A')) : b;
}

bool MatchAt(std::string_view text, size_t pos, std::string_view what) {
  if (pos > text.size() || text.size() - pos < what.size()) return false;
  for (size_t i = 0; i < what.size(); ++i)
    if (Fold(text[pos + i]) != Fold(what[i])) return false;
  return true;
}

constexpr char kMark[] = "\xEF\xBB\xBF";
constexpr char kFirstLine[] = "Opera Preferences";

struct Pair {
  std::string search, replacement;
};

// The replacements of a method, in the order they run.
std::vector<Pair> PairsOf(int method, const ConversionValues& v) {
  const std::string u = ToUtf8(v.user);
  const Pair x1{"Documents and Settings\\" + u + "\\Application Data\\Opera", "Users\\" + u + "\\AppData\\Roaming\\Opera"};
  const Pair x2{"Documents and Settings\\" + u + "\\Local Settings\\Application Data\\Opera",
                "Users\\" + u + "\\AppData\\Local\\Opera"};
  const Pair v1{x1.replacement, x1.search};
  const Pair v2{x2.replacement, x2.search};
  const Pair p64{"Program Files", "Program Files (x86)"};
  const Pair p32{p64.replacement, p64.search};
  switch (method) {
    case 0: return {x1, x2};
    case 1: return {x1, x2, p64};
    case 2: return {x1, x2, p32};
    case 3: return {x1, x2};
    case 4: return {p64};
    case 5: return {p32};
    case 6: return {v1, v2};
    case 7: return {v1, v2, p32};
    case 8: return {v1, v2, p64};
    case 9: return {v1, v2};
    case kDriveChangeMethod: return {{ToUtf8(v.oldDrive), ToUtf8(v.drive) + "\\"}};
    case kUserChangeMethod: return {{ToUtf8(v.oldUser), u}};
    default: return {};
  }
}

bool UsesUser(int method) { return method != 4 && method != 5 && method != kDriveChangeMethod; }

// Why a method cannot run with these values; empty when it can. An empty
// search text would match everywhere, and an unknown user or drive would
// cut it out of every path it replaces.
Text Refusal(int method, const ConversionValues& v) {
  if (method < 0 || method >= static_cast<int>(ConversionMethods().size())) return u"Please Select Conversion Method";
  if (method == kUserChangeMethod && v.oldUser.empty()) return convert_text::kNoOldUser;
  if (method == kDriveChangeMethod && v.oldDrive.empty()) return convert_text::kNoOldDrive;
  if (UsesUser(method) && v.user.empty()) return u"The current user name could not be read.";
  if (method == kDriveChangeMethod && v.drive.empty()) return u"The system drive could not be read.";
  return Text();
}

// The mark Opera writes before its first line goes; any other stays.
void DropMark(std::string& bytes) {
  if (bytes.compare(0, 3, kMark) == 0 && MatchAt(bytes, 3, kFirstLine)) bytes.erase(0, 3);
}

Text Reason(Platform& p, const Text& what, const Text& file, uint32_t error) {
  return what + u" " + file + u":\n" + p.system.ErrorMessage(error);
}

}  // namespace

size_t RearchAndReplace(std::string& text, std::string_view search, std::string_view replacement) {
  if (search.empty()) return 0;
  const bool extends = MatchAt(replacement, 0, search);
  const std::string_view rest = extends ? replacement.substr(search.size()) : std::string_view();
  std::string out;
  out.reserve(text.size());
  size_t count = 0, pos = 0;
  while (pos < text.size()) {
    if (!MatchAt(text, pos, search)) {
      out += text[pos++];
    } else if (extends && MatchAt(text, pos + search.size(), rest)) {
      const size_t done = search.size() + rest.size();
      out.append(text, pos, done);
      pos += done;
    } else {
      out += replacement;
      pos += search.size();
      ++count;
    }
  }
  text.swap(out);
  return count;
}

const std::vector<Text>& ConversionMethods() {
  static const std::vector<Text> methods = {
      u"XP 32 bit -> 7/Vista 32 bit",      u"XP 32 bit -> 7/Vista 64 bit",      u"XP 64 bit -> 7/Vista 32 bit",
      u"XP 64 bit -> 7/Vista 64 bit",      u"7/Vista 32 bit -> 7/Vista 64 bit", u"7/Vista 64 bit -> 7/Vista 32 bit",
      u"7/Vista 32 bit -> XP 32 bit",      u"7/Vista 64 bit -> XP 32 bit",      u"7/Vista 32 bit -> XP 64 bit",
      u"7/Vista 64 bit -> XP 64 bit",      u"System drive letter change",       u"Username change"};
  return methods;
}

int FindConversionMethod(const Text& caption) {
  const std::vector<Text>& methods = ConversionMethods();
  for (size_t i = 0; i < methods.size(); ++i)
    if (methods[i] == caption) return static_cast<int>(i);
  return -1;
}

Text ConvertText(std::string& bytes, int method, const ConversionValues& values) {
  Text refusal = Refusal(method, values);
  if (!refusal.empty()) return refusal;
  for (const Pair& pair : PairsOf(method, values)) RearchAndReplace(bytes, pair.search, pair.replacement);
  DropMark(bytes);
  return Text();
}

ConversionOutcome ConvertFile(Platform& p, const Text& file, int method, const ConversionValues& values) {
  ConversionOutcome outcome;
  outcome.message = Refusal(method, values);
  if (!outcome.message.empty()) return outcome;
  if (file.empty()) {
    outcome.message = convert_text::kNotFound;
    return outcome;
  }
  uint32_t error = 0;
  {
    auto in = p.files.Open(file, Access::kRead, Share::kRead, Disposition::kOpenExisting, &error);
    if (!in) {
      outcome.message = Reason(p, u"Cannot open", file, error);
      return outcome;
    }
    try {
      char buffer[65536];
      while (size_t n = in->Read(buffer, sizeof buffer)) outcome.text.append(buffer, n);
    } catch (const std::exception& e) {
      outcome.message = u"Cannot read " + file + u":\n" + FromUtf8(e.what());
      return outcome;
    }
  }
  ConvertText(outcome.text, method, values);

  Text temp;
  auto out = p.files.CreateTemporaryBeside(file, &temp, &error);
  if (!out) {
    outcome.message = Reason(p, u"Cannot save", file, error);
    return outcome;
  }
  try {
    out->Write(outcome.text.data(), outcome.text.size());
  } catch (const std::exception& e) {
    out.reset();
    p.files.Remove(temp);
    outcome.message = u"Cannot save " + file + u":\n" + FromUtf8(e.what());
    return outcome;
  }
  out.reset();
  if (!p.files.Move(temp, file, true)) {
    error = p.files.LastError();
    p.files.Remove(temp);
    outcome.message = Reason(p, u"Cannot save", file, error);
    return outcome;
  }
  outcome.saved = true;
  return outcome;
}

Text FindPreferencesFile(FileHelpers& helpers, Platform& p) {
  Discovery found;
  Discover(helpers, p, OperaSearch(kOperaFolder, kOperaPrefsFile), DiscoveryForm::kFull, found);
  return found.fullFilePath;
}

Text WindowsNameOf(const Text& majorVersion) {
  if (majorVersion == u"5") return u"XP/2000";
  if (majorVersion == u"6") return u"7/Vista";
  if (majorVersion == u"7") return u"8";
  return Text();
}

SystemInformation ReadSystemInformation(FileHelpers& helpers, Platform& p) {
  SystemInformation info;
  bool wow64 = false;
  if (!p.system.Wow64Process(&wow64)) throw std::runtime_error(ToUtf8(convert_text::kBadProcessHandle));
  info.windowsType = wow64 ? u"64 bit" : u"32 bit";
  info.windowsName = WindowsNameOf(ToText(p.system.Version().major));
  info.windowsUser = helpers.GetLoginName();
  return info;
}

}  // namespace brantle
