// Engine benchmarks: the vocabulary scan, opening a project, the list sort, the word list,
// the profile, the key-word moves and the keyword pass with one key or thousands.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "base/paths.h"
#include "base/scratch_folder.h"
#include "concordance/citation.h"
#include "concordance/gather.h"
#include "corpus_generator.h"
#include "lists/keyword_selection.h"
#include "lists/profile.h"
#include "lists/word_list.h"
#include "project/project_actions.h"
#include "scan/list_sort.h"
#include "scan/vocabulary.h"

namespace {

using namespace wordloom;

// A folder of the benchmark run, with a generated corpus and a scratch folder.
struct Workspace {
  std::string folder;
  std::string corpus;
  ScratchFolder scratch;

  Workspace() {
    folder = std::filesystem::temp_directory_path().string() + "/wordloom-bench-" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    corpus = folder + "/corpus.txt";
    bench::WriteCorpus(corpus, 20'000'000);
    (void)scratch.Prepare(folder + "/scratch");
  }
  ~Workspace() { std::filesystem::remove_all(folder); }
};

Workspace& Shared() {
  static Workspace workspace;
  return workspace;
}

void BM_VocabularyScan(benchmark::State& state) {
  Workspace& ws = Shared();
  ScanRules rules;
  CharTables tables = BuildCharTables(rules);
  for (auto _ : state) {
    ScanContext context;
    ScanTotals totals;
    EntryList vocabulary;
    Status status = BuildVocabulary({ws.corpus}, rules, tables, ws.scratch, context, totals, vocabulary);
    if (!status.ok()) state.SkipWithError(status.message().c_str());
    benchmark::DoNotOptimize(vocabulary.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(ws.corpus)));
}
BENCHMARK(BM_VocabularyScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// A session whose vocabulary has `words` entries.
Session MakeSession(size_t words) {
  Session session;
  session.project.Files = {"/texts/a.txt", "/texts/b.txt"};
  session.tables = BuildCharTables(session.project.rules);
  for (size_t i = 0; i < words; ++i) {
    std::string word;
    for (size_t n = i + 1; n > 0; n /= 26) word += static_cast<char>('a' + n % 26);
    session.lists.Vocabulary.push_back(Entry{word, static_cast<int64_t>(i % 97 + 1)});
  }
  session.lists.ResetViews();
  return session;
}

void BM_OpenProject(benchmark::State& state) {
  Workspace& ws = Shared();
  std::string path = ws.folder + "/big.wlm";
  Session written = MakeSession(static_cast<size_t>(state.range(0)));
  if (!WriteProjectFile(written, path).ok()) state.SkipWithError("could not write the project");
  for (auto _ : state) {
    Session session;
    ProjectFileReport report = OpenProject(session, path, ws.folder, ws.folder);
    benchmark::DoNotOptimize(session.lists.Vocabulary.data());
  }
}
BENCHMARK(BM_OpenProject)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SortEntryList(benchmark::State& state) {
  Workspace& ws = Shared();
  Session session = MakeSession(100000);
  ListSortOptions options;
  options.scratch = &ws.scratch;
  options.budgetBytes = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    EntryList list = session.lists.Vocabulary;
    state.ResumeTiming();
    Status status = SortEntryList(list, 4, 1, session.tables, options);
    benchmark::DoNotOptimize(list.data());
  }
}
BENCHMARK(BM_SortEntryList)->Arg(32 << 20)->Arg(256 << 10)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 100,000-word vocabulary in collating order, as a scan leaves it.
Session SortedSession() {
  Workspace& ws = Shared();
  Session session = MakeSession(100000);
  ListSortOptions options;
  options.scratch = &ws.scratch;
  (void)SortEntryList(session.lists.Vocabulary, 1, 0, session.tables, options);
  session.lists.ResetViews();
  session.totals.tokenCount = 5'000'000;
  return session;
}

// Word list of the whole vocabulary: order (1-6) and layout (0-3), with frequencies.
void BM_MakeWordList(benchmark::State& state) {
  Workspace& ws = Shared();
  Session session = SortedSession();
  WordListQuery query;
  query.order = static_cast<int>(state.range(0));
  query.layout = static_cast<WordListLayout>(state.range(1));
  query.frequencies = true;
  for (auto _ : state) {
    // The session is left as it was, so every run sorts the list from the vocabulary's order.
    WordListResult result;
    if (!MakeWordList(session, query, ws.scratch, result).ok()) state.SkipWithError("word list failed");
  }
}
BENCHMARK(BM_MakeWordList)
    ->ArgsProduct({{1, 2, 3, 4, 5, 6}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_MakeProfile(benchmark::State& state) {
  Workspace& ws = Shared();
  Session session = SortedSession();
  for (auto _ : state) {
    ProfileResult result;
    if (!MakeProfile(session, state.range(0) != 0, ws.scratch, result).ok()) state.SkipWithError("profile failed");
  }
}
BENCHMARK(BM_MakeProfile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// "add:prefix:b" and "add:gt:0" into an empty key-word list, into the full one, and into the
// full one out of order (as after a change of alphabet without a new scan).
void BM_KeyWordsAdd(benchmark::State& state) {
  Session session = SortedSession();
  for (auto _ : state) {
    state.PauseTiming();
    session.lists.KeyWords = state.range(1) >= 1 ? EntryView::Whole(session.lists.Vocabulary.size()) : EntryView();
    if (state.range(1) == 2) {
      std::vector<EntryPosition>& positions = session.lists.KeyWords.positions();
      std::reverse(positions.begin(), positions.end());
    }
    state.ResumeTiming();
    KeyWordsEditor editor(session.lists, session.tables);
    if (state.range(0) == 0) {
      editor.PatternMove(MoveDirection::Add, PatternKind::Prefix, "b");
    } else {
      editor.FrequencyMove(MoveDirection::Add, FrequencyTest::Greater, "0");
    }
    benchmark::DoNotOptimize(session.lists.KeyWords.size());
  }
}
BENCHMARK(BM_KeyWordsAdd)->ArgsProduct({{0, 1}, {0, 1, 2}})->Unit(benchmark::kMillisecond)->UseRealTime();

// Counts the finds of a pass.
struct CountingSink : CitationSink {
  int64_t finds = 0;
  void Add(int64_t, int64_t, std::string_view, std::string_view, std::string_view) override { ++finds; }
};

// The keyword pass over about a million words with "the" alone, or with it and 3,999 more keys
// of three to five letters, matched as prefixes.
void BM_KwicManyKeys(benchmark::State& state) {
  Workspace& ws = Shared();
  const std::string corpus = ws.folder + "/million.txt";
  if (!std::filesystem::exists(corpus)) bench::WriteCorpus(corpus, 7'000'000);
  GatherQuery query;
  query.kind = MatchKind::Prefix;
  query.letters = ParseCitationLetters("L");
  query.keys = {"the"};
  std::mt19937 random(4000);
  while (query.keys.size() < static_cast<size_t>(state.range(0))) {
    std::string key(static_cast<size_t>(std::uniform_int_distribution<int>(3, 5)(random)), ' ');
    for (char& c : key) c = static_cast<char>('a' + std::uniform_int_distribution<int>(0, 25)(random));
    query.keys.push_back(key);
  }
  ScanRules rules;
  const CharTables tables = BuildCharTables(rules);
  int64_t finds = 0;
  for (auto _ : state) {
    ScanContext context;
    CountingSink sink;
    Status status = GatherKwic(context, rules, tables, corpus, query, sink);
    if (!status.ok()) state.SkipWithError(status.message().c_str());
    finds = sink.finds;
  }
  state.counters["finds"] = static_cast<double>(finds);
}
BENCHMARK(BM_KwicManyKeys)->Arg(1)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
