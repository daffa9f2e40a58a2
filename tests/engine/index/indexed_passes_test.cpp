// The passes that read through the index, only around the candidate tokens, equal the ones that
// read every text whole: a keyword or whole-line concordance's output, counts and the reader it
// leaves, and every hit of a hit store with its contexts.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <random>
#include <type_traits>

#include "concordance/concordance_run.h"
#include "hits/hits.h"
#include "engine/engine_support.h"
#include "index/index.h"

namespace wordloom::test {
namespace {

// Texts of a few thousand characters: words of a small vocabulary and a few rare ones,
// reference tags (line numbers among them), joins, end hyphens, blank lines and spaces,
// a long word now and then, and lines of every length.
std::string RandomText(std::mt19937& random, bool lineNumberTags) {
  static const char* common[] = {"the", "cat", "sat", "on", "mat", "fish.", "Don't", "--"};
  static const char* lines[] = {"re-\r\n", "&cut\n", "\r\n", "\r\n\r\n  \r\n", "\n", "end-"};
  static const char* tags[] = {"<A one>", "<B two>", "<A three>", "<L 40>"};
  std::string text;
  for (int i = 1 + static_cast<int>(random() % 3000); i > 0; --i) {
    const unsigned pick = random() % 1000;
    if (pick < 800) {
      text += common[pick % 8];
    } else if (pick < 930) {
      text += lines[pick % 6];
    } else if (pick < 933) {
      text += tags[random() % (lineNumberTags ? 4 : 3)];
    } else if (pick < 995) {
      text += "rare" + std::to_string(random() % 40);
    } else if (pick < 996) {
      text += std::string(120 + random() % 20, 'w');  // about the ring's reach
    } else {
      text += pick % 2 ? "zebra" : "quagga";
    }
    text += random() % 9 == 0 ? "\r\n" : " ";
  }
  if (random() % 4 == 0) text += "<B>";  // a malformed tag: the text goes to the Error Report
  return text;
}

// A project of one to three random texts with its index; in some rounds a text whose last line
// holds a join, and one with finds after a long stretch without words, where a stretch must
// start further back for the twenty words before a hit.
struct CorpusShape {
  bool lineNumberTags = true;
  bool endHyphen = true;  // joins the words that meet at a line's end
  // Texts without tags, whose index is built on several threads, in pieces of a few thousand
  // bytes: its restart points are counted piece by piece.
  bool pieces = false;
};

// The index of a scanned project, built in pieces or by the single pass.
void BuildIndex(ScannedProject& project, bool inPieces) {
  const IndexBuildOptions options{.threads = inPieces ? 3 : 1, .pieceBytes = 3000};
  EXPECT_TRUE(UpdateProjectIndex(project.session, project.temp.folder.File("p.wlx"), project.temp.scratch,
                                 project.session.index, nullptr, options)
                  .ok());
  EXPECT_TRUE(project.session.index);
}

std::vector<std::pair<std::string, std::string>> WithoutTags(std::vector<std::string> texts) {
  for (std::string& text : texts) {
    for (size_t open; (open = text.find('<')) != std::string::npos;) text.erase(open, text.find('>', open) + 1 - open);
  }
  return NumberedTexts(texts);
}

// The projects of the whole-line tests: line-number tags in some rounds, no end hyphen in others.
CorpusShape WholeLineShape(int round) {
  return CorpusShape{.lineNumberTags = round % 5 == 0, .endHyphen = round % 3 != 1, .pieces = round % 4 == 3};
}

struct IndexedCorpus : ScannedProject {
  IndexedCorpus(std::mt19937& random, int round, CorpusShape shape = {})
      : ScannedProject(Texts(random, round, shape), Rules(shape)) {
    BuildIndex(*this, shape.pieces);
  }

  static ScanRules Rules(CorpusShape shape) {
    ScanRules rules = MarkupRules(TextEncoding::Windows1252);
    if (!shape.endHyphen) rules.endHyphen.clear();
    return rules;
  }

