// Engine benchmarks: the vocabulary scan, opening a project, the list sort.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/paths.h"
#include "base/scratch_folder.h"
#include "corpus_generator.h"
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
    WordLists lists;
    Status status = BuildVocabulary({ws.corpus}, rules, tables, ws.scratch, context, totals, lists);
    if (!status.ok()) state.SkipWithError(status.message().c_str());
    benchmark::DoNotOptimize(lists.Vocabulary.data());
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
  session.lists.CopyVocabularyToAll();
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

}  // namespace

BENCHMARK_MAIN();
