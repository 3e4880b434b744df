#include "brantle/browsers/common/file_findings.h"

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

void AddMore(Text& text, size_t total) {
  if (total > FileFindings::kListed)
    text += u"\n... and " + platform::ToText(static_cast<int>(total - FileFindings::kListed)) + u" more";
}

}  // namespace

void FileFindings::Watch(TZlibMultiple& codec, const Text& workingFolder) {
  codec.OnFileSkip = [this, workingFolder](TZlibMultiple&, const Text&, const Text&, const Text& message) {
    skipped_.push_back(WithoutFolder(message, workingFolder));
  };
  codec.OnFileRenamed = [this, workingFolder](TZlibMultiple&, const Text& stored, const Text& target) {
    renamed_.emplace_back(stored, WithoutFolder(target, workingFolder));
  };
}

bool FileFindings::Report(WizardHost& host, bool restore) {
  if (empty()) return false;
  if (!skipped_.empty()) {
    Text text = restore ? u"These files were left out of the restore:"
                        : u"These files were left out of the backup or changed while it read them:";
    for (size_t i = 0; i < skipped_.size() && i < kListed; ++i) text += u"\n" + skipped_[i];
    AddMore(text, skipped_.size());
    host.ShowReport(text);
  }
  if (!renamed_.empty()) {
    Text text = u"These names are not valid on Windows; the files were restored under other names:";
    for (size_t i = 0; i < renamed_.size() && i < kListed; ++i)
      text += u"\n" + renamed_[i].first + u" as " + renamed_[i].second;
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
