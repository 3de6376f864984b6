// Every message box of the program goes through ShowMessageBox, so that tests install a handler
// that records the box instead of blocking on a modal window.
#pragma once

#include <functional>
#include <string>

class QWidget;

enum class TMessageBoxKind {
  mbPlain,         // information text with an OK button
  mbError,         // the error report: error icon, OK button
  mbConfirmation,  // a question with Yes and No
};

struct TMessageBoxRequest {
  TMessageBoxKind kind;
  std::string caption;
  std::string text;
};

// Returns true for OK or Yes.
using TMessageBoxHandler = std::function<bool(const TMessageBoxRequest&)>;

// Replaces the handler (an empty one restores the real message boxes); returns the previous one.
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);

bool ShowMessageBox(TMessageBoxKind kind, const std::string& caption, const std::string& text);
