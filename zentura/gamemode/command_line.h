// Reading the executable out of a startup command line.
#pragma once

#include <functional>

#include "platform/text.h"

namespace zentura {

using platform::Text;
using FileExistsFn = std::function<bool(const Text& path)>;

// Everything up to and including the last backslash or colon.
Text DirectoryPart(const Text& path);
// What follows the last backslash or colon.
Text FileNamePart(const Text& path);

// The executable's file name in lower case, or empty when none is found.
Text ExeNameOf(const Text& commandLine);
// The executable's full path (directory as written, name in lower case), or "N/A".
Text ExePathOf(const Text& commandLine);
// The program's file name as written: a quoted path's file name, or the
// file-name part cut at blanks from the right until it names an existing
// file in its folder (down to the text before its first blank).
Text ProgramNameOf(const Text& commandLine, const FileExistsFn& fileExists);

}  // namespace zentura
