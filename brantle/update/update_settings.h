// Where Brantle looks for updates and which version it is.
#pragma once

#include "brantle/update/web_update.h"
#include "product_version.h"

namespace brantle {

constexpr char16_t kRunningVersion[] = BRANTLE_VERSION_TEXT;
// The maker's update server; the preferences file may name another
// ("[Servers]", "Update", host with an optional ":port").
constexpr char16_t kDefaultUpdateHost[] = u"update.example.com";

// The component as Brantle configures it: the update page on `host`, the
// running version, standard versions, run, end and overwrite.
void ConfigureWebUpdate(TWebUpdate& update, const Text& host);

}  // namespace brantle
