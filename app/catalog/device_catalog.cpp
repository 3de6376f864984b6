#include "app/catalog/device_catalog.h"

#include <QListWidget>

namespace {

constexpr char kCatalogPassword[] = "qelvon";

void AddItem(QListWidget& list, const std::string& text) {
  list.addItem(QString::fromLatin1(text));
}

// Binds a table to the catalog database and opens it on the given table and index.
void OpenTable(tessdb::TTessTable& table, const std::string& path, const char* tableName,
               const char* indexName) {
  table.SetDatabaseName(path);
  table.SetPassword(kCatalogPassword);
  table.SetTableName(tableName);
  table.SetIndexName(indexName);
  table.Open();
}

}  // namespace

TDeviceCatalog::TDeviceCatalog() {
  TessDatabase1.SetName("TessDatabase1");
  TessTable1.SetName("TessTable1");
  TessTable2.SetName("TessTable2");
}

void TDeviceCatalog::OpenCatalog(const std::string& path) {
  try {
    TessDatabase1.Close();
  } catch (...) {
    // A database that does not close cleanly is reopened all the same.
  }
  TessDatabase1.SetDatabaseName(path);
  TessDatabase1.Open();
  OpenTable(TessTable1, path, "cellphone", "nameindex");
  OpenTable(TessTable2, path, "cellphoneconfig", "typeindex");
}

void TDeviceCatalog::CloseCatalog() { TessDatabase1.Close(); }

void TDeviceCatalog::FillVendorList(QListWidget& vendors) {
  vendors.clear();
  TessTable1.First();
  const int count = TessTable1.RecordCount();
  for (int i = 0; i < count; ++i) {
    AddItem(vendors, TessTable1.FieldByName("name").AsString());
    TessTable1.Next();
  }
}

void TDeviceCatalog::FillModelList(const std::string& vendor, QListWidget& models,
                                   QListWidget& widths, QListWidget& heights) {
  models.clear();
  widths.clear();
  heights.clear();
  TessTable2.SetFilter("name='" + vendor + "'");
  if (!TessTable2.FindFirst()) return;
  const auto addModel = [&] {
    AddItem(models, TessTable2.FieldByName("type").AsString());
    AddItem(widths, TessTable2.FieldByName("width").AsString());
    AddItem(heights, TessTable2.FieldByName("height").AsString());
  };
  addModel();
  while (!TessTable2.Eof()) {
    if (!TessTable2.FindNext()) return;
    addModel();
  }
}
