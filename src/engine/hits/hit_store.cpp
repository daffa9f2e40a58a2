#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <optional>

#include "base/cp1252.h"
#include "base/regular_file.h"
#include "concordance/citation.h"
#include "concordance/indexed_texts.h"
#include "concordance/writers.h"
#include "hits/hit_store_builder.h"
#include "hits/phrase.h"
#include "unicode/unicode_text.h"
#include "scan/error_report.h"
#include "scan/list_sort.h"
#include "scan/status_texts.h"

namespace wordloom {
namespace {

// One field of a record, read where it lies.
template <typename Field>
Field FieldAt(const unsigned char* records, int64_t row, size_t offset) {
  Field value;
  std::memcpy(&value, records + static_cast<size_t>(row) * sizeof(HitRecord) + offset, sizeof value);
  return value;
}

constexpr char kRecordsName[] = "H1";
constexpr char kStringsName[] = "H2";

// Maps a scratch file for reading; an empty file maps to nothing.
Status MapScratch(const ScratchFolder& scratch, const char* name, const unsigned char*& data, size_t& size) {
  Status status;
  const int fd = scratch.OpenForRead(name, status);
  if (fd < 0) return status;
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    ::close(fd);
    return Status::Error(std::strerror(errno));
  }
  size = static_cast<size_t>(info.st_size);
  data = nullptr;
  if (size > 0) {
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED) {
      ::close(fd);
      return Status::Error(std::strerror(errno));
    }
    data = static_cast<const unsigned char*>(mapped);
  }
  ::close(fd);  // the mapping stays, and so does the file's content once it is replaced
  return Status::Ok();
}

}  // namespace

std::vector<std::string> QueryKeys(const HitQuery& query, const UnicodeText* unicode) {
  switch (query.mode) {
    case SearchMode::Regex:
    case SearchMode::Phrase: {
      const size_t first = query.keys.find_first_not_of(' ');
      if (first == std::string::npos) return {};
      return {query.keys.substr(first, query.keys.find_last_not_of(' ') - first + 1)};
    }
    case SearchMode::Wildcard: {
      std::vector<std::string> keys;
      size_t at = 0;
      while ((at = query.keys.find_first_not_of(' ', at)) != std::string::npos) {
        const size_t end = std::min(query.keys.find(' ', at), query.keys.size());
        keys.push_back(query.keys.substr(at, end - at));
        at = end;
      }
      return keys;
    }
    default:
      return SplitKeys(query.keys, unicode);
  }
}

HitStoreBuilder::HitStoreBuilder(const ScratchFolder& scratch) : scratch_(scratch) {}

Status HitStoreBuilder::Open() {
  Status status = scratch_.OpenForWrite(kRecordsName, records_);
  if (status.ok()) status = scratch_.OpenForWrite(kStringsName, strings_);
  return status;
}

void HitStoreBuilder::Add(const HitRecord& record, const std::array<std::string, kHitStrings>& strings) {
  HitRecord stored = record;
  stored.strings = stringBytes_;
  records_.Write(std::string_view(reinterpret_cast<const char*>(&stored), sizeof stored));
  for (const std::string& text : strings) {
    const auto length = static_cast<uint32_t>(text.size());
    strings_.Write(std::string_view(reinterpret_cast<const char*>(&length), sizeof length));
    strings_.Write(text);
    stringBytes_ += static_cast<int64_t>(sizeof length + text.size());
  }
  ++count_;
}

Status HitStoreBuilder::Finish(ConcordanceKind kind, const Session& session, std::vector<std::string> keys,
                               std::shared_ptr<const HitStore>& store) {
  Status status = records_.Close();
  Status closed = strings_.Close();
  if (status.ok()) status = closed;
  if (!status.ok()) return status;
  std::shared_ptr<HitStore> made(new HitStore());
  made->kind_ = kind;
  made->utf8_ = session.tables.unicode != nullptr;
  made->keys_ = std::move(keys);
  made->files_ = session.project.Files;
  made->count_ = count_;
  made->rules_ = session.project.rules;
  made->tables_ = session.tables;
  PrepareHitReader(made->reader_, made->rules_, made->tables_, "");
  made->reader_.state.trackOrigins = false;
  made->fds_.assign(made->files_.size(), -1);
  made->fileStarts_ = std::move(fileStarts_);
  made->fileStarts_.resize(made->files_.size());  // files a stop left unread
  status = MapScratch(scratch_, kRecordsName, made->records_, made->recordsSize_);
  if (status.ok()) status = MapScratch(scratch_, kStringsName, made->strings_, made->stringsSize_);
  if (!status.ok()) return status;
  store = std::move(made);
  return Status::Ok();
}

HitStore::~HitStore() {
  for (int fd : fds_) {
    if (fd >= 0) ::close(fd);
  }
  if (records_) ::munmap(const_cast<unsigned char*>(records_), recordsSize_);
  if (strings_) ::munmap(const_cast<unsigned char*>(strings_), stringsSize_);
}

