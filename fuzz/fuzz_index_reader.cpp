// The index reader on any bytes: opening either fails or gives an index whose every read
// stays inside the file.
#include <vector>

#include "fuzz_support.h"
#include "index/index.h"
#include "index/index_format.h"

namespace {

using namespace wordloom;

class CountingSink : public TokenSink {
 public:
  void BeginFile(uint32_t) override {}
  void LineRead(const ScanContext& context) override {
    for (const std::string& value : context.references.ReferenceLetterValue) bytes += value.size();
  }
  void Token(EntryPosition entry) override { bytes += entry == kNoEntry ? 0 : 1; }
  size_t bytes = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wordloom::fuzz;
  const std::string path = WriteFuzzFile("input.wlx", std::string_view(reinterpret_cast<const char*>(data), size));
  std::shared_ptr<const ProjectIndex> index;
  if (!ProjectIndex::Open(path, index).ok()) return 0;
  size_t wordBytes = 0, lastBytes = 0;  // each word's last byte is read: it lies inside the mapping
  for (size_t entry = 0; entry < index->entryCount(); ++entry) {
    const std::string_view word = index->Word(entry);
    wordBytes += word.size();
    if (!word.empty()) lastBytes += static_cast<unsigned char>(word.back());
  }
  FUZZ_CHECK(lastBytes <= 255 * wordBytes, "a word's byte out of range");
  FUZZ_CHECK(wordBytes <= size, "the words overrun the file");
  Session session;
  (void)index->Matches(session);
  CountingSink sink;
  (void)index->Stream(session.scan, sink, nullptr);
  (void)index->StreamAround({0, 1, 2}, 3, 3, session.scan, sink, nullptr);
  std::vector<int64_t> positions;
  for (EntryPosition entry = 0; entry <= index->entryCount(); ++entry) {
    if (!index->Positions(entry, positions)) continue;
    for (int64_t position : positions) FUZZ_CHECK(position < index->tokenCount(), "a position past the tokens");
  }
  for (size_t file = 0; file < index->fileCount(); ++file) {
    FUZZ_CHECK(index->FileTokens(file).size() <= static_cast<size_t>(index->tokenCount()), "a text's tokens overrun");
    (void)index->TextPath(file);
    for (const ProjectIndex::Event& event : index->TextEvents(file)) (void)index->EventValue(event);
    (void)index->TextLines(file);
    for (const ProjectIndex::Checkpoint& checkpoint : index->TextCheckpoints(file)) {
      FUZZ_CHECK(checkpoint.token <= index->TextRecord(file).tokenCount, "a checkpoint past its text's tokens");
    }
  }
  return 0;
}
