// Rewriting the absolute paths in Opera's preferences file after its
// settings were restored on another Windows, for another user or on
// another drive: plain replacements on the file's bytes, by method.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "brantle/shell/file_helpers.h"

namespace brantle {

// Replaces every occurrence of `search` in `text` by `replacement`, left to
// right and without overlapping; text a replacement inserts is not searched
// again. ASCII letters match without regard to case, every other byte only
// itself. A match that is already followed by the rest of a replacement
// that extends the search text ("Program Files" -> "Program Files (x86)")
// is left alone, so a second run changes nothing. An empty search text
// matches nothing. Returns the number of replacements.
size_t RearchAndReplace(std::string& text, std::string_view search, std::string_view replacement);

// The methods' captions, in the radio group's order.
const std::vector<Text>& ConversionMethods();
// The index of a method by its caption; -1 when there is none.
int FindConversionMethod(const Text& caption);
constexpr int kDriveChangeMethod = 10;
constexpr int kUserChangeMethod = 11;

// What the replacements are built from: the login name and system drive
// ("C:") to convert for, and the texts of the old-user and old-drive edits.
struct ConversionValues {
  Text user, drive;
  Text oldUser = u"Olduser";
  Text oldDrive = u"D:\\";
};

// Converts a preferences file's bytes by a method: its replacements (texts
// in UTF-8, the file's encoding), then the byte-order mark before a first
// line "Opera Preferences" is dropped. Empty when the method can run;
// otherwise why not (an empty old user or old drive), and `bytes` is as it was.
Text ConvertText(std::string& bytes, int method, const ConversionValues& values);

// The whole run of Next on a file: refusals first, then load, convert and
// save through a temporary file that replaces the file only once it is
// complete. On any failure the file is as it was.
struct ConversionOutcome {
  bool saved = false;
  Text message;      // why it was not saved
  std::string text;  // the converted bytes
};
ConversionOutcome ConvertFile(platform::Platform& p, const Text& file, int method, const ConversionValues& values);

// The preferences file the converter works on, by the Opera search with
// "operaprefs.ini" as the marker; empty when none was found.
Text FindPreferencesFile(FileHelpers& helpers, platform::Platform& p);

// "XP/2000", "7/Vista", "8", or empty, from the major version's text.
Text WindowsNameOf(const Text& majorVersion);

// The window's system information; raises std::runtime_error("IsWow64: bad
// process handle") when the system cannot say whether it runs the process
// under the 32-bit emulation.
struct SystemInformation {
  Text windowsName, windowsType, windowsUser;
};
SystemInformation ReadSystemInformation(FileHelpers& helpers, platform::Platform& p);

namespace convert_text {
extern const char16_t kNotFound[];     // "Settings Files Not Found."
extern const char16_t kNoOldUser[];
extern const char16_t kNoOldDrive[];
extern const char16_t kBadProcessHandle[];  // "IsWow64: bad process handle"
}  // namespace convert_text

}  // namespace brantle