void HitStore::Read(int64_t row, Hit& hit) const {
  HitRecord record;
  std::memcpy(&record, records_ + static_cast<size_t>(row) * sizeof record, sizeof record);
  hit.number = row + 1;
  hit.file = record.file;
  hit.key = record.key;
  hit.offset = record.offset;
  hit.length = record.length;
  hit.fileLine = record.fileLine;
  hit.line = record.line;
  hit.sequence = record.sequence;
  const unsigned char* at = strings_ + record.strings;
  auto next = [&at](std::string& out) {
    uint32_t length = 0;
    std::memcpy(&length, at, sizeof length);
    out.assign(reinterpret_cast<const char*>(at + sizeof length), length);
    at += sizeof length + length;
  };
  next(hit.citation);
  next(hit.text);
  for (std::string& word : hit.words) next(word);
}

int HitStore::FileDescriptor(int32_t file, Status& status) const {
  std::lock_guard<std::mutex> lock(filesMutex_);
  int& fd = fds_[static_cast<size_t>(file)];
  if (fd < 0) status = OpenRegularFile(files_[static_cast<size_t>(file)], fd);
  return fd;
}

std::string_view HitStore::Word(int64_t row, size_t index) const { return String(row, 2 + index); }
std::string_view HitStore::Citation(int64_t row) const { return String(row, 0); }

std::string_view HitStore::String(int64_t row, size_t index) const {
  const unsigned char* at = strings_ + FieldAt<int64_t>(records_, row, offsetof(HitRecord, strings));
  uint32_t length = 0;
  for (size_t skip = 0; skip < index; ++skip) {
    std::memcpy(&length, at, sizeof length);
    at += sizeof length + length;
  }
  std::memcpy(&length, at, sizeof length);
  return std::string_view(reinterpret_cast<const char*>(at + sizeof length), length);
}

int32_t HitStore::KeyNumber(int64_t row) const { return FieldAt<int32_t>(records_, row, offsetof(HitRecord, key)); }
int32_t HitStore::FileNumber(int64_t row) const { return FieldAt<int32_t>(records_, row, offsetof(HitRecord, file)); }
int64_t HitStore::FileLine(int64_t row) const { return FieldAt<int64_t>(records_, row, offsetof(HitRecord, fileLine)); }
int64_t HitStore::Offset(int64_t row) const { return FieldAt<int64_t>(records_, row, offsetof(HitRecord, offset)); }
int64_t HitStore::Length(int64_t row) const { return FieldAt<int64_t>(records_, row, offsetof(HitRecord, length)); }

HitRecord HitStore::Record(int64_t row) const {
  HitRecord record;
  std::memcpy(&record, records_ + static_cast<size_t>(row) * sizeof record, sizeof record);
  return record;
}

namespace {

// The step of a phrase whose words are the fewest tokens of the vocabulary.
size_t RarestStep(const HitMatcher& matcher, const EntryList& vocabulary) {
  std::vector<int64_t> tokens(matcher.steps().size(), 0);
  for (const Entry& entry : vocabulary) {
    for (size_t step = 0; step < tokens.size(); ++step) {
      if (matcher.MatchStep(step, entry.word)) tokens[step] += entry.count;
    }
  }
  return static_cast<size_t>(std::min_element(tokens.begin(), tokens.end()) - tokens.begin());
}

}  // namespace

