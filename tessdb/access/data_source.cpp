#include "tessdb/access/data_source.h"

#include <algorithm>

#include "tessdb/access/dataset.h"

namespace tessdb {

TDataLink::~TDataLink() {
  SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource* dataSource) {
  if (dataSource == dataSource_) return;
  if (dataSource_ != nullptr) {
    auto& links = dataSource_->links_;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
  }
  dataSource_ = dataSource;
  if (dataSource_ != nullptr) dataSource_->links_.push_back(this);
  DataEvent(TDataEvent::deActiveChange, nullptr);
}

TDataSet* TDataLink::ActiveDataSet() const {
  if (dataSource_ == nullptr || !dataSource_->Enabled()) return nullptr;
  TDataSet* dataSet = dataSource_->DataSet();
  return dataSet != nullptr && dataSet->Active() ? dataSet : nullptr;
}

TDataSource::~TDataSource() {
  BeginDestroy();
  SetDataSet(nullptr);
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_ != nullptr) {
    dataSet_->RemoveDataSource(*this);
    RemoveFreeNotification(*dataSet_);
  }
  dataSet_ = dataSet;
  if (dataSet_ != nullptr) {
    dataSet_->AddDataSource(*this);
    FreeNotification(*dataSet_);
  }
  NotifyLinks(TDataEvent::deActiveChange, nullptr);
}

void TDataSource::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  NotifyLinks(TDataEvent::deActiveChange, nullptr);
}

void TDataSource::NotifyLinks(TDataEvent event, TField* field) {
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->DataEvent(event, field);
}

void TDataSource::Notification(TComponent& component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && &component == dataSet_) {
    dataSet_ = nullptr;
    NotifyLinks(TDataEvent::deActiveChange, nullptr);
  }
}

}  // namespace tessdb
