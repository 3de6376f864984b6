// The program's own catalog queries on a generated catalog of 2,000 vendors and 100,000 models,
// encrypted with Blowfish as the program's catalog is, against SQLite answering the same queries
// on the same rows in the same run:
//   open     open the database and both tables (TessDB) / open the database file (SQLite)
//   vendors  the vendor walk: First, then Next RecordCount times reading name / the vendor names
//            in name order
//   models   one vendor's models: Filter + FindFirst/FindNext reading type, width, height / the
//            same rows in type order, with and without an index on vendor
// Prints milliseconds per query (best of repeated runs) and the ratio TessDB / SQLite.
//
// Usage: access_bench [seconds per measurement, default 1] [folder for the files, default /tmp]
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "tessdb/access/database.h"
#include "tessdb/access/tess_table.h"
#include "tessdb/core/field_type.h"
#include "tessdb/core/stream.h"
#include "tessdb/storage/database_authoring.h"
#include "tessdb/storage/record_authoring.h"

namespace {

using namespace tessdb;

constexpr int kVendors = 2000;
constexpr int kModels = 100000;
constexpr char kPassword[] = "catalog password";
double gSeconds = 1.0;

struct ModelRow {
  std::string vendor;
  std::string type;
  int32_t width;
  int32_t height;
};

std::string VendorName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "Vendor %04d", (i * 7919) % kVendors);
  return name;
}

std::vector<ModelRow> Models() {
  std::mt19937 random(12345);
  std::vector<ModelRow> rows;
  rows.reserve(kModels);
  for (int i = 0; i < kModels; ++i) {
    char type[32];
    std::snprintf(type, sizeof type, "T%06u", static_cast<unsigned>(random() % 1000000));
    rows.push_back({VendorName(static_cast<int>(random() % kVendors)),
                    std::string(type) + "-" + std::to_string(i),
                    static_cast<int32_t>(96 + random() % 1000),
                    static_cast<int32_t>(64 + random() % 1000)});
  }
  return rows;
}

TFieldEntry Field(const std::string& name, int type, int32_t size = 0) {
  TFieldEntry field;
  field.name = name;
  field.typeCode = static_cast<uint8_t>(type);
  field.declaredSize = size;
  return field;
}

TIndexEntry Index(const std::string& name, uint8_t options, int32_t field) {
  TIndexEntry index;
  index.name = name;
  index.options = options;
  index.keyFields = {field};
  return index;
}

void WriteTessCatalog(const std::string& path, const std::vector<ModelRow>& models) {
  TMemoryStream image;
  TNewDatabase settings;
  settings.encrypted = true;
  settings.cipher = "Blowfish";
  settings.mode = 1;
  settings.password = kPassword;
  CreateDatabase(image, settings);
  AddTable(
      image,
      {"cellphone", {Field("name", ftString, 40)}, {Index("nameindex", tiPrimary | tiUnique, 0)}});
  AddTable(image, {"cellphoneconfig",
                   {Field("name", ftString, 40), Field("type", ftString, 40),
                    Field("width", ftInteger), Field("height", ftInteger)},
                   {Index("typeindex", tiPrimary, 1)}});
  std::vector<TRecordValues> vendors;
  for (int i = 0; i < kVendors; ++i) vendors.push_back({VendorName(i)});
  std::vector<TRecordValues> rows;
  rows.reserve(models.size());
  for (const ModelRow& m : models) {
    rows.push_back({m.vendor, m.type, StoredBytes(m.width), StoredBytes(m.height)});
  }
  AppendRecords(image, kPassword, "cellphone", vendors);
  AppendRecords(image, kPassword, "cellphoneconfig", rows);
  std::filesystem::remove(path);
  WriteNewFile(path, image);
}

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n", error);
    std::exit(1);
  }
}

