// The hit store on a large project: a run, the first screen of the table after it, sorting on
// three levels, re-windowing, contexts for every hit, TSV export, and a phrase against a
// single word, with the peak memory.
//
// usage: wordloom-hits-bench PROJECT.wlm KEY PHRASE
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "base/paths.h"
#include "base/scratch_folder.h"
#include "hits/hits.h"
#include "index/index.h"
#include "project/project_actions.h"

namespace wordloom {
namespace {

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

constexpr int64_t kScreenRows = 40;

// The contexts a screen of the table shows.
void ShowScreen(const HitStore& store, const std::vector<int64_t>& rows, const ContextWindow& window) {
  HitContext context;
  for (int64_t i = 0; i < kScreenRows && i < static_cast<int64_t>(rows.size()); ++i) {
    if (!store.Context(rows[static_cast<size_t>(i)], window, context).ok()) std::fprintf(stderr, "context failed\n");
  }
}

int Run(const std::string& project, const std::string& key, const std::string& phrase) {
  Session session;
  ScratchFolder scratch;
  if (!scratch.PrepareDefault().ok() || !OpenProject(session, project, ProgramFolder(), CurrentFolder()).status.ok()) {
    std::fprintf(stderr, "cannot open %s\n", project.c_str());
    return 1;
  }
  OpenMatchingIndex(session);  // as the window does: a run of a rare key reads around its tokens
  HitQuery query;
  query.keys = key;
  HitRunResult result;
  const double run = Seconds([&] {
    if (!GatherHits(session, query, scratch, result).ok()) std::fprintf(stderr, "run failed\n");
  });
  const HitStore& store = *result.store;
  std::vector<int64_t> rows;
  const double firstScreen = Seconds([&] {
    ArrangeHits(store, session.tables, {}, {}, rows);
    ShowScreen(store, rows, ContextWindow{});
  });
  const double sort = Seconds([&] { ArrangeHits(store, session.tables, {}, *ParseSortLevels("R1,L1,R2"), rows); });
  const double rewindow = Seconds([&] { ShowScreen(store, rows, ContextWindow{ContextUnit::Words, 12}); });
  HitContext context;
  const double everyContext = Seconds([&] {
    for (int64_t row : rows) {
      if (!store.Context(row, ContextWindow{ContextUnit::Characters, 40}, context).ok()) std::fprintf(stderr, "context failed\n");
    }
  });
  const double exported = Seconds([&] {
    FileWriter out;
    Status status = scratch.OpenForWrite("X", out);
    if (status.ok()) status = ExportHits(store, rows, ContextWindow{}, TableFormat::Tsv, out);
    if (status.ok()) status = out.Close();
    if (!status.ok()) std::fprintf(stderr, "export failed: %s\n", status.message().c_str());
  });
  const int64_t hits = store.size();
  result = HitRunResult{};
  query.keys = phrase;
  query.mode = SearchMode::Phrase;
  const double phraseRun = Seconds([&] {
    if (!GatherHits(session, query, scratch, result).ok()) std::fprintf(stderr, "phrase failed\n");
  });
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf("hit store, Kwic \"%s\": %lld hits; run %.2f s; first screen after the run %.3f s\n", key.c_str(),
              static_cast<long long>(hits), run, firstScreen);
  std::printf("  sort on R1,L1,R2 %.2f s; re-window the screen to 12 words %.4f s; every hit's contexts %.2f s\n", sort,
              rewindow, everyContext);
  std::printf("  export as TSV %.2f s; phrase \"%s\" (%lld hits) %.2f s, %.2f times the run of \"%s\"\n", exported,
              phrase.c_str(), static_cast<long long>(result.store ? result.store->size() : 0), phraseRun,
              phraseRun / run, key.c_str());
  std::printf("  peak memory %ld MB\n", usage.ru_maxrss / 1024);
  return 0;
}

}  // namespace
}  // namespace wordloom

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: wordloom-hits-bench PROJECT.wlm KEY PHRASE\n");
    return 2;
  }
  return wordloom::Run(argv[1], argv[2], argv[3]);
}
