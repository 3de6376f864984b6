#include "tests/tessdb/access/access_fixture.h"

#include "tessdb/core/field_type.h"
#include "tessdb/storage/file_format.h"

namespace tessdb::testing {
namespace {

TFieldEntry MakeField(const std::string& name, int type, int32_t size = 0) {
  TFieldEntry field;
  field.name = name;
  field.typeCode = static_cast<uint8_t>(type);
  field.declaredSize = size;
  field.processMode = 0;
  return field;
}

TIndexEntry MakeIndex(const std::string& name, uint8_t options, TIntegerAry keyFields) {
  TIndexEntry index;
  index.name = name;
  index.options = options;
  index.keyFields = std::move(keyFields);
  return index;
}

TNewDatabase Settings(bool encrypted) {
  TNewDatabase settings;
  if (encrypted) {
    settings.encrypted = true;
    settings.cipher = "Blowfish";
    settings.mode = 1;
    settings.password = kPassword;
  }
  return settings;
}

}  // namespace

TRecordValues Vendor(const std::string& name, const std::string& country) {
  return {name, country};
}

TRecordValues Model(const std::string& vendor, const std::string& type, int32_t width,
                    int32_t height) {
  return {vendor, type, StoredBytes(width), StoredBytes(height)};
}

CatalogRows DefaultCatalog() {
  CatalogRows rows;
  rows.vendors = {Vendor("Nokia", "FI"), Vendor("Alcatel", "FR"), Vendor("Siemens", "DE"),
                  Vendor("Motorola", "US"), Vendor("Ericsson", "SE")};
  rows.models = {Model("Nokia", "3310", 84, 48),    Model("Siemens", "C35", 101, 64),
                 Model("Nokia", "6210", 96, 60),    Model("Motorola", "V50", 96, 32),
                 Model("Nokia", "8210", 84, 48),    Model("Alcatel", "OT 301", 96, 64),
                 Model("Ericsson", "T28", 101, 33), Model("Siemens", "S35", 101, 80)};
  return rows;
}

std::string WriteCatalog(const TempDir& dir, const std::string& fileName, bool encrypted,
                         const CatalogRows& rows) {
  TMemoryStream image;
  CreateDatabase(image, Settings(encrypted));
  TTableDefinition vendors{"cellphone",
                           {MakeField("name", ftString, 20), MakeField("country", ftString, 10)},
                           {MakeIndex("nameindex", tiPrimary | tiUnique, {0})}};
  TTableDefinition models{"cellphoneconfig",
                          {MakeField("name", ftString, 20), MakeField("type", ftString, 20),
                           MakeField("width", ftInteger), MakeField("height", ftInteger)},
                          {MakeIndex("typeindex", tiPrimary, {1}), MakeIndex("nameindex", 0, {0}),
                           MakeIndex("widthdesc", tiDescending, {2})}};
  AddTable(image, vendors);
  AddTable(image, models);
  AddTable(image, TTableDefinition{"notes", {MakeField("text", ftString, 10)}, {}});
  const std::string password = encrypted ? kPassword : "";
  AppendRecords(image, password, "cellphone", rows.vendors);
  AppendRecords(image, password, "cellphoneconfig", rows.models);
  AppendRecords(image, password, "notes", {{"c"}, {"a"}, {"b"}});
  const std::string path = dir.File(fileName);
  WriteNewFile(path, image);
  return path;
}

std::string WriteKinds(const TempDir& dir, const std::string& fileName) {
  TMemoryStream image;
  CreateDatabase(image, Settings(false));
  AddTable(image,
           TTableDefinition{
               "kinds",
               {MakeField("id", ftAutoInc), MakeField("s", ftString, 8), MakeField("i", ftInteger),
                MakeField("sm", ftSmallint), MakeField("w", ftWord), MakeField("b", ftBoolean),
                MakeField("f", ftFloat), MakeField("d", ftDate), MakeField("t", ftTime),
                MakeField("dt", ftDateTime), MakeField("big", ftLargeint),
                MakeField("memo", ftMemo), MakeField("data", ftBlob)},
               {MakeIndex("byid", tiPrimary | tiUnique, {0}), MakeIndex("bys", 0, {1})}});
  const std::string path = dir.File(fileName);
  WriteNewFile(path, image);
  return path;
}

}  // namespace tessdb::testing
