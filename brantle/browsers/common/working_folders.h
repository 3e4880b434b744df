// The folders a wizard stages a backup in or extracts a restore into. A run
// works only in a folder it has just created, so deleting it afterwards can
// never take a user's own folder or the live profile with it.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace brantle {

using platform::Text;

// Whether `path` is `folder` or lies inside it (names compared without
// regard to case, trailing backslashes ignored).
bool SameOrInside(const Text& path, const Text& folder);

// Why a run may not use `backups` + "\" + `name` as its working folder: it
// would be one of the live folders or inside one, or the backup folder
// itself lies inside one. Empty when it may.
Text WorkingFolderConflict(const Text& backups, const Text& name, const std::vector<Text>& live);

// Creates a working folder that did not exist before: `backups` + "\" +
// `name`, or when that is taken `name` + "~1", "~2"... beside it. Returns the
// folder created; empty when none could be (the backup folder is missing or
// not writable).
Text CreateFreshFolder(platform::FileSystem& files, const Text& backups, const Text& name);

}  // namespace brantle
