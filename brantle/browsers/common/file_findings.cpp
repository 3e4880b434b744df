#include "brantle/browsers/common/file_findings.h"

#include <algorithm>

#include "brantle/archive/zlib_multiple.h"

namespace brantle {

namespace {

// `text` with every "FOLDER\" of the working folder taken out.
Text WithoutFolder(Text text, const Text& folder) {
  if (folder.empty()) return text;
  const Text prefix = platform::IncludeTrailingBackslash(folder);
  for (size_t at = platform::UpperCase(text).find(platform::UpperCase(prefix)); at != Text::npos;
       at = platform::UpperCase(text).find(platform::UpperCase(prefix), at))
    text.erase(at, prefix.size());
  return text;
}

// How a renamed entry is told: the stored path, then the name it was
// restored under, or its whole path inside the restore where a folder of it
// was renamed too. The target ends in as many parts as the stored path.
Text RenamedLine(const Text& stored, const Text& target) {
  size_t start = target.size();
  for (size_t parts = 1 + std::count(stored.begin(), stored.end(), u'\\'); parts > 0 && start != Text::npos; --parts)
    start = start == 0 ? Text::npos : target.find_last_of(u'\\', start - 1);
  const Text inside = start == Text::npos ? target : target.substr(start + 1);
  const size_t storedSlash = stored.find_last_of(u'\\'), insideSlash = inside.find_last_of(u'\\');
  const bool sameFolder = storedSlash == insideSlash &&
                          (storedSlash == Text::npos || stored.compare(0, storedSlash, inside, 0, insideSlash) == 0);
  return stored + u" as " + (sameFolder && insideSlash != Text::npos ? inside.substr(insideSlash + 1) : inside);
}

void AddMore(Text& text, size_t total) {
  if (total > FileFindings::kListed)
    text += u"\n... and " + platform::ToText(static_cast<int>(total - FileFindings::kListed)) + u" more";
}

}  // namespace

void FileFindings::Watch(TZlibMultiple& codec, const Text& workingFolder) {
  codec.OnFileSkip = [this, workingFolder](TZlibMultiple&, const Text&, const Text&, const Text& message) {
    skipped_.push_back(WithoutFolder(message, workingFolder));
  };
  codec.OnFileRenamed = [this](TZlibMultiple&, const Text& stored, const Text& target) {
    renamed_.push_back(RenamedLine(stored, target));
  };
}

bool FileFindings::Report(WizardHost& host, bool restore) {
  if (empty()) return false;
  if (!skipped_.empty()) {
    Text text = restore ? u"These files were left out of the restore:\n"
                        : u"These files were left out of the backup or changed while it read them:\n";
    for (size_t i = 0; i < skipped_.size() && i < kListed; ++i) text += u"\n" + skipped_[i];
    AddMore(text, skipped_.size());
    host.ShowReport(text);
  }
  if (!renamed_.empty()) {
    Text text = u"These names are not valid on Windows; the files were restored under other names:\n";
    for (size_t i = 0; i < renamed_.size() && i < kListed; ++i) text += u"\n" + renamed_[i];
    AddMore(text, renamed_.size());
    host.ShowReport(text);
  }
  Clear();
  return true;
}

void FileFindings::Clear() {
  skipped_.clear();
  renamed_.clear();
}

}  // namespace brantle
