// TTessTable: master/detail ranges.
#include <vector>

#include "tessdb/access/tess_table.h"
#include "tessdb/core/exceptions.h"

namespace tessdb {

void TTessTable::TMasterLink::DataEvent(TDataEvent event, TField*) {
  switch (event) {
    case TDataEvent::deDataSetChange:
    case TDataEvent::deDataSetScroll:
    case TDataEvent::deActiveChange:
      table_.MasterChanged();
      break;
    default:
      break;
  }
}

bool TTessTable::IsLinkedTo(const TDataSet& dataSet) const {
  const TDataSource* source = masterLink_.DataSource();
  const TDataSet* master = source != nullptr ? source->DataSet() : nullptr;
  if (master == nullptr) return false;
  return master == &dataSet || master->IsLinkedTo(dataSet);
}

void TTessTable::SetMasterSource(TDataSource* source) {
  if (source != nullptr && source->DataSet() != nullptr &&
      (source->DataSet() == this || source->DataSet()->IsLinkedTo(*this))) {
    DatabaseError("Circular datalinks are not allowed");
  }
  masterLink_.SetDataSource(source);
}

void TTessTable::SetMasterFields(const std::string& fields) {
  masterFields_ = fields;
  MasterChanged();
}

void TTessTable::MasterChanged() {
  if (!Active() || State() != dsBrowse) return;
  TDataSet* master = masterLink_.ActiveDataSet();
  if (master != nullptr && !masterFields_.empty()) {
    // Without an index there is nothing to take a range from: the detail stays as it is.
    if (master->State() != dsBrowse || indexNumber_ < 0) return;
    ComputeRange(false);
    currentPosition_ = -1;
    First();
  } else if (rangeActive_) {
    MasterDisabled();
  }
}

void TTessTable::MasterDisabled() {
  SelectIndex();
  LoadView();
  currentPosition_ = -1;
  rangeActive_ = false;
  rangeFieldCount_ = 0;
  if (Filtered()) BuildFilteredView();
  First();
}

void TTessTable::ComputeRange(bool overView) {
  if (indexNumber_ < 0) {
    if (overView) DatabaseError("No index currently active");
    return;
  }
  TDataSet* master = masterLink_.ActiveDataSet();
  const TTessIndexDef& index = tableIO_->IndexDefs()[indexNumber_];
  if (!overView) {
    if (master == nullptr) return;
    if (Filtered()) SetFiltered(false);
    std::vector<TField*> masterFields;
    for (const std::string& name : [&] {
           std::vector<std::string> names;
           std::string current;
           for (const char c : masterFields_ + ";") {
             if (c == ';') {
               if (!current.empty()) names.push_back(current);
               current.clear();
             } else if (c != ' ') {
               current += c;
             }
           }
           return names;
         }()) {
      masterFields.push_back(&master->FieldByName(name));
    }
    const TDataSetState previous = State();
    SetState(dsSetKey);
    try {
      const size_t count = std::min(masterFields.size(), index.keyFields.size());
      for (const int k : {1, 2}) {
        TRecordBuffer& key = *keyBuffers_[static_cast<size_t>(k)];
        InternalInitRecord(key);
        keyBuffer_ = &key;
        for (size_t i = 0; i < count; ++i) {
          TField* detail = FieldOfNumber(index.keyFields[i] + 1);
          if (detail == nullptr) continue;
          const TField& from = *masterFields[i];
          if (from.DataType() == detail->DataType() && !detail->IsBlob()) {
            std::vector<uint8_t> bytes(static_cast<size_t>(detail->DataSize()) + 8, 0);
            if (from.GetData(bytes.data())) detail->SetData(bytes.data());
          } else {
            detail->SetAsString(from.AsString());
          }
        }
      }
      rangeFieldCount_ = static_cast<int>(count);
    } catch (...) {
      keyBuffer_ = keyBuffers_[0].get();
      SetState(previous);
      throw;
    }
    keyBuffer_ = keyBuffers_[0].get();
    SetState(previous);
  }
  const TRecordList list = overView ? viewList_ : tableIO_->GetList(indexNumber_ + 1);
  const TSearchResult low = tableIO_->SearchIndexBound(DescribeBuffer(*keyBuffers_[1]), list, false,
                                                       rangeFieldCount_, true, indexNumber_);
  const TSearchResult high = tableIO_->SearchIndexBound(
      DescribeBuffer(*keyBuffers_[2]), list, false, rangeFieldCount_, false, indexNumber_);
  if (low.outcome == -2 || high.outcome == -2) return;
  const int from = low.position + (low.outcome == 1 ? 1 : 0);
  const int to = high.position - (high.outcome == -1 ? 1 : 0);
  viewList_.clear();
  if (from <= to) viewList_.assign(list.begin() + from, list.begin() + to + 1);
  rangeActive_ = true;
}

}  // namespace tessdb
