// Key-word edits (--kw) on any vocabulary, ordered or not: whatever parses is applied, and the
// key words are always entries of the vocabulary.
#include <map>

#include "cli/arguments.h"
#include "cli/command.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wordloom;
  using namespace wordloom::fuzz;
  FuzzInput input(data, size);
  Session session;
  session.tables = BuildCharTables(session.project.rules);
  const int entries = input.Number(40);
  for (int i = 0; i < entries; ++i) {
    std::string word = input.String(8);
    const int64_t count = static_cast<int8_t>(input.Byte());
    session.lists.Vocabulary.push_back(Entry{std::move(word), count});
  }
  session.lists.ResetViews();

  std::vector<std::string> args = {"info"};
  const std::string edits = input.Rest();
  size_t start = 0;
  while (start <= edits.size() && args.size() < 40) {
    size_t end = edits.find('\n', start);
    if (end == std::string::npos) end = edits.size();
    args.push_back("--kw");
    args.push_back(edits.substr(start, end - start));
    start = end + 1;
  }
  args.push_back("words.txt");
  const cli::ParseResult parsed = cli::ParseArguments(args);
  if (!parsed.ok) return 0;
  cli::ApplyKeyWordEdits(parsed.arguments.query.keyWordEdits, session);

  std::map<std::pair<std::string, int64_t>, int> available;
  for (const Entry& entry : session.lists.Vocabulary) ++available[{entry.word, entry.count}];
  std::map<std::pair<std::string, int64_t>, int> chosen;
  for (const Entry& entry : session.lists.Entries(session.lists.KeyWordsList)) ++chosen[{entry.word, entry.count}];
  for (const auto& [entry, times] : chosen) {
    FUZZ_CHECK(available.count(entry) != 0, "a key word that is not in the vocabulary: " + entry.first);
  }
  FUZZ_CHECK(session.lists.KeyWordsList == session.lists.KeyWords, "the committed key words differ from the edited");
  for (size_t i = 0; i < session.lists.KeyWords.size(); ++i) {
    FUZZ_CHECK(session.lists.KeyWords[i] < session.lists.Vocabulary.size(), "a key word outside the vocabulary");
  }
  return 0;
}
