// Table storage speed on a catalog-like table: 100,000 models (vendor, model, width, height) in
// a Blowfish-encrypted database file with one index on the model. TessDB appends the rows, loads
// the table, reads every record and searches the index for models; SQLite does the same work on
// the same rows in a file (inserts in one transaction, a full scan, an indexed lookup). Rates
// are rows (or searches) per second of wall-clock time; the ratios TessDB / SQLite follow the
// table.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tessdb/core/stream.h"
#include "tessdb/storage/database_authoring.h"
#include "tessdb/storage/field_buffers.h"
#include "tessdb/storage/file_io.h"
#include "tessdb/storage/table_io.h"

namespace {

using namespace tessdb;

constexpr int kRows = 100000;
constexpr int kSearches = 1000;
const char* const kVendors[] = {"Nokia",   "Motorola",  "Samsung",    "Siemens", "Sony Ericsson",
                                "Alcatel", "Panasonic", "Sagem",      "LG",      "Philips",
                                "Sharp",   "NEC",       "Mitsubishi", "Benq",    "Pantech"};

struct TRow {
  std::string vendor;
  std::string model;
  int32_t width;
  int32_t height;
};

const std::vector<TRow>& Rows() {
  static const std::vector<TRow> rows = [] {
    std::vector<TRow> result;
    std::mt19937 random(1);
    for (int i = 0; i < kRows; ++i) {
      const std::string vendor = kVendors[random() % std::size(kVendors)];
      result.push_back({vendor, vendor.substr(0, 3) + "-" + std::to_string(random() % 10000000),
                        static_cast<int32_t>(96 + random() % 400),
                        static_cast<int32_t>(64 + random() % 500)});
    }
    return result;
  }();
  return rows;
}

std::string Folder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "table-bench-XXXXXX").string();
    return std::string(::mkdtemp(pattern.data()));
  }();
  return folder;
}

const std::string kPassword = "catalog";

std::string NewTessFile(const std::string& name) {
  const std::string path = Folder() + "/" + name;
  std::filesystem::remove(path);
  TMemoryStream image;
  TNewDatabase settings;
  settings.encrypted = true;
  settings.cipher = "Blowfish";
  settings.password = kPassword;
  CreateDatabase(image, settings);
  TTableDefinition table;
  table.name = "cellphoneconfig";
  table.fields = {{"name", ftString, 30, 0},
                  {"model", ftString, 40, 0},
                  {"width", ftInteger, 0, 0},
                  {"height", ftInteger, 0, 0}};
  table.indexes = {{"ByModel", 0, {1}, 0, 0}};
  AddTable(image, table);
  WriteNewFile(path, image);
  return path;
}

struct TTessTable {
  explicit TTessTable(const std::string& path) {
    fileIO.Open(path, mtDisk, false, false);
    fileIO.SetPassword(kPassword);
    table = std::make_unique<TTessTableIO>(fileIO, "cellphoneconfig");
    table->Open();
    for (int f = 0; f < table->FieldDefs().Count(); ++f) {
      buffers.AddOwned(static_cast<TFieldType>(table->FieldDefs()[f].typeCode),
                       table->FieldSize(f));
    }
  }
  void Fill(const TRow& row) {
    buffers[0].SetText(row.vendor);
    buffers[1].SetText(row.model);
    buffers[2].Set(row.width);
    buffers[3].Set(row.height);
  }
  TTessDBFileIO fileIO;
  std::unique_ptr<TTessTableIO> table;
  TFieldBuffers buffers;
};

// The table every read benchmark uses, appended once.
const std::string& FilledTessFile() {
  static const std::string path = [] {
    const std::string file = NewTessFile("models.tdb");
    TTessTable tess(file);
    for (const TRow& row : Rows()) {
      tess.Fill(row);
      tess.table->AppendRecord(tess.buffers, false, nullptr);
    }
    return file;
  }();
  return path;
}

