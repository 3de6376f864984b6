// Hooks a program installs for what the headless engine cannot do itself (besides the login
// prompt, login_prompt.h).
//
// Auto-flush timer: the engine has no event loop; a program with one installs a factory whose
// timers call their tick on its thread. Without a factory a database's timer only keeps its
// settings and never ticks: the file is then flushed when the database closes.
//
// Busy cursor: shown while a dataset builds a filtered view; without a hook nothing is shown.
#pragma once

#include <functional>
#include <memory>

namespace tessdb {

class TFlushTimer {
 public:
  virtual ~TFlushTimer() = default;
  virtual void SetInterval(int milliseconds) = 0;
  virtual void SetEnabled(bool enabled) = 0;
};

// Makes a timer, created disabled, that calls tick on each period.
using TFlushTimerFactory = std::function<std::unique_ptr<TFlushTimer>(std::function<void()> tick)>;

// Installs the factory (an empty one removes it); returns the one it replaces. Databases created
// afterwards use it.
TFlushTimerFactory SetFlushTimerFactory(TFlushTimerFactory factory);
std::unique_ptr<TFlushTimer> CreateFlushTimer(std::function<void()> tick);

// The busy cursor shown while a dataset builds a filtered view: also a hook (true = show).
using TBusyCursorHook = std::function<void(bool busy)>;
TBusyCursorHook SetBusyCursorHook(TBusyCursorHook hook);
void ShowBusyCursor(bool busy);

}  // namespace tessdb
