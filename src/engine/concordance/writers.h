// The output text of a concordance run: a concordance or an index.
//
// A concordance has, for each key found, the key on a line of its own and then one line per
// find: its citation, a tab and its contexts; an empty line separates the keys. An index has,
// for each key found, the key and then the distinct citations of its finds, each followed by a
// comma, packed into lines of at most 80 columns, with no line end after the last one. Lines
// end with CR LF. The writers stream: memory does not grow with the number of finds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_writer.h"
#include "concordance/citation_record.h"

namespace wordloom {

// `keys` is the run's key list; a record names its key by number.
void WriteConcordance(CitationSource& records, const std::vector<std::string>& keys, FileWriter& out);

// Returns how many citations were written (repeats of the previous citation of a key are not).
// `displayColumns`: the citations are UTF-8, measured in display columns.
int64_t WriteIndex(CitationSource& records, const std::vector<std::string>& keys, FileWriter& out,
                   bool displayColumns = false);

// Writes `item` and `separator` on the current line, first ending the line when they would
// reach past column 80. `column` is the running column of the line.
void AppendPacked(FileWriter& out, int64_t& column, std::string_view separator, std::string_view item,
                  bool displayColumns = false);

// The counts line: " 2 keys, 15 citations", " 1 word, 3 references".
std::string RunCountsText(int64_t keyCount, int64_t citationCount, bool keyWords, bool index);

}  // namespace wordloom
