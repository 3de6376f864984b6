// TTessTable: filtered views, Locate and Lookup.
#include <cstdint>

#include "tessdb/access/database.h"
#include "tessdb/access/program_hooks.h"
#include "tessdb/access/session.h"
#include "tessdb/access/tess_table.h"
#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

std::vector<std::string> SplitNames(const std::string& names) {
  std::vector<std::string> list;
  std::string current;
  for (const char c : names) {
    if (c == ';') {
      list.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  list.push_back(current);
  for (std::string& name : list) {
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    while (!name.empty() && name.back() == ' ') name.pop_back();
  }
  return list;
}

bool IsTextKey(TFieldType type) {
  return type == ftString || type == ftFixedChar || type == ftWideString;
}

}  // namespace

void TTessTable::BuildFilteredView() {
  const bool hourGlass = Database() != nullptr && Database()->Session().SQLHourGlass();
  const TDataSetState previous = State();
  if (hourGlass) ShowBusyCursor(true);
  try {
    if (!Filter().empty()) parser_->Parse(Filter());
    BeginFilterState(SpareBuffer());
    const int count = RecordCount();
    TRecordList passed;
    passed.reserve(viewList_.size());
    for (int i = 0; i < count; ++i) {
      currentPosition_ = i;
      ReadRecordAt(*filterBuffer_, i);
      if (TestRecord()) passed.push_back(viewList_[static_cast<size_t>(i)]);
      if (OnFilterProgress) {
        OnFilterProgress(*this, static_cast<int>(static_cast<int64_t>(i) * 100 / count));
      }
    }
    if (passed.size() != viewList_.size()) viewList_ = std::move(passed);
  } catch (...) {
    if (hourGlass) ShowBusyCursor(false);
    if (State() == dsFilter) EndFilterState(previous);
    currentPosition_ = -1;
    throw;
  }
  if (hourGlass) ShowBusyCursor(false);
  if (State() == dsFilter) EndFilterState(previous);
  currentPosition_ = -1;
}

void TTessTable::ActivateFilter() {
  try {
    BuildFilteredView();
  } catch (...) {
    try {
      First();
    } catch (...) {
    }
    throw;
  }
  First();
}

void TTessTable::DeactivateFilter() {
  SelectIndex();
  LoadView();
  // A master range stays in force: dropping the filter must not show records outside it.
  if (rangeActive_) ComputeRange(true);
  currentPosition_ = -1;
  First();
}

std::vector<TField*> TTessTable::FieldList(const std::string& names) const {
  std::vector<TField*> fields;
  for (const std::string& name : SplitNames(names)) fields.push_back(&FieldByName(name));
  return fields;
}

int TTessTable::LocateRecord(const std::vector<TField*>& keyFields,
                             const std::vector<std::string>& values, TLocateOptions options,
                             TRecordBuffer& buffer) {
  CheckBrowseMode();
  const bool caseInsensitive = (options & loCaseInsensitive) != 0;
  const bool partial = (options & loPartialKey) != 0;
  InternalInitRecord(buffer);
  const TDataSetState previous = State();
  BeginFilterState(buffer);
  int match = -1;
  try {
    bool textKey = false;
    for (size_t i = 0; i < keyFields.size(); ++i) {
      const std::string value = i < values.size() ? values[i] : std::string();
      keyFields[i]->SetAsString(value);
      textKey = textKey || IsTextKey(keyFields[i]->DataType());
    }
    // An index whose fields are exactly the key fields, in order (and, for text keys, whose
    // case rule matches the search's).
    int indexNo = -1;
    const TTessIndexDefs& indexes = tableIO_->IndexDefs();
    for (int i = 0; i < indexes.Count() && indexNo < 0; ++i) {
      const bool indexCaseInsensitive = (indexes[i].options & tiCaseInsensitive) != 0;
      if (textKey && indexCaseInsensitive != caseInsensitive) continue;
      if (indexes[i].keyFields.size() != keyFields.size()) continue;
      bool same = true;
      for (size_t k = 0; k < keyFields.size(); ++k) {
        same = same && indexes[i].keyFields[k] == keyFields[k]->FieldNo() - 1;
      }
      if (same) indexNo = i;
    }
    if (indexNo >= 0) {
      tableIO_->BuildList(indexNo + 1, false);
      const TRecordList& list = tableIO_->GetList(indexNo + 1);
      const TSearchResult found = tableIO_->SearchIndex(
          DescribeBuffer(buffer), list, partial, static_cast<int>(keyFields.size()), indexNo);
      if (found.outcome == 0) {
        const int position = ViewPositionOf(list[static_cast<size_t>(found.position)].recordNo);
        if (position >= 0 && position < RecordCount()) match = position;
      }
    } else {
      TMemoryStream stored;
      for (int p = 0; p < RecordCount() && match < 0; ++p) {
        bool equal = true;
        for (const TField* field : keyFields) {
          tableIO_->ReadFieldValue(stored, viewList_[static_cast<size_t>(p)].recordNo,
                                   field->FieldNo() - 1);
          const uint8_t* key;
          size_t keySize;
          std::string blobKey;
          if (field->IsBlob()) {
            blobKey = GetBlobText(*field);
            key = reinterpret_cast<const uint8_t*>(blobKey.c_str());
            keySize = blobKey.size() + 1;
          } else {
            key = buffer.Data() + fieldOffsets_[static_cast<size_t>(field->FieldNo() - 1)];
            keySize = static_cast<size_t>(field->DataSize());
          }
          if (TTessTableIO::CompareValue(key, keySize, stored.Memory(),
                                         static_cast<size_t>(stored.Size()), partial,
                                         caseInsensitive, field->DataType()) != 0) {
            equal = false;
            break;
          }
        }
        if (equal) match = p;
      }
    }
    if (match >= 0) {
      ReadRecordAt(buffer, match);
      buffer.bookmark = viewList_[static_cast<size_t>(match)].recordNo;
    }
  } catch (...) {
    EndFilterState(previous);
    throw;
  }
  EndFilterState(previous);
  return match;
}

bool TTessTable::Locate(const std::string& keyFields, const std::vector<std::string>& keyValues,
                        TLocateOptions options) {
  CheckActive();
  const std::vector<TField*> fields = FieldList(keyFields);
  DoBeforeScroll();
  const int match = LocateRecord(fields, keyValues, options, SpareBuffer());
  if (match < 0) return false;
  currentPosition_ = match;
  Resync(true);
  DoAfterScroll();
  return true;
}

std::optional<std::vector<std::string>> TTessTable::Lookup(
    const std::string& keyFields, const std::vector<std::string>& keyValues,
    const std::string& resultFields) {
  CheckActive();
  const std::vector<TField*> fields = FieldList(keyFields);
  const std::vector<TField*> results = FieldList(resultFields);
  TRecordBuffer& buffer = SpareBuffer();
  if (LocateRecord(fields, keyValues, 0, buffer) < 0) return std::nullopt;
  std::vector<std::string> values;
  const TDataSetState previous = State();
  BeginFilterState(buffer);
  try {
    for (const TField* field : results) values.push_back(field->AsString());
  } catch (...) {
    EndFilterState(previous);
    throw;
  }
  EndFilterState(previous);
  return values;
}

}  // namespace tessdb
