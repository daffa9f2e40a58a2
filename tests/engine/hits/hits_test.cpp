// The hit store: where hits stand in their files, the search modes, contexts at the edges of a
// file, sorting, thinning, the reference values at a place, and the table formats' quoting.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/engine_support.h"
#include "hits/hits.h"
#include "project/project_actions.h"

namespace wordloom::test {
namespace {

struct Corpus : ScannedProject {
  using ScannedProject::ScannedProject;

  std::shared_ptr<const HitStore> Run(const std::string& keys, SearchMode mode, const std::string& cite = "") {
    HitQuery query;
    query.keys = keys;
    query.mode = mode;
    query.citationLetters = cite;
    HitRunResult result;
    const Status status = GatherHits(session, query, temp.scratch, result);
    EXPECT_TRUE(status.ok()) << status.message();
    return result.store;
  }

  // The matched texts, in gathering order.
  std::vector<std::string> Keys(const std::string& keys, SearchMode mode) {
    std::vector<std::string> found;
    const auto store = Run(keys, mode);
    Hit hit;
    for (int64_t row = 0; store && row < store->size(); ++row) {
      store->Read(row, hit);
      found.push_back(hit.text);
    }
    return found;
  }
};

ScanRules Rules(const std::string& join = "", const std::string& endHyphen = "", TextEncoding encoding = TextEncoding::Windows1252) {
  ScanRules rules;
  rules.join = join;
  rules.endHyphen = endHyphen;
  rules.referenceType = ReferenceType::Type1;
  rules.encoding = encoding;
  if (encoding == TextEncoding::Utf8) rules.alphabet = kDefaultUtf8Alphabet;
  return rules;
}

using Keys = std::vector<std::string>;

TEST(HitStore, OffsetsPointIntoTheFileThroughTagsMarksAndDecoding) {
  // Tags, a byte-order mark, a letter with a combining mark that NFC composes, an invalid byte.
  const std::string text =
      "\xEF\xBB\xBF<A One> Cat and <B x> cat\r\n<L 9>the Ca\xCC\x88t, \xFF cat\ncat \xCE\xBB\xCE\xB5\xCC\x81\xCE\xBE\xCE\xB7\xE2\x80\x94"
      "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82";
  Corpus corpus({{"t.txt", text}}, Rules("", "", TextEncoding::Utf8));
  const auto store = corpus.Run("cat cät λόγος", SearchMode::Word, "AL");
  ASSERT_EQ(store->size(), 6);
  Hit hit;
  std::vector<std::string> raw, citations;
  for (int64_t row = 0; row < store->size(); ++row) {
    store->Read(row, hit);
    raw.push_back(text.substr(static_cast<size_t>(hit.offset), static_cast<size_t>(hit.length)));
    citations.push_back(std::to_string(hit.fileLine) + hit.citation);
  }
  EXPECT_EQ(raw, (Keys{"Cat", "cat", "Ca\xCC\x88t", "cat", "cat", "λόγος"}));
  EXPECT_EQ(citations, (Keys{"1 One 1", "1 One 1", "2 One 9", "2 One 9", "3 One 10", "3 One 10"}));
}

TEST(HitStore, SearchModes) {
  Corpus corpus({{"t.txt", "Walk walks walked; sidewalk. WALKER talks\r\nstalk"}}, Rules());
  EXPECT_EQ(corpus.Keys("walk*", SearchMode::Wildcard), (Keys{"Walk", "walks", "walked", "WALKER"}));
  EXPECT_EQ(corpus.Keys("*alk", SearchMode::Wildcard), (Keys{"Walk", "sidewalk", "stalk"}));
  EXPECT_EQ(corpus.Keys("?alks", SearchMode::Wildcard), (Keys{"walks", "talks"}));
  // A regular expression matches whole words, whatever the anchors say, ignoring case.
  EXPECT_EQ(corpus.Keys("wa.*s", SearchMode::Regex), (Keys{"walks"}));
  EXPECT_EQ(corpus.Keys("^[st].*$", SearchMode::Regex), (Keys{"sidewalk", "talks", "stalk"}));
  EXPECT_EQ(corpus.Keys("WALK(S|ED)", SearchMode::Regex), (Keys{"walks", "walked"}));
}

TEST(HitStore, PhrasesRunOverPunctuationJoinsAndHyphenatedLineEnds) {
  Corpus corpus({{"t.txt", "They take care. Took, care! take great&\r\nzzz\r\ncare; make a firm de-\r\ncision now\r\n"
                           "make decision"},
                 {"u.txt", "take\r\ncare"}},
                Rules("&", "-"));
  // The matched text is the reader's: the join drops the rest of its line, the end-of-line
  // text stands between lines, and the hyphenated word runs on ("de-cision").
  EXPECT_EQ(corpus.Keys("take|took care", SearchMode::Phrase), (Keys{"take care", "Took, care", "take/care"}));
  EXPECT_EQ(corpus.Keys("take {0,1} care", SearchMode::Phrase), (Keys{"take care", "take greatzzz/care", "take/care"}));
  EXPECT_EQ(corpus.Keys("make {0,2} de-cision", SearchMode::Phrase), (Keys{"make a firm de-cision"}));
  // Once per first word, the shortest match; a phrase never runs from one file into the next.
  EXPECT_EQ(corpus.Keys("care {0,9} *", SearchMode::Phrase), (Keys{"care. Took", "care! take", "care; make"}));
  EXPECT_EQ(corpus.Keys("decision take", SearchMode::Phrase), Keys{});
  HitRunResult result;
  HitQuery bad;
  bad.keys = "take {2,1} care";
  bad.mode = SearchMode::Phrase;
  EXPECT_FALSE(GatherHits(corpus.session, bad, corpus.temp.scratch, result).ok());
}

TEST(HitStore, ContextsStopAtTheEdgesOfTheirFile) {
  Corpus corpus({{"a.txt", "First word, then more/the rest\r\nLast"}, {"b.txt", "Next file"}}, Rules());
  const auto store = corpus.Run("first last next rest", SearchMode::Word);
  ASSERT_EQ(store->size(), 4);
  HitContext context;
  auto contexts = [&](ContextWindow window) {
    std::vector<std::string> all;
    for (int64_t row = 0; row < store->size(); ++row) {
      EXPECT_TRUE(store->Context(row, window, context).ok());
      all.push_back(context.left + "[" + context.key + "]" + context.right);
    }
    return all;
  };
  // The end-of-line text stands between the lines and after the last, as the reader gives it.
  EXPECT_EQ(contexts({ContextUnit::Words, 2}),
            (Keys{"[First] word, then", "more/the [rest]/Last/", "the rest/[Last]/", "[Next] file/"}));
  EXPECT_EQ(contexts({ContextUnit::Characters, 4}), (Keys{"[First] wor", "the [rest]/Las", "est/[Last]/", "[Next] fil"}));

  // A join on the last line drops the end of the file with the rest of the line.
  Corpus joined({{"j.txt", "one two key a b&comment"}}, Rules("&"));
  const auto found = joined.Run("key", SearchMode::Word);
  ASSERT_TRUE(found->Context(0, {ContextUnit::Words, 5}, context).ok());
  EXPECT_EQ(context.left + "[" + context.key + "]" + context.right, "one two [key] a b");
}

TEST(HitStore, ContextsReadThroughACacheAreTheSame) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += i % 7 == 0 ? "the <A x> end-\r\nof line & " : (i % 5 == 0 ? "the\r\n" : "a the b ");
  Corpus corpus({{"a.txt", text}, {"b.txt", text.substr(0, 5000)}}, Rules("&", "-"));
  const auto store = corpus.Run("the", SearchMode::Word);
  ASSERT_GT(store->size(), 1500);
  for (const ContextWindow window : {ContextWindow{ContextUnit::Words, 20}, ContextWindow{ContextUnit::Characters, 50}}) {
    TextCache cache;
    HitContext cached, alone;
    for (int64_t i = 0; i < 2 * store->size(); ++i) {
      // Forward, then backward: reads that the cache holds and reads that it does not.
      const int64_t row = i < store->size() ? i : 2 * store->size() - 1 - i;
      ASSERT_TRUE(store->Context(row, window, cached, &cache).ok());
      ASSERT_TRUE(store->Context(row, window, alone).ok());
      ASSERT_EQ(cached.left + "|" + cached.key + "|" + cached.right, alone.left + "|" + alone.key + "|" + alone.right)
          << row;
    }
  }
}

TEST(HitStore, SortLevelsKeepGatheringOrderForTiesAndThinningIsReproducible) {
  Corpus corpus({{"t.txt", "a cat b. a dog b. c cat a. a cat b. c dog a."}}, Rules());
  const auto store = corpus.Run("cat dog", SearchMode::Word);
  std::vector<int64_t> rows;
  ASSERT_TRUE(ArrangeHits(*store, corpus.session.tables, {}, *ParseSortLevels("L1-,KEY"), rows));
  EXPECT_EQ(rows, (std::vector<int64_t>{2, 4, 0, 3, 1}));
  ASSERT_TRUE(ArrangeHits(*store, corpus.session.tables, {}, *ParseSortLevels("r1,key-"), rows));
  EXPECT_EQ(rows, (std::vector<int64_t>{4, 2, 1, 0, 3}));
  // With no levels: by key, then as gathered.
  ASSERT_TRUE(ArrangeHits(*store, corpus.session.tables, {}, {}, rows));
  EXPECT_EQ(rows, (std::vector<int64_t>{0, 2, 3, 1, 4}));
  Thinning every{Thinning::Kind::Every, 2, 0};
  ASSERT_TRUE(ArrangeHits(*store, corpus.session.tables, every, *ParseSortLevels("KEY"), rows));
  EXPECT_EQ(rows, (std::vector<int64_t>{0, 2, 4}));
  std::vector<int64_t> again;
  for (uint64_t seed : {1u, 2u, 3u}) {
    Thinning sample{Thinning::Kind::Sample, 3, seed};
    ASSERT_TRUE(ArrangeHits(*store, corpus.session.tables, sample, {SortLevel{SortField::File}}, rows));
    ASSERT_TRUE(ArrangeHits(*store, corpus.session.tables, sample, {SortLevel{SortField::File}}, again));
    EXPECT_EQ(rows, again);
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
  }
  EXPECT_FALSE(ParseSortLevels("KEY,X1"));
}

TEST(HitStore, ReferenceValuesRunOnAcrossFiles) {
  Corpus corpus({{"a.txt", "<A Act 1> one\r\ntwo\r\n<A Act 2> three"}, {"b.txt", "four\r\n<B b> five"}}, Rules());
  const auto store = corpus.Run("two five", SearchMode::Word, "AL");
  std::array<std::string, kLetterCount + 1> values;
  ReferenceReader first(store, 0), second(store, 1);
  auto at = [&](ReferenceReader& reader, int64_t offset) {
    EXPECT_TRUE(reader.ValuesAt(offset, values).ok());
    return values[1] + "|" + values[2] + "|" + values[12];
  };
  EXPECT_EQ(at(first, 16), "Act 1||2");
  EXPECT_EQ(at(first, 22), "Act 2||3");
  EXPECT_EQ(at(first, 0), "Act 1||1");  // back: read again from the start
  EXPECT_EQ(at(first, 16), "Act 1||2");
  EXPECT_EQ(at(second, 0), "Act 2||4");
  EXPECT_EQ(at(second, 8), "Act 2|b|5");
  Hit hit;
  store->Read(1, hit);
  EXPECT_EQ(hit.line, 5);

  // Within a line, the end-of-line characters before the place count, and a joined line goes
  // on with the line it joins.
  ScanRules rules = Rules("&");
  Corpus lines({{"c.txt", "one &x\r\ntwo\r\na / b / c four"}}, rules);
  const auto numbered = lines.Run("two four", SearchMode::Word, "L");
  ASSERT_EQ(numbered->size(), 2);
  ReferenceReader reader(numbered, 0);
  EXPECT_TRUE(reader.ValuesAt(8, values).ok());
  EXPECT_EQ(values[12], "1");
  EXPECT_TRUE(reader.ValuesAt(23, values).ok());
  EXPECT_EQ(values[12], "4");
  numbered->Read(1, hit);
  EXPECT_EQ(hit.line, 4);
}

TEST(TableWriter, QuotesAndEscapesEachFormat) {
  TempFolder folder;
  const std::string path = folder.File("out");
  const std::vector<std::string_view> cells = {"a,b", "say \"hi\"", "tab\there", "two\r\nlines", "caf\xE9\\"};
  auto written = [&](TableFormat format) {
    FileWriter out;
    out.Attach(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600));
    TableWriter table(out, format, {{"a"}, {"b"}, {"c"}, {"d"}, {"e"}}, true);
    table.Row(cells);
    EXPECT_TRUE(out.Close().ok());
    return ReadFile(path);
  };
  EXPECT_EQ(written(TableFormat::Csv), "a,b,c,d,e\r\n\"a,b\",\"say \"\"hi\"\"\",\"tab\there\",\"two\r\nlines\",caf\xE9\\\r\n");
  EXPECT_EQ(written(TableFormat::Tsv), "a\tb\tc\td\te\na,b\tsay \"hi\"\ttab\\there\ttwo\\r\\nlines\tcaf\xE9\\\\\n");
  EXPECT_EQ(written(TableFormat::JsonLines),
            "{\"a\":\"a,b\",\"b\":\"say \\\"hi\\\"\",\"c\":\"tab\\there\",\"d\":\"two\\r\\nlines\",\"e\":\"caf\xC3\xA9\\\\\"}\n");
}

}  // namespace
}  // namespace wordloom::test
