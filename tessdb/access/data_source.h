// TDataSource and TDataLink: how one dataset follows another. A data source names a dataset; a
// link attached to the source hears every data event of that dataset while the source is
// enabled. A detail table's master link is such a link (MasterSource, MasterFields).
#pragma once

#include <vector>

#include "tessdb/access/component.h"

namespace tessdb {

class TDataSet;
class TField;

enum class TDataEvent {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode,
  deConnectChange,
  deActiveChange,
};

class TDataSource;

class TDataLink {
 public:
  virtual ~TDataLink();
  TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* dataSource);
  // The source's dataset when the source is enabled and the dataset open, else nullptr.
  TDataSet* ActiveDataSet() const;
  virtual void DataEvent(TDataEvent event, TField* field) = 0;

 private:
  TDataSource* dataSource_ = nullptr;
};

class TDataSource : public TComponent {
 public:
  explicit TDataSource(TComponent* owner = nullptr) : TComponent(owner) {}
  ~TDataSource() override;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Called by the dataset for each of its events.
  void NotifyLinks(TDataEvent event, TField* field);

 protected:
  void Notification(TComponent& component, TOperation operation) override;

 private:
  friend class TDataLink;
  TDataSet* dataSet_ = nullptr;
  bool enabled_ = true;
  std::vector<TDataLink*> links_;
};

}  // namespace tessdb
