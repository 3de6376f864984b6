// A database with one table, held in memory, opened through the engine, for the table-level tests:
// the image is built by the authoring module, the table is read and changed by TTessTableIO.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tessdb/core/stream.h"
#include "tessdb/storage/database_authoring.h"
#include "tessdb/storage/field_buffers.h"
#include "tessdb/storage/file_io.h"
#include "tessdb/storage/memory_databases.h"
#include "tessdb/storage/record_authoring.h"
#include "tessdb/storage/table_io.h"

namespace tessdb::testing {

inline TFieldEntry MakeField(const std::string& name, int type, int32_t size = 0,
                             bool processed = true) {
  TFieldEntry field;
  field.name = name;
  field.typeCode = static_cast<uint8_t>(type);
  field.declaredSize = size;
  field.processMode = processed ? 0 : 1;
  return field;
}

inline TIndexEntry MakeIndex(const std::string& name, uint8_t options, TIntegerAry keyFields) {
  TIndexEntry index;
  index.name = name;
  index.options = options;
  index.keyFields = std::move(keyFields);
  return index;
}

// Owned field buffers shaped for a table's fields.
inline std::unique_ptr<TFieldBuffers> NewBuffers(const TTessTableIO& table) {
  auto buffers = std::make_unique<TFieldBuffers>();
  for (int f = 0; f < table.FieldDefs().Count(); ++f) {
    buffers->AddOwned(static_cast<TFieldType>(table.FieldDefs()[f].typeCode), table.FieldSize(f));
  }
  return buffers;
}

// Fills buffers with record values as AppendRecords takes them.
inline void SetValues(TFieldBuffers& buffers, const TRecordValues& values) {
  for (int f = 0; f < buffers.Count(); ++f) {
    TFieldBufferItem& item = buffers[f];
    const std::string value =
        static_cast<size_t>(f) < values.size() ? values[static_cast<size_t>(f)] : "";
    if (item.IsBlob() || IsStringType(item.Type())) {
      item.SetText(value);
    } else {
      std::memset(item.Buffer(), 0, static_cast<size_t>(item.Size()));
      std::memcpy(item.Buffer(), value.data(),
                  std::min(value.size(), static_cast<size_t>(item.Size())));
    }
  }
}

class TableFixture {
 public:
  TableFixture(const TNewDatabase& settings, const TTableDefinition& table) {
    CreateDatabase(image_, settings);
    AddTable(image_, table);
    password_ = settings.password;
    tableName_ = table.name;
  }
  ~TableFixture() { CloseTable(); }

  TStream& Image() { return image_; }
  std::string Bytes() { return image_.ToString(); }

  // Opens (once) the file object and the table over the image.
  TTessTableIO& Table() {
    if (!table_) {
      registration_ = std::make_unique<TMemoryDatabaseRegistration>(image_);
      fileIO_ = std::make_unique<TTessDBFileIO>();
      fileIO_->Open(registration_->Name(), mtMemory, false, false);
      fileIO_->SetPassword(password_);
      table_ = std::make_unique<TTessTableIO>(*fileIO_, tableName_);
      table_->Open();
    }
    return *table_;
  }
  TTessDBFileIO& FileIO() {
    Table();
    return *fileIO_;
  }
  void CloseTable() {
    table_.reset();
    fileIO_.reset();
    registration_.reset();
  }
  // A second, independent view of the same image: what a fresh reader of the file sees.
  std::unique_ptr<TTessTableIO> Reopen(std::unique_ptr<TTessDBFileIO>& fileIO) {
    fileIO = std::make_unique<TTessDBFileIO>();
    fileIO->Open(RegisterMemoryDatabase(image_), mtMemory, false, false);
    fileIO->SetPassword(password_);
    auto table = std::make_unique<TTessTableIO>(*fileIO, tableName_);
    table->Open();
    return table;
  }

  void Append(const TRecordValues& values) {
    auto buffers = NewBuffers(Table());
    SetValues(*buffers, values);
    Table().AppendRecord(*buffers, false, nullptr);
  }

  // Reads the record at position of list listNo; field f's value as bytes (strings and blobs as
  // text up to their first NUL for strings, whole content for blobs).
  std::vector<std::string> Read(int listNo, int position) {
    auto buffers = NewBuffers(Table());
    Table().ReadRecord(*buffers, Table().GetList(listNo), position);
    std::vector<std::string> values;
    for (int f = 0; f < buffers->Count(); ++f) {
      TFieldBufferItem& item = (*buffers)[f];
      if (item.IsBlob()) {
        values.push_back(item.Blob()->Content().ToString());
      } else if (IsStringType(item.Type())) {
        values.push_back(item.Text());
      } else {
        values.emplace_back(reinterpret_cast<const char*>(item.Buffer()),
                            static_cast<size_t>(item.Size()));
      }
    }
    return values;
  }

  // Text of field f of every record in list listNo, in list order.
  std::vector<std::string> Column(int listNo, int f) {
    std::vector<std::string> texts;
    for (int p = 0; p < static_cast<int>(Table().GetList(listNo).size()); ++p) {
      texts.push_back(Read(listNo, p)[static_cast<size_t>(f)]);
    }
    return texts;
  }

 private:
  TMemoryStream image_;
  std::string password_;
  std::string tableName_;
  std::unique_ptr<TMemoryDatabaseRegistration> registration_;
  std::unique_ptr<TTessDBFileIO> fileIO_;
  std::unique_ptr<TTessTableIO> table_;
};

}  // namespace tessdb::testing
