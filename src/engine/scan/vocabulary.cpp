#include "scan/vocabulary.h"

#include <cstring>

#include "base/cp1252.h"
#include "base/line_source.h"
#include "scan/text_reader.h"

namespace wordloom {
namespace {

constexpr const char* kCrLf = "\r\n";

void ReportUnreadable(ScanContext& context, const std::string& path, const std::string& reason) {
  context.ErrorReportText += "FILE: " + path + kCrLf + "ERROR: cannot read the file: " + reason + kCrLf + kCrLf;
}

// Cuts the words of logical lines; a word open at the end of a line runs on into the next.
class Tokenizer {
 public:
  Tokenizer(const ScanState& state, WordCounter& counter, ScanTotals& totals)
      : isWord_(), lower_(LowerCaseTable()), counter_(counter), totals_(totals) {
    for (int c = 0; c < 256; ++c) isWord_[c] = state.classOfLower[c] == kWordClass;
  }

  // The characters of one logical line up to `length`. An empty logical line stands for the
  // one empty character the reader hands out for it, which ends an open word.
  void Line(const char* text, size_t length, bool emptyLine) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    if (!open_.empty()) {
      while (i < length && isWord_[p[i]]) open_ += static_cast<char>(lower_[p[i++]]);
      if (i == length && !emptyLine) return;  // still open at the end of this line
      Emit(open_);
      open_.clear();
    }
    for (;;) {
      while (i < length && !isWord_[p[i]]) ++i;
      if (i == length) return;
      size_t start = i;
      while (i < length && isWord_[p[i]]) ++i;
      word_.resize(i - start);
      for (size_t k = 0; k < word_.size(); ++k) word_[k] = static_cast<char>(lower_[p[start + k]]);
      if (i == length) {
        open_.swap(word_);
        return;
      }
      Emit(word_);
    }
  }

 private:
  void Emit(const std::string& word) {
    ++totals_.tokenCount;
    if (static_cast<int64_t>(word.size()) > totals_.longestWord) totals_.longestWord = static_cast<int64_t>(word.size());
    counter_.Add(word);
  }

  bool isWord_[256];
  const std::array<unsigned char, 256>& lower_;
  WordCounter& counter_;
  ScanTotals& totals_;
  std::string open_;
  std::string word_;
};

}  // namespace

void ScanFileWords(const std::string& path, ScanContext& context, WordCounter& counter, ScanTotals& totals,
                   ProgressSink* progress) {
  LineSource file;
  Status opened = file.Open(path);
  if (!opened.ok()) {
    ReportUnreadable(context, path, opened.message());
    return;
  }
  BeginFile(context, path);
  ScanState& s = context.state;
  Tokenizer tokenizer(s, counter, totals);
  while (ReadLogicalLine(context, file, ReaderMode::Vocabulary, progress)) {
    // The characters the reader would hand out one by one: up to the first join character,
    // which drops the rest of the line.
    size_t length = s.lineBuffer.size();
    size_t end = length;
    if (s.joinChar >= 0) {
      const void* join = std::memchr(s.lineBuffer.data(), s.joinChar, length);
      if (join) {
        end = static_cast<size_t>(static_cast<const char*>(join) - s.lineBuffer.data());
        s.joinPending = true;
      }
    }
    // An end-of-line character before the line's last position starts a new numbered line.
    if (s.endOfLineChar >= 0 && length > 0) {
      size_t inside = end < length - 1 ? end : length - 1;
      for (size_t i = 0; i < inside; ++i) {
        if (static_cast<unsigned char>(s.lineBuffer[i]) == s.endOfLineChar) ++s.currentLineNumber;
      }
    }
    tokenizer.Line(s.lineBuffer.data(), end, length == 0);
    if (end > 0) {
      s.currentChar = static_cast<unsigned char>(s.lineBuffer[end - 1]);
      s.currentClass = s.classOfLower[s.currentChar];
    }
    s.linePosition = s.lineLength + 1;
  }
  if (!file.error().ok()) ReportUnreadable(context, path, file.error().message());
}

Status BuildVocabulary(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                       const ScratchFolder& scratch, ScanContext& context, ScanTotals& totals, WordLists& lists,
                       const VocabularyOptions& options) {
  context.references.ReferenceLetterUsed.fill(0);
  BeginPass(context, rules, tables, std::string(200, ' '));
  lists.Clear();
  totals.tokenCount = 0;
  totals.longestWord = 0;
  context.state.physicalLineTotal = 0;
  context.state.logicalLineTotal = 0;

  SortKeyOrder keys(tables, 0);
  WordCounter counter(scratch, keys, options.budgetBytes);
  Status status = counter.Begin();
  if (!status.ok()) return status;
  for (size_t i = 0; i < files.size(); ++i) {
    ScanFileWords(files[i], context, counter, totals, options.progress);
    if (options.progress) options.progress->Progress(static_cast<int64_t>(i + 1), static_cast<int64_t>(files.size()));
  }
  status = counter.Finish(lists.Vocabulary);
  if (!status.ok()) return status;
  lists.CopyVocabularyToAll();
  totals.vocabularySize = static_cast<int64_t>(lists.Vocabulary.size());
  totals.linesShown = context.state.physicalLineTotal;
  return Status::Ok();
}

}  // namespace wordloom
