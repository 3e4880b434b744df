#include "zentura/gamemode/command_line.h"

namespace zentura {

Text DirectoryPart(const Text& path) {
  size_t at = path.find_last_of(u"\\:");
  return at == Text::npos ? Text() : path.substr(0, at + 1);
}

Text FileNamePart(const Text& path) {
  size_t at = path.find_last_of(u"\\:");
  return at == Text::npos ? path : path.substr(at + 1);
}

namespace {

bool IsQuoted(const Text& s) { return !s.empty() && s[0] == u'"'; }

// The text inside the opening quote, up to the closing one or the end. The
// quote itself is left out so that a quoted bare name does not keep it.
Text QuotedPart(const Text& s) {
  size_t close = s.find(u'"', 1);
  return s.substr(1, close == Text::npos ? Text::npos : close - 1);
}

}  // namespace

Text ExeNameOf(const Text& commandLine) {
  Text s = platform::LowerCase(commandLine);
  if (IsQuoted(s)) return FileNamePart(QuotedPart(s));
  size_t from = DirectoryPart(s).size();
  for (size_t i = from; i + 4 <= s.size(); ++i) {
    if (s.compare(i, 4, u".exe") == 0) return s.substr(from, i + 4 - from);
  }
  return Text();
}

Text ExePathOf(const Text& commandLine) {
  try {
    // A quoted path's folder is taken inside the quotes, so that arguments
    // holding backslashes do not become part of it.
    Text dir = IsQuoted(commandLine) ? DirectoryPart(QuotedPart(commandLine))
                                     : DirectoryPart(commandLine);
    return dir + ExeNameOf(commandLine);
  } catch (const std::exception&) {
    return u"N/A";
  }
}

Text ProgramNameOf(const Text& commandLine, const FileExistsFn& fileExists) {
  if (IsQuoted(commandLine)) return FileNamePart(QuotedPart(commandLine));
  Text dir = DirectoryPart(commandLine);
  Text name = FileNamePart(commandLine);
  for (;;) {
    if (fileExists(dir + name)) break;
    if (name.empty()) return Text();
    size_t blank = name.rfind(u' ');
    if (blank == Text::npos || blank == 0) break;
    name.resize(blank);
  }
  return name;
}

}  // namespace zentura
