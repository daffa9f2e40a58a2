#include "project/project_texts.h"

#include <initializer_list>

#include "ui/code_page.h"
#include "unicode/unicode_text.h"

namespace wordloom::app {
namespace {

const char* DefaultAlphabetOf(TextEncoding encoding) {
  return TypedEncoding(encoding) == TextEncoding::Utf8 ? kDefaultUtf8Alphabet : kDefaultAlphabet;
}

// Recodes the record's texts between two typed encodings; the alphabet too unless it has
// already been given the new encoding's default.
void RecodeTexts(Project& project, TextEncoding from, TextEncoding to, bool alphabetToo) {
  const auto recode = [from, to](std::string& text) { text = EncodeText(DecodeText(text, from), to); };
  ScanRules& rules = project.rules;
  for (std::string* text : {&project.Title, &project.PrefixPattern, &project.SuffixPattern, &project.AnywherePattern,
                            &rules.join, &rules.endOfLine, &rules.endHyphen, &rules.leftReference,
                            &rules.rightReference}) {
    recode(*text);
  }
  if (alphabetToo) recode(rules.alphabet);
}

}  // namespace

void ChangeEncoding(Project& project, TextEncoding to) {
  ScanRules& rules = project.rules;
  const TextEncoding from = TypedEncoding(rules.encoding);
  rules.encoding = to;
  if (TypedEncoding(to) == from) return;
  const bool defaultAlphabet = rules.alphabet == DefaultAlphabetOf(from);
  if (defaultAlphabet) rules.alphabet = DefaultAlphabetOf(to);
  RecodeTexts(project, from, TypedEncoding(to), !defaultAlphabet);
}

bool SettleCandidate(ProjectCandidate& candidate, int threads) {
  const ScanRules& rules = candidate.project.rules;
  if (rules.encoding != TextEncoding::Automatic) return false;
  const std::string typedAlphabet = rules.alphabet;
  SettleEncoding(candidate, threads);
  if (rules.encoding != TextEncoding::Utf8) return false;
  RecodeTexts(candidate.project, TextEncoding::Windows1252, TextEncoding::Utf8, rules.alphabet == typedAlphabet);
  candidate.tables = BuildCharTables(rules);
  return true;
}

void RecodeLettersToUtf8(ReferenceLetters& letters) {
  std::string decoded;
  for (int row = 0; row < letters.rows(); ++row) {
    for (int column = 0; column < letters.columns(); ++column) {
      const std::string& value = letters.Cell(row, column);
      if (DecodeLine(value, decoded) == std::string_view::npos) continue;  // valid UTF-8 already
      letters.SetCell(row, column, EncodeText(Decode1252(value), TextEncoding::Utf8));
    }
  }
}

}  // namespace wordloom::app
