// TComponent: the common base of the access layer's objects (databases, sessions, datasets, data
// sources). It carries what the components share: a name, an owner, the loading phase of a form
// description, removal notifications, and the rule for error messages.
//
// Ownership: an owner does not free the components it holds; it only knows them (Components()),
// so that a session can find the databases and datasets placed beside it. Whoever creates a
// component frees it. A component that is destroyed tells its owner's other components and every
// component that asked for a free notification (Notification with opRemove), so none keeps a
// dangling pointer.
//
// Errors: DatabaseError raises EDatabaseError with "<Name>: <text>" when the component has a
// name, and the text alone otherwise.
#pragma once

#include <string>
#include <vector>

namespace tessdb {

enum class TOperation { opInsert, opRemove };

class TComponent {
 public:
  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& name) { name_ = name; }
  TComponent* Owner() const { return owner_; }
  const std::vector<TComponent*>& Components() const { return components_; }

  // Loading from a form description: between BeginLoading and Loaded some setters only record
  // their value; Loaded applies it.
  bool Loading() const { return loading_; }
  void BeginLoading() { loading_ = true; }
  virtual void Loaded() { loading_ = false; }
  bool Destroying() const { return destroying_; }

  // other will get Notification(this, opRemove) when this component is destroyed, and this one
  // when other is.
  void FreeNotification(TComponent& other);
  void RemoveFreeNotification(TComponent& other);

  [[noreturn]] void DatabaseError(const std::string& message) const;

 protected:
  virtual void Notification(TComponent& component, TOperation operation);
  // Derived destructors call this first, so notifications see a component that is going away.
  void BeginDestroy() { destroying_ = true; }

 private:
  std::string name_;
  TComponent* owner_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  bool loading_ = false;
  bool destroying_ = false;
};

// Raises EDatabaseError: "<component name>: <message>" for a named component, else the message.
[[noreturn]] void DatabaseError(const std::string& message, const TComponent* component = nullptr);

}  // namespace tessdb