  static std::vector<std::pair<std::string, std::string>> Texts(std::mt19937& random, int round, CorpusShape shape) {
    std::vector<std::string> texts(1 + random() % 3);
    for (std::string& text : texts) text = RandomText(random, shape.lineNumberTags);
    if (round % 3 == 0) {
      std::string text;
      for (int line = 0; line < 3000; ++line) text += line < 30 ? "the <A dots> cat sat\r\n" : ".\r\n";
      texts.push_back(text + "a few words then zebra rare4 rare7 rare13 ww");
    }
    if (round % 5 == 0) texts.push_back("short <A four> zebra&");
    std::string many;
    if (round % 3 == 2) {
      // Under the end-hyphen rule "re-" and the word after it make one word, yet a line starts with
      // that word; and long lines, so that the line after "zeb-" is often a restart point.
      for (int line = 0; line < 400; ++line) many += line == 200 ? "a re-\r\nzebra sat re-\r\nrare4\r\n" : "the cat sat\r\n";
      for (int line = 0; line < 1000; ++line) {
        for (int word = 0; word < 40; ++word) many += "on the mat ";
        many += line % 10 == 0 ? "zeb-\r\nra " : "\r\n";
      }
      texts.push_back(many);
    }
    if (shape.lineNumberTags && round % 2 == 0) {
      // A line-number tag that repeats the number makes one numbered line of all these lines.
      many.clear();
      for (int line = 0; line < 2000; ++line) many += "<L 9>the cat sat\r\n";
      texts.push_back(many + "<L 9>zebra rare4 rare7 rare13 ww");
    }
    if (round % 4 == 1) {
      // A line of more than 4 KiB with finds deep in it: contexts start and stop inside it.
      std::string line;
      while (line.size() < 9000) line += line.size() % 2000 < 10 ? "rare4 zebra rare7 " : "the cat sat on ";
      std::string lines;
      for (int n = 0; n < 200; ++n) lines += "<A " + std::to_string(n) + "> the cat sat on the mat\r\n";
      texts.push_back(lines + line + "\r\n" + lines);
    }
    return shape.pieces ? WithoutTags(texts) : NumberedTexts(texts);
  }
};

struct Outcome {
  std::string output, counts, reader;
};

// Bytes this process has read from files so far: a pass that reads stretches through the index
// reads another amount than one that reads every text whole.
int64_t BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  int64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

// Counts the rounds whose run through the index read less than the run from the texts (beyond
// what reading /proc/self/io adds), so that a test knows it compared stretches at all.
struct ServedRounds {
  int rounds = 0;
  int64_t mark = BytesRead();
  int64_t throughIndex = 0;
  void IndexRunDone() {
    throughIndex = BytesRead() - mark;
    mark = BytesRead();
  }
  void TextsRunDone() {
    rounds += throughIndex + 4096 < BytesRead() - mark ? 1 : 0;
    mark = BytesRead();
  }
};

// The reader a run leaves: its line counts, running line number, Error Report and values.
std::string ReaderText(const ScanContext& after) {
  std::string text = std::to_string(after.state.physicalLineTotal) + "/" + std::to_string(after.state.logicalLineTotal) +
                     "/" + std::to_string(after.state.currentLineNumber) + "/" + after.ErrorReportText;
  for (const std::string& value : after.references.ReferenceLetterValue) text += "|" + value;
  return text;
}

Outcome Concordance(const Session& session, const ScratchFolder& scratch, const ConcordanceQuery& query) {
  ConcordanceResult result;
  EXPECT_TRUE(RunConcordance(session, query, scratch, result).ok());
  return Outcome{ReadFile(result.outputPath), result.countsText, ReaderText(*result.scan)};
}

std::string Hits(const Session& session, const ScratchFolder& scratch, const HitQuery& query);

// Runs `query` through the index and then from the texts, with the index set aside, and expects
// the same; `served` counts the rounds whose run through the index read stretches.
template <typename Query>
void ExpectAsFromTexts(Session& session, const ScratchFolder& scratch, const Query& query, int round,
                       ServedRounds* served = nullptr) {
  const auto run = [&] {
    if constexpr (std::is_same_v<Query, HitQuery>) {
      return Hits(session, scratch, query);
    } else {
      const Outcome outcome = Concordance(session, scratch, query);
      return outcome.output + "\n" + outcome.counts + "\n" + outcome.reader;
    }
  };
  if (served) served->mark = BytesRead();
  const std::string fromIndex = run();
  if (served) served->IndexRunDone();
  std::shared_ptr<const ProjectIndex> kept = std::move(session.index);
  const std::string fromTexts = run();
  if (served) served->TextsRunDone();
  EXPECT_EQ(fromIndex, fromTexts) << "round " << round << ", keys " << query.keys;
}

TEST(IndexedKwic, EqualsReadingEveryTextWhole) {
  std::mt19937 random(73);
  const MatchKind kinds[] = {MatchKind::Word, MatchKind::Prefix, MatchKind::Suffix, MatchKind::Anywhere};
  const char* keys[] = {"zebra", "rare7 rare13", "quagga zebra rare1", "rare4", "ww", "wwwwwwwwwwwwwwwwwwww", "rare2"};
  for (int round = 0; round < 60; ++round) {
    IndexedCorpus corpus(random, round, CorpusShape{.pieces = round % 4 == 3});
    Session& session = corpus.session;

    ConcordanceQuery query;
    query.keys = keys[round % 7];
    query.match = kinds[round % 4];
    query.order = static_cast<CitationOrder>(1 + round % 3);
    query.citationLetters = round % 2 ? "ABL" : "BA";
    query.contextWidth = 20 + 20 * (round % 6);
    query.index = round % 7 == 6;
    ExpectAsFromTexts(session, corpus.temp.scratch, query, round);
  }
}

TEST(IndexedLines, EqualsReadingEveryTextWhole) {
  std::mt19937 random(83);
  const MatchKind kinds[] = {MatchKind::Word, MatchKind::Prefix, MatchKind::Suffix, MatchKind::Anywhere};
  const char* keys[] = {"zebra", "rare7 rare13", "quagga zebra rare1", "rare4", "ww", "fish. zebra", "rare2", "zeb"};
  for (int round = 0; round < 60; ++round) {
    IndexedCorpus corpus(random, round, WholeLineShape(round));
    Session& session = corpus.session;

    ConcordanceQuery query;
    query.kind = ConcordanceKind::Line;
    query.keys = keys[round % 8];
    query.match = kinds[round % 4];
    query.order = static_cast<CitationOrder>(1 + round % 3);
    query.citationLetters = round % 2 ? "ABL" : "BA";
    query.index = round % 7 == 6;
    ExpectAsFromTexts(session, corpus.temp.scratch, query, round);
  }
}

// Every hit of a run with two of its contexts, and the reader the run leaves.
std::string Hits(const Session& session, const ScratchFolder& scratch, const HitQuery& query) {
  HitRunResult result;
  const Status status = GatherHits(session, query, scratch, result);
  EXPECT_TRUE(status.ok()) << status.message();
  std::string out;
  if (result.scan) out += ReaderText(*result.scan) + "\n";
  if (!result.store) return out;
  Hit hit;
  HitContext words, characters;
  for (int64_t row = 0; row < result.store->size(); ++row) {
    result.store->Read(row, hit);
    EXPECT_TRUE(result.store->Context(row, ContextWindow{ContextUnit::Words, 20}, words).ok());
    EXPECT_TRUE(result.store->Context(row, ContextWindow{ContextUnit::Characters, 120}, characters).ok());
    out += std::to_string(hit.number) + " " + std::to_string(hit.file) + " " + std::to_string(hit.key) + " " +
           std::to_string(hit.offset) + " " + std::to_string(hit.length) + " " + std::to_string(hit.fileLine) + " " +
           std::to_string(hit.line) + " " + std::to_string(hit.sequence) + " [" + hit.citation + "] [" + hit.text + "]";
    for (const std::string& word : hit.words) out += " " + word;
    out += " [" + words.left + "|" + words.right + "] [" + characters.left + "|" + characters.right + "]\n";
  }
  return out;
}

const SearchMode kSearchModes[] = {SearchMode::Word,     SearchMode::Prefix, SearchMode::Suffix, SearchMode::Anywhere,
                                   SearchMode::Wildcard, SearchMode::Regex,  SearchMode::Phrase};
const char* const kHitKeys[] = {"zebra", "rare7 rare13", "quagga zebra rare1", "rare4", "ww", "rare?", "rare1[0-9]|zebr"};

TEST(IndexedHits, EqualsReadingEveryTextWhole) {
  std::mt19937 random(79);
  for (int round = 0; round < 50; ++round) {
    IndexedCorpus corpus(random, round, CorpusShape{.pieces = round % 4 == 3});
    Session& session = corpus.session;

    HitQuery query;
    query.mode = kSearchModes[round % 7];
    // A phrase found by its second word, in the long line and after the stretch without words.
    const char* phrase = round % 14 == 6 ? "zebra * rare1" : "rare4 {0,1} rare7";
    query.keys = query.mode == SearchMode::Phrase ? phrase : kHitKeys[(round / 7 + round) % 7];
    query.citationLetters = round % 2 ? "ABL" : "BA";
    ExpectAsFromTexts(session, corpus.temp.scratch, query, round);
  }
}

// Phrases whose words are rare enough for the index to serve, often close together, across
// line ends and lines without words, so that stretches meet, a phrase runs on past a stretch's
// range, and its first word lies before the restart point of the word that picks it out.
TEST(IndexedHits, PhrasesEqualReadingEveryTextWhole) {
  std::mt19937 random(97);
  const char* phrases[] = {"rare4 {0,1} rare7", "quagga {0,4} the", "zebra|rare7 rare4", "the {0,2} quagga",
                           "rare4 * rare7 {0,2} zebra"};
  for (int round = 0; round < 15; ++round) {
    std::vector<std::string> texts(1 + random() % 2);
    for (std::string& text : texts) {
      static const char* words[] = {"the", "cat", "sat", "on", "mat", "fish"};
      for (int line = 2000 + static_cast<int>(random() % 2000); line > 0; --line) {
        if (random() % 50 == 0) text += "<A " + std::to_string(line) + "> ";
        if (random() % 400 == 0) {
          for (int dots = 0; dots < 150; ++dots) text += "....................\r\n";
          text += "quagga ";
        }
        for (int n = 1 + static_cast<int>(random() % (round % 2 ? 3 : 8)); n > 0; --n) {
          const unsigned pick = random() % 1000;
          text += pick < 4 ? "rare4" : pick < 8 ? "rare7" : pick < 12 ? "zebra" : pick < 13 ? "quagga" : words[pick % 6];
          text += ' ';
        }
        text += "\r\n";
      }
    }
    ScannedProject corpus(NumberedTexts(texts), MarkupRules(TextEncoding::Windows1252));
    Session& session = corpus.session;
    ASSERT_TRUE(UpdateProjectIndex(session, corpus.temp.folder.File("p.wlx"), corpus.temp.scratch, session.index).ok());

    HitQuery query;
    query.mode = SearchMode::Phrase;
    query.keys = phrases[round % 5];
    query.citationLetters = "AL";
    ExpectAsFromTexts(session, corpus.temp.scratch, query, round);
  }
}

// A UTF-8 project of one or two texts, under either kind of word boundaries: accented, Greek and
// Chinese words, a letter with a combining mark, upper case that folds, and now and then
// invalid bytes or lines of letters under many accents; Greek words with sigmas and a dotted
// capital I (whose lower cases take their context, or another character), or Russian words.
std::string Repeated(const std::string& text, int times) {
  std::string out;
  while (times-- > 0) out += text;
  return out;
}

struct Utf8Shape {
  bool endHyphen = true;
  bool needLetter = true;
  bool greek = true;
  bool unicodeLetters = true;  // else only the alphabet's characters make words
  bool capitalsOfAscii = false;  // the alphabet lists the dotted capital I and the Kelvin sign
};
Utf8Shape LongWordShape(int round) {
  return Utf8Shape{.endHyphen = round % 3 != 2, .needLetter = true, .greek = true, .unicodeLetters = true,
                   .capitalsOfAscii = false};
}

struct Utf8Corpus : ScannedProject {
  Utf8Corpus(std::mt19937& random, int round, Utf8Shape shape = {})
      : ScannedProject(Texts(random, round, shape.greek), Rules(round, shape)) {
    BuildIndex(*this, InPieces(round));
  }
  static ScanRules Rules(int round, Utf8Shape shape) {
    ScanRules rules = MarkupRules(TextEncoding::Utf8, round % 2 ? WordBoundaries::Unicode : WordBoundaries::Alphabet);
    if (!shape.endHyphen) rules.endHyphen.clear();
    rules.needLetter = shape.needLetter;
    rules.unicodeLetters = shape.unicodeLetters;
    // A dotted capital I of the alphabet lower-cases to an i and a dot above that is not; one
    // not in the alphabet is no word character, while its lower case's "i" is (and so for the
    // Kelvin sign and "k").
    if (shape.capitalsOfAscii) rules.alphabet += "\xC4\xB0\xE2\x84\xAA";
    return rules;
  }
  static bool InPieces(int round) { return round % 4 == 2; }

