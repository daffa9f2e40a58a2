#include "concordance/writers.h"

#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int64_t kIndexWidth = 80;

const std::string& KeyText(const std::vector<std::string>& keys, int64_t number) {
  static const std::string kNone;
  return number >= 1 && number <= static_cast<int64_t>(keys.size()) ? keys[static_cast<size_t>(number - 1)] : kNone;
}

}  // namespace

void WriteConcordance(CitationSource& records, const std::vector<std::string>& keys, FileWriter& out) {
  CitationRecord record;
  const std::string* previousKey = nullptr;
  while (records.Next(record)) {
    const std::string& key = KeyText(keys, record.keyNumber);
    if (previousKey == nullptr || key != *previousKey) {
      if (previousKey != nullptr) out.Write(kCrLf);
      out.Write(key);
      out.Write(kCrLf);
      previousKey = &key;
    }
    out.Write(record.citation);
    out.Put('\t');
    out.Write(record.leftContext);
    out.Write(record.rightContext);
    out.Write(kCrLf);
  }
}

int64_t WriteIndex(CitationSource& records, const std::vector<std::string>& keys, FileWriter& out,
                   bool displayColumns) {
  CitationRecord record;
  const std::string* previousKey = nullptr;
  std::string previousCitation;
  bool havePrevious = false;  // a key's first citation is always written, even when empty
  int64_t column = 0;
  int64_t written = 0;
  while (records.Next(record)) {
    const std::string& key = KeyText(keys, record.keyNumber);
    if (previousKey == nullptr || key != *previousKey) {
      column = 0;
      havePrevious = false;
      if (previousKey != nullptr) {
        out.Write(kCrLf);
        out.Write(kCrLf);
      }
      out.Write(key);
      out.Write(kCrLf);
      previousKey = &key;
    }
    if (havePrevious && record.citation == previousCitation) continue;
    AppendPacked(out, column, ",", record.citation, displayColumns);
    previousCitation = record.citation;
    havePrevious = true;
    ++written;
  }
  return written;
}

void AppendPacked(FileWriter& out, int64_t& column, std::string_view separator, std::string_view item,
                  bool displayColumns) {
  const int64_t length = Columns(item, displayColumns) + static_cast<int64_t>(separator.size());
  if (column + length > kIndexWidth) {
    out.Write(kCrLf);
    column = length;
  } else {
    column += length;
  }
  out.Write(item);
  out.Write(separator);
}

std::string RunCountsText(int64_t keyCount, int64_t citationCount, bool keyWords, bool index) {
  std::string text = " ";
  text += std::to_string(keyCount);
  text += keyWords ? " word" : " key";
  if (keyCount != 1) text += 's';
  text += ", ";
  text += std::to_string(citationCount);
  text += index ? " reference" : " citation";
  if (citationCount != 1) text += 's';
  return text;
}

}  // namespace wordloom
