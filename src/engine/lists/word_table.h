// The Word List table: the word list's entries as rows of data, for a table view and for export.
//
// MakeWordTable lists the whole vocabulary or the committed key words in one of the six list
// orders, forward or rhyme, sorted exactly as MakeWordList sorts them, each row with its word,
// frequency and range (the number of the project's files the word occurs in), together with
// the scan's token total and the number of files. The ranges are the session's, kept from the
// scan; a project opened from its file has none, and they are then counted by one pass over
// the texts (CountWordRanges). ExportWordTable streams rows as TSV, CSV or JSON Lines with the
// columns rank, word, frequency, per_million and range, never capping them; MatchingRows
// keeps the rows whose word matches a pattern, each keeping its rank. The table only reads the
// session; CommitWordTable makes its sorted list, and ranges it counted, current.
// Memory: 4 bytes a row and 4 bytes a vocabulary entry for the ranges; counting the ranges
// takes CountWordRanges's while it runs. Export streams.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_writer.h"
#include "base/progress.h"
#include "base/status.h"
#include "base/table_writer.h"
#include "project/session.h"

namespace wordloom {

class WordPattern;

struct WordTableQuery {
  bool keyWords = false;  // the committed key words instead of the whole vocabulary
  int order = 1;          // 1 to 6, as the list sort takes it
  bool rhyme = false;     // words compared from their ends
};

struct WordTableRow {
  int64_t rank = 0;       // the row's number in the table's list, from 1
  std::string_view word;  // the vocabulary's
  int64_t frequency = 0;
  int64_t range = 0;
};

struct WordTable {
  bool keyWords = false;
  bool windows1252 = true;        // the project's encoding, for JSON Lines
  EntryView rows;                 // vocabulary positions, in the list's order
  std::vector<uint32_t> ranges;   // per vocabulary entry
  bool rangesCounted = false;     // counted for this table: CommitWordTable keeps them
  int64_t tokens = 0;             // the scan's token total, the base of the rate per million
  int64_t files = 0;              // the project's files

  size_t size() const { return rows.size(); }
  // Row `index` (from 0), over the vocabulary the table was made from.
  WordTableRow Row(const EntryList& vocabulary, size_t index) const;
};

// Makes the table of the session's word list. False when `progress` asked to stop while the
// ranges were counted; the table is then empty.
[[nodiscard]] bool MakeWordTable(const Session& session, const WordTableQuery& query, WordTable& table,
                                 ProgressSink* progress = nullptr);

// Makes the table's sorted list current, as CommitWordList does, and keeps ranges it counted.
void CommitWordTable(Session& session, const WordTable& table);

// The word list's count line for the table: " 25/ 1200 words".
std::string WordTableCountText(const WordTable& table, size_t vocabularySize);

// A frequency per million tokens with two decimals ("1234.57"): frequency * 10^6 / tokens,
// rounded half away from zero on the exact quotient. Empty (no number) when `tokens` is not
// positive.
std::string PerMillionText(int64_t frequency, int64_t tokens);

// rank, word, frequency, per_million, range: every column but the word a number.
std::vector<TableColumn> WordTableColumns();

// The rows whose word matches `pattern`: their indexes into the table, in order.
std::vector<uint32_t> MatchingRows(const WordTable& table, const EntryList& vocabulary, const WordPattern& pattern);

// Writes the table's rows (or only those of `shown`, indexes into the table) in `format` (not
// Text). Progress counts rows; a stop ends the table early, as the caller's sink tells. Fails
// when the output cannot be written.
[[nodiscard]] Status ExportWordTable(const WordTable& table, const EntryList& vocabulary, TableFormat format,
                                     FileWriter& out, const std::vector<uint32_t>* shown = nullptr,
                                     ProgressSink* progress = nullptr);

}  // namespace wordloom