void BM_TessAppend(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = NewTessFile("append.tdb");
    {
      TTessTable tess(path);
      state.ResumeTiming();
      for (const TRow& row : Rows()) {
        tess.Fill(row);
        tess.table->AppendRecord(tess.buffers, false, nullptr);
      }
      state.PauseTiming();
    }
    std::filesystem::remove(path);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_TessLoad(benchmark::State& state) {
  const std::string& path = FilledTessFile();
  for (auto _ : state) {
    TTessTable tess(path);
    benchmark::DoNotOptimize(tess.table->GetList(1).size());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_TessScan(benchmark::State& state) {
  TTessTable tess(FilledTessFile());
  int64_t sum = 0;
  for (auto _ : state) {
    const TRecordList& list = tess.table->GetList(0);
    for (int p = 0; p < static_cast<int>(list.size()); ++p) {
      tess.table->ReadRecord(tess.buffers, list, p);
      sum += tess.buffers[2].Get<int32_t>();
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_TessSearch(benchmark::State& state) {
  TTessTable tess(FilledTessFile());
  std::mt19937 random(2);
  int found = 0;
  for (auto _ : state) {
    for (int i = 0; i < kSearches; ++i) {
      tess.buffers[1].SetText(Rows()[random() % kRows].model);
      found +=
          tess.table->SearchIndex(tess.buffers, tess.table->GetList(1), false, 0, 0).outcome == 0;
    }
  }
  if (found != static_cast<int>(state.iterations()) * kSearches)
    state.SkipWithError("model not found");
  state.SetItemsProcessed(state.iterations() * kSearches);
}

sqlite3* OpenSqlite(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  return db;
}

std::string NewSqliteFile(const std::string& name) {
  const std::string path = Folder() + "/" + name;
  std::filesystem::remove(path);
  sqlite3* db = OpenSqlite(path);
  sqlite3_exec(db,
               "CREATE TABLE cellphoneconfig(name TEXT, model TEXT, width INTEGER, height INTEGER);"
               "CREATE INDEX ByModel ON cellphoneconfig(model);",
               nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return path;
}

void SqliteInsertAll(sqlite3* db) {
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO cellphoneconfig VALUES(?,?,?,?)", -1, &insert, nullptr);
  for (const TRow& row : Rows()) {
    sqlite3_bind_text(insert, 1, row.vendor.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 2, row.model.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_int(insert, 3, row.width);
    sqlite3_bind_int(insert, 4, row.height);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

const std::string& FilledSqliteFile() {
  static const std::string path = [] {
    const std::string file = NewSqliteFile("models.sqlite");
    sqlite3* db = OpenSqlite(file);
    SqliteInsertAll(db);
    sqlite3_close(db);
    return file;
  }();
  return path;
}

void BM_SqliteInsert(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = NewSqliteFile("insert.sqlite");
    sqlite3* db = OpenSqlite(path);
    state.ResumeTiming();
    SqliteInsertAll(db);
    state.PauseTiming();
    sqlite3_close(db);
    std::filesystem::remove(path);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_SqliteScan(benchmark::State& state) {
  sqlite3* db = OpenSqlite(FilledSqliteFile());
  sqlite3_stmt* scan = nullptr;
  sqlite3_prepare_v2(db, "SELECT name, model, width, height FROM cellphoneconfig", -1, &scan,
                     nullptr);
  int64_t sum = 0;
  for (auto _ : state) {
    while (sqlite3_step(scan) == SQLITE_ROW) {
      benchmark::DoNotOptimize(sqlite3_column_text(scan, 0));
      benchmark::DoNotOptimize(sqlite3_column_text(scan, 1));
      sum += sqlite3_column_int(scan, 2) + sqlite3_column_int(scan, 3);
    }
    sqlite3_reset(scan);
  }
  benchmark::DoNotOptimize(sum);
  sqlite3_finalize(scan);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_SqliteLookup(benchmark::State& state) {
  sqlite3* db = OpenSqlite(FilledSqliteFile());
  sqlite3_stmt* lookup = nullptr;
  sqlite3_prepare_v2(db, "SELECT rowid FROM cellphoneconfig WHERE model = ?", -1, &lookup, nullptr);
  std::mt19937 random(2);
  int found = 0;
  for (auto _ : state) {
    for (int i = 0; i < kSearches; ++i) {
      sqlite3_bind_text(lookup, 1, Rows()[random() % kRows].model.c_str(), -1, SQLITE_STATIC);
      found += sqlite3_step(lookup) == SQLITE_ROW;
      sqlite3_reset(lookup);
    }
  }
  if (found != static_cast<int>(state.iterations()) * kSearches)
    state.SkipWithError("model not found");
  sqlite3_finalize(lookup);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kSearches);
}

BENCHMARK(BM_TessAppend)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_SqliteInsert)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_TessLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TessScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SqliteScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TessSearch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SqliteLookup)->Unit(benchmark::kMillisecond)->UseRealTime();

// Remembers each run's rate so the ratios can be printed after the table.
class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto rate = run.counters.find("items_per_second");
      if (rate != run.counters.end()) rates[run.benchmark_name()] = rate->second;
    }
  }
  std::map<std::string, double> rates;
};

std::string Base(const std::string& name) {
  return name.substr(0, name.find('/'));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::map<std::string, double> rates;
  for (const auto& [name, rate] : reporter.rates) rates[Base(name)] = rate;
  std::printf("\n%-22s %16s %16s %8s\n", "work (100,000 rows)", "TessDB per s", "SQLite per s",
              "ratio");
  const std::pair<const char*, const char*> pairs[] = {{"BM_TessAppend", "BM_SqliteInsert"},
                                                       {"BM_TessScan", "BM_SqliteScan"},
                                                       {"BM_TessSearch", "BM_SqliteLookup"}};
  const char* labels[] = {"append / insert rows", "full scan rows", "index searches"};
  for (size_t i = 0; i < std::size(pairs); ++i) {
    const double ours = rates[pairs[i].first];
    const double anchor = rates[pairs[i].second];
    if (ours > 0 && anchor > 0) {
      std::printf("%-22s %16.0f %16.0f %8.3f\n", labels[i], ours, anchor, ours / anchor);
    }
  }
  if (rates["BM_TessLoad"] > 0) {
    std::printf("%-22s %16.1f ms per load of the whole table\n", "table load",
                1000.0 * kRows / rates["BM_TessLoad"]);
  }
  std::filesystem::remove_all(Folder());
  benchmark::Shutdown();
  return 0;
}