Status GatherHits(const Session& session, const HitQuery& query, const ScratchFolder& scratch, HitRunResult& result,
                  ProgressSink* progress) {
  result = HitRunResult{};
  const UnicodeText* unicode = session.tables.unicode.get();
  HitQuery matched = query;
  std::vector<std::string> keys;
  if (query.keyWords) {
    EntryView& keyWords = result.keyWordsList.emplace(session.lists.KeyWordsList);
    SortEntryView(session.lists.Vocabulary, keyWords, query.keyWordsOrder, query.keyWordsRhyme ? 1 : 0, session.tables);
    for (size_t i = 0; i < keyWords.size(); ++i) keys.push_back(session.lists.At(keyWords, i).word);
    matched.mode = SearchMode::Word;
  } else {
    keys = QueryKeys(query, unicode);
  }
  const bool patterns = matched.mode == SearchMode::Wildcard || matched.mode == SearchMode::Regex ||
                        matched.mode == SearchMode::Phrase;
  if (keys.empty() && patterns && !query.keyWords) return Status::Error("The pattern is empty.");
  if (keys.empty() || session.project.Files.empty()) return Status::Ok();
  std::unique_ptr<HitMatcher> matcher;
  Status status = HitMatcher::Make(matched, keys, unicode, matcher);
  if (!status.ok()) return status;

  HitGatherSettings settings;
  settings.letters = ParseCitationLetters(query.citationLetters);
  settings.lineNumberWidth = LineNumberWidth(session.scan.state.physicalLineTotal);
  // A display column may take many bytes (a letter with its marks): the keyword pass's bound.
  settings.contextBytes = unicode ? kMostContextCharacters * 32 : kMostContextCharacters;
  settings.hyphenated = !session.project.rules.endHyphen.empty();

  // Whole lines: the whole-line pass's matching (a UTF-8 line and its keys with non-word
  // characters masked), or the matcher's for the pattern modes.
  const bool lines = query.kind == ConcordanceKind::Line;
  GatherQuery lineQuery;
  std::optional<KeyTable> lineKeys;
  if (lines) {
    lineQuery.letters = settings.letters;
    lineQuery.lineNumberWidth = settings.lineNumberWidth;
    lineQuery.kind = patterns ? MatchKind::Word : static_cast<MatchKind>(static_cast<int>(matched.mode) + 1);
    for (const std::string& key : keys) lineQuery.keys.push_back(unicode ? unicode->MatchingText(key) : key);
    lineQuery.keyTable = &lineKeys.emplace(lineQuery.kind, lineQuery.keys);
  }

  HitStoreBuilder builder(scratch);
  status = builder.Open();
  if (!status.ok()) return status;
  ScanContext& context = result.scan.emplace(session.scan.PassCopy());
  ScanState& state = context.state;
  state.currentLineNumber = 0;
  state.physicalLineTotal = 0;
  state.logicalLineTotal = 0;
  for (int letter = 1; letter <= kLetterCount; ++letter) {
    context.references.ReferenceLetterValue[static_cast<size_t>(letter)] = session.referenceLetters.Value(letter);
  }
  // Hits of single words, and lines that match them, are read around the index's tokens whose
  // words match.
  std::optional<IndexedTexts> indexed;
  std::vector<size_t> found;
  std::string word;
  const auto matches = [&](std::string_view entry) {
    matcher->MatchWord(word.assign(entry), found);
    return !found.empty();
  };
  if (!lines && !matcher->phrase()) {
    indexed.emplace(session, IndexedTexts::Pass::Hits, matches, 0, settings.contextBytes);
  } else if (!lines && session.index) {
    // A phrase is picked out by its step of the fewest tokens; its first word lies at most
    // that step's reach before.
    const size_t anchor = RarestStep(*matcher, session.lists.Vocabulary);
    indexed.emplace(
        session, IndexedTexts::Pass::Hits,
        [&](std::string_view entry) { return matcher->MatchStep(anchor, word.assign(entry)); },
        matcher->WordsBefore(anchor), settings.contextBytes);
  } else if (lines && patterns && !matcher->phrase() && LineWordsMatchAsTokens(session)) {
    indexed.emplace(session, IndexedTexts::Pass::Lines, matches);
  } else if (lines && !patterns) {
    if (const auto mayFind = LineCandidates(session, lineQuery.kind, lineQuery.keys)) {
      indexed.emplace(session, IndexedTexts::Pass::Lines, mayFind);
    }
  }
  const std::vector<std::string>& files = session.project.Files;
  for (size_t i = 0; i < files.size(); ++i) {
    if (progress && progress->StopRequested()) break;
    if (progress) progress->Progress(static_cast<int64_t>(i), static_cast<int64_t>(files.size()));
    // The last line of a file counts one numbered line too many.
    if (i > 0) --state.currentLineNumber;
    builder.StartFile(state.currentLineNumber, context.references.ReferenceLetterValue);
    const auto file = static_cast<int32_t>(i);
    const auto whole = [&] {
      return lines ? GatherFileLines(context, session.project.rules, session.tables, files[i], file, *matcher, patterns,
                                     lineQuery, builder, progress)
                   : GatherFileHits(context, session.project.rules, session.tables, files[i], file, *matcher, settings,
                                    builder, progress);
    };
    const auto stretch = [&](LineSource& text, const TextStretch& part, bool& further) {
      return lines ? GatherFileLines(context, session.project.rules, session.tables, files[i], file, *matcher, patterns,
                                     lineQuery, builder, progress, &text, part)
                   : GatherFileHitsStretch(context, session.project.rules, session.tables, text, files[i], file,
                                           *matcher, settings, builder, part, further, progress);
    };
    Status read = indexed && indexed->serves() ? indexed->Gather(i, context, progress, whole, stretch) : whole();
    if (!read.ok()) ReportUnreadableFile(context, files[i], read.message());
  }
  state.trackOrigins = false;
  if (progress) progress->Progress(static_cast<int64_t>(files.size()), static_cast<int64_t>(files.size()));
  result.stopped = progress && progress->StopRequested();
  status = builder.Finish(query.kind, session, keys, result.store);
  if (!status.ok()) return status;
  result.countsText = RunCountsText(static_cast<int64_t>(keys.size()), builder.count(), query.keyWords, false);
  return Status::Ok();
}

void CommitHits(Session& session, HitRunResult& result) {
  if (result.keyWordsList) session.lists.KeyWordsList = std::move(*result.keyWordsList);
  if (result.scan) session.scan.Commit(std::move(*result.scan));
  result.keyWordsList.reset();
  result.scan.reset();
}

}  // namespace wordloom
