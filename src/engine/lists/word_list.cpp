#include "lists/word_list.h"

#include <algorithm>
#include <cmath>

#include "scan/list_sort.h"
#include "scan/status_texts.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

constexpr int64_t kLineWidth = 80;
constexpr int64_t kColumnSlack = 6;
constexpr std::string_view kCrLf = "\r\n";

// A number as it is written with a leading blank when it is not negative.
std::string Signed(int64_t value) {
  std::string text(value >= 0 ? 1 : 0, ' ');
  text += std::to_string(value);
  return text;
}

}  // namespace

void WordListWriter::LineBreak() {
  out_.Write(kCrLf);
  column_ = 0;
}

void WordListWriter::WriteWordListItem(std::string_view separator, int64_t frequency, std::string_view word) {
  std::string text;
  switch (layout_) {
    case WordListLayout::OneColumn:
      if (frequencies_) {
        text = PadNumber(frequency, frequencyWidth_);
        text += ' ';
      }
      text += word;
      text += kCrLf;
      out_.Write(text);
      return;
    case WordListLayout::Packed: {
      if (frequencies_) {
        text = std::to_string(frequency);
        text += ' ';
      }
      text += word;
      text += separator;
      const int64_t length = Columns(text, displayColumns_);
      // The piece that opens a new line is not counted.
      if (column_ + length > kLineWidth) {
        LineBreak();
      } else {
        column_ += length;
      }
      out_.Write(text);
      return;
    }
    case WordListLayout::ColumnsRight:
    case WordListLayout::ColumnsLeft: {
      const int64_t width = maxLength_ + kColumnSlack;
      if (column_ + width > kLineWidth) {
        LineBreak();
      } else {
        column_ += width;
      }
      if (frequencies_) {
        text = PadNumber(frequency, frequencyWidth_);
        text += ' ';
      }
      text += word;
      const std::string blanks(static_cast<size_t>(std::max<int64_t>(width - Columns(text, displayColumns_), 0)), ' ');
      if (layout_ == WordListLayout::ColumnsRight) {
        out_.Write(blanks);
        out_.Write(text);
      } else {
        out_.Write(text);
        out_.Write(blanks);
      }
      return;
    }
  }
}

int64_t FrequencyWidth(int64_t entryCount, int64_t maxFrequency) {
  if (entryCount < 2 || maxFrequency <= 0) return 0;
  return static_cast<int64_t>(std::nearbyint(Log10(static_cast<double>(maxFrequency)) + 2));
}

Status MakeWordList(const Session& session, const WordListQuery& query, const ScratchFolder& scratch,
                    WordListResult& result) {
  result = WordListResult{};
  const WordLists& lists = session.lists;
  result.keyWords = query.keyWords;
  EntryView& list = result.sorted.emplace(query.keyWords ? lists.KeyWordsList : lists.AllWordsList);
  SortEntryView(lists.Vocabulary, list, query.order, query.rhyme ? 1 : 0, session.tables);

  const bool displayColumns = session.tables.unicode != nullptr;
  int64_t maxLength = 0;
  int64_t maxFrequency = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    const Entry& entry = lists.At(list, i);
    maxLength = std::max(maxLength, Columns(entry.word, displayColumns));
    maxFrequency = std::max(maxFrequency, entry.count);
  }
  const int64_t count = static_cast<int64_t>(list.size());
  // From the second entry on, a line holds as many columns as fit after the first.
  const int64_t startColumn = count >= 2 ? -(maxLength + kColumnSlack) : 0;

  FileWriter out;
  Status status = scratch.OpenForWrite("1", out);
  if (!status.ok()) return status;
  WordListWriter writer(out, query.layout, query.frequencies, maxLength, FrequencyWidth(count, maxFrequency), startColumn,
                        displayColumns);
  for (size_t i = 0; i < list.size(); ++i) {
    const Entry& entry = lists.At(list, i);
    writer.WriteWordListItem(i + 1 < list.size() ? ", " : "", entry.count, entry.word);
  }
  status = out.Close();
  if (!status.ok()) return status;

  result.vocabularySize = static_cast<int64_t>(lists.Vocabulary.size());
  result.outputPath = scratch.PathOf("1");
  result.countText = Signed(count) + "/" + Signed(result.vocabularySize) + " words";
  return Status::Ok();
}

void CommitWordList(Session& session, WordListResult& result) {
  if (result.sorted) {
    (result.keyWords ? session.lists.KeyWordsList : session.lists.AllWordsList) = std::move(*result.sorted);
    result.sorted.reset();
  }
  session.totals.vocabularySize = result.vocabularySize;
}

}  // namespace wordloom
