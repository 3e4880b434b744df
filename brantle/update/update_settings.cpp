#include "brantle/update/update_settings.h"

namespace brantle {

void ConfigureWebUpdate(TWebUpdate& update, const Text& host) {
  update.ProductInfo.SetURL((host.empty() ? Text(kDefaultUpdateHost) : host) + u"/update.html");
  update.ProductInfo.Version = kRunningVersion;
  update.ProductInfo.VersionFormat = TVersionFormat::vfStandard;
  update.Options = uoRunUpdate | uoTerminate | uoOverwrite;
  update.HTTPPort = 80;
}

}  // namespace brantle
