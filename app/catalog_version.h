// The device catalog's version text, kept in the registry value "alohaver" of the key
// "\Software\Quobari\".
#pragma once

// Loads CatalogVersion from the registry; the empty text when the key or the value is missing.
void ReadCatalogVersion();
