// UTF-8 projects: vocabularies in several scripts, case, order, contexts in display columns,
// and the choice of encoding.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "concordance/concordance_run.h"
#include "engine/engine_support.h"
#include "project/project_actions.h"
#include "scan/list_sort.h"
#include "unicode/unicode_text.h"

namespace wordloom::test {
namespace {

struct Corpus {
  TempScratch scratch;
  Session session;

  // A new project over `texts`, its encoding settled from them unless `rules` names one.
  explicit Corpus(const std::vector<std::string>& texts, ScanRules rules = AutomaticRules()) {
    Project created;
    ResetToNewProjectDefaults(created, scratch.folder.path());
    created.rules = rules;
    for (size_t i = 0; i < texts.size(); ++i) {
      created.AddFile(scratch.folder.Write("text" + std::to_string(i) + ".txt", texts[i]));
    }
    EXPECT_TRUE(AcceptNewProject(session, created, scratch.scratch).ok());
  }

  static ScanRules Utf8Rules() {
    ScanRules rules;
    rules.encoding = TextEncoding::Utf8;
    rules.alphabet = kDefaultUtf8Alphabet;
    return rules;
  }
  static ScanRules AutomaticRules() {
    ScanRules rules;
    rules.encoding = TextEncoding::Automatic;
    return rules;
  }

  // The vocabulary as "word count" items, in the project's order.
  std::string Vocabulary() const {
    std::string out;
    for (const Entry& entry : session.lists.Vocabulary) {
      out += (out.empty() ? "" : " ") + entry.word + ":" + std::to_string(entry.count);
    }
    return out;
  }

