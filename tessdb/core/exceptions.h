// The engine's exception types. Every failure the engine reports is one of these, carrying the
// fixed English message text that callers show to users; there are no error codes.
//
// `Exception` is the common base, so a caller (the program's error report, the command-line tool)
// can catch everything the engine and the program raise in one place. `EAbort` is the silent
// abort: error reports ignore it.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace tessdb {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

 private:
  std::string message_;
};

// Silent abort: raised to end an operation the user cancelled; never reported.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

// The engine's one database error type.
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
};

// Misuse of a cipher object (an unkeyed cipher asked to work).
class EEncryptException : public Exception {
 public:
  using Exception::Exception;
};

// A stream that could not deliver or take the bytes asked for ("Stream read error").
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// zlib reported an error while compressing or decompressing.
class ECompressionError : public Exception {
 public:
  using Exception::Exception;
};

// A text that does not convert to the number, date or time asked for.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Floating-point division by zero in an expression ("Floating point division by zero").
class EZeroDivide : public Exception {
 public:
  EZeroDivide() : Exception("Floating point division by zero") {}
};

// Formats a message with one "%s" (the engine's message formats take exactly one argument).
std::string FormatMessage(const std::string& format, const std::string& argument);

}  // namespace tessdb
