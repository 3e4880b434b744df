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
// The program's file name as written: the shortest prefix of the unquoted
// file-name part (cut at blanks) that names an existing file.
Text ProgramNameOf(const Text& commandLine, const FileExistsFn& fileExists);

}  // namespace zentura
