// Reading the version resource of a file.
#pragma once

#include <cstdint>

#include "platform/system_platform.h"

namespace zentura {

using platform::Text;

struct TFileInfo {
  Text CompanyName;
  Text FileDescription;
  Text FileVersion;
  Text InternalName;
  Text LegalCopyright;
  Text LegalTrademarks;
  Text OriginalFileName;
  Text ProductName;
  Text ProductVersion;
  Text Comments;
  uint32_t FixedInfo[13] = {};
  Text Extra;  // the string named by the caller
};

// Reads the strings of the first translation, the fixed block and, when
// `extra` is not empty, the string of that name; false without a resource
// or without a translation.
bool ReadVersionInfo(platform::SystemPlatform& sp, const Text& file, TFileInfo* info,
                     const Text& extra);
// One field by selector: 0 Comments, 1 CompanyName, 2 FileDescription,
// 3 FileVersion, 4 InternalName, 5 LegalCopyright, 6 LegalTrademarks,
// 7 OriginalFileName, 8 ProductName, 9 ProductVersion, 10 "WOW Version";
// "Unknown" without a resource, empty for other selectors.
Text GetVersionInfoString(platform::SystemPlatform& sp, const Text& file, int selector);

}  // namespace zentura
