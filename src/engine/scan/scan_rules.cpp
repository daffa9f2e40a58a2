#include "scan/scan_rules.h"

#include "unicode/unicode_text.h"

namespace wordloom {

CharTables BuildCharTables(const ScanRules& rules) {
  CharTables tables;
  tables.needLetter = rules.NeedsLetter();
  auto code = [](char c) { return static_cast<unsigned char>(c); };
  if (rules.encoding == TextEncoding::Utf8) {
    // Bytes beyond ASCII are parts of characters, which the Unicode side classes and orders.
    tables.unicode = UnicodeText::Make(rules);
    for (int c = 0; c < 128; ++c) {
      if (tables.unicode->IsWordChar(static_cast<char32_t>(c))) tables.CharClassTable[static_cast<size_t>(c)] = kWordClass;
    }
    for (size_t i = 0; i < rules.alphabet.size(); ++i) {
      if (code(rules.alphabet[i]) < 128) tables.CollationTable[code(rules.alphabet[i])] = static_cast<int16_t>(i + 2);
    }
    for (const std::string* rule : {&rules.join, &rules.endOfLine}) {
      for (char c : *rule) {
        if (code(c) >= 128) continue;
        tables.CharClassTable[code(c)] = rule == &rules.join ? kJoinClass : kEndOfLineClass;
        tables.CollationTable[code(c)] = 0;
      }
    }
    for (char c : rules.endHyphen) {
      if (code(c) < 128) tables.CharClassTable[code(c)] = static_cast<int16_t>(tables.CharClassTable[code(c)] + 10);
    }
    return tables;
  }
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
