#include "lists/word_table.h"

#include <algorithm>

#include "concordance/word_pattern.h"
#include "scan/list_sort.h"
#include "scan/vocabulary.h"
#include "index/index.h"

namespace wordloom {
namespace {

__extension__ typedef __int128 Wide;

std::string WideText(Wide value) {
  std::string digits;
  do {
    digits += static_cast<char>('0' + static_cast<int>(value % 10));
    value /= 10;
  } while (value > 0);
  std::reverse(digits.begin(), digits.end());
  return digits;
}

// A count as the word list's count line writes it: a blank before a number that is not negative.
std::string Signed(int64_t value) {
  std::string text(value >= 0 ? 1 : 0, ' ');
  text += std::to_string(value);
  return text;
}

}  // namespace

WordTableRow WordTable::Row(const EntryList& vocabulary, size_t index) const {
  const EntryPosition position = rows[index];
  const Entry& entry = vocabulary[position];
  return {static_cast<int64_t>(index) + 1, entry.word, entry.count, ranges[position]};
}

bool MakeWordTable(const Session& session, const WordTableQuery& query, WordTable& table, ProgressSink* progress) {
  table = WordTable{};
  const WordLists& lists = session.lists;
  table.rangesCounted = !lists.HasRanges();
  if (!table.rangesCounted) {
    table.ranges = lists.ranges;
  } else if (!CountProjectRanges(session, table.ranges, progress)) {
    table = WordTable{};
    return false;
  }
  table.keyWords = query.keyWords;
  table.windows1252 = session.tables.unicode == nullptr;
  table.tokens = session.totals.tokenCount;
  table.files = static_cast<int64_t>(session.project.Files.size());
  // The word list's own sort, from the order the list was left in, so that ties fall alike.
  table.rows = query.keyWords ? lists.KeyWordsList : lists.AllWordsList;
  SortEntryView(lists.Vocabulary, table.rows, query.order, query.rhyme ? 1 : 0, session.tables);
  return true;
}

void CommitWordTable(Session& session, const WordTable& table) {
  (table.keyWords ? session.lists.KeyWordsList : session.lists.AllWordsList) = table.rows;
  if (table.rangesCounted) session.lists.ranges = table.ranges;
  session.totals.vocabularySize = static_cast<int64_t>(session.lists.Vocabulary.size());
}

std::string WordTableCountText(const WordTable& table, size_t vocabularySize) {
  return Signed(static_cast<int64_t>(table.size())) + "/" + Signed(static_cast<int64_t>(vocabularySize)) + " words";
}

std::string PerMillionText(int64_t frequency, int64_t tokens) {
  if (tokens <= 0) return "";
  // Hundredths: frequency * 10^8 / tokens, rounded half away from zero in exact arithmetic.
  const Wide magnitude = frequency < 0 ? -static_cast<Wide>(frequency) : static_cast<Wide>(frequency);
  const Wide hundredths = (magnitude * 200'000'000 + tokens) / (static_cast<Wide>(tokens) * 2);
  const int cents = static_cast<int>(hundredths % 100);
  std::string text = frequency < 0 && hundredths > 0 ? "-" : "";
  text += WideText(hundredths / 100);
  text += '.';
  text += static_cast<char>('0' + cents / 10);
  text += static_cast<char>('0' + cents % 10);
  return text;
}

std::vector<TableColumn> WordTableColumns() {
  return {{"rank", true}, {"word"}, {"frequency", true}, {"per_million", true}, {"range", true}};
}

std::vector<uint32_t> MatchingRows(const WordTable& table, const EntryList& vocabulary, const WordPattern& pattern) {
  std::vector<uint32_t> kept;
  for (size_t i = 0; i < table.size(); ++i) {
    if (pattern.Matches(vocabulary[table.rows[i]].word)) kept.push_back(static_cast<uint32_t>(i));
  }
  return kept;
}

Status ExportWordTable(const WordTable& table, const EntryList& vocabulary, TableFormat format, FileWriter& out,
                       const std::vector<uint32_t>* shown, ProgressSink* progress) {
  TableWriter writer(out, format, WordTableColumns(), table.windows1252);
  const size_t count = shown ? shown->size() : table.size();
  std::string rank, frequency, perMillion, range;
  size_t i = 0;
  for (; i < count; ++i) {
    if (progress && i % 4096 == 0) {
      if (progress->StopRequested()) break;
      progress->Progress(static_cast<int64_t>(i), static_cast<int64_t>(count));
    }
    const WordTableRow row = table.Row(vocabulary, shown ? (*shown)[i] : i);
    rank = std::to_string(row.rank);
    frequency = std::to_string(row.frequency);
    perMillion = PerMillionText(row.frequency, table.tokens);
    range = std::to_string(row.range);
    writer.Row({rank, row.word, frequency, perMillion, range});
  }
  if (progress) progress->Progress(static_cast<int64_t>(i), static_cast<int64_t>(count));
  return out.error();
}

}  // namespace wordloom
