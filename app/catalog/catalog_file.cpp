#include "app/catalog/catalog_file.h"

#include "tessdb/core/field_type.h"
#include "tessdb/storage/database_authoring.h"
#include "tessdb/storage/record_authoring.h"

namespace {

tessdb::TFieldEntry Field(const std::string& name, tessdb::TFieldType type, int32_t size = 0) {
  tessdb::TFieldEntry field;
  field.name = name;
  field.typeCode = type;
  field.declaredSize = size;
  return field;
}

tessdb::TIndexEntry Index(const std::string& name, uint8_t options, int32_t keyField) {
  tessdb::TIndexEntry index;
  index.name = name;
  index.options = options;
  index.keyFields = {keyField};
  return index;
}

}  // namespace

void WriteCatalogFile(const std::string& path, const std::vector<std::string>& vendors,
                      const std::vector<TCatalogModel>& models) {
  using namespace tessdb;
  const std::string password = "qelvon";
  TNewDatabase settings;
  settings.encrypted = true;
  settings.cipher = "Blowfish";
  settings.mode = 1;
  settings.password = password;

  TMemoryStream image;
  CreateDatabase(image, settings);
  AddTable(image, {"cellphone",
                   {Field("name", ftString, 40)},
                   {Index("nameindex", tiPrimary | tiUnique, 0)}});
  AddTable(image, {"cellphoneconfig",
                   {Field("name", ftString, 40), Field("type", ftString, 60),
                    Field("width", ftInteger), Field("height", ftInteger)},
                   {Index("typeindex", 0, 1)}});

  std::vector<TRecordValues> vendorRows;
  for (const auto& vendor : vendors) vendorRows.push_back({vendor});
  std::vector<TRecordValues> modelRows;
  for (const auto& model : models) {
    modelRows.push_back(
        {model.vendor, model.type, StoredBytes(model.width), StoredBytes(model.height)});
  }
  AppendRecords(image, password, "cellphone", vendorRows);
  AppendRecords(image, password, "cellphoneconfig", modelRows);
  WriteNewFile(path, image);
}
