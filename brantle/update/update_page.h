// The update-information page: meta tags that name the latest version and
// the installer, and the comparison of version texts.
#pragma once

#include "platform/text.h"

namespace brantle {

using platform::Text;

enum class TVersionFormat { vfStandard, vfString, vfNumber };

// The meta names the update server writes.
struct TTagInfo {
  Text ProductName = u"wuProduct";
  Text Version = u"wuVersion";
  Text Download = u"wuDownload";
  Text ClientFileName = u"wuClientSideName";
  Text Redirection = u"wuRedirection";
  Text RunParameters = u"wuRunParameters";
  Text Author = u"wuAuthor";
  Text Email = u"wuEmail";
};

// The values a page defines.
struct TPageValues {
  Text ProductName;
  Text ProductVersion;
  Text UpdateURL;
  Text ClientFileName;
  Text RedirectionURL;
  Text RunParameters;
  Text Author;
  Text EMail;
};

// Reads the page line by line: a line holding "META NAME" (exact case)
// defines the value of the name that follows it, taken from its first
// "CONTENT=" (any case); name and value end at the next double quote and
// are each looked for within 255 characters. Matching names overwrite
// `values`; a line without "CONTENT=" defines nothing.
void ParseUpdatePage(const Text& page, const TTagInfo& tags, TPageValues* values);

// Whether `latest` is newer than `running`. vfStandard compares dotted
// parts as integers from the left, a missing part counting 0 and a part
// that is no number counting 0; vfString orders the texts ordinally;
// vfNumber compares them as decimal numbers (no number: not newer).
bool IsNewerVersion(TVersionFormat format, const Text& running, const Text& latest);

}  // namespace brantle
