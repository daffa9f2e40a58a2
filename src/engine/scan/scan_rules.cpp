#include "scan/scan_rules.h"

namespace wordloom {

CharTables BuildCharTables(const ScanRules& rules) {
  CharTables tables;
  auto code = [](char c) { return static_cast<unsigned char>(c); };
  for (size_t i = 0; i < rules.alphabet.size(); ++i) {
    unsigned char c = code(rules.alphabet[i]);
    tables.CharClassTable[c] = kWordClass;
    // Positions beyond the 16-bit range wrap as the table's entries do.
    tables.CollationTable[c] = static_cast<int16_t>(i + 2);
  }
  for (char c : rules.join) {
    tables.CharClassTable[code(c)] = kJoinClass;
    tables.CollationTable[code(c)] = 0;
  }
  for (char c : rules.endOfLine) {
    tables.CharClassTable[code(c)] = kEndOfLineClass;
    tables.CollationTable[code(c)] = 0;
  }
  for (char c : rules.endHyphen) {
    tables.CharClassTable[code(c)] = static_cast<int16_t>(tables.CharClassTable[code(c)] + 10);
  }
  return tables;
}

}  // namespace wordloom