  std::vector<std::string> Run(ConcordanceQuery query) {
    ConcordanceResult result;
    EXPECT_TRUE(RunConcordance(session, query, scratch.scratch, result).ok());
    CommitConcordance(session, result);
    return result.wrote ? CrLfLines(ReadFile(result.outputPath)) : std::vector<std::string>{};
  }
};

TEST(Utf8Vocabulary, WordsOfEveryScriptAreWholeAndLowerCased) {
  const struct {
    const char* name;
    std::string text;
    ScanRules rules;
    const char* vocabulary;
  } cases[] = {
      {"curly apostrophes", "Caf\u00E9\u2019s na\u00EFve owner said \u201Cdon\u2019t\u201D.", Corpus::Utf8Rules(),
       "caf\u00E9\u2019s:1 don\u2019t:1 na\u00EFve:1 owner:1 said:1"},
      {"decomposed accents", "Cafe\u0301 CAF\u00C9 Stra\u00DFe", Corpus::Utf8Rules(), "caf\u00E9:2 stra\u00DFe:1"},
      {"Greek final sigma", "\u03A3\u039F\u03A6\u039F\u03A3 \u03C3\u03BF\u03C6\u03CC\u03C2", Corpus::Utf8Rules(),
       "\u03C3\u03BF\u03C6\u03BF\u03C2:1 \u03C3\u03BF\u03C6\u03CC\u03C2:1"},
      {"Czech", "\u0158eka \u0159eky \u0158EKA \u010Dern\u00E1", Corpus::Utf8Rules(),
       "\u010Dern\u00E1:1 \u0159eka:2 \u0159eky:1"},
      {"Russian", "\u041C\u0438\u0440 \u0438 \u043C\u0438\u0440.", Corpus::Utf8Rules(),
       "\u0438:1 \u043C\u0438\u0440:2"},
      {"a byte-order mark", "\uFEFFfirst word", Corpus::Utf8Rules(), "first:1 word:1"},
      {"apostrophes and hyphens alone are no words", "rock -- n' '' roll", Corpus::Utf8Rules(),
       "n':1 rock:1 roll:1"},
      {"marks alone are no words", "a \u0301\u0302 b", Corpus::Utf8Rules(), "a:1 b:1"},
  };
  for (const auto& c : cases) {
    Corpus corpus({c.text}, c.rules);
    EXPECT_EQ(corpus.session.project.rules.encoding, TextEncoding::Utf8) << c.name;
    EXPECT_EQ(corpus.Vocabulary(), c.vocabulary) << c.name;
  }
}

// A plain reference: each line decoded on its own, maximal runs of word characters.
std::map<std::string, int64_t> ReferenceVocabulary(const std::string& text, const UnicodeText& unicode) {
  std::map<std::string, int64_t> counts;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string line;
    DecodeLine(std::string_view(text).substr(begin, end - begin), line);
    size_t at = 0;
    while (at < line.size()) {
      size_t next = at;
      if (!unicode.IsWordChar(NextCodePoint(line, next))) {
        at = next;
        continue;
      }
      const size_t start = at;
      while (at < line.size() && unicode.IsWordChar(NextCodePoint(line, next = at))) at = next;
      const std::string_view word = std::string_view(line).substr(start, at - start);
      if (unicode.KeepsWord(word)) ++counts[unicode.Lower(word)];
    }
    begin = end + 1;
  }
  return counts;
}

// The scan's fast tokenizer and the keyword pass's word cutter against the plain reference,
// on random text of many scripts, marks, apostrophes and invalid bytes.
TEST(Utf8Vocabulary, ScanAndKeywordPassFindTheReferenceWords) {
  const char* const pieces[] = {"a", "B", "z", "'", "\u2019", "-", " ", " ", "\n", ".", "\u00E9", "E\u0301", "\u0301",
                                "\u0416", "\u0436", "\u4E2D", "\u201C", "9", "\xFF", "\u00DF", "\u03A3", "--"};
  std::mt19937 random(15);
  for (int round = 0; round < 12; ++round) {
    std::string text;
    for (int i = 0; i < 3000; ++i) text += pieces[std::uniform_int_distribution<size_t>(0, std::size(pieces) - 1)(random)];
    Corpus corpus({text}, Corpus::Utf8Rules());
    const auto expected = ReferenceVocabulary(text, *corpus.session.tables.unicode);
    std::map<std::string, int64_t> scanned;
    int64_t tokens = 0;
    for (const Entry& entry : corpus.session.lists.Vocabulary) {
      scanned[entry.word] = entry.count;
      tokens += entry.count;
    }
    ASSERT_EQ(scanned, expected) << "round " << round;
    ASSERT_EQ(corpus.session.totals.tokenCount, tokens);

    // Every word as a key: the keyword pass finds each token once.
    ConcordanceQuery query;
    for (const auto& [word, count] : expected) query.keys += word + " ";
    ConcordanceResult result;
    ASSERT_TRUE(RunConcordance(corpus.session, query, corpus.scratch.scratch, result).ok());
    ASSERT_EQ(result.citationCount, tokens) << "round " << round;
  }
}

TEST(Utf8Vocabulary, ChineseHasWordsWithUnicodeBoundaries) {
  ScanRules rules = Corpus::Utf8Rules();
  rules.words = WordBoundaries::Unicode;
  Corpus corpus({"\u6211\u4EEC\u662F\u5B66\u751F\u3002\u6211\u4EEC\u559C\u6B22\u5B66\u4E60\u3002"}, rules);
  const std::string vocabulary = corpus.Vocabulary();
  EXPECT_NE(vocabulary.find("\u6211\u4EEC:2"), std::string::npos) << vocabulary;
  EXPECT_EQ(vocabulary.find("\u3002"), std::string::npos) << vocabulary;
}

TEST(Utf8Vocabulary, InvalidBytesAreReportedOnceAndReadAsReplacement) {
  Corpus corpus({"good line\nbad \xFF here\nand \xC3 again\n"}, Corpus::Utf8Rules());
  EXPECT_EQ(corpus.Vocabulary(), "again:1 and:1 bad:1 good:1 here:1 line:1");
  const std::string& report = corpus.session.scan.ErrorReportText;
  EXPECT_NE(report.find("ERROR: not valid UTF-8 at line 2\r\n"), std::string::npos) << report;
  EXPECT_EQ(report.find("line 3"), std::string::npos) << report;
}

TEST(Utf8Encoding, SettlesFromTheTexts) {
  const struct {
    std::vector<std::string> texts;
    TextEncoding encoding;
  } cases[] = {
      {{"plain ascii"}, TextEncoding::Windows1252},
      {{"plain", "caf\u00E9"}, TextEncoding::Utf8},
      {{"\uFEFFascii after a mark"}, TextEncoding::Utf8},
      {{"caf\u00E9", "caf\xE9"}, TextEncoding::Windows1252},
  };
  for (const auto& c : cases) {
    Corpus corpus(c.texts);
    EXPECT_EQ(corpus.session.project.rules.encoding, c.encoding) << c.texts.back();
  }
}

// Texts whose first bytes are ASCII are scanned before their encoding is settled, and settled
// (and scanned again) only when the scan meets a byte beyond ASCII: the project comes out as it
// does with its encoding named. A text of more than one piece is scanned on two threads.
TEST(Utf8Encoding, ScanningBeforeSettlingChangesNothing) {
  std::string lead;
  while (lead.size() < 70'000) lead += "ab cd\n";
  std::string large;
  while (large.size() < (size_t{5} << 20)) large += lead;
  const struct {
    const char* name;
    std::vector<std::string> texts;
    TextEncoding encoding;
  } cases[] = {
      {"ASCII", {lead, "plain ascii"}, TextEncoding::Windows1252},
      {"UTF-8 at once", {"caf\u00E9 na\u00EFve"}, TextEncoding::Utf8},
      {"UTF-8 after the first bytes", {lead + "caf\u00E9 na\u00EFve"}, TextEncoding::Utf8},
      {"Windows-1252 after the first bytes", {lead + "caf\xE9 na\xEFve"}, TextEncoding::Windows1252},
      {"UTF-8 in the last of many texts", std::vector<std::string>(70, "ab"), TextEncoding::Utf8},
      {"UTF-8 at the end of a text of pieces", {large + "caf\u00E9"}, TextEncoding::Utf8},
      {"Windows-1252 at the end of a text of pieces", {large + "caf\xE9"}, TextEncoding::Windows1252},
  };
  for (auto c : cases) {
    if (c.texts.size() == 70) c.texts.back() = "\u00E9t\u00E9";
    Corpus automatic(c.texts);
    Corpus named(c.texts, c.encoding == TextEncoding::Utf8 ? Corpus::Utf8Rules() : ScanRules{});
    EXPECT_EQ(automatic.session.project.rules.encoding, c.encoding) << c.name;
    EXPECT_EQ(automatic.session.project.rules.alphabet, named.session.project.rules.alphabet) << c.name;
    EXPECT_EQ(automatic.Vocabulary(), named.Vocabulary()) << c.name;
    EXPECT_EQ(automatic.session.totals.tokenCount, named.session.totals.tokenCount) << c.name;
    EXPECT_EQ(automatic.session.scan.ErrorReportText, named.session.scan.ErrorReportText) << c.name;
  }
}

// A scan asked to stop settles the encoding all the same: one in pieces stops having read
// little, and one in one pass reads every text.
TEST(Utf8Encoding, AStoppedScanStillSettles) {
  struct AlwaysStop final : ProgressSink {
    bool StopRequested() override { return true; }
  };
  for (const size_t leadBytes : {size_t{70'000}, size_t{5} << 20}) {
    std::string text;
    while (text.size() < leadBytes) text += "ab cd\n";
    text += "caf\u00E9 na\u00EFve\n";
    for (const int threads : {1, 2}) {
      TempScratch temp;
      Session session;
      Project created;
      ResetToNewProjectDefaults(created, temp.folder.path());
      created.rules.encoding = TextEncoding::Automatic;
      created.AddFile(temp.folder.Write("text.txt", text));
      AlwaysStop stop;
      ASSERT_TRUE(AcceptNewProject(session, created, temp.scratch, {.progress = &stop, .threads = threads}).ok());
      EXPECT_EQ(session.project.rules.encoding, TextEncoding::Utf8) << leadBytes << " bytes, " << threads << " threads";
    }
  }
}

// A large text is checked in two halves, cut near its middle: a character, a broken sequence
// or a run of stray continuation bytes there reads as it does when the text is read whole.
TEST(Utf8Encoding, ALargeTextCutInTwoSettlesAsWhole) {
  const size_t size = size_t{17} << 20;  // enough to be cut
  const struct {
    const char* name;
    std::string middle;  // written so that the text's middle byte is its second
    TextEncoding encoding;
  } cases[] = {
      {"ASCII", "ab", TextEncoding::Windows1252},
      {"a character of two bytes", "a\u00E9", TextEncoding::Utf8},
      {"a character of four bytes", "a\U0001F600", TextEncoding::Utf8},
      {"the second byte of four", "\U0001F600", TextEncoding::Utf8},
      {"a lead byte before ASCII", "a\xE2" "b", TextEncoding::Windows1252},
      {"a lead byte cut short", "a\xF0\x9F\x98", TextEncoding::Windows1252},
      {"five stray continuation bytes", "a\x80\x80\x80\x80\x80", TextEncoding::Windows1252},
  };
  TempFolder folder;
  for (const auto& c : cases) {
    std::string text(size, 'x');
    text.replace(size / 2 - 1, c.middle.size(), c.middle);
    const std::string path = folder.Write("large.txt", text);
    for (int threads : {1, 2}) {
      EXPECT_EQ(DetectEncoding({path}, threads), c.encoding) << c.name << ", " << threads << " threads";
    }
  }
}

TEST(Utf8Order, LanguageAndAlphabetDecide) {
  // Each word as a vocabulary entry, sorted by the word list's sort in ascending order.
  auto order = [](const std::string& language, const std::string& alphabet, std::vector<std::string> words,
                  int keyMode = 0) {
    ScanRules rules;
    rules.encoding = TextEncoding::Utf8;
    rules.language = language;
    if (!alphabet.empty()) rules.alphabet = alphabet;
    const CharTables tables = BuildCharTables(rules);
    EntryList vocabulary;
    EntryView view;
    for (const std::string& word : words) {
      view.positions().push_back(static_cast<EntryPosition>(vocabulary.size()));
      vocabulary.push_back({word, 1});
    }
    SortEntryView(vocabulary, view, 1, keyMode, tables);
    // The one-by-one comparison agrees with the sort.
    SortKeyOrder keys(tables, keyMode);
    std::string out;
    for (size_t i = 0; i < view.size(); ++i) {
      if (i > 0) {
        EXPECT_TRUE(keys.Less(vocabulary[view[i - 1]].word, vocabulary[view[i]].word));
      }
      out += (out.empty() ? "" : " ") + vocabulary[view[i]].word;
    }
    return out;
  };
  const std::string utf8Default = kDefaultUtf8Alphabet;
  EXPECT_EQ(order("cs", utf8Default, {"hrad", "chata", "cena", "\u010Das", "d\u016Fm", "i", "\u0159eka", "sto", "rak"}),
            "cena \u010Das d\u016Fm hrad chata i rak \u0159eka sto");
  EXPECT_EQ(order("", utf8Default, {"z", "\u00E9t\u00E9", "ete", "euro", "a"}), "a ete \u00E9t\u00E9 euro z");
  EXPECT_EQ(order("", utf8Default, {"9", "z", "\u2019a", "'a", "-", "a"}), "a z 'a \u2019a - 9");
  // The language tag's settings hold beside the alphabet's tailoring.
  EXPECT_EQ(order("en-u-kn-true", utf8Default, {"a100", "a9", "a10"}), "a9 a10 a100");
  // Characters beyond ASCII take their alphabet's places too.
  EXPECT_EQ(order("", "abcdefghijklmnopqrstuvwxyz\u00E5\u00E4\u00F6", {"\u00F6ga", "orm", "\u00E5l", "zebra", "apa", "\u00E4rm"}),
            "apa orm zebra \u00E5l \u00E4rm \u00F6ga");
  // Rhyme order reverses user-perceived characters: the mark stays on its letter.
  EXPECT_EQ(order("", utf8Default, {"aq\u0301", "ba", "ab", "q\u0301a"}, 1), "ba q\u0301a ab aq\u0301");
  // A multigraph of the alphabet sorts as one letter in its place.
  EXPECT_EQ(order("", "abc[ch]defghijklmnopqrstuvwxyz", {"cz", "cha", "ca", "da"}), "ca cz cha da");
  EXPECT_EQ(order("", "\u03B1\u03B2\u03B3\u03B4\u03B5\u03B6\u03B7\u03B8\u03B9\u03BA\u03BB\u03BC\u03BD\u03BE[\u03BF\u03C5]"
                      "\u03BF\u03C0\u03C1\u03C3\u03C4\u03C5",
                  {"\u03BF\u03C5\u03C1\u03B1", "\u03BF\u03C1\u03BF\u03C2", "\u03BF\u03B1\u03C3\u03B7"}),
            "\u03BF\u03C5\u03C1\u03B1 \u03BF\u03B1\u03C3\u03B7 \u03BF\u03C1\u03BF\u03C2");
}

TEST(Utf8Kwic, KeysStandInOneColumnWhateverTheScript) {
  Corpus corpus({"\u4E2D\u6587 key one\nCafe\u0301 key two\nplain key three\nq\u0301q\u0301 key four\n"});
  ConcordanceQuery query;
  query.keys = "KEY";
  query.contextWidth = 20;
  const std::vector<std::string> lines = corpus.Run(query);
  int found = 0;
  for (const std::string& line : lines) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::string context = line.substr(tab + 1);
    const size_t key = context.find("key");
    ASSERT_NE(key, std::string::npos) << line;
    EXPECT_EQ(DisplayWidth(context.substr(0, key)), 10) << line;
    EXPECT_EQ(DisplayWidth(context), 21) << line;
    ++found;
  }
  EXPECT_EQ(found, 4);
}

}  // namespace
}  // namespace wordloom::test
