#include "cli/option_table.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <utility>

#include "analysis/analysis.h"
#include "concordance/concordance_run.h"

namespace wordloom::cli {
namespace {

constexpr CommandSpec kCommands[] = {
    {"new", "PROJECT.wlm FILE...", "create a project, scan its texts and write it, with its index PROJECT.wlx",
     true},
    {"scan", "PROJECT.wlm", "rescan a project's texts and save it, with its index", false},
    {"info", "SOURCE", "title, counts, key-word summary, reference letters", true},
    {"kwic", "SOURCE",
     "keyword-in-context concordance or index; as a table: file, line, citation, left, key, right, offset", true},
    {"line", "SOURCE", "whole-line concordance or index; as a table: file, line, citation, left (the line), key, "
                       "right, offset", true},
    {"wordlist", "SOURCE",
     "the word list of the vocabulary or key words; as a table: rank, word, frequency, per_million, range", true},
    {"profile", "SOURCE", "word-frequency statistics, or the frequency spectrum", true},
    {"collocates", "SOURCE",
     "the words that keep company with a search, within --left and --right words of each hit: rank, word, left, "
     "right, frequency (co-occurrences), collocate_frequency, mi, t, logdice, ll", true},
    {"ngrams", "SOURCE", "every run of n words within a text: rank, ngram, n, frequency, range (texts)", true},
    {"clusters", "SOURCE", "the n-grams that hold a hit of a search: rank, ngram, n, frequency, range", true},
    {"dispersion", "SOURCE",
     "how a search's hits spread over the texts or a reference letter's values: part, tokens, hits, per_million, "
     "then a row * with range, dp, dp_norm, juilland_d", true},
    {"keyness", "SOURCE",
     "the words more or less frequent than in a reference corpus: rank, word, frequency, reference_frequency, ll, "
     "log_ratio, direction (+ or -)", true},
    {"plot", "SOURCE", "the dispersion plot of a search, one strip a part, as a PNG or SVG picture", true},
};

OptionValue Flag(std::function<void(Arguments&)> set) {
  return {"", "", [set = std::move(set)](const std::string&, Arguments& out) {
            set(out);
            return true;
          }};
}

OptionValue Text(std::string placeholder, std::function<void(Arguments&, const std::string&)> set) {
  return {std::move(placeholder), "", [set = std::move(set)](const std::string& value, Arguments& out) {
            set(out, value);
            return true;
          }};
}

// One of a few names, each standing for a value: the placeholder and the refusal list them.
template <typename T>
OptionValue Choice(std::vector<std::pair<std::string, T>> choices, std::function<void(Arguments&, T)> set) {
  std::string placeholder, accepts;
  for (size_t i = 0; i < choices.size(); ++i) {
    placeholder += (i == 0 ? "" : "|") + choices[i].first;
    accepts += (i == 0 ? "" : i + 1 == choices.size() ? " or " : ", ") + choices[i].first;
  }
  return {placeholder, accepts,
          [choices = std::move(choices), set = std::move(set)](const std::string& value, Arguments& out) {
            for (const auto& [name, meaning] : choices) {
              if (value == name) {
                set(out, meaning);
                return true;
              }
            }
            return false;
          }};
}

OptionValue YesNo(std::function<void(Arguments&, bool)> set) {
  return Choice<bool>({{"yes", true}, {"no", false}}, std::move(set));
}

// A word-list order: one digit from 1 to 6, as the order buttons are numbered.
OptionValue ListOrder(std::function<int&(Arguments&)> field) {
  return {"1..6", "a number from 1 to 6", [field = std::move(field)](const std::string& value, Arguments& out) {
            if (value.size() != 1 || value[0] < '1' || value[0] > '6') return false;
            field(out) = value[0] - '0';
            return true;
          }};
}

// A whole number from `low` to `high`, digits only.
bool ParseCount(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const long long number = std::stoll(text);
  if (number < low || number > high) return false;
  value = static_cast<int>(number);
  return true;
}

// "A=V" or "a=V": reference letter A gets the value V.
bool StoreDefine(const std::string& value, Arguments& out) {
  char letter = value.empty() ? '\0' : value[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z' || value.size() < 2 || value[1] != '=') return false;
  out.rules.defines.emplace_back(letter - 'A' + 1, value.substr(2));
  return true;
}

template <typename T>
bool Lookup(std::span<const std::pair<std::string_view, T>> table, std::string_view name, T& value) {
  for (const auto& [text, meaning] : table) {
    if (name == text) {
      value = meaning;
      return true;
    }
  }
  return false;
}

constexpr std::pair<std::string_view, MoveDirection> kDirections[] = {{"add", MoveDirection::Add},
                                                                      {"remove", MoveDirection::Remove}};
constexpr std::pair<std::string_view, PatternKind> kPatterns[] = {
    {"prefix", PatternKind::Prefix}, {"suffix", PatternKind::Suffix}, {"anywhere", PatternKind::Anywhere}};
constexpr std::pair<std::string_view, FrequencyTest> kTests[] = {
    {"gt", FrequencyTest::Greater}, {"lt", FrequencyTest::Less}, {"eq", FrequencyTest::Equal}};

// "clear", or "add:" / "remove:", a move and its value ("add:prefix:con", "remove:gt:10").
bool StoreKeyWordEdit(const std::string& text, Arguments& out) {
  KeyWordEdit edit;
  if (text != "clear") {
    const size_t first = text.find(':');
    const size_t second = first == std::string::npos ? std::string::npos : text.find(':', first + 1);
    if (second == std::string::npos) return false;
    const std::string_view move = std::string_view(text).substr(first + 1, second - first - 1);
    edit.text = text.substr(second + 1);
    if (!Lookup<MoveDirection>(kDirections, std::string_view(text).substr(0, first), edit.direction)) return false;
    if (Lookup<PatternKind>(kPatterns, move, edit.pattern)) {
      edit.kind = KeyWordEdit::Kind::Pattern;
    } else if (Lookup<FrequencyTest>(kTests, move, edit.test)) {
      edit.kind = KeyWordEdit::Kind::Frequency;
    } else if (move == "word") {
      edit.kind = KeyWordEdit::Kind::Word;
    } else {
      return false;
    }
  }
  out.query.keyWordEdits.push_back(std::move(edit));
  return true;
}

// A number from `low` to `high` with up to six decimals ("3.84").
bool ParseDecimal(const std::string& text, double low, double high, double& value) {
  const size_t point = text.find('.');
  const std::string digits = point == std::string::npos ? text : text.substr(0, point) + text.substr(point + 1);
  if (digits.empty() || digits.size() > 15 || digits.find_first_not_of("0123456789") != std::string::npos ||
      (point != std::string::npos && text.size() - point - 1 > 6)) {
    return false;
  }
  value = std::stod(text);
  return value >= low && value <= high;
}

// "MIN..MAX" or one length "N": n-gram lengths from 1 to 5 (ngrams checks its own least).
bool StoreLengths(const std::string& text, Arguments& out) {
  const size_t dots = text.find("..");
  int low = 0, high = 0;
  if (!ParseCount(text.substr(0, dots), kLeastGram, kMostGram, low)) return false;
  if (dots == std::string::npos) {
    high = low;
  } else if (!ParseCount(text.substr(dots + 2), kLeastGram, kMostGram, high)) {
    return false;
  }
  if (low > high) return false;
  out.analysis.minN = low;
  out.analysis.maxN = high;
  return true;
}

// "file", or a reference letter in either case.
bool StoreParts(const std::string& text, Arguments& out) {
  if (text == "file") {
    out.analysis.letter = 0;
    return true;
  }
  if (text.size() != 1 || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
  out.analysis.letter = std::toupper(static_cast<unsigned char>(text[0])) - 'A' + 1;
  return true;
}

using CommandList = std::vector<std::string_view>;
const CommandList kConcordance = {"kwic", "line"};
const CommandList kSearches = {"kwic", "line", "collocates", "clusters", "dispersion", "plot"};
const CommandList kAnalyses = {"collocates", "ngrams", "clusters", "dispersion", "keyness"};
const CommandList kKeyWordLists = {"kwic", "line", "wordlist"};
const CommandList kSources = {"info", "kwic", "line", "wordlist", "profile"};
constexpr int kMostThreads = 256;

std::vector<OptionSpec> MakeOptions() {
  using G = OptionGroup;
  return {
      {"title", G::Rule, {}, "the project's title (default: the project file's name for new, else the first text's "
                             "name up to its first \".\")",
       Text("T", [](Arguments& a, const std::string& v) { a.rules.title = v; })},
      {"alphabet", G::Rule, {}, "the characters of words, in sorting order",
       Text("S", [](Arguments& a, const std::string& v) { a.rules.alphabet = v; })},
      {"eol", G::Rule, {}, "characters that end a line",
       Text("S", [](Arguments& a, const std::string& v) { a.rules.endOfLine = v; })},
      {"join", G::Rule, {}, "characters that join a line to the next",
       Text("S", [](Arguments& a, const std::string& v) { a.rules.join = v; })},
      {"hyphen", G::Rule, {}, "characters that hyphenate a word across a line end",
       Text("S", [](Arguments& a, const std::string& v) { a.rules.endHyphen = v; })},
      {"refs", G::Rule, {}, "the reference markup (default none)",
       Choice<ReferenceType>({{"none", ReferenceType::None}, {"type1", ReferenceType::Type1}},
                             [](Arguments& a, ReferenceType v) { a.rules.referenceType = v; })},
      {"left", G::Rule, {}, "the character that opens a reference tag (default <)",
       Text("C", [](Arguments& a, const std::string& v) { a.rules.leftReference = v; })},
      {"right", G::Rule, {}, "the character that closes a reference tag (default >)",
       Text("C", [](Arguments& a, const std::string& v) { a.rules.rightReference = v; })},
      {"define", G::Rule, {}, "reference letter X (A to Z) gets the value V; repeatable",
       {"X=V", "a letter, \"=\" and a value (for example C=Third)", StoreDefine}},
      {"encoding", G::Rule, {}, "the texts' encoding (default auto: utf-8 for UTF-8 texts beyond ASCII)",
       Choice<TextEncoding>({{"auto", TextEncoding::Automatic},
                             {"windows-1252", TextEncoding::Windows1252},
                             {"utf-8", TextEncoding::Utf8}},
                            [](Arguments& a, TextEncoding v) { a.rules.encoding = v; })},
      {"language", G::Rule, {}, "BCP 47 tag of a UTF-8 project's word order (default: the root order)",
       Text("TAG", [](Arguments& a, const std::string& v) { a.rules.language = v; })},
      {"words", G::Rule, {}, "UTF-8 words: runs of word characters (default), or Unicode's boundaries",
       Choice<WordBoundaries>({{"alphabet", WordBoundaries::Alphabet}, {"unicode", WordBoundaries::Unicode}},
                              [](Arguments& a, WordBoundaries v) { a.rules.words = v; })},
      {"unicode-letters", G::Rule, {}, "UTF-8 words take any script's letters, marks and digits (default yes)",
       YesNo([](Arguments& a, bool v) { a.rules.unicodeLetters = v; })},
      {"need-letter", G::Rule, {}, "a word needs a letter or digit (default: yes for utf-8, else no)",
       YesNo([](Arguments& a, bool v) { a.rules.needLetter = v; })},
      {"temp", G::Common, {}, "folder for scratch files (default: a private per-user folder)",
       Text("DIR", [](Arguments& a, const std::string& v) { a.temp = v; })},
      {"context", G::Common, {}, "concordance context width (10 to 240, default 60)",
       {"N", "a number", [](const std::string& v, Arguments& a) { return ParseContextWidth(v, a.context); }}},
      {"threads", G::Common, {}, "threads that scan texts for their words, a project's or keyness's reference texts, build a project's index and check a large text's encoding (0 to 256; default 0 follows the machine)",
       {"N", "a number from 0 to 256",
        [](const std::string& v, Arguments& a) { return ParseCount(v, 0, kMostThreads, a.threads); }}},
      {std::string(kHelpOption), G::Common, {}, "print the help (the command's, when one is named) and exit; anywhere among the options",
       Flag([](Arguments&) {})},  // answered by HelpTopic before the arguments are parsed
      {"no-vocabulary", G::Command, {"new"}, "create the project without scanning it",
       Flag([](Arguments& a) { a.noVocabulary = true; })},
      {"keys", G::Command, kSearches, "the keys, lower-cased and split at spaces (kwic and line need these or the key words)",
       Text("\"K1 K2 ...\"", [](Arguments& a, const std::string& v) { a.query.keys = v; })},
      {"keywords", G::Command, {"kwic", "line", "wordlist", "profile"},
       "work on the committed key words (for kwic and line: as the keys) instead of the whole vocabulary",
       Flag([](Arguments& a) { a.query.keyWords = true; })},
      {"match", G::Command, kConcordance, "how a key matches a word (default word)",
       Choice<MatchKind>({{"word", MatchKind::Word},
                          {"prefix", MatchKind::Prefix},
                          {"suffix", MatchKind::Suffix},
                          {"anywhere", MatchKind::Anywhere}},
                         [](Arguments& a, MatchKind v) { a.query.match = v; })},
      // Two options of one name: the citations' order, and the word list's.
      {"order", G::Command, kConcordance, "the order of the citations (default occurs)",
       Choice<CitationOrder>({{"occurs", CitationOrder::AsItOccurs},
                              {"left", CitationOrder::LeftContext},
                              {"right", CitationOrder::RightContext}},
                             [](Arguments& a, CitationOrder v) { a.query.order = v; })},
      {"order", G::Command, {"wordlist"}, "the order of the word list (default 1)",
       ListOrder([](Arguments& a) -> int& { return a.query.wordListOrder; })},
      {"index", G::Command, kConcordance, "write an index instead of a concordance",
       Flag([](Arguments& a) { a.query.index = true; })},
      {"cite", G::Command, kConcordance, "the reference letters to cite (L: the line number; default none)",
       Text("LETTERS", [](Arguments& a, const std::string& v) { a.query.cite = v; })},
      {"wordlist-order", G::Command, kConcordance, "the order of the key words, when they are the keys (default 1)",
       ListOrder([](Arguments& a) -> int& { return a.query.wordListOrder; })},
      {"rhyme", G::Command, kKeyWordLists, "sort the words by their endings",
       Flag([](Arguments& a) { a.query.rhyme = true; })},
      {"layout", G::Command, {"wordlist"}, "how the word list is laid out (default column; text format only)",
       Choice<WordListLayout>({{"left", WordListLayout::ColumnsLeft},
                               {"right", WordListLayout::ColumnsRight},
                               {"packed", WordListLayout::Packed},
                               {"column", WordListLayout::OneColumn}},
                              [](Arguments& a, WordListLayout v) { a.query.layout = v; })},
      {"freq", G::Command, {"wordlist"}, "show each word's frequency (text format only)",
       Flag([](Arguments& a) { a.query.frequencies = true; })},
      {"spectrum", G::Command, {"profile"}, "write the frequency spectrum instead of the statistics",
       Flag([](Arguments& a) { a.query.spectrum = true; })},
      {"format", G::Command, kKeyWordLists,
       "the output: text (today's layouts, the default), or a table of data as tsv, csv or jsonl",
       Choice<TableFormat>({{"text", TableFormat::Text},
                            {"tsv", TableFormat::Tsv},
                            {"csv", TableFormat::Csv},
                            {"jsonl", TableFormat::JsonLines}},
                           [](Arguments& a, TableFormat v) { a.query.format = v; })},
      {"search", G::Command, kSearches,
       "how the keys are searched: --match's kinds, wildcard (* and ? within a word), regex (one "
       "expression matching whole words) or phrase (word patterns, | for alternatives, {M,N} for a gap)",
       Choice<SearchMode>({{"word", SearchMode::Word},
                           {"prefix", SearchMode::Prefix},
                           {"suffix", SearchMode::Suffix},
                           {"anywhere", SearchMode::Anywhere},
                           {"wildcard", SearchMode::Wildcard},
                           {"regex", SearchMode::Regex},
                           {"phrase", SearchMode::Phrase}},
                          [](Arguments& a, SearchMode v) { a.query.search = v; })},
      {"context-words", G::Command, {"kwic"}, "table formats: the context in words on each side (1 to 20) "
                                              "instead of --context's characters",
       {"N", "a number from 1 to 20", [](const std::string& v, Arguments& a) {
          int n = 0;
          if (!ParseCount(v, 1, 20, n)) return false;
          a.query.contextWords = n;
          return true;
        }}},
      {"sort", G::Command, kConcordance, "table formats: sort by up to three levels of KEY, L1..L5, R1..R5, "
                                         "FILE, LINE, comma-separated; a trailing - sorts a level descending",
       {"LEVELS", "levels such as KEY,R1,L1- (at most three)", [](const std::string& v, Arguments& a) {
          auto levels = ParseSortLevels(v);
          if (!levels || levels->size() > 3) return false;
          a.query.sort = *levels;
          return true;
        }}},
      {"sample", G::Command, kConcordance, "table formats: keep a random sample of N hits (see --seed)",
       {"N", "a positive number", [](const std::string& v, Arguments& a) {
          int n = 0;
          if (!ParseCount(v, 1, INT32_MAX, n)) return false;
          a.query.sample = n;
          return true;
        }}},
      {"seed", G::Command, kConcordance, "the sample's seed: the same seed keeps the same hits (default 0)",
       {"S", "a number from 0", [](const std::string& v, Arguments& a) {
          int n = 0;
          if (!ParseCount(v, 0, INT32_MAX, n)) return false;
          a.query.seed = n;
          return true;
        }}},
      {"every", G::Command, kConcordance, "table formats: keep hits 1, N+1, 2N+1 and so on",
       {"N", "a positive number", [](const std::string& v, Arguments& a) {
          int n = 0;
          if (!ParseCount(v, 1, INT32_MAX, n)) return false;
          a.query.every = n;
          return true;
        }}},
      {"format", G::Command, kAnalyses, "the table: tsv (the default), csv or jsonl",
       Choice<TableFormat>({{"tsv", TableFormat::Tsv}, {"csv", TableFormat::Csv}, {"jsonl", TableFormat::JsonLines}},
                           [](Arguments& a, TableFormat v) { a.query.format = v; })},
      // The window's sides: for collocates these stand in place of the reference-tag rules.
      {"left", G::Command, {"collocates"}, "words to the left of each hit in the window (0 to 50, default 5)",
       {"L", "a number from 0 to 50", [](const std::string& v, Arguments& a) {
          return ParseCount(v, 0, kMostCollocateSpan, a.analysis.left);
        }}},
      {"right", G::Command, {"collocates"}, "words to the right of each hit in the window (0 to 50, default 5)",
       {"R", "a number from 0 to 50", [](const std::string& v, Arguments& a) {
          return ParseCount(v, 0, kMostCollocateSpan, a.analysis.right);
        }}},
      {"min", G::Command, {"collocates", "ngrams", "clusters", "keyness"},
       "the least frequency listed: co-occurrences for collocates (default 3), occurrences for ngrams and "
       "clusters (default 2), the target frequency for keyness (default 3)",
       {"M", "a positive number", [](const std::string& v, Arguments& a) {
          int n = 0;
          if (!ParseCount(v, 1, INT32_MAX, n)) return false;
          a.analysis.minimum = n;
          return true;
        }}},
      {"sort", G::Command, {"collocates"}, "the measure the collocates are sorted by, descending (default ll)",
       Choice<std::string>({{"mi", "mi"}, {"t", "t"}, {"logdice", "logdice"}, {"ll", "ll"}, {"frequency", "frequency"}},
                           [](Arguments& a, std::string v) { a.analysis.sortBy = std::move(v); })},
      {"n", G::Command, {"ngrams", "clusters"}, "the n-gram lengths, MIN..MAX or one length (ngrams 2 to 5, "
                                                "clusters 1 to 5; default 2..3)",
       {"MIN..MAX", "lengths such as 2..4, from 1 to 5, the first not above the second", StoreLengths}},
      {"position", G::Command, {"clusters"}, "where the hit stands in the cluster: its first words (left), its "
                                             "last (right) or anywhere (any, the default)",
       Choice<std::string>({{"left", "left"}, {"right", "right"}, {"any", "any"}},
                           [](Arguments& a, std::string v) { a.analysis.position = std::move(v); })},
      {"by", G::Command, {"dispersion", "plot"}, "the parts: the texts (file, the default) or the values of a "
                                                 "reference letter (A to Z)",
       {"file|LETTER", "file or a letter from A to Z", StoreParts}},
      {"reference", G::Command, {"keyness"},
       "the reference corpus: project files (.wlm), word lists (.tsv: word, tab, frequency a line) or text files "
       "scanned under the source's rules; every argument up to the next option is a reference, and with a "
       "project SOURCE any further operands are references too",
       {"REF...", "", [](const std::string& v, Arguments& a) {
          a.analysis.references.push_back(v);
          return true;
        }, true}},
      {"threshold", G::Command, {"keyness"},
       "the least log-likelihood listed (default 3.84, p < 0.05; 6.63, 10.83 and 15.13 for p < 0.01, 0.001, 0.0001)",
       {"X", "a number from 0 with up to six decimals", [](const std::string& v, Arguments& a) {
          return ParseDecimal(v, 0, 1e12, a.analysis.threshold);
        }}},
      {"out", G::Command, {"plot"}, "the picture to write: FILE.png or FILE.svg",
       Text("FILE", [](Arguments& a, const std::string& v) { a.analysis.out = v; })},
      {"kw", G::Command, kSources,
       "edit the key words (which start as the whole vocabulary); repeatable, applied in order, then "
       "committed. OP is clear, add:MOVE:VALUE or remove:MOVE:VALUE, with MOVE prefix, suffix or anywhere "
       "(VALUE a pattern), gt, lt or eq (VALUE a frequency), or word (VALUE a word)",
       {"OP",
        "clear, or add: or remove: followed by prefix:, suffix:, anywhere:, gt:, lt:, eq: or word: and a value",
        StoreKeyWordEdit}},
  };
}

}  // namespace

std::span<const CommandSpec> Commands() { return kCommands; }

const std::vector<OptionSpec>& Options() {
  static const std::vector<OptionSpec> options = MakeOptions();
  return options;
}

const CommandSpec* FindCommand(std::string_view name) {
  for (const CommandSpec& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

bool Takes(const OptionSpec& option, std::string_view command) {
  auto named = [&](const OptionSpec& row) {
    return std::find(row.commands.begin(), row.commands.end(), command) != row.commands.end();
  };
  if (option.group == OptionGroup::Command) return named(option);
  // A command option of the same name stands in its place for the commands that take it.
  return std::none_of(Options().begin(), Options().end(), [&](const OptionSpec& other) {
    return other.group == OptionGroup::Command && other.name == option.name && named(other);
  });
}

}  // namespace wordloom::cli