void WriteSqliteCatalog(const std::string& path, const std::vector<ModelRow>& models, bool index) {
  std::filesystem::remove(path);
  sqlite3* db;
  sqlite3_open(path.c_str(), &db);
  Exec(db, "CREATE TABLE vendor(name TEXT PRIMARY KEY)");
  Exec(db, "CREATE TABLE model(vendor TEXT, type TEXT, width INTEGER, height INTEGER)");
  Exec(db, "BEGIN");
  sqlite3_stmt* insert;
  sqlite3_prepare_v2(db, "INSERT INTO vendor VALUES(?)", -1, &insert, nullptr);
  for (int i = 0; i < kVendors; ++i) {
    const std::string name = VendorName(i);
    sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_prepare_v2(db, "INSERT INTO model VALUES(?,?,?,?)", -1, &insert, nullptr);
  for (const ModelRow& m : models) {
    sqlite3_bind_text(insert, 1, m.vendor.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, m.type.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 3, m.width);
    sqlite3_bind_int(insert, 4, m.height);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  Exec(db, "CREATE INDEX model_type ON model(type)");
  if (index) Exec(db, "CREATE INDEX model_vendor ON model(vendor)");
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

// Best time of repeated runs within the budget, in milliseconds.
double BestMs(const std::function<void()>& work) {
  using Clock = std::chrono::steady_clock;
  work();  // warm-up
  double best = 1e30;
  const auto start = Clock::now();
  int runs = 0;
  do {
    const auto t0 = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    ++runs;
  } while (runs < 3 || std::chrono::duration<double>(Clock::now() - start).count() < gSeconds);
  return best;
}

// The program's catalog, as its catalog code opens it.
struct TessCatalog {
  TTessDatabase database;
  TTessTable vendors, models;
  std::string path;

  explicit TessCatalog(std::string file) : path(std::move(file)) {
    database.SetName("TessDatabase1");
    vendors.SetName("TessTable1");
    models.SetName("TessTable2");
  }
  void Open() {
    database.Close();
    database.SetDatabaseName(path);
    database.Open();
    for (TTessTable* table : {&vendors, &models}) {
      table->SetDatabaseName(path);
      table->SetPassword(kPassword);
    }
    vendors.SetTableName("cellphone");
    vendors.SetIndexName("nameindex");
    models.SetTableName("cellphoneconfig");
    models.SetIndexName("typeindex");
    vendors.Open();
    models.Open();
  }
  void Close() { database.Close(); }
};

int SqliteRows(sqlite3* db, sqlite3_stmt* statement, long& checksum) {
  int rows = 0;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    checksum += static_cast<long>(sqlite3_column_bytes(statement, 0));
    if (sqlite3_column_count(statement) > 1) checksum += sqlite3_column_int(statement, 1);
    ++rows;
  }
  sqlite3_reset(statement);
  (void)db;
  return rows;
}

void Row(const char* query, double ours, double theirs) {
  std::printf("%-34s %12.3f %12.3f %8.2f\n", query, ours, theirs, ours / theirs);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) gSeconds = std::atof(argv[1]);
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  const std::string tessPath = folder + "/access_bench_catalog.alo";
  const std::string sqlitePath = folder + "/access_bench_catalog.sqlite";
  const std::string sqliteIndexedPath = folder + "/access_bench_catalog_indexed.sqlite";

  const std::vector<ModelRow> models = Models();
  const auto t0 = std::chrono::steady_clock::now();
  WriteTessCatalog(tessPath, models);
  const double buildSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  WriteSqliteCatalog(sqlitePath, models, false);
  WriteSqliteCatalog(sqliteIndexedPath, models, true);
  std::printf("catalog: %d vendors, %d models, Blowfish; built through the engine in %.1f s\n",
              kVendors, kModels, buildSeconds);
  const std::string vendor = VendorName(1234);

  TessCatalog catalog(tessPath);
  long checksum = 0;
  const double tessOpen = BestMs([&] {
    catalog.Open();
    catalog.Close();
  });
  catalog.Open();
  const double tessWalk = BestMs([&] {
    catalog.vendors.First();
    for (int i = 0; i < catalog.vendors.RecordCount(); ++i) {
      checksum += static_cast<long>(catalog.vendors.FieldByName("name").AsString().size());
      catalog.vendors.Next();
    }
  });
  int tessFound = 0;
  const double tessModels = BestMs([&] {
    tessFound = 0;
    TTessTable& t = catalog.models;
    t.SetFilter("name='" + vendor + "'");
    if (t.FindFirst()) {
      do {
        checksum += static_cast<long>(t.FieldByName("type").AsString().size());
        checksum += static_cast<long>(t.FieldByName("width").AsString().size());
        checksum += static_cast<long>(t.FieldByName("height").AsString().size());
        ++tessFound;
      } while (!t.Eof() && t.FindNext());
    }
  });
  catalog.Close();

  double sqliteOpen = 0, sqliteWalk = 0, sqliteModels = 0, sqliteModelsIndexed = 0;
  int sqliteFound = 0;
  for (const std::string& path : {sqlitePath, sqliteIndexedPath}) {
    const bool indexed = path == sqliteIndexedPath;
    sqlite3* db = nullptr;
    const double open = BestMs([&] {
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
      Exec(db, "SELECT count(*) FROM sqlite_master");  // reads the schema, as an open does
      sqlite3_close(db);
    });
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* list;
    sqlite3_prepare_v2(db, "SELECT name FROM vendor ORDER BY name", -1, &list, nullptr);
    const double walk = BestMs([&] { SqliteRows(db, list, checksum); });
    sqlite3_stmt* byVendor;
    sqlite3_prepare_v2(db, "SELECT type, width, height FROM model WHERE vendor = ? ORDER BY type",
                       -1, &byVendor, nullptr);
    sqlite3_bind_text(byVendor, 1, vendor.c_str(), -1, SQLITE_TRANSIENT);
    const double one = BestMs([&] { sqliteFound = SqliteRows(db, byVendor, checksum); });
    sqlite3_finalize(list);
    sqlite3_finalize(byVendor);
    sqlite3_close(db);
    if (indexed) {
      sqliteModelsIndexed = one;
    } else {
      sqliteOpen = open;
      sqliteWalk = walk;
      sqliteModels = one;
    }
  }

  std::printf("\n%-34s %12s %12s %8s\n", "query (ms, best run)", "TessDB", "SQLite", "ratio");
  Row("open database and tables", tessOpen, sqliteOpen);
  Row("vendor walk (2,000 names)", tessWalk, sqliteWalk);
  Row("one vendor's models, no index", tessModels, sqliteModels);
  Row("one vendor's models, vendor index", tessModels, sqliteModelsIndexed);
  std::printf("\nmodels of %s: TessDB %d, SQLite %d (checksum %ld)\n", vendor.c_str(), tessFound,
              sqliteFound, checksum);
  std::filesystem::remove(tessPath);
  std::filesystem::remove(sqlitePath);
  std::filesystem::remove(sqliteIndexedPath);
  return tessFound == sqliteFound ? 0 : 1;
}
