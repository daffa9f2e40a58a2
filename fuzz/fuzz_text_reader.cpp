// The vocabulary scan (the text reader with its reference markup) on any text under any
// rules, with a counting budget small enough to spill: the scan succeeds, and its vocabulary
// holds distinct words whose counts add up to the running-word count.
#include <set>

#include "fuzz_support.h"
#include "scan/vocabulary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wordloom;
  using namespace wordloom::fuzz;
  const ScratchFolder& scratch = FuzzScratch();

  FuzzInput input(data, size);
  const ScanRules rules = TakeRules(input);
  const CharTables tables = BuildCharTables(rules);
  const bool twoFiles = input.Flag();
  VocabularyOptions options;
  options.budgetBytes = input.Flag() ? 256 : 1 << 20;
  const std::string text = input.Rest();
  std::vector<std::string> files;
  if (twoFiles) {
    files.push_back(WriteFuzzFile("one.txt", std::string_view(text).substr(0, text.size() / 2)));
    files.push_back(WriteFuzzFile("two.txt", std::string_view(text).substr(text.size() / 2)));
  } else {
    files.push_back(WriteFuzzFile("one.txt", text));
  }

  ScanContext context;
  ScanTotals totals;
  EntryList vocabulary;
  const Status status = BuildVocabulary(files, rules, tables, scratch, context, totals, vocabulary, options);
  FUZZ_CHECK(status.ok(), status.message());
  int64_t counted = 0;
  std::set<std::string> words;
  for (const Entry& entry : vocabulary) {
    FUZZ_CHECK(!entry.word.empty() && entry.count > 0, "an empty word or a count below one");
    FUZZ_CHECK(words.insert(entry.word).second, "a word listed twice: " + entry.word);
    counted += entry.count;
  }
  FUZZ_CHECK(counted == totals.tokenCount, "the counts do not add up to the running words");
  FUZZ_CHECK(totals.vocabularySize == static_cast<int64_t>(vocabulary.size()), "the vocabulary size is not the list's");
  return 0;
}
