#include "tessdb/filter/date_string.h"

#include <string>

#include "platform/locale.h"

namespace tessdb {
namespace {

// Month/day/year with "/" and ":" whatever the locale; only the decimal separator of the
// milliseconds and the AM/PM markers follow it.
TDateTimeLayout FixedLayout() {
  const TLocaleSettings& settings = LocaleSettings();
  return {TDateOrder::doMDY,    '/', ':', settings.decimalSeparator, settings.timeAMString,
          settings.timePMString};
}

}  // namespace

bool IsDateString(const TExprNode& node) {
  if (node.kind != enConst || node.dataType != ftString) return false;
  double timeStamp;
  return ScanDateTime(node.Text(), FixedLayout(), timeStamp) ||
         TryStrToDateTime(node.Text(), timeStamp);
}

void ConvertDateString(TExprNode& node, TFieldType type) {
  const std::string text(node.Text());
  const TDateTimeLayout fixed = FixedLayout();
  node.partialLength = -1;
  if (type == ftDate) {
    int32_t dayNumber;
    if (!ScanDate(text, fixed, dayNumber)) dayNumber = StrToDate(text);
    node.dataType = ftDate;
    node.SetScalar(dayNumber);
  } else if (type == ftTime) {
    int32_t ms;
    if (!ScanTime(text, fixed, ms)) ms = StrToTime(text);
    node.dataType = ftTime;
    node.SetScalar(ms);
  } else {
    double timeStamp;
    if (!ScanDateTime(text, fixed, timeStamp)) timeStamp = StrToDateTime(text);
    node.dataType = ftDateTime;
    node.SetScalar(timeStamp);
  }
}

}  // namespace tessdb
