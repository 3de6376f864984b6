// Field values as the tool's texts, the forms `import` reads and `dump` and `find` write:
// integers in decimal, floats with '.', Booleans "True"/"False" (read in any case, or 1/0), dates
// "YYYY-MM-DD", times "HH:MM:SS[.zzz]", date-times "YYYY-MM-DD HH:MM:SS[.zzz]", blob and memo
// fields in base64, text fields as their bytes. Independent of the user's locale.
#pragma once

#include <string>

#include "tessdb/access/field.h"

namespace tessdb_tool {

// The current record's value of field.
std::string FieldText(const tessdb::TField& field);
// Writes text into field (the dataset in insert or edit state); an empty text leaves the field's
// value as it is. A text that is no value of the field's type raises EConvertError.
void SetFieldText(tessdb::TField& field, const std::string& text);
// The text as a value the engine's Locate accepts for field (its AsString form).
std::string LocateText(const tessdb::TField& field, const std::string& text);

std::string Base64Encode(const std::string& bytes);
// Raises EConvertError for a text that is not base64.
std::string Base64Decode(const std::string& text);

}  // namespace tessdb_tool
