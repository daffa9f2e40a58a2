#include "scan/vocabulary.h"

#include <algorithm>
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
  Tokenizer(const ScanState& state, WordCounter& counter) : lower_(LowerCaseTable().data()), counter_(counter) {
    for (int c = 0; c < 256; ++c) isWord_[c] = state.classOfLower[c] == kWordClass;
  }

  // The characters of one logical line up to `length`. An empty logical line stands for the
  // one empty character the reader hands out for it, which ends an open word.
  void Line(const char* text, size_t length, bool emptyLine) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const bool* isWord = isWord_;
    size_t i = 0;
    if (!open_.empty()) {
      while (i < length && isWord[p[i]]) open_ += static_cast<char>(lower_[p[i++]]);
      if (i == length && !emptyLine) return;  // still open at the end of this line
      Count(reinterpret_cast<const unsigned char*>(open_.data()), open_.size(), nullptr);
      open_.clear();
    }
    for (;;) {
      while (i < length && !isWord[p[i]]) ++i;
      if (i == length) return;
      size_t start = i;
      while (i < length && isWord[p[i]]) ++i;
      if (i == length) {
        for (size_t k = start; k < length; ++k) open_ += static_cast<char>(lower_[p[k]]);
        return;
      }
      Count(p + start, i - start, lower_);
    }
  }

  int64_t tokens() const { return tokens_; }
  int64_t longest() const { return longest_; }

 private:
  // Counts a word of the line, folded to lower case, or an already folded one (`fold` null).
  void Count(const unsigned char* word, size_t length, const unsigned char* fold) {
    ++tokens_;
    if (static_cast<int64_t>(length) > longest_) longest_ = static_cast<int64_t>(length);
    if (fold) {
      counter_.Add(word, length, fold);
    } else {
      counter_.Add(std::string_view(reinterpret_cast<const char*>(word), length));
    }
  }

  bool isWord_[256];
  const unsigned char* lower_;
  WordCounter& counter_;
  std::string open_;
  int64_t tokens_ = 0;
  int64_t longest_ = 0;
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
  Tokenizer tokenizer(s, counter);
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
      s.currentLineNumber += std::count(s.lineBuffer.data(), s.lineBuffer.data() + inside, static_cast<char>(s.endOfLineChar));
    }
    tokenizer.Line(s.lineBuffer.data(), end, length == 0);
    if (end > 0) {
      s.currentChar = static_cast<unsigned char>(s.lineBuffer[end - 1]);
      s.currentClass = s.classOfLower[s.currentChar];
    }
    s.linePosition = s.lineLength + 1;
  }
  totals.tokenCount += tokenizer.tokens();
  if (tokenizer.longest() > totals.longestWord) totals.longestWord = tokenizer.longest();
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

  WordCounter counter(scratch, tables, options.budgetBytes);
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
