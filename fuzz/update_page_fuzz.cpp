// The update page parser and the version comparison on arbitrary pages.
#include <cstddef>
#include <cstdint>

#include "brantle/update/update_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The page arrives as ANSI bytes; each byte widened is what the parser sees
  // for the Western code page's lower half and close enough for the rest.
  platform::Text page(data, data + size);
  brantle::TPageValues values;
  brantle::ParseUpdatePage(page, brantle::TTagInfo{}, &values);
  for (auto format : {brantle::TVersionFormat::vfStandard, brantle::TVersionFormat::vfString,
                      brantle::TVersionFormat::vfNumber}) {
    brantle::IsNewerVersion(format, values.ProductVersion, values.RunParameters);
    brantle::IsNewerVersion(format, values.ProductName, values.ProductVersion);
  }
  return 0;
}
