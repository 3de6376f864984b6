#include "tessdb/core/exceptions.h"

namespace tessdb {

std::string FormatMessage(const std::string& format, const std::string& argument) {
  const auto at = format.find("%s");
  if (at == std::string::npos) return format;
  std::string result = format;
  result.replace(at, 2, argument);
  return result;
}

}  // namespace tessdb
