#include "zentura/sysutil/version_info.h"

#include <cstdio>

namespace zentura {

bool ReadVersionInfo(platform::SystemPlatform& sp, const Text& file, TFileInfo* info,
                     const Text& extra) {
  std::unique_ptr<platform::VersionBlock> block = sp.desktop.ReadVersionInfo(file);
  if (!block) return false;
  Text prefix = u"\\StringFileInfo\\";
  uint32_t translation = 0;
  if (!block->Translation(&translation)) return false;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04X%04X", translation & 0xFFFF, translation >> 16);
  prefix += platform::FromUtf8(buffer) + u"\\";
  struct Field {
    const char16_t* name;
    Text TFileInfo::*member;
  };
  static const Field kFields[] = {
      {u"CompanyName", &TFileInfo::CompanyName},
      {u"FileDescription", &TFileInfo::FileDescription},
      {u"FileVersion", &TFileInfo::FileVersion},
      {u"InternalName", &TFileInfo::InternalName},
      {u"LegalCopyright", &TFileInfo::LegalCopyright},
      {u"LegalTrademarks", &TFileInfo::LegalTrademarks},
      {u"OriginalFileName", &TFileInfo::OriginalFileName},
      {u"ProductName", &TFileInfo::ProductName},
      {u"ProductVersion", &TFileInfo::ProductVersion},
      {u"Comments", &TFileInfo::Comments},
  };
  for (const Field& f : kFields) {
    Text value;
    if (block->QueryString(prefix + f.name, &value)) info->*f.member = value;
  }
  uint32_t words[13];
  if (block->FixedInfo(words)) {
    for (int i = 0; i < 13; ++i) info->FixedInfo[i] = words[i];
  }
  if (!extra.empty()) {
    Text value;
    if (block->QueryString(prefix + extra, &value)) info->Extra = value;
  }
  return true;
}

Text GetVersionInfoString(platform::SystemPlatform& sp, const Text& file, int selector) {
  TFileInfo info;
  if (!ReadVersionInfo(sp, file, &info, u"WOW Version")) return u"Unknown";
  switch (selector) {
    case 0: return info.Comments;
    case 1: return info.CompanyName;
    case 2: return info.FileDescription;
    case 3: return info.FileVersion;
    case 4: return info.InternalName;
    case 5: return info.LegalCopyright;
    case 6: return info.LegalTrademarks;
    case 7: return info.OriginalFileName;
    case 8: return info.ProductName;
    case 9: return info.ProductVersion;
    case 10: return info.Extra;
    default: return Text();
  }
}

}  // namespace zentura
