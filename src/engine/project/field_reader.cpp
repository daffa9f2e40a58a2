#include "project/field_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace wordloom {
namespace {

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

}  // namespace

void FieldReader::SkipToDelimiter() {
  while (position_ < data_.size() && data_[position_] != ',' && !IsLineEnd(data_[position_])) ++position_;
  if (position_ >= data_.size()) return;
  if (data_[position_] == '\r' && position_ + 1 < data_.size() && data_[position_ + 1] == '\n') ++position_;
  ++position_;
}

bool FieldReader::NextField(std::string& text, bool& quoted) {
  while (position_ < data_.size() && (data_[position_] == ' ' || data_[position_] == '\t')) ++position_;
  if (position_ >= data_.size()) return false;
  text.clear();
  quoted = data_[position_] == '"';
  if (quoted) {
    ++position_;
    while (position_ < data_.size()) {
      const size_t quote = std::min(data_.find('"', position_), data_.size());
      text.append(data_.substr(position_, quote - position_));
      position_ = std::min(quote + 1, data_.size());
      if (quote == data_.size() || position_ == data_.size() || data_[position_] != '"') break;
      text += '"';  // a doubled quote
      ++position_;
    }
    SkipToDelimiter();
    return true;
  }
  size_t start = position_;
  while (position_ < data_.size() && data_[position_] != ',' && !IsLineEnd(data_[position_])) ++position_;
  size_t end = position_;
  while (end > start && (data_[end - 1] == ' ' || data_[end - 1] == '\t')) --end;
  text.assign(data_.substr(start, end - start));
  SkipToDelimiter();
  return true;
}

bool FieldReader::ReadString(std::string& value) {
  std::string text;
  bool quoted = false;
  if (!NextField(text, quoted)) return false;
  value = std::move(text);
  return true;
}

// An unquoted field that is a number of type T as a whole (an optional "+" allowed).
template <typename T>
bool FieldReader::ReadNumber(T& value) {
  std::string text;
  bool quoted = false;
  if (!NextField(text, quoted) || quoted || text.empty()) return false;
  const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
  const char* end = text.data() + text.size();
  T parsed{};
  auto [stop, error] = std::from_chars(begin, end, parsed);
  if (error != std::errc() || stop != end) return false;
  value = parsed;
  return true;
}

bool FieldReader::ReadInteger(int64_t& value, int64_t min, int64_t max) {
  int64_t parsed = 0;
  if (!ReadNumber(parsed) || parsed < min || parsed > max) return false;
  value = parsed;
  return true;
}

bool FieldReader::ReadDouble(double& value) {
  double parsed = 0;
  if (!ReadNumber(parsed) || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool FieldReader::ReadBoolean(bool& value) {
  std::string text;
  bool quoted = false;
  if (!NextField(text, quoted) || quoted) return false;
  if (text == "#TRUE#") {
    value = true;
  } else if (text == "#FALSE#") {
    value = false;
  } else {
    return false;
  }
  return true;
}

}  // namespace wordloom
