// UTF-8 projects on any bytes and rules: the scan, the keyword pass and every order agree.
// Every word of the vocabulary, as a key, is found by the keyword pass exactly as often as the
// scan counted it, where the two read the same text; the whole-line pass, the context orders
// and the word list in every order succeed.
#include "concordance/concordance_run.h"
#include "fuzz_support.h"
#include "lists/word_list.h"
#include "project/project_actions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wordloom;
  using namespace wordloom::fuzz;
  const ScratchFolder& scratch = FuzzScratch();

  FuzzInput input(data, size);
  ScanRules rules = TakeRules(input);
  rules.encoding = TextEncoding::Utf8;
  rules.words = input.Flag() ? WordBoundaries::Unicode : WordBoundaries::Alphabet;
  rules.unicodeLetters = input.Flag();
  rules.needLetter = input.Flag();
  static const char* const kLanguages[] = {"", "cs", "de", "sv", "zh", "not a tag"};
  rules.language = kLanguages[input.Number(5)];
  const int width = 10 + input.Number(230);
  const int order = 1 + input.Number(5);
  const std::string file = WriteFuzzFile("text.txt", input.Rest());

  Session session;
  Project created;
  created.Title = "fuzz";
  created.Files = {file};
  created.rules = rules;
  const Status scanned = AcceptNewProject(session, created, scratch);
  FUZZ_CHECK(scanned.ok(), scanned.message());

  ConcordanceQuery query;
  int64_t tokens = 0, keyed = 0;  // every word, and those a key can name (keys never hold a space)
  for (const Entry& entry : session.lists.Vocabulary) {
    tokens += entry.count;
    if (entry.word.find(' ') != std::string::npos) continue;
    query.keys += entry.word + " ";
    keyed += entry.count;
  }
  FUZZ_CHECK(tokens == session.totals.tokenCount, "the vocabulary's counts differ from the token count");
  query.contextWidth = width;
  query.order = static_cast<CitationOrder>(1 + order % 3);
  ConcordanceResult kwic;
  Status status = RunConcordance(session, query, scratch, kwic);
  FUZZ_CHECK(status.ok(), status.message());
  // The two passes read the same text unless the keyword pass's own reading differs: its end
  // padding is longer (a word of spaces grows), it reads a space for an empty end of line,
  // and its padding joins a tag left open on the last line.
  const bool sameText = rules.alphabet.find(' ') == std::string::npos && !rules.endOfLine.empty() &&
                        rules.referenceType != ReferenceType::Type1;
  FUZZ_CHECK(!sameText || query.keys.empty() || kwic.citationCount == keyed,
             "the keyword pass found " + std::to_string(kwic.citationCount) + " of " + std::to_string(keyed) + " words");

  query.kind = ConcordanceKind::Line;
  ConcordanceResult line;
  status = RunConcordance(session, query, scratch, line);
  FUZZ_CHECK(status.ok(), status.message());

  WordListQuery list;
  list.order = order;
  list.rhyme = input.Flag();
  WordListResult words;
  status = MakeWordList(session, list, scratch, words);
  FUZZ_CHECK(status.ok(), status.message());
  return 0;
}
