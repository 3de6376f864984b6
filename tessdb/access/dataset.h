// TDataSet: the dataset base the TessDB datasets build on, standing for the toolkit's generic
// one. It runs the states (inactive, browse, edit, insert and the temporary set-key, filter and
// calculated-field states), the order of before/after events, the field objects, navigation with
// Bof/Eof, and the editing cycle; a derived class supplies the records through the protected
// contract below.
//
// The toolkit keeps a window of record buffers around the cursor; this base keeps a window of one
// record, which gives the same observable results: First puts Bof (and Eof when empty), Next at
// the last record keeps the cursor and sets Eof, Last puts Eof, and any repositioning around a
// record (Resync) clears both. Events are std::function members fired only when set.
//
// Errors carry the dataset's name in front ("<Name>: <text>") when it has one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tessdb/access/component.h"
#include "tessdb/access/data_source.h"
#include "tessdb/access/field.h"
#include "tessdb/access/record_buffer.h"

namespace tessdb {

enum TDataSetState {
  dsInactive,
  dsBrowse,
  dsEdit,
  dsInsert,
  dsSetKey,
  dsCalcFields,
  dsFilter,
  dsNewValue,
  dsOpening,
};

enum class TGetMode { gmCurrent, gmNext, gmPrior };
enum class TGetResult { grOK, grBOF, grEOF, grError };

using TBookmark = int32_t;

class TDataSet : public TComponent {
 public:
  using TDataSetNotifyEvent = std::function<void(TDataSet& dataSet)>;

  explicit TDataSet(TComponent* owner = nullptr);
  ~TDataSet() override;

  bool Active() const { return state_ != dsInactive && state_ != dsOpening; }
  void SetActive(bool active);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return state_; }

  void First();
  void Last();
  void Next();
  void Prior();
  // Repeated Next (n > 0) or Prior (n < 0) stopping at the ends; returns the distance moved.
  int MoveBy(int distance);
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  bool IsEmpty() const { return !hasRecord_; }
  virtual int RecordCount() const = 0;
  virtual int RecNo() const { return -1; }
  virtual void SetRecNo(int) {}

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  TField& Fields(int index) const { return *fields_[static_cast<size_t>(index)]; }
  // "Field '%s' not found" (with the dataset's name) for an unknown name.
  TField& FieldByName(const std::string& name) const;
  TField* FindField(const std::string& name) const;

  virtual TBookmark GetBookmark() const;
  virtual void GotoBookmark(TBookmark bookmark);
  virtual bool BookmarkValid(TBookmark bookmark) const;

  // Editing; refused with "Cannot modify a read-only dataset" unless CanModify.
  virtual bool CanModify() const { return false; }
  void Insert();
  void Append();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // A whole new record from texts, one per field in field order (missing ones keep their initial
  // values): in append mode after the last record.
  void AppendRecord(const std::vector<std::string>& values) { AddRecord(values, true); }
  void InsertRecord(const std::vector<std::string>& values) { AddRecord(values, false); }
  void Refresh();
  // Posts a modified edit or insert (cancels an unmodified one); ends set-key state.
  void CheckBrowseMode();
  bool Modified() const { return modified_; }

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeScroll, AfterScroll,
      BeforeRefresh, AfterRefresh, BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost,
      AfterPost, BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, OnNewRecord;

  // Field access for TField: the value's stored bytes in the buffer of the current state.
  virtual bool GetFieldData(const TField& field, void* buffer) = 0;
  virtual void SetFieldData(TField& field, const void* buffer) = 0;
  // Blob and memo values of the current buffer as bytes.
  virtual std::string GetBlobText(const TField& field) = 0;
  virtual void SetBlobText(TField& field, const std::string& text) = 0;

  // Sends the event to the data sources of this dataset (and so to their links).
  void DataEvent(TDataEvent event, TField* field = nullptr);
  void AddDataSource(TDataSource& source);
  void RemoveDataSource(TDataSource& source);
  // True when the dataset's master link leads back to dataSet.
  virtual bool IsLinkedTo(const TDataSet& dataSet) const;

 protected:
  // Opens the cursor and creates the fields (AddField); on failure the base calls InternalClose.
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  // Runs after the first record is fetched, before AfterOpen.
  virtual void OpenCompleted() {}
  // Cursor before the first record / after the last one.
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  virtual TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) = 0;
  virtual std::unique_ptr<TRecordBuffer> AllocRecordBuffer() = 0;
  virtual void InternalInitRecord(TRecordBuffer& buffer) = 0;
  virtual void InternalPost() = 0;
  virtual void InternalDelete() = 0;
  virtual void InternalRefresh() = 0;
  // Makes the record with that bookmark the cursor's ("Bookmark not found").
  virtual void InternalGotoBookmark(TBookmark bookmark) = 0;
  // Makes the cursor agree with the record in the active buffer.
  virtual void InternalSetToRecord(TRecordBuffer&) {}

  void AddField(std::unique_ptr<TField> field);
  void DestroyFields() { fields_.clear(); }
  void SetState(TDataSetState state);
  void CheckActive() const;
  void CheckInactive() const;
  void CheckCanModify() const;
  // The current record's buffer (browse/edit/insert), or nullptr in an empty view.
  TRecordBuffer* ActiveBuffer() const { return hasRecord_ ? activeBuffer_.get() : nullptr; }
  TRecordBuffer& WorkBuffer() const { return *activeBuffer_; }
  // Fills the active buffer with the cursor's record. exact: "Record not found" when there is
  // none; otherwise falls back to the next, then the prior record, then an empty window.
  void Resync(bool exact);
  void DoBeforeScroll();
  void DoAfterScroll();
  void ClearWindow();
  void SetModified(bool modified) { modified_ = modified; }

 private:
  void OpenCursor();
  void CloseCursor();
  void AddRecord(const std::vector<std::string>& values, bool append);
  void BeginInsert(bool append);
  // Fetches into the active buffer; true on success.
  bool Fetch(TGetMode mode, bool doCheck);

  TDataSetState state_ = dsInactive;
  std::vector<std::unique_ptr<TField>> fields_;
  std::unique_ptr<TRecordBuffer> activeBuffer_;
  std::vector<TDataSource*> dataSources_;
  bool hasRecord_ = false;
  bool bof_ = true;
  bool eof_ = true;
  bool modified_ = false;
};

constexpr char kRecordNotFound[] = "Record not found";

}  // namespace tessdb
