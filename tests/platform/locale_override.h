// Installs other locale settings for the lifetime of a test scope and restores the previous ones.
#pragma once

#include "platform/locale.h"

namespace tessdb::test {

class TLocaleOverride {
 public:
  explicit TLocaleOverride(const TLocaleSettings& settings) : saved_(LocaleSettings()) {
    SetLocaleSettings(settings);
  }
  ~TLocaleOverride() { SetLocaleSettings(saved_); }
  TLocaleOverride(const TLocaleOverride&) = delete;
  TLocaleOverride& operator=(const TLocaleOverride&) = delete;

 private:
  TLocaleSettings saved_;
};

// The default settings with the two-digit-year window centred on a fixed year.
inline TLocaleSettings SettingsInYear(int year) {
  TLocaleSettings settings;
  settings.currentYear = year;
  return settings;
}

}  // namespace tessdb::test
