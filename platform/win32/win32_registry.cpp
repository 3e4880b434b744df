#include <vector>

#include "platform/registry.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

class Win32RegKey : public RegKey {
 public:
  explicit Win32RegKey(HKEY handle) : handle(handle) {}
  ~Win32RegKey() override { RegCloseKey(handle); }
  HKEY handle;
};

HKEY Root(RootKey root) {
  switch (root) {
    case RootKey::kCurrentUser: return HKEY_CURRENT_USER;
    case RootKey::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RootKey::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RootKey::kUsers: return HKEY_USERS;
  }
  return HKEY_CURRENT_USER;
}

HKEY H(RegKey& key) { return static_cast<Win32RegKey&>(key).handle; }

// RegDeleteTreeW is missing before Vista, so sub-keys are deleted one by one.
LONG DeleteContents(HKEY key) {
  wchar_t name[256];
  for (;;) {
    DWORD size = 256;
    LONG rc = RegEnumKeyExW(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) return rc;
    HKEY child;
    rc = RegOpenKeyExW(key, name, 0, KEY_ALL_ACCESS, &child);
    if (rc != ERROR_SUCCESS) return rc;
    rc = DeleteContents(child);
    RegCloseKey(child);
    if (rc == ERROR_SUCCESS) rc = RegDeleteKeyW(key, name);
    if (rc != ERROR_SUCCESS) return rc;
  }
  for (;;) {
    wchar_t value[16384];
    DWORD size = 16384;
    LONG rc = RegEnumValueW(key, 0, value, &size, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegDeleteValueW(key, value);
    if (rc != ERROR_SUCCESS) return rc;
  }
}

class Win32Registry : public Registry {
 public:
  long OpenKey(RootKey root, const Text& subKey, uint32_t access,
               std::unique_ptr<RegKey>* key) override {
    HKEY h;
    LONG rc = RegOpenKeyExW(Root(root), W(subKey), 0, access, &h);
    if (rc == ERROR_SUCCESS) *key = std::make_unique<Win32RegKey>(h);
    return rc;
  }

  long CreateKey(RootKey root, const Text& subKey, uint32_t options, uint32_t access,
                 std::unique_ptr<RegKey>* key) override {
    HKEY h;
    LONG rc = RegCreateKeyExW(Root(root), W(subKey), 0, nullptr, options, access, nullptr, &h,
                              nullptr);
    if (rc == ERROR_SUCCESS) *key = std::make_unique<Win32RegKey>(h);
    return rc;
  }

  long QueryValue(RegKey& key, const Text& name, RegValue* value) override {
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExW(H(key), W(name), nullptr, &type, nullptr, &size);
    std::vector<uint8_t> data;
    while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
      data.resize(size);
      rc = RegQueryValueExW(H(key), W(name), nullptr, &type, data.data(), &size);
      if (rc == ERROR_SUCCESS) {
        data.resize(size);
        value->name = name;
        value->type = type;
        value->data = std::move(data);
        return 0;
      }
    }
    return rc;
  }

  long SetValue(RegKey& key, const RegValue& value) override {
    return RegSetValueExW(H(key), W(value.name), 0, value.type, value.data.data(),
                          static_cast<DWORD>(value.data.size()));
  }

  long DeleteValue(RegKey& key, const Text& name) override {
    return RegDeleteValueW(H(key), W(name));
  }

  long EnumValue(RegKey& key, uint32_t index, RegValue* value) override {
    DWORD maxName = 0, maxData = 0;
    LONG rc = RegQueryInfoKeyW(H(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, &maxName, &maxData, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    std::wstring name(maxName + 1, L'\0');
    std::vector<uint8_t> data(maxData);
    for (;;) {
      DWORD nameSize = static_cast<DWORD>(name.size());
      DWORD dataSize = static_cast<DWORD>(data.size());
      DWORD type = 0;
      rc = RegEnumValueW(H(key), index, name.data(), &nameSize, nullptr, &type, data.data(),
                         &dataSize);
      if (rc == ERROR_MORE_DATA) {
        // Changed since asked: grow and ask again.
        name.resize(name.size() * 2 + 256);
        data.resize(data.size() * 2 + 256);
        continue;
      }
      if (rc != ERROR_SUCCESS) return rc;
      data.resize(dataSize);
      value->name = FromW(name.data(), nameSize);
      value->type = type;
      value->data = std::move(data);
      return 0;
    }
  }

  long EnumKey(RegKey& key, uint32_t index, Text* name) override {
    wchar_t buffer[256];
    DWORD size = 256;
    LONG rc = RegEnumKeyExW(H(key), index, buffer, &size, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) *name = FromW(buffer, size);
    return rc;
  }

  long DeleteTree(RootKey root, const Text& subKey) override {
    HKEY h;
    LONG rc = RegOpenKeyExW(Root(root), W(subKey), 0, KEY_ALL_ACCESS, &h);
    if (rc != ERROR_SUCCESS) return rc;
    rc = DeleteContents(h);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS || subKey.empty()) return rc;
    return RegDeleteKeyW(Root(root), W(subKey));
  }

  long SaveKey(RegKey& key, const Text& file) override {
    return RegSaveKeyW(H(key), W(file), nullptr);
  }

  long RestoreKey(RegKey& key, const Text& file, uint32_t flags) override {
    return RegRestoreKeyW(H(key), W(file), flags);
  }
};

}  // namespace

std::unique_ptr<Registry> MakeRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace platform::win32
