// The command line of wordloom-cli, checked and turned into plain option values, and its help.
//
// ParseArguments validates everything it can before any file is read: the command, each
// option's name, value and command, and the shape of the operands. A problem is a usage
// error (exit status 2) with a message of its own. The options, their values and their help
// all come from one table (option_table.h).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "concordance/citation_sort.h"
#include "base/table_writer.h"
#include "concordance/match_key.h"
#include "hits/hits.h"
#include "lists/keyword_selection.h"
#include "lists/word_list.h"
#include "scan/scan_rules.h"

namespace wordloom::cli {

struct RuleOptions {
  std::optional<std::string> title;
  std::optional<std::string> alphabet;
  std::optional<std::string> endOfLine;
  std::optional<std::string> join;
  std::optional<std::string> endHyphen;
  std::optional<ReferenceType> referenceType;
  std::optional<std::string> leftReference;
  std::optional<std::string> rightReference;
  std::vector<std::pair<int, std::string>> defines;  // letter number (1 = A), value
  std::optional<TextEncoding> encoding;  // Automatic is the new-project default
  std::optional<bool> unicodeLetters;
  std::optional<bool> needLetter;
  std::optional<std::string> language;
  std::optional<WordBoundaries> words;
  bool given = false;
};

// One --kw edit: a move of the KeyWords Required window.
struct KeyWordEdit {
  enum class Kind { Clear, Pattern, Frequency, Word };
  Kind kind = Kind::Clear;
  MoveDirection direction = MoveDirection::Add;
  PatternKind pattern = PatternKind::Prefix;
  FrequencyTest test = FrequencyTest::Greater;
  std::string text;  // the pattern, the threshold as typed, or the word
};

// The options of kwic, line, wordlist and profile.
struct QueryOptions {
  std::optional<std::string> keys;
  bool keyWords = false;
  MatchKind match = MatchKind::Word;
  CitationOrder order = CitationOrder::AsItOccurs;
  bool index = false;
  std::string cite;
  int wordListOrder = 1;  // --wordlist-order of kwic and line, --order of wordlist
  bool rhyme = false;
  WordListLayout layout = WordListLayout::OneColumn;
  bool frequencies = false;
  bool spectrum = false;
  std::vector<KeyWordEdit> keyWordEdits;
  // Tables as data (kwic, line, wordlist).
  TableFormat format = TableFormat::Text;
  std::optional<SearchMode> search;  // kwic and line; --match's kinds, and the pattern modes
  std::optional<int> contextWords;   // kwic tables: context in words instead of characters
  std::vector<SortLevel> sort;
  std::optional<int> sample, every;  // --sample N, --every N: one of them, made into `thinning`
  std::optional<int> seed;
  Thinning thinning;
};

// The options of the analyses: collocates, ngrams, clusters, dispersion, keyness and plot.
struct AnalysisOptions {
  int left = 5;  // the collocation window
  int right = 5;
  std::optional<int64_t> minimum;  // the least frequency listed; each command has its default
  std::string sortBy = "ll";       // a collocate measure
  int minN = 2;  // the n-gram lengths
  int maxN = 3;
  std::string position = "any";  // where a cluster holds its hit
  int letter = 0;                // dispersion parts: 0 the files, 1 (A) to 26 (Z) a reference letter
  std::vector<std::string> references;
  double threshold = 3.84;
  std::string out;  // the plot's picture
};

struct Arguments {
  std::string command;
  std::vector<std::string> operands;
  RuleOptions rules;
  bool noVocabulary = false;
  std::optional<std::string> temp;
  int context = 60;
  int threads = 0;  // of the vocabulary scans: 0 follows the machine
  QueryOptions query;
  AnalysisOptions analysis;
};

// True for the commands of the analyses (their tables default to tsv and have no text layout).
bool IsAnalysis(const std::string& command);

struct ParseResult {
  bool ok = true;
  std::string error;  // the usage problem when !ok
  Arguments arguments;
};

ParseResult ParseArguments(const std::vector<std::string>& args);

// The help topic when the command line asks for help: "--help" wherever an option may stand,
// or "help" or "-h" first. The topic is the command named first (or after "help"), else "".
// Callers ask this before ParseArguments, which reads "--help" as a flag that does nothing.
std::optional<std::string> HelpTopic(const std::vector<std::string>& args);

// The help: for "" every command and option; for a command, its synopsis and the options it
// takes.
std::string HelpText(const std::string& command = "");

// True when a source operand names a project file (".wlm" in any case).
bool IsProjectPath(const std::string& path);

}  // namespace wordloom::cli
