// FieldReader: the values of a project file, one field at a time.
//
// A field ends at a comma or a line end (LF, CR LF or CR). A field that starts with a double
// quote is a string up to the closing quote (a doubled quote stands for one quote; line ends
// inside are kept), and anything after the closing quote up to the next comma or line end is
// ignored. Spaces before a field and after an unquoted one are dropped. A typed read that
// fails (no data left, or text that is not of the type) consumes the field and leaves the
// destination as it was.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace wordloom {

class FieldReader {
 public:
  explicit FieldReader(std::string_view data) : data_(data) {}

  bool AtEnd() const { return position_ >= data_.size(); }
  int64_t Remaining() const { return static_cast<int64_t>(data_.size() - std::min(position_, data_.size())); }
  bool ReadString(std::string& value);
  // An integer within [min, max]: an optional sign and digits.
  bool ReadInteger(int64_t& value, int64_t min, int64_t max);
  bool ReadBoolean(bool& value);  // #TRUE# or #FALSE#
  bool ReadDouble(double& value);

 private:
  bool NextField(std::string& text, bool& quoted);
  template <typename T>
  bool ReadNumber(T& value);
  void SkipToDelimiter();

  std::string_view data_;
  size_t position_ = 0;
};

}  // namespace wordloom
