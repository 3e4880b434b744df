#include "platform/registry.h"

#include <cstring>

namespace platform {

RegValue RegValue::String(const Text& name, const Text& value, uint32_t type) {
  RegValue v;
  v.name = name;
  v.type = type;
  v.data.resize((value.size() + 1) * 2);
  for (size_t i = 0; i < value.size(); ++i) {
    v.data[i * 2] = static_cast<uint8_t>(value[i] & 0xFF);
    v.data[i * 2 + 1] = static_cast<uint8_t>(value[i] >> 8);
  }
  return v;
}

RegValue RegValue::Dword(const Text& name, uint32_t value) {
  RegValue v;
  v.name = name;
  v.type = regtype::kDword;
  v.data = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return v;
}

Text RegValue::AsText() const {
  Text out;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    out.push_back(c);
  }
  return out;
}

uint32_t RegValue::AsDword() const {
  uint32_t v = 0;
  for (size_t i = 0; i < 4 && i < data.size(); ++i) v |= static_cast<uint32_t>(data[i]) << (8 * i);
  return v;
}

}  // namespace platform
