// The user's startup programs: the two Run keys and the two Startup folders.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "platform/system_platform.h"

namespace zentura {

using platform::Text;

// RegEnumValueW's buffers for a Run value: the name, and the data as
// characters, the terminating null included in both. A longer value ends
// the key's enumeration as ERROR_MORE_DATA does.
constexpr size_t kRunValueNameChars = 100;
constexpr size_t kRunValueDataChars = 254;

// Loads and resolves a shortcut without any user interface; the result code
// (0 = success), the target (up to 259 characters) and the arguments.
int32_t ResolveShortcut(platform::SystemPlatform& sp, const Text& lnkPath, Text* target,
                        Text* arguments);

// The REG_SZ data of the machine's, then the user's Run values, then the
// targets of the shortcuts in the user's and the common Startup folder.
std::vector<Text> GetStartupEntries(platform::Platform& p, platform::SystemPlatform& sp);
// GetStartupEntries without entries whose executable does not exist and
// without later entries for the same program name.
std::vector<Text> LoadStartupEntries(platform::Platform& p, platform::SystemPlatform& sp);

}  // namespace zentura
