#include "app/catalog_version.h"

#include "app/wizard_state.h"
#include "platform/registry.h"

namespace {
constexpr char kVersionKey[] = "\\Software\\Quobari\\";
constexpr char kVersionValue[] = "alohaver";
}  // namespace

void ReadCatalogVersion() {
  CatalogVersion = ReadRegistryString(kVersionKey, kVersionValue).value_or("");
}
