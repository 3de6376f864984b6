// TTessTable: the dataset through which a program reads and changes one table of a TessDB
// database.
//
// Open binds to the database by name (through TTDBDataSet), opens the table's TTessTableIO, makes
// one field per stored field, selects the index named IndexName (without regard to case; an
// unknown or empty name selects the primary index, and a table without one shows physical
// order) and copies that order into its view (ViewList). The cursor walks the view; bookmarks
// are record numbers. A filtered view, a master range, and the record changes (post, delete)
// keep the view and the cursor right as the change notifications of the table level arrive.
//
// Filtering and searching (table_filter.cpp): Filtered views built record by record with
// OnFilterProgress, FindFirst/FindNext over the view, Locate/Lookup by key fields (through an
// index whose fields are exactly the key fields, else by a scan). Master/detail (table_range.cpp):
// with MasterSource and MasterFields the view is the range of the current index whose leading
// key fields equal the master record's fields. Editing (table_editing.cpp).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tessdb/access/tde_dataset.h"
#include "tessdb/storage/record_list.h"
#include "tessdb/storage/table_io.h"

namespace tessdb {

struct TFieldDef {
  std::string name;
  TFieldType dataType = ftUnknown;
  int32_t size = 0;  // declared size of string types, 0 for the others
  bool required = false;
};

struct TIndexDef {
  std::string name;
  std::string fields;   // the key field names as comma text: "a,b"
  uint8_t options = 0;  // tiPrimary | tiUnique | tiDescending | tiCaseInsensitive
};

// Options of Locate: bit 0 case-insensitive, bit 1 partial key.
enum TLocateOption : uint8_t { loCaseInsensitive = 1 << 0, loPartialKey = 1 << 1 };
using TLocateOptions = uint8_t;

class TTessTable : public TTDEDataSet {
 public:
  using TProgressEvent = std::function<void(TTessTable& sender, int percent)>;

  explicit TTessTable(TComponent* owner = nullptr);
  ~TTessTable() override;

  // Also empties TableName and IndexName, even when the name is unchanged.
  void SetDatabaseName(const std::string& name) override;
  const std::string& TableName() const { return tableName_; }
  void SetTableName(const std::string& name);
  const std::string& IndexName() const { return indexName_; }
  // On an open table: selects the index again, reloads the view, re-applies a master range, First.
  void SetIndexName(const std::string& name);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  const std::vector<TFieldDef>& FieldDefs() const { return fieldDefs_; }
  const std::vector<TIndexDef>& IndexDefs() const { return indexDefs_; }
  // The index in use (position in IndexDefs), -1 for physical order.
  int IndexNumber() const { return indexNumber_; }

  int RecordCount() const override { return static_cast<int>(viewList_.size()); }
  int RecNo() const override;
  void SetRecNo(int recNo) override;
  void GotoBookmark(TBookmark bookmark) override { TDataSet::GotoBookmark(bookmark); }
  bool CanModify() const override;

  // Locate: makes the first record whose key fields (names separated by ";") equal the values
  // current; Lookup: the result fields' texts of that record without moving the cursor, or
  // nullopt.
  bool Locate(const std::string& keyFields, const std::vector<std::string>& keyValues,
              TLocateOptions options = 0);
  std::optional<std::vector<std::string>> Lookup(const std::string& keyFields,
                                                 const std::vector<std::string>& keyValues,
                                                 const std::string& resultFields);

  TDataSource* MasterSource() const { return masterLink_.DataSource(); }
  // "Circular datalinks are not allowed" when the master leads back to this table.
  void SetMasterSource(TDataSource* source);
  const std::string& MasterFields() const { return masterFields_; }
  void SetMasterFields(const std::string& fields);
  bool RangeActive() const { return rangeActive_; }
  bool IsLinkedTo(const TDataSet& dataSet) const override;

  TProgressEvent OnFilterProgress;

  // The view: (data position, record number) per record shown, in order.
  const TRecordList& ViewList() const { return viewList_; }
  TTessTableIO* TableIO() const { return tableIO_; }
  // Another process changed the table and the table level reloaded it: rebuild the view, keeping
  // the current record where it still shows.
  void TableReloaded();

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  void OpenCompleted() override;
  void InternalFirst() override { currentPosition_ = -1; }
  void InternalLast() override { currentPosition_ = RecordCount(); }
  TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) override;
  void InternalPost() override;
  void InternalDelete() override;
  void InternalRefresh() override;
  void InternalGotoBookmark(TBookmark bookmark) override;
  void InternalSetToRecord(TRecordBuffer& buffer) override;
  void ReadRecordAt(TRecordBuffer& buffer, int position) override;
  void SyncCursor() override;
  void ActivateFilter() override;
  void DeactivateFilter() override;

 private:
  class TMasterLink : public TDataLink {
   public:
    explicit TMasterLink(TTessTable& table) : table_(table) {}
    void DataEvent(TDataEvent event, TField* field) override;

   private:
    TTessTable& table_;
  };

  // The table-level description of a buffer (built once per buffer).
  TFieldBuffers& DescribeBuffer(TRecordBuffer& buffer);
  void SelectIndex();
  // Copies list IndexNumber + 1 (0 for physical order) of the table into the view.
  void LoadView();
  void ReloadAndFirst();
  // Position of the record number in the view, or -1.
  int ViewPositionOf(int32_t recordNo) const;
  std::vector<TField*> FieldList(const std::string& names) const;
  // LocateRecord: the view position of the match (read into buffer), or -1.
  int LocateRecord(const std::vector<TField*>& keyFields, const std::vector<std::string>& values,
                   TLocateOptions options, TRecordBuffer& buffer);
  // Master/detail.
  void MasterChanged();
  void MasterDisabled();
  // Change notifications of the table level.
  void AppendNotification(int indexNo, int position, const TRecordListItem& item);
  void ModifyNotification(int indexNo, int oldPosition, int newPosition);
  // The position a record with the buffer's key values goes to in the view.
  int ViewInsertPosition(TRecordBuffer& buffer);
  // Filter steps without the final First; the range steps likewise.
  void BuildFilteredView();
  void ComputeRange(bool overView);
  TRecordBuffer& SpareBuffer();

  std::string tableName_;
  std::string indexName_;
  bool readOnly_ = false;
  std::vector<TFieldDef> fieldDefs_;
  std::vector<TIndexDef> indexDefs_;
  std::string masterFields_;
  TMasterLink masterLink_{*this};
  TTessTableIO* tableIO_ = nullptr;
  TRecordList viewList_;
  int indexNumber_ = -1;
  bool rangeActive_ = false;
  int rangeFieldCount_ = 0;
  std::unique_ptr<TRecordBuffer> searchBuffer_;
};

}  // namespace tessdb
