// Internet Explorer as a browser of the shared engine: its data folders
// (found by "brndlog.txt"), the thirteen keys saved as hive files, and the
// staging folders and archives "backup_ie" and "fbackup_ie".
#pragma once

#include "brantle/browsers/common/browser.h"

namespace brantle {

const BrowserDescription& InternetExplorer();

// The keys under HKEY_CURRENT_USER and the hive files they are saved in.
struct IeKey {
  const char16_t* file;
  const char16_t* key;
};
const std::vector<IeKey>& IeKeys();

}  // namespace brantle
