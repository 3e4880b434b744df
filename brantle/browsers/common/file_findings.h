// What a run left out: files its copies could not read or replace, and
// what the archive codec left out of a backup (unreadable files, links,
// names Windows refuses, files that changed while they were read) or
// restored under another name; collected over a run and told at its end.
#pragma once

#include <vector>

#include "brantle/browsers/common/wizard_host.h"
#include "platform/text.h"

namespace brantle {

class TZlibMultiple;

class FileFindings {
 public:
  // Records what `codec` skips or renames from now on. Paths under
  // `workingFolder` (a staging folder the run deletes) are told relative to
  // it, as they are stored in the archive; others are told whole. A renamed
  // entry is told by its stored path and the name it was restored under.
  void Watch(TZlibMultiple& codec, const Text& workingFolder = Text());
  // A file the run could not take or put back, with the reason.
  void Add(const Text& message) { skipped_.push_back(message); }

  // Shows what was recorded, in at most one report per kind, and forgets it;
  // true when there was anything to show.
  bool Report(WizardHost& host, bool restore);

  bool empty() const { return skipped_.empty() && renamed_.empty(); }
  void Clear();

  // The most entries a report lists; the rest are counted.
  static constexpr size_t kListed = 20;

 private:
  std::vector<Text> skipped_;  // a message for each
  std::vector<Text> renamed_;  // "STORED as NEW" for each
};

}  // namespace brantle
