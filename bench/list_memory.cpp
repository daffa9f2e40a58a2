// The memory of the word lists for a large vocabulary: a project of 1,000,000 word types
// (or the count given) is written, then opened as the opener does, and the heap in use and
// the resident set are reported after the open, and again once the word list, a key-word
// edit and a concordance over the key words have reordered and changed the lists.
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unordered_set>

#include "base/scratch_folder.h"
#include "concordance/concordance_run.h"
#include "lists/keyword_selection.h"
#include "lists/word_list.h"
#include "project/project_actions.h"
#include "project/project_file.h"

namespace {

using namespace wordloom;

size_t HeapInUse() {
  malloc_trim(0);
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;  // small blocks, and the large ones mapped on their own
}

size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
}

// Distinct lower-case words of 3 to 24 letters, most of them 5 to 12, as a large vocabulary has.
EntryList MakeVocabulary(size_t types) {
  std::mt19937_64 random(2024);
  std::unordered_set<std::string> seen;
  EntryList entries;
  entries.reserve(types);
  while (entries.size() < types) {
    const size_t r = random() % 100;
    const size_t length = r < 5 ? 3 + random() % 2 : r < 85 ? 5 + random() % 8 : 13 + random() % 12;
    std::string word(length, 'a');
    for (char& c : word) c = static_cast<char>('a' + random() % 26);
    if (seen.insert(word).second) entries.push_back(Entry{std::move(word), static_cast<int64_t>(1 + random() % 50)});
  }
  return entries;
}

void Report(const char* when, size_t heapBefore, size_t residentBefore) {
  std::printf("%-58s heap %7.1f MB   resident %7.1f MB\n", when, (HeapInUse() - heapBefore) / 1e6,
              (ResidentBytes() - residentBefore) / 1e6);
}

// The bytes the lists hold: the vocabulary's entries and the words too long to sit inside them,
// and the positions of the three views.
void ReportLists(const WordLists& lists) {
  size_t vocabulary = lists.Vocabulary.capacity() * sizeof(Entry);
  for (const Entry& entry : lists.Vocabulary) {
    if (entry.word.capacity() > std::string().capacity()) vocabulary += entry.word.capacity() + 1;
  }
  const size_t views = lists.KeyWords.HeldBytes() + lists.KeyWordsList.HeldBytes() + lists.AllWordsList.HeldBytes();
  std::printf("    the lists hold %.1f MB: the vocabulary %.1f MB, the three views %.1f MB\n", (vocabulary + views) / 1e6,
              vocabulary / 1e6, views / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
  const size_t types = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
  const std::string folder = std::filesystem::temp_directory_path().string() + "/wordloom-list-memory-" +
                             std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/big.wlm";
  const std::string text = folder + "/text.txt";
  std::ofstream(text) << "a few words\r\n";
  {
    Session written;
    written.project.Files = {text};
    written.project.Title = "big";
    written.tables = BuildCharTables(written.project.rules);
    written.lists.Vocabulary = MakeVocabulary(types);
    if (!WriteProjectFile(written, path).ok()) return 1;
  }
  ScratchFolder scratch;
  if (!scratch.Prepare(folder + "/scratch").ok()) return 1;

  const size_t heapBefore = HeapInUse();
  const size_t residentBefore = ResidentBytes();
  {
    Session session;
    if (!OpenProject(session, path, folder, folder).status.ok()) return 1;
    std::printf("%zu word types\n", session.lists.Vocabulary.size());
    Report("after opening the project (the four lists):", heapBefore, residentBefore);
    ReportLists(session.lists);

    WordListQuery byFrequency;
    byFrequency.order = 4;
    WordListResult listed;
    if (!MakeWordList(session, byFrequency, scratch, listed).ok()) return 1;
    CommitWordList(session, listed);
    KeyWordsEditor editor(session.lists, session.tables);
    editor.FrequencyMove(MoveDirection::Remove, FrequencyTest::Less, "10");
    editor.Commit();
    ConcordanceQuery query;
    query.keyWords = true;
    query.keyWordsOrder = 5;
    query.index = true;
    ConcordanceResult concorded;
    if (!RunConcordance(session, query, scratch, concorded).ok()) return 1;
    CommitConcordance(session, concorded);
    Report("after a word list, a key-word edit and a key-word run:", heapBefore, residentBefore);
    ReportLists(session.lists);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
