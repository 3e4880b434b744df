#include "platform/sim/sim_registry.h"

#include <algorithm>

namespace platform::sim {

namespace {

class SimRegKey : public RegKey {
 public:
  SimRegKey(std::shared_ptr<RegNode> node, uint32_t access)
      : node(std::move(node)), access(access) {}
  std::shared_ptr<RegNode> node;
  uint32_t access;
};

// The key's node when it is still there and the handle grants `need`.
long Usable(RegKey& key, uint32_t need, RegNode** node) {
  auto& k = static_cast<SimRegKey&>(key);
  if (k.node->deleted) return err::kKeyDeleted;
  if ((k.access & need) != need) return err::kAccessDenied;
  *node = k.node.get();
  return 0;
}

std::vector<RegValue>::iterator FindValue(RegNode& node, const Text& name) {
  return std::find_if(node.values.begin(), node.values.end(),
                      [&](const RegValue& v) { return SameText(v.name, name); });
}

void MarkDeleted(RegNode& node) {
  node.deleted = true;
  for (auto& c : node.children) MarkDeleted(*c);
}

// The privilege a hive operation needs, as Windows checks it on the caller's token.
bool Enabled(SimState& s, const char16_t* privilege) {
  return s.enabledPrivileges.count(privilege) > 0;
}

}  // namespace

long SimRegistry::Find(RootKey root, const Text& subKey, bool create,
                       std::shared_ptr<RegNode>* node) {
  std::shared_ptr<RegNode> cur = s_.registryRoots.at(root);
  size_t start = 0;
  while (start < subKey.size()) {
    size_t end = subKey.find(u'\\', start);
    if (end == Text::npos) end = subKey.size();
    Text part = subKey.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    auto it = std::find_if(cur->children.begin(), cur->children.end(),
                           [&](const auto& c) { return SameText(c->name, part); });
    if (it != cur->children.end()) {
      cur = *it;
    } else if (create) {
      auto child = std::make_shared<RegNode>();
      child->name = part;
      cur->children.push_back(child);
      cur = child;
    } else {
      return err::kFileNotFound;
    }
  }
  *node = cur;
  return 0;
}

long SimRegistry::OpenKey(RootKey root, const Text& subKey, uint32_t access,
                          std::unique_ptr<RegKey>* key) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  std::shared_ptr<RegNode> node;
  if (long rc = Find(root, subKey, false, &node)) return rc;
  *key = std::make_unique<SimRegKey>(node, access);
  return 0;
}

long SimRegistry::CreateKey(RootKey root, const Text& subKey, uint32_t options, uint32_t access,
                            std::unique_ptr<RegKey>* key) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  // REG_OPTION_BACKUP_RESTORE ignores the access asked for and needs a hive privilege.
  if (options & kRegOptionBackupRestore) {
    if (!Enabled(s_, u"SeBackupPrivilege") && !Enabled(s_, u"SeRestorePrivilege"))
      return err::kPrivilegeNotHeld;
    access = keyaccess::kAllAccess;
  }
  std::shared_ptr<RegNode> node;
  if (long rc = Find(root, subKey, true, &node)) return rc;
  *key = std::make_unique<SimRegKey>(node, access);
  return 0;
}

long SimRegistry::QueryValue(RegKey& key, const Text& name, RegValue* value) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  RegNode* node;
  if (long rc = Usable(key, keyaccess::kQueryValue, &node)) return rc;
  auto it = FindValue(*node, name);
  if (it == node->values.end()) return err::kFileNotFound;
  *value = *it;
  return 0;
}

long SimRegistry::SetValue(RegKey& key, const RegValue& value) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  RegNode* node;
  if (long rc = Usable(key, keyaccess::kSetValue, &node)) return rc;
  auto it = FindValue(*node, value.name);
  if (it != node->values.end()) {
    it->type = value.type;
    it->data = value.data;
  } else {
    node->values.push_back(value);
  }
  return 0;
}

long SimRegistry::DeleteValue(RegKey& key, const Text& name) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  RegNode* node;
  if (long rc = Usable(key, keyaccess::kSetValue, &node)) return rc;
  auto it = FindValue(*node, name);
  if (it == node->values.end()) return err::kFileNotFound;
  node->values.erase(it);
  return 0;
}

long SimRegistry::EnumValue(RegKey& key, uint32_t index, RegValue* value) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  RegNode* node;
  if (long rc = Usable(key, keyaccess::kQueryValue, &node)) return rc;
  if (index >= node->values.size()) return err::kNoMoreItems;
  *value = node->values[index];
  return 0;
}

long SimRegistry::EnumKey(RegKey& key, uint32_t index, Text* name) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  RegNode* node;
  if (long rc = Usable(key, keyaccess::kEnumerateSubKeys, &node)) return rc;
  if (index >= node->children.size()) return err::kNoMoreItems;
  *name = node->children[index]->name;
  return 0;
}

long SimRegistry::DeleteTree(RootKey root, const Text& subKey) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  std::shared_ptr<RegNode> node;
  if (long rc = Find(root, subKey, false, &node)) return rc;
  if (node == s_.registryRoots.at(root)) {
    // Without a sub-key only the contents go, as RegDeleteTreeW does.
    for (auto& c : node->children) MarkDeleted(*c);
    node->children.clear();
    node->values.clear();
    return 0;
  }
  Text parentPath = subKey;
  while (!parentPath.empty() && parentPath.back() == u'\\') parentPath.pop_back();
  size_t slash = parentPath.find_last_of(u'\\');
  parentPath = slash == Text::npos ? Text() : parentPath.substr(0, slash);
  std::shared_ptr<RegNode> parent;
  Find(root, parentPath, false, &parent);
  auto& kids = parent->children;
  kids.erase(std::remove(kids.begin(), kids.end(), node), kids.end());
  MarkDeleted(*node);
  return 0;
}

long SimRegistry::SaveKey(RegKey& key, const Text& file) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  RegNode* node;
  if (long rc = Usable(key, 0, &node)) return rc;
  if (!Enabled(s_, u"SeBackupPrivilege")) return err::kPrivilegeNotHeld;
  uint32_t error = 0;
  auto out = files_.Open(file, Access::kWrite, Share::kExclusive, Disposition::kCreateNew, &error);
  if (!out) return error == err::kFileExists ? err::kAlreadyExists : error;
  std::vector<uint8_t> bytes = EncodeHive(*node);
  try {
    out->Write(bytes.data(), bytes.size());
  } catch (const StreamError&) {
    return err::kAccessDenied;
  }
  return 0;
}

long SimRegistry::RestoreKey(RegKey& key, const Text& file, uint32_t flags) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  RegNode* node;
  if (long rc = Usable(key, 0, &node)) return rc;
  if (!Enabled(s_, u"SeRestorePrivilege")) return err::kPrivilegeNotHeld;
  uint32_t error = 0;
  auto in = files_.Open(file, Access::kRead, Share::kRead, Disposition::kOpenExisting, &error);
  if (!in) return error;
  std::vector<uint8_t> bytes;
  RegNode hive;
  try {
    bytes.resize(static_cast<size_t>(in->Size()));
    in->ReadBuffer(bytes.data(), bytes.size());
  } catch (const StreamError&) {
    return err::kRegistryCorrupt;
  }
  if (!DecodeHive(bytes, &hive)) return err::kRegistryCorrupt;
  for (auto& c : node->children) MarkDeleted(*c);
  node->values = std::move(hive.values);
  node->children = std::move(hive.children);
  return 0;
}

}  // namespace platform::sim
