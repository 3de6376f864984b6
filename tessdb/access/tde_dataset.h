// TTDEDataSet: the TessDB dataset layer that owns the record buffers, the filter and the search.
//
// It lays records out (RecordDataSize, FieldOffsets per field number), allocates record and key
// buffers, gives a new record its initial values, moves field values between the field objects
// and the buffer of the current state, and keeps the cursor (CurrentPosition: -1 before the
// first record, RecordCount after the last). It holds the filter (Filter, Filtered,
// FilterOptions, OnFilterRecord) and runs FindFirst/FindNext/FindRecord over the records that
// the derived table reads (ReadRecordAt). It is the field source of its filter parser
// (FieldSource()): field references in a filter read the filter record buffer.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tessdb/access/tdb_dataset.h"
#include "tessdb/core/filter_options.h"
#include "tessdb/filter/field_source.h"
#include "tessdb/filter/filter_parser.h"
#include "tessdb/storage/file_io.h"

namespace tessdb {

class TTDEDataSet : public TTDBDataSet {
 public:
  using TFilterRecordEvent = std::function<void(TDataSet& dataSet, bool& accept)>;

  explicit TTDEDataSet(TComponent* owner = nullptr);
  ~TTDEDataSet() override;

  TTessDBMediumType MediumType() const { return mediumType_; }
  void SetMediumType(TTessDBMediumType mediumType);

  const std::string& Filter() const { return filter_; }
  // On an open dataset the text is parsed first (errors leave the old filter in force).
  void SetFilter(const std::string& filter);
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool filtered);
  TFilterOptions FilterOptions() const { return filterOptions_; }
  void SetFilterOptions(TFilterOptions options);
  TFilterRecordEvent OnFilterRecord;

  // Searches the view for the next record passing the filter expression (whether or not
  // Filtered is set); "Record not found" on an empty view.
  bool FindFirst() { return FindRecord(true, true); }
  bool FindNext() { return FindRecord(false, true); }
  bool FindLast() { return FindRecord(true, false); }
  bool FindPrior() { return FindRecord(false, false); }
  virtual bool FindRecord(bool restart, bool goForward);
  bool Found() const { return found_; }

  int CurrentPosition() const { return currentPosition_; }
  int32_t RecordDataSize() const { return recordDataSize_; }

  bool CanModify() const override;

  // Field values in the buffer of the current state.
  bool GetFieldData(const TField& field, void* buffer) override;
  void SetFieldData(TField& field, const void* buffer) override;
  std::string GetBlobText(const TField& field) override;
  void SetBlobText(TField& field, const std::string& text) override;
  // The buffer field values go to and come from in the current state, or nullptr.
  virtual TRecordBuffer* GetActiveRecordBuffer();

  // The filter parser's view of the fields: field lookup, slots of the record layout, blob
  // texts, and the filter record buffer.
  TFilterFieldSource& FieldSource() { return *fieldSource_; }

 protected:
  friend class TTessBlobStream;
  friend class TTessDatabase;

  virtual void ActivateFilter() = 0;
  virtual void DeactivateFilter() = 0;
  // Fills buffer with the record at position of the view; other positions leave it untouched.
  virtual void ReadRecordAt(TRecordBuffer& buffer, int position) = 0;
  // Makes CurrentPosition agree with the record in the active buffer.
  virtual void SyncCursor() {}

  // After the fields exist: computes the layout and allocates the key buffers.
  void PrepareBuffers(int storedFieldCount);
  void FreeBuffers();
  std::unique_ptr<TRecordBuffer> AllocRecordBuffer() override;
  void InternalInitRecord(TRecordBuffer& buffer) override;
  // The field with that field number, or nullptr.
  TField* FieldOfNumber(int fieldNo) const;
  // OnFilterRecord, then the parsed expression, on the record in the filter buffer.
  bool TestRecord();
  // Enters / leaves the filter state with the filter buffer.
  void BeginFilterState(TRecordBuffer& buffer);
  void EndFilterState(TDataSetState previous);

  TTessDBMediumType mediumType_ = mtDisk;
  int currentPosition_ = -1;
  int32_t recordDataSize_ = 0;
  std::vector<int32_t> fieldOffsets_;  // by field number - 1; -1 for blob fields
  std::vector<bool> blobFields_;       // by field number - 1
  std::array<std::unique_ptr<TRecordBuffer>, 4> keyBuffers_;
  TRecordBuffer* keyBuffer_ = nullptr;
  TRecordBuffer* filterBuffer_ = nullptr;
  bool canModify_ = false;
  std::unique_ptr<TFilterFieldSource> fieldSource_;
  std::unique_ptr<TFilterParser> parser_;
  bool found_ = false;

 private:
  void ApplyFilterChange(const std::string& filter, TFilterOptions options);

  std::string filter_;
  bool filtered_ = false;
  TFilterOptions filterOptions_ = 0;
};

}  // namespace tessdb
