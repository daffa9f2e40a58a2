// The word list: the vocabulary or the committed key words, ordered and laid out as text.
//
// The list is sorted with the list sort (one of six orders, forward or rhyme keys) and written
// to the scratch file "~1": one word a line, packed into lines of at most 80 columns, or in
// columns aligned left or right, each word with its frequency when asked. The word list only
// reads the session; the sorted list, which the next sort starts from, comes back in the result
// and CommitWordList makes it current. Memory: 16 bytes an entry for the sort; the text is
// streamed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_writer.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "project/session.h"

namespace wordloom {

// The layouts, by the codes of the layout box.
enum class WordListLayout { OneColumn = 0, Packed = 1, ColumnsRight = 2, ColumnsLeft = 3 };

struct WordListQuery {
  int order = 1;                 // 1 to 6, as the list sort takes it
  bool rhyme = false;            // words compared from their ends
  WordListLayout layout = WordListLayout::OneColumn;
  bool frequencies = false;
  bool keyWords = false;         // the committed key words instead of the whole vocabulary
};

struct WordListResult {
  std::string outputPath;        // "~1" in the scratch folder
  std::string countText;         // " 25/ 1200 words"

  // For CommitWordList: the list sorted (the committed key words when `keyWords`, else every
  // word type), and the vocabulary size.
  bool keyWords = false;
  std::optional<EntryView> sorted;
  int64_t vocabularySize = 0;
};

// Writes entries one after another in a layout, keeping the running column of the line.
class WordListWriter {
 public:
  // `displayColumns`: words are UTF-8 and measured in display columns, not bytes.
  WordListWriter(FileWriter& out, WordListLayout layout, bool frequencies, int64_t maxLength, int64_t frequencyWidth,
                 int64_t startColumn, bool displayColumns = false)
      : out_(out), layout_(layout), frequencies_(frequencies), maxLength_(maxLength),
        frequencyWidth_(frequencyWidth), column_(startColumn), displayColumns_(displayColumns) {}
  // `separator` follows the word in the packed layout.
  void WriteWordListItem(std::string_view separator, int64_t frequency, std::string_view word);

 private:
  void LineBreak();
  FileWriter& out_;
  WordListLayout layout_;
  bool frequencies_;
  int64_t maxLength_;
  int64_t frequencyWidth_;
  int64_t column_;
  bool displayColumns_;
};

// The width of the frequency field: log10 of the largest frequency plus 2, rounded half to
// even, for a list of two or more entries; 0 otherwise, and 0 when no frequency is positive.
int64_t FrequencyWidth(int64_t entryCount, int64_t maxFrequency);

// The whole "Word List" action, reading the session only.
[[nodiscard]] Status MakeWordList(const Session& session, const WordListQuery& query, const ScratchFolder& scratch,
                                  WordListResult& result);

// Makes what a successful word list changed current: the sorted list and the vocabulary size.
// Moves the list out of `result`; its texts stay.
void CommitWordList(Session& session, WordListResult& result);

}  // namespace wordloom
