// Fuzz target: arbitrary filter texts against the test record, evaluated when they parse.
// The first input byte picks the evaluation's record and locale; the rest is the filter text.
// Bit 0: the record bytes come from the input itself (a damaged record: texts without NUL, NaN
// dates); bit 1: a ',' decimal separator and day-month-year locale dates.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/locale.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/filter/filter_parser.h"
#include "tests/tessdb/filter/test_record_source.h"

namespace {

using tessdb::test::TTestRecordSource;

void LoadRecord(TTestRecordSource& source, const std::string& bytes, bool damaged) {
  source.Clear();
  source.SetText("name", "Nokia");
  source.SetText("code", "N95");
  source.SetInt("small", -3);
  source.SetInt("int", 42);
  source.SetInt("word", 65535);
  source.SetBool("flag", true);
  source.SetFloat("price", 2.5);
  source.SetFloat("cost", 10.25);
  source.SetDate("day", 2004, 3, 15);
  source.SetTime("at", 13, 45, 30);
  source.SetDateTime("stamp", 2004, 3, 15, 13, 45, 30);
  source.SetInt("id", 7);
  source.SetInt("big", 5000000000);
  source.SetText("notes", "  Memo  ");
  source.SetText("data", bytes);
  if (damaged && !bytes.empty()) {
    auto& record = source.Record();
    for (size_t i = 0; i < record.size(); ++i)
      record[i] = static_cast<uint8_t>(bytes[i % bytes.size()]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TTestRecordSource source = TTestRecordSource::WithEveryType();
  if (size == 0) return 0;
  const uint8_t control = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  tessdb::TLocaleSettings settings;
  settings.currentYear = 2026;
  if (control & 2) {
    settings.decimalSeparator = ',';
    settings.dateOrder = tessdb::TDateOrder::doDMY;
    settings.dateSeparator = '.';
  }
  tessdb::SetLocaleSettings(settings);
  LoadRecord(source, text, (control & 1) != 0);

  tessdb::TFilterParser parser(source);
  try {
    parser.Parse(text);
  } catch (const tessdb::Exception&) {
    return 0;
  }
  for (tessdb::TFilterOptions options = 0; options < 4; ++options) {
    try {
      parser.Evaluate(options);
    } catch (const tessdb::Exception&) {
    }
  }
  return 0;
}