  static std::vector<std::pair<std::string, std::string>> Texts(std::mt19937& random, int round, bool greek) {
    const char* greekWord = "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82";
    const char* russianWord = "\xD0\xBA\xD0\xBE\xD1\x88\xD0\xBA\xD0\xB0";
    const char* words[] = {"the", "cat", "caf\xC3\xA9", greek ? greekWord : russianWord,
                           "\xE5\x9B\xAD\xE5\xAD\x90", "CAFE\xCC\x81", "\xC5\xBD" "ebra", "na\xC3\xAFve",
                           "don't", "--", "re-\r\n", "<A \xC3\xA9t\xC3\xA9>"};
    std::vector<std::string> texts(1 + random() % 2);
    for (std::string& text : texts) {
      for (int line = 1000 + static_cast<int>(random() % 1500); line > 0; --line) {
        for (int n = 1 + static_cast<int>(random() % 6); n > 0; --n) {
          const unsigned pick = random() % 1000;
          text += pick < 930 ? words[pick % 2] : pick < 990 ? words[2 + pick % 10] : "rare" + std::to_string(pick % 20);
          text += ' ';
        }
        text += "\r\n";
      }
    }
    if (round % 4 == 3) texts.push_back("invalid \xFF bytes: the text goes to the Error Report");
    if (round % 3 == 2) {
      // Words longer than 125 bytes: ASCII, Cyrillic and Chinese, now and then among short lines.
      std::string long_;
      for (int line = 0; line < 800; ++line) {
        long_ += line % 40 != 3 ? "the cat sat\r\n"
                                : "a rare4" + std::string(130, 'x') + " " + Repeated("\xD0\xB6", 90) + "ebra " +
                                      Repeated("\xE5\x9B\xAD", 60) + " caf\xC3\xA9\r\n";
      }
      texts.push_back(long_);
    }
    if (round % 2 == 0) {
      // A capital whose lower case is ASCII (the Kelvin sign), a sigma whose final form depends
      // on what follows, a dotted capital I, and a typographic apostrophe inside a word.
      std::string special;
      for (int line = 0; line < 600; ++line) {
        special += line % 50 == 7 ? std::string(greek ? "\xCE\x91\xCE\xA3.\xCE\x92 \xC4\xB0" : "I") +
                                        "stanbul \xE2\x84\xAA" "elvin don\xE2\x80\x99t rare4\r\n"
                   : line % 50 == 9 ? "a re-\r\nquagga sat\r\n"
                                    : "the cat sat\r\n";
      }
      texts.push_back(special);
    }
    if (round % 3 == 0) {
      // Letters under sixteen accents, 33 bytes a column: a wide left context reaches back over
      // more than the two kilobytes or so before a stretch's first find.
      std::string letter = "a";
      for (int accent = 0; accent < 16; ++accent) letter += "\xCC\x81";
      std::string heavy;
      for (int line = 0; line < 300; ++line) {
        for (int word = 0; word < 11; ++word) heavy += letter + letter + letter + " ";
        heavy += line % 20 == 1 ? "\r\nrare4 \xC5\xBE" "ebra " : "\r\n";
      }
      texts.push_back(heavy);
    }
    return InPieces(round) ? WithoutTags(texts) : NumberedTexts(texts);
  }
};

TEST(IndexedKwic, Utf8EqualsReadingEveryTextWhole) {
  std::mt19937 random(103);
  ServedRounds served;
  const char* keys[] = {"\xC5\xBE" "ebra", "rare7 rare13", "caf\xC3\xA9", "rare4 \xE5\x9B\xAD\xE5\xAD\x90"};
  const MatchKind kinds[] = {MatchKind::Word, MatchKind::Prefix, MatchKind::Suffix, MatchKind::Anywhere};
  for (int round = 0; round < 24; ++round) {
    // The rounds with words longer than 125 bytes have no end hyphen, which would carry them
    // over restart points and make their text read whole.
    Utf8Corpus corpus(random, round, LongWordShape(round));
    Session& session = corpus.session;

    ConcordanceQuery query;
    query.keys = keys[round % 4];
    query.match = kinds[(round / 4) % 4];
    query.order = static_cast<CitationOrder>(1 + round % 3);
    query.citationLetters = round % 2 ? "AL" : "A";
    query.contextWidth = round % 3 == 0 ? 240 : 20 + 44 * (round % 6);
    query.index = round % 7 == 6;
    ExpectAsFromTexts(session, corpus.temp.scratch, query, round, &served);
  }
  EXPECT_GE(served.rounds, 12);
}

TEST(IndexedHits, Utf8EqualsReadingEveryTextWhole) {
  std::mt19937 random(101);
  ServedRounds served;
  const char* keys[] = {"\xC5\xBE" "ebra", "rare7 rare13", "caf\xC3\xA9", "rare4 \xE5\x9B\xAD\xE5\xAD\x90"};
  for (int round = 0; round < 24; ++round) {
    // The rounds with words longer than 125 bytes have no end hyphen, which would carry them
    // over restart points and make their text read whole.
    Utf8Corpus corpus(random, round, LongWordShape(round));
    Session& session = corpus.session;

    HitQuery query;
    query.mode = kSearchModes[round % 7];
    query.keys = query.mode == SearchMode::Phrase ? "rare4 {0,2} caf\xC3\xA9" : keys[round % 4];
    if (query.mode == SearchMode::Wildcard) query.keys = "rare1?";
    if (query.mode == SearchMode::Regex) query.keys = "rare1[0-9]|\xC5\xBE" "eb";
    query.citationLetters = "AL";
    ExpectAsFromTexts(session, corpus.temp.scratch, query, round, &served);
  }
  EXPECT_GE(served.rounds, 12);
}

// A UTF-8 line's runs of ASCII word characters end at every character beyond ASCII, where
// the tokens run on: keys such as "ebra" and "caf" find lines that hold "\xC5\xBE" "ebra" and "caf\xC3\xA9".
TEST(IndexedLines, Utf8EqualsReadingEveryTextWhole) {
  std::mt19937 random(107);
  ServedRounds served;
  // A sigma lower-cases by what follows it, in a line otherwise than in its token: "\xCE\xB1\xCF\x83"
  // is in "\xCE\x91\xCE\xA3.\xCE\x92" but not in the token "\xCE\x91\xCE\xA3".
  const char* keys[] = {"ebra",    "caf rare13",       "elvin",      "quagga",
                        "re-",     "kelvin rare7",     "don",        "cafe",
                        "re",      "stanbul",          "\xCE\xB1\xCF\x83", "caf\xC3\xA9 rare4",
                        "\xC5\xBE" "ebra", "na\xC3\xAFve"};
  const MatchKind kinds[] = {MatchKind::Word, MatchKind::Prefix, MatchKind::Suffix, MatchKind::Anywhere};
  for (int round = 0; round < 32; ++round) {
    // Odd rounds cut words at Unicode's boundaries, which the index does not serve; each pair
    // of rounds asks the same.
    const int pair = round / 2;
    Utf8Corpus corpus(random, round,
                      Utf8Shape{.endHyphen = pair % 2 == 0,
                                .needLetter = pair % 4 < 2,
                                .greek = pair % 8 < 4,
                                .unicodeLetters = pair % 8 != 1,
                                .capitalsOfAscii = pair == 9});
    Session& session = corpus.session;
    // Without Unicode's letters and with no dotted capital I in the alphabet, "i" is found in
    // a line where the I stands, which no token holds.
    const std::string key = pair == 1 ? "i" : keys[pair % 14];
    const MatchKind kind = pair % 5 == 4 ? kinds[pair % 4] : MatchKind::Word;
    if (pair % 4 < 2) {
      ConcordanceQuery query;
      query.kind = ConcordanceKind::Line;
      query.keys = key;
      query.match = kind;
      query.order = static_cast<CitationOrder>(1 + round % 3);
      query.citationLetters = round % 3 ? "AL" : "A";
      ExpectAsFromTexts(session, corpus.temp.scratch, query, round, &served);
    } else {
      // Patterns are matched on a line's runs, and read through the index only when no token
      // holds a sigma.
      HitQuery query;
      query.kind = ConcordanceKind::Line;
      const bool pattern = pair % 4 == 3;  // without the need-letter rule or an end hyphen
      query.mode = !pattern ? static_cast<SearchMode>(static_cast<int>(kind) - 1)
                            : pair % 8 == 3 ? SearchMode::Wildcard : SearchMode::Regex;
      query.keys = !pattern ? key : pair % 8 == 3 ? "\xCE\xB1\xCF\x83" : "rare13|q.agga";
      query.citationLetters = "AL";
      ExpectAsFromTexts(session, corpus.temp.scratch, query, round, &served);
    }
  }
  EXPECT_GE(served.rounds, 8);
}

// Inputs where a UTF-8 line's runs are not its tokens, each as small as it comes: a dotted
// capital I that is no word character while its lower case's "i" is; a sigma whose forms differ
// in being word characters; a word that an end hyphen carries over lines longer than the
// restart points' spacing.
TEST(IndexedLines, Utf8RunsThatAreNoTokens) {
  struct Case {
    std::string text;
    std::string alphabet;  // empty: the default
    bool unicodeLetters;
    bool needLetter;
    std::string endHyphen;
    std::string keys;
    MatchKind match;
    std::optional<SearchMode> pattern;  // whole-line hits of a pattern, not `line` and `kwic`
  };
  const std::string letters = "abcdefghjlmnopqrstuvwxyz0123456789";  // no "i" or "k"
  std::string joined = "zqx" + Repeated("\xC3\xA9", 520) + "-\n" + Repeated("\xC3\xA9", 520) + "-\n\xC3\xA9 tail\n";
  for (int word = 0; word < 70; ++word) joined += "w ";
  const std::string sigma = "\xCF\x83", finalSigma = "\xCF\x82";
  const std::string capitals = "a\xCE\xA3 b\n";  // "a" and a capital sigma, its form final
  const std::optional<SearchMode> none;
  const Case cases[] = {
      {"\xC4\xB0stanbul\n", "", false, true, "", "i", MatchKind::Word, none},
      {"\xCE\x91.\xCE\xA3" "1x\n", letters + sigma, false, true, "", "1x", MatchKind::Word, none},
      {capitals, letters + finalSigma, false, false, "", "a.", MatchKind::Word, SearchMode::Regex},
      {capitals, letters + finalSigma, false, false, "", "a?", MatchKind::Word, SearchMode::Wildcard},
      {joined + "\n", "", true, true, "-", "zqx", MatchKind::Prefix, none},
  };
  for (const Case& c : cases) {
    ScanRules rules;
    rules.encoding = TextEncoding::Utf8;
    rules.alphabet = c.alphabet.empty() ? std::string(kDefaultUtf8Alphabet) : c.alphabet;
    rules.unicodeLetters = c.unicodeLetters;
    rules.needLetter = c.needLetter;
    rules.endHyphen = c.endHyphen;
    ScannedProject project({{"t.txt", c.text + c.text}}, rules);
    BuildIndex(project, false);
    if (c.pattern) {
      HitQuery query;
      query.kind = ConcordanceKind::Line;
      query.mode = *c.pattern;
      query.keys = c.keys;
      ExpectAsFromTexts(project.session, project.temp.scratch, query, 0);
      continue;
    }
    for (ConcordanceKind kind : {ConcordanceKind::Line, ConcordanceKind::Kwic}) {
      ConcordanceQuery query;
      query.kind = kind;
      query.keys = c.keys;
      query.match = c.match;
      ExpectAsFromTexts(project.session, project.temp.scratch, query, 0);
    }
  }
}

TEST(IndexedHits, WholeLinesEqualReadingEveryTextWhole) {
  std::mt19937 random(89);
  for (int round = 0; round < 42; ++round) {
    IndexedCorpus corpus(random, round, WholeLineShape(round));
    Session& session = corpus.session;

    HitQuery query;
    query.kind = ConcordanceKind::Line;
    query.mode = kSearchModes[round % 7];
    query.keys = query.mode == SearchMode::Phrase ? "zebra * rare1" : kHitKeys[(round / 7 + round) % 7];
    query.citationLetters = round % 2 ? "ABL" : "BA";
    ExpectAsFromTexts(session, corpus.temp.scratch, query, round);
  }
}

}  // namespace
}  // namespace wordloom::test
