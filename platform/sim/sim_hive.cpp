// Hive files of the simulation: "SIMHIVE1", then the key as a tree of
// length-prefixed little-endian records.
#include <cstring>

#include "platform/sim/sim_registry.h"

namespace platform::sim {

namespace {

constexpr char kMagic[8] = {'S', 'I', 'M', 'H', 'I', 'V', 'E', '1'};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutText(std::vector<uint8_t>& out, const Text& t) {
  PutU32(out, static_cast<uint32_t>(t.size()));
  for (char16_t c : t) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
}

void PutNode(std::vector<uint8_t>& out, const RegNode& node) {
  PutText(out, node.name);
  PutU32(out, static_cast<uint32_t>(node.values.size()));
  for (const auto& v : node.values) {
    PutText(out, v.name);
    PutU32(out, v.type);
    PutU32(out, static_cast<uint32_t>(v.data.size()));
    out.insert(out.end(), v.data.begin(), v.data.end());
  }
  PutU32(out, static_cast<uint32_t>(node.children.size()));
  for (const auto& c : node.children) PutNode(out, *c);
}

struct Reader {
  const std::vector<uint8_t>& in;
  size_t pos = 0;

  bool U32(uint32_t* v) {
    if (in.size() - pos < 4) return false;
    *v = 0;
    for (int i = 0; i < 4; ++i) *v |= static_cast<uint32_t>(in[pos + i]) << (8 * i);
    pos += 4;
    return true;
  }
  bool Bytes(uint32_t n, std::vector<uint8_t>* out) {
    if (in.size() - pos < n) return false;
    out->assign(in.begin() + pos, in.begin() + pos + n);
    pos += n;
    return true;
  }
  bool TextField(Text* t) {
    uint32_t n;
    if (!U32(&n) || (in.size() - pos) / 2 < n) return false;
    t->clear();
    for (uint32_t i = 0; i < n; ++i, pos += 2)
      t->push_back(static_cast<char16_t>(in[pos] | (in[pos + 1] << 8)));
    return true;
  }
  bool Node(RegNode* node, int depth) {
    uint32_t count;
    if (depth > 512 || !TextField(&node->name) || !U32(&count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
      RegValue v;
      uint32_t size;
      if (!TextField(&v.name) || !U32(&v.type) || !U32(&size) || !Bytes(size, &v.data))
        return false;
      node->values.push_back(std::move(v));
    }
    if (!U32(&count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
      auto child = std::make_shared<RegNode>();
      if (!Node(child.get(), depth + 1)) return false;
      node->children.push_back(std::move(child));
    }
    return true;
  }
};

}  // namespace

std::vector<uint8_t> EncodeHive(const RegNode& node) {
  std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
  PutNode(out, node);
  return out;
}

bool DecodeHive(const std::vector<uint8_t>& bytes, RegNode* node) {
  if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
    return false;
  Reader r{bytes, sizeof kMagic};
  return r.Node(node, 0) && r.pos == bytes.size();
}

}  // namespace platform::sim
