#include "tessdb/access/component.h"

#include <algorithm>

#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

void Erase(std::vector<TComponent*>& list, TComponent* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  destroying_ = true;
  // Everybody who may hold a pointer to this component hears of its removal, once.
  std::vector<TComponent*> listeners = freeNotifies_;
  if (owner_ != nullptr) {
    Erase(owner_->components_, this);
    for (TComponent* sibling : owner_->components_) {
      if (std::find(listeners.begin(), listeners.end(), sibling) == listeners.end()) {
        listeners.push_back(sibling);
      }
    }
  }
  for (TComponent* listener : listeners) {
    Erase(listener->freeNotifies_, this);
    listener->Notification(*this, TOperation::opRemove);
  }
  for (TComponent* child : components_) child->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent& other) {
  if (&other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), &other) == freeNotifies_.end()) {
    freeNotifies_.push_back(&other);
    other.freeNotifies_.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent& other) {
  Erase(freeNotifies_, &other);
  Erase(other.freeNotifies_, this);
}

void TComponent::DatabaseError(const std::string& message) const {
  tessdb::DatabaseError(message, this);
}

void TComponent::Notification(TComponent&, TOperation) {}

void DatabaseError(const std::string& message, const TComponent* component) {
  if (component != nullptr && !component->Name().empty()) {
    throw EDatabaseError(component->Name() + ": " + message);
  }
  throw EDatabaseError(message);
}

}  // namespace tessdb
