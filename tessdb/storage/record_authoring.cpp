#include "tessdb/storage/record_authoring.h"

#include <algorithm>

#include "tessdb/core/exceptions.h"
#include "tessdb/storage/field_buffers.h"
#include "tessdb/storage/file_io.h"
#include "tessdb/storage/memory_databases.h"
#include "tessdb/storage/table_io.h"

namespace tessdb {

void AppendRecords(TStream& image, const std::string& password, const std::string& tableName,
                   const std::vector<TRecordValues>& records) {
  TMemoryDatabaseRegistration registration(image);
  TTessDBFileIO fileIO;
  fileIO.Open(registration.Name(), mtMemory, false, false);
  if (!fileIO.SetPassword(password)) throw EDatabaseError("Invalid password");
  TTessTableIO table(fileIO, tableName);
  table.Open();
  const TTessFieldDefs& fields = table.FieldDefs();
  TFieldBuffers buffers;
  for (int f = 0; f < fields.Count(); ++f) {
    buffers.AddOwned(static_cast<TFieldType>(fields[f].typeCode), table.FieldSize(f));
  }
  for (const TRecordValues& record : records) {
    for (int f = 0; f < fields.Count(); ++f) {
      TFieldBufferItem& item = buffers[f];
      const std::string value =
          static_cast<size_t>(f) < record.size() ? record[static_cast<size_t>(f)] : std::string();
      if (item.IsBlob() || IsStringType(item.Type())) {
        item.SetText(value);
        continue;
      }
      std::fill_n(item.Buffer(), item.Size(), uint8_t{0});
      std::copy_n(value.data(), std::min(value.size(), static_cast<size_t>(item.Size())),
                  item.Buffer());
    }
    table.AppendRecord(buffers, false, nullptr);
  }
  table.Close();
}

}  // namespace tessdb
