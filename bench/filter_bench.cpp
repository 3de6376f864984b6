// Filter evaluation speed: each filter is evaluated over the record buffers of a 1000-row table
// and SQLite runs the same predicate as a WHERE over the same rows in memory; the figures are
// rows per second and their ratio. Every evaluation benchmark counts heap allocations inside the
// timed loop and fails when a filter over non-blob fields allocates. Parse cost is measured on
// its own.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/allocation_counter.h"
#include "tessdb/filter/filter_parser.h"
#include "tests/tessdb/filter/test_record_source.h"

namespace {

using tessdb::test::TTestRecordSource;

constexpr int kRows = 1000;
const char* const kVendors[] = {"Nokia",   "Motorola",  "Samsung", "Siemens", "Sony Ericsson",
                                "Alcatel", "Panasonic", "Sagem",   "LG",      "Nokla"};

struct TRow {
  std::string name;
  int value;
  double price;
};

std::vector<TRow> MakeRows() {
  std::vector<TRow> rows;
  for (int i = 0; i < kRows; ++i) rows.push_back({kVendors[i % 10], i % 100, (i % 7) * 1.0});
  return rows;
}

// The rows as record buffers; FilterRecordBuffer() is the selected row, as the dataset loads
// one candidate record after another.
class TBenchTable : public tessdb::TFilterFieldSource {
 public:
  TBenchTable() {
    layout_.AddField("name", tessdb::ftString, 20);
    layout_.AddField("int", tessdb::ftInteger);
    layout_.AddField("price", tessdb::ftFloat);
    layout_.AddField("notes", tessdb::ftMemo);
    for (const TRow& row : MakeRows()) {
      layout_.Clear();
      layout_.SetText("name", row.name);
      layout_.SetInt("int", row.value);
      layout_.SetFloat("price", row.price);
      records_.push_back(layout_.Record());
    }
  }
  void Select(size_t row) { current_ = records_[row].data(); }

  tessdb::TFilterFieldInfo FieldByName(const std::string& name) override {
    return layout_.FieldByName(name);
  }
  tessdb::TFieldSlot FieldSlot(int index) override { return layout_.FieldSlot(index); }
  void BlobText(int index, std::string& text) override { layout_.BlobText(index, text); }
  const uint8_t* FilterRecordBuffer() override { return current_; }

 private:
  TTestRecordSource layout_;
  std::vector<std::vector<uint8_t>> records_;
  const uint8_t* current_ = nullptr;
};

void BM_FilterEvaluate(benchmark::State& state, const char* filter) {
  TBenchTable table;
  tessdb::TFilterParser parser(table);
  parser.Parse(filter);
  uint64_t matches = 0;
  size_t row = 0;
  const uint64_t allocationsBefore = AllocationCount();
  for (auto _ : state) {
    table.Select(row);
    matches += parser.Evaluate(0);
    if (++row == kRows) row = 0;
  }
  const uint64_t allocations = AllocationCount() - allocationsBefore;
  benchmark::DoNotOptimize(matches);
  state.SetItemsProcessed(state.iterations());
  state.counters["allocs/eval"] = static_cast<double>(allocations) / state.iterations();
  if (allocations != 0) state.SkipWithError("evaluation over non-blob fields allocated");
}

void BM_SqliteWhere(benchmark::State& state, const char* where) {
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  sqlite3_exec(
      db, "PRAGMA case_sensitive_like = ON; CREATE TABLE t(name TEXT, int INTEGER, price REAL)",
      nullptr, nullptr, nullptr);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t VALUES (?, ?, ?)", -1, &insert, nullptr);
  for (const TRow& row : MakeRows()) {
    sqlite3_bind_text(insert, 1, row.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 2, row.value);
    sqlite3_bind_double(insert, 3, row.price);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_stmt* query = nullptr;
  const std::string sql = std::string("SELECT count(*) FROM t WHERE ") + where;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &query, nullptr) != SQLITE_OK) {
    state.SkipWithError(sqlite3_errmsg(db));
    sqlite3_close(db);
    return;
  }
  int64_t matches = 0;
  for (auto _ : state) {
    sqlite3_step(query);
    matches += sqlite3_column_int(query, 0);
    sqlite3_reset(query);
  }
  benchmark::DoNotOptimize(matches);
  state.SetItemsProcessed(state.iterations() * kRows);
  sqlite3_finalize(query);
  sqlite3_close(db);
}

void BM_FilterParse(benchmark::State& state) {
  TBenchTable table;
  tessdb::TFilterParser parser(table);
  const std::string filter =
      "name='Nokia' AND (price < 100 OR name LIKE 'N9%') AND int IN (1, 2, 42)";
  for (auto _ : state) parser.Parse(filter);
  state.SetItemsProcessed(state.iterations());
}

// The same filters in both languages.
#define FILTER_PAIR(label, filter, where)              \
  BENCHMARK_CAPTURE(BM_FilterEvaluate, label, filter); \
  BENCHMARK_CAPTURE(BM_SqliteWhere, label, where)

FILTER_PAIR(name_equals, "name='Nokia'", "name='Nokia'");
FILTER_PAIR(name_like, "name LIKE 'No%'", "name LIKE 'No%'");
FILTER_PAIR(three_clause_and, "int >= 10 AND price < 6.0 AND name = 'Nokia'",
            "int >= 10 AND price < 6.0 AND name = 'Nokia'");
BENCHMARK(BM_FilterParse);

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

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-18s %16s %16s %8s\n", "filter", "TessDB rows/s", "SQLite rows/s", "ratio");
  for (const char* label : {"name_equals", "name_like", "three_clause_and"}) {
    const double ours = reporter.rates[std::string("BM_FilterEvaluate/") + label];
    const double anchor = reporter.rates[std::string("BM_SqliteWhere/") + label];
    if (ours > 0 && anchor > 0)
      std::printf("%-18s %16.0f %16.0f %8.2f\n", label, ours, anchor, ours / anchor);
  }
  benchmark::Shutdown();
  return 0;
}
