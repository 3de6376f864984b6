#include "tessdb/access/program_hooks.h"

#include <mutex>
#include <utility>

namespace tessdb {
namespace {

std::mutex hookLock;
TFlushTimerFactory timerFactory;
TBusyCursorHook busyCursorHook;

// The headless timer: keeps its settings, never ticks.
class TIdleTimer : public TFlushTimer {
 public:
  void SetInterval(int) override {}
  void SetEnabled(bool) override {}
};

}  // namespace

TFlushTimerFactory SetFlushTimerFactory(TFlushTimerFactory factory) {
  std::lock_guard guard(hookLock);
  return std::exchange(timerFactory, std::move(factory));
}

std::unique_ptr<TFlushTimer> CreateFlushTimer(std::function<void()> tick) {
  TFlushTimerFactory factory;
  {
    std::lock_guard guard(hookLock);
    factory = timerFactory;
  }
  if (factory) {
    if (std::unique_ptr<TFlushTimer> timer = factory(std::move(tick))) return timer;
  }
  return std::make_unique<TIdleTimer>();
}

TBusyCursorHook SetBusyCursorHook(TBusyCursorHook hook) {
  std::lock_guard guard(hookLock);
  return std::exchange(busyCursorHook, std::move(hook));
}

void ShowBusyCursor(bool busy) {
  TBusyCursorHook hook;
  {
    std::lock_guard guard(hookLock);
    hook = busyCursorHook;
  }
  if (hook) hook(busy);
}

}  // namespace tessdb
