// Status: the outcome of an engine operation that can fail.
//
// The engine throws no exceptions across its API. An operation that can fail returns a
// Status (or fills an out-parameter and returns one); a failed Status carries a message
// that names the file and the system's reason, ready to show to the user as it stands.
#pragma once

#include <string>
#include <utility>

namespace wordloom {

class [[nodiscard]] Status {
 public:
  Status() = default;
  static Status Ok() { return Status(); }
  static Status Error(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !failed_; }
  const std::string& message() const { return message_; }

 private:
  explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}
  bool failed_ = false;
  std::string message_;
};

// The system's text for an errno value, as strerror gives it ("No such file or directory").
std::string ErrnoText(int error);

}  // namespace wordloom
