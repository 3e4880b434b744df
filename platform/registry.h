// The registry: keys, typed values, and hive files.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/text.h"

namespace platform {

enum class RootKey { kCurrentUser, kLocalMachine, kClassesRoot, kUsers };

namespace regtype {
constexpr uint32_t kNone = 0;
constexpr uint32_t kSz = 1;
constexpr uint32_t kExpandSz = 2;
constexpr uint32_t kBinary = 3;
constexpr uint32_t kDword = 4;
constexpr uint32_t kMultiSz = 7;
constexpr uint32_t kQword = 11;
}  // namespace regtype

namespace keyaccess {
constexpr uint32_t kQueryValue = 0x1;
constexpr uint32_t kSetValue = 0x2;
constexpr uint32_t kCreateSubKey = 0x4;
constexpr uint32_t kEnumerateSubKeys = 0x8;
constexpr uint32_t kRead = 0x20019;
constexpr uint32_t kWrite = 0x20006;
constexpr uint32_t kAllAccess = 0xF003F;
}  // namespace keyaccess

constexpr uint32_t kRegOptionBackupRestore = 0x4;
constexpr uint32_t kRegForceRestore = 0x8;

struct RegValue {
  Text name;
  uint32_t type = regtype::kNone;
  std::vector<uint8_t> data;

  static RegValue String(const Text& name, const Text& value, uint32_t type = regtype::kSz);
  static RegValue Dword(const Text& name, uint32_t value);
  // The value as text (REG_SZ, REG_EXPAND_SZ), without the terminating NUL.
  Text AsText() const;
  uint32_t AsDword() const;
};

// An open key; closed when destroyed.
class RegKey {
 public:
  virtual ~RegKey() = default;
};

// Every call returns a Windows error code (0 = success), as the registry API does.
class Registry {
 public:
  virtual ~Registry() = default;
  virtual long OpenKey(RootKey root, const Text& subKey, uint32_t access,
                       std::unique_ptr<RegKey>* key) = 0;
  virtual long CreateKey(RootKey root, const Text& subKey, uint32_t options, uint32_t access,
                         std::unique_ptr<RegKey>* key) = 0;
  virtual long QueryValue(RegKey& key, const Text& name, RegValue* value) = 0;
  virtual long SetValue(RegKey& key, const RegValue& value) = 0;
  virtual long DeleteValue(RegKey& key, const Text& name) = 0;
  virtual long EnumValue(RegKey& key, uint32_t index, RegValue* value) = 0;
  virtual long EnumKey(RegKey& key, uint32_t index, Text* name) = 0;
  // Deletes a key with all its sub-keys and values.
  virtual long DeleteTree(RootKey root, const Text& subKey) = 0;
  // RegSaveKeyW: writes the key as a hive file; fails if the file exists.
  virtual long SaveKey(RegKey& key, const Text& file) = 0;
  // RegRestoreKeyW: replaces the key's values and sub-keys by the hive's.
  virtual long RestoreKey(RegKey& key, const Text& file, uint32_t flags) = 0;
};

}  // namespace platform
