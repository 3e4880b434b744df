#include "brantle/browsers/common/catalogue.h"

#include <algorithm>

namespace brantle {

const CatalogueItem* Catalogue::FindCaption(const Text& caption) const {
  for (const CatalogueItem& item : items)
    if (platform::SameText(item.caption, caption)) return &item;
  return nullptr;
}

std::vector<int> Catalogue::Tickable() const {
  std::vector<int> numbers;
  for (const CatalogueItem& item : items)
    if (std::find(backupOrder.begin(), backupOrder.end(), item.checkBox) != backupOrder.end() ||
        std::find(restoreOrder.begin(), restoreOrder.end(), item.checkBox) != restoreOrder.end())
      numbers.push_back(item.checkBox);
  return numbers;
}

}  // namespace brantle
