#include "index/index_writer.h"

#include <unistd.h>

#include <algorithm>

#include "base/bits.h"
#include "base/buffered_reader.h"

namespace wordloom {
namespace {

template <typename Record>
void Put(FileWriter& out, const Record& record) {
  out.Write(std::string_view(reinterpret_cast<const char*>(&record), sizeof record));
}

constexpr char kCannotReadBack[] = "Cannot read back the index being written.";

}  // namespace

IndexWriter::IndexWriter(const IndexOutputs& outputs, const EntryList& vocabulary, const ScanContext& reader)
    : out_(outputs), postings_(vocabulary.size()), firsts_(vocabulary.size()), marks_(reader) {
  MarkLongWords(vocabulary);
  pending_.reserve(kPendingTokens);
}

void IndexWriter::MarkLongWords(const EntryList& vocabulary) {
  longWords_.assign((vocabulary.size() + 63) / 64, 0);
  anyLongWord_ = false;
  for (size_t entry = 0; entry < vocabulary.size(); ++entry) {
    if (static_cast<int64_t>(vocabulary[entry].word.size()) <= TextMarks::kLongestRingWord) continue;
    longWords_[entry / 64] |= uint64_t{1} << (entry % 64);
    anyLongWord_ = true;
  }
}

void IndexWriter::BeginFile(uint32_t file) {
  before_((*fresh_)[file]);
  StartText();
  marks_.BeginText();
  lastOffset_ = -1;
}

void IndexWriter::LineRead(const ScanContext& context, size_t waiting) {
  const int64_t tokens = text_.tokenCount + static_cast<int64_t>(waiting);
  ProjectIndex::Checkpoint checkpoint;
  if (marks_.LineRead(context, tokens, text_.eventCount, checkpoint)) AddCheckpoint(checkpoint);
  if (context.state.physicalLineOffset != lastOffset_) {
    lastOffset_ = context.state.physicalLineOffset;
    AddLine(ProjectIndex::Line{lastOffset_, tokens});
  }
  AddValuesSet(context, tokens);
}

void IndexWriter::TextRead(const ScanContext& context) {
  marks_.TextRead(context);
  AddValuesSet(context, text_.tokenCount);
}

void IndexWriter::Tokens(const EntryPosition* entries, size_t count) {
  for (size_t i = 0; i < count; ++i) Token(entries[i]);
}

void IndexWriter::Token(EntryPosition entry) {
  pending_.push_back(entry);
  if (pending_.size() == kPendingTokens) FlushTokens();
  if (entry == kNoEntry) {
    marks_.WordMissing();
  } else {
    if (IsLongWord(entry)) marks_.LongWord();
    CountPosition(entry, static_cast<uint64_t>(totalTokens_));
  }
  ++text_.tokenCount;
  ++totalTokens_;
}

void IndexWriter::EndFile() {
  marks_.EndText(text_);
  texts_.push_back(text_);
}

void IndexWriter::CopyText(const ProjectIndex& old, size_t file, const std::vector<uint32_t>& renumber) {
  StartText();
  for (uint32_t token : old.FileTokens(file)) Token(renumber[token]);
  for (const ProjectIndex::Line& line : old.TextLines(file)) AddLine(line);
  for (const ProjectIndex::Event& event : old.TextEvents(file)) {
    AddEvent(event.token, static_cast<int>(event.letter), old.EventValue(event));
  }
  for (const ProjectIndex::Checkpoint& checkpoint : old.TextCheckpoints(file)) AddCheckpoint(checkpoint);
  const ProjectIndex::Text& record = old.TextRecord(file);
  text_.physicalLines = record.physicalLines;
  text_.logicalLines = record.logicalLines;
  text_.lineNumber = record.lineNumber;
  text_.flags = record.flags;
  texts_.push_back(text_);
}

void IndexWriter::BeginPiece(const ScanContext& reader) {
  marks_ = TextMarks(reader);
  StartText();
  marks_.BeginText();
  lastOffset_ = -1;
}

bool IndexWriter::EndPiece(const TextPiece& piece, const ScanContext& context, size_t fileCount) {
  if (!context.ErrorReportText.empty()) return false;
  if (piece.LastOfFile()) TextRead(context);
  EndFile();
  pieceChars_.push_back(marks_.chars());
  const uint32_t flags = texts_.back().flags;
  return eventCount_ == 0 && (flags & kLineNumberSet) == 0 && !((flags & kEndsJoined) && piece.file + 1 < fileCount) &&
         !idsOverflow_;
}

void IndexWriter::Ids(const uint32_t* ids, size_t count) {
  // A stretch too long for 32-bit counts is not recorded (EndPiece says so).
  if (totalTokens_ + static_cast<int64_t>(count) > kMostRecordedTokens) idsOverflow_ = true;
  for (size_t done = 0; done < count;) {
    const size_t now = std::min(count - done, kPendingTokens - pending_.size());
    pending_.insert(pending_.end(), ids + done, ids + done + now);
    if (pending_.size() == kPendingTokens) FlushTokens();
    done += now;
  }
  totalTokens_ += static_cast<int64_t>(count);
  text_.tokenCount += static_cast<int64_t>(count);
}

bool IndexWriter::CountRecorded(const std::vector<uint32_t>& entryOf, const std::vector<RecordedPositions>& positions,
                                const EntryList& vocabulary) {
  if (entryOf.size() != positions.size()) return false;
  // Each id's counts become its entry's; an entry of two ids cannot be counted so.
  postings_.assign(vocabulary.size(), PostingCursor{});
  firsts_.assign(vocabulary.size(), 0);
  for (size_t id = 0; id < positions.size(); ++id) {
    const EntryPosition entry = entryOf[id];
    if (entry >= vocabulary.size() || postings_[entry].bytes != 0) return false;
    const RecordedPositions& counted = positions[id];
    postings_[entry] = PostingCursor{counted.bytes, counted.last};
    firsts_[entry] = counted.first;
  }
  MarkLongWords(vocabulary);
  return true;
}

bool IndexWriter::MapRecorded(int ids, const std::vector<uint32_t>& entryOf, const FileWriter& out, uint64_t offset) {
  BufferedReader reader;
  reader.Reset(ids, "");
  std::vector<uint32_t> block(1 << 14);
  for (ProjectIndex::Text& piece : texts_) {
    for (int64_t left = piece.tokenCount; left > 0;) {
      const size_t count = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(block.size())));
      if (!reader.Read(block.data(), count * 4)) return false;
      bool longWord = false;
      for (size_t i = 0; i < count; ++i) {
        const uint32_t id = block[i];
        if (id >= entryOf.size()) return false;
        block[i] = entryOf[id];
        longWord = longWord || IsLongWord(block[i]);
      }
      if (longWord) piece.flags |= kLongWord;
      if (!out.WriteAt(offset, std::string_view(reinterpret_cast<const char*>(block.data()), count * 4))) return false;
      offset += count * 4;
      left -= static_cast<int64_t>(count);
    }
  }
  return true;
}

int64_t IndexWriter::ReserveLastTokens(int64_t count) {
  FlushTokens();
  const int64_t offset = out_.tokens->Reserve(static_cast<uint64_t>(count) * 4);
  if (offset < 0 || lineCount_ > 0) return offset;
  out_.tokens->Write(PaddingToEight(static_cast<uint64_t>(offset + count * 4)));
  out_.lines = out_.tokens;
  return offset;
}

// The stretch's positions follow those before it: only the first of each entry's is coded
// against another than the stretch's writer saw (a position of its own, counted from 0).
void IndexWriter::AddPostings(const std::vector<PostingCursor>& stretch, const std::vector<uint64_t>& firsts) {
  const uint64_t base = static_cast<uint64_t>(totalTokens_);
  while (delayedCount_ > 0) ApplyOldestPosition();
  for (size_t entry = 0; entry < stretch.size(); ++entry) {
    const PostingCursor& added = stretch[entry];
    if (added.bytes == 0) continue;
    PostingCursor& posting = postings_[entry];
    if (posting.bytes == 0) firsts_[entry] = base + firsts[entry];
    posting.bytes += JoinedBytes(added, firsts[entry], base, posting.last);
    posting.last = base + added.last;
  }
}

Status IndexWriter::AppendPieces(IndexWriter& stretch, const std::vector<TextPiece>& which,
                                 const ScratchFolder& scratch, const std::string& tokens, const std::string& lines,
                                 const std::string& checkpoints) {
  Status status;
  int fds[3] = {-1, -1, -1};
  const std::string* names[3] = {&tokens, &lines, &checkpoints};
  int opened = 0;
  for (; opened < 3; ++opened) {
    if (names[opened]->empty()) continue;  // tokens in place
    fds[opened] = scratch.OpenForRead(*names[opened], status);
    if (fds[opened] < 0) break;
  }
  if (opened == 3) status = AppendPieces(stretch, which, fds[0], fds[1], fds[2]);
  for (int fd : fds) {
    if (fd >= 0) close(fd);
  }
  return status;
}

Status IndexWriter::AppendPieces(IndexWriter& stretch, const std::vector<TextPiece>& which, int tokens,
                                 int lines, int checkpoints) {
  // Positions are coded stretch by stretch: every token must have come in a stretch.
  if (totalTokens_ != appendedTokens_) return Status::Error("Tokens were written around the texts read in pieces.");
  AddPostings(stretch.postings(), stretch.firsts_);
  stretches_.push_back(Stretch{totalTokens_, std::move(stretch.postings_), std::move(stretch.firsts_)});
  FlushTokens();
  if (tokens >= 0 && !out_.tokens->CopyFrom(tokens, static_cast<uint64_t>(stretch.totalTokens_) * 4)) {
    return Status::Error(kCannotReadBack);
  }
  BufferedReader lineReader, checkpointReader;
  lineReader.Reset(lines, "");
  checkpointReader.Reset(checkpoints, "");
  for (size_t p = 0; p < which.size(); ++p) {
    const TextPiece& piece = which[p];
    const ProjectIndex::Text& record = stretch.texts_[p];
    if (piece.FirstOfFile()) {
      StartText();
      textChars_ = 0;
    }
    for (int64_t left = record.lineCount; left > 0;) {
      ProjectIndex::Line block[4096];
      const size_t count = static_cast<size_t>(std::min<int64_t>(left, std::size(block)));
      if (!lineReader.Read(block, count * sizeof block[0])) return Status::Error(kCannotReadBack);
      for (size_t n = 0; n < count; ++n) block[n].firstToken += text_.tokenCount;
      out_.lines->Write(std::string_view(reinterpret_cast<const char*>(block), count * sizeof block[0]));
      text_.lineCount += static_cast<int64_t>(count);
      lineCount_ += static_cast<int64_t>(count);
      left -= static_cast<int64_t>(count);
    }
    // A later piece's reader numbered its first line kPieceFirstLine.
    const int64_t fileLine = piece.FirstOfFile() ? 0 : text_.physicalLines + 1 - kPieceFirstLine;
    for (int64_t n = 0; n < record.checkpointCount; ++n) {
      ProjectIndex::Checkpoint checkpoint;
      if (!checkpointReader.Read(&checkpoint, sizeof checkpoint)) return Status::Error(kCannotReadBack);
      const int64_t realLine = checkpoint.fileLine + fileLine;
      if (realLine > UINT32_MAX) continue;  // beyond what a restart point can hold
      checkpoint.fileLine = static_cast<uint32_t>(realLine);
      checkpoint.chars += textChars_;
      checkpoint.token += text_.tokenCount;
      checkpoint.event += text_.eventCount;
      checkpoint.physicalLines += text_.physicalLines;
      checkpoint.logicalLines += text_.logicalLines;
      checkpoint.lineNumber += text_.lineNumber;
      AddCheckpoint(checkpoint);
    }
    text_.tokenCount += record.tokenCount;
    text_.physicalLines += record.physicalLines;
    text_.logicalLines += record.logicalLines;
    text_.lineNumber += record.lineNumber;
    text_.flags |= record.flags;
    textChars_ += stretch.pieceChars_[p];
    totalTokens_ += record.tokenCount;
    appendedTokens_ += record.tokenCount;
    if (piece.LastOfFile()) texts_.push_back(text_);
  }
  return Status::Ok();
}

std::vector<PositionSlice> IndexWriter::slices() {
  if (stretches_.empty()) return {PositionSlice{0, totalTokens_, &postings(), &firsts_}};
  if (totalTokens_ != appendedTokens_) return {};  // tokens of no stretch
  std::vector<PositionSlice> slices;
  for (size_t s = 0; s < stretches_.size(); ++s) {
    const Stretch& stretch = stretches_[s];
    const int64_t end = s + 1 < stretches_.size() ? stretches_[s + 1].firstToken : totalTokens_;
    slices.push_back(PositionSlice{stretch.firstToken, end - stretch.firstToken, &stretch.postings, &stretch.firsts});
  }
  return slices;
}

void IndexWriter::StampTexts(const std::vector<TextStamp>& stamps) {
  for (size_t i = 0; i < texts_.size(); ++i) {
    texts_[i].size = stamps[i].size;
    texts_[i].mtimeNs = stamps[i].mtimeNs;
    texts_[i].hash = stamps[i].hash;
  }
}

void IndexWriter::NameTexts(const std::vector<std::string>& paths) {
  for (size_t i = 0; i < texts_.size(); ++i) {
    ProjectIndex::Text& text = texts_[i];
    text.pathOffset = stringBytes_;
    text.pathLength = paths[i].size();
    out_.strings->Write(paths[i]);
    stringBytes_ += paths[i].size();
  }
}

void IndexWriter::FlushTokens() {
  out_.tokens->Write(std::string_view(reinterpret_cast<const char*>(pending_.data()), pending_.size() * 4));
  pending_.clear();
}

void IndexWriter::StartText() {
  text_ = ProjectIndex::Text{};
  text_.firstToken = totalTokens_;
  text_.firstLine = lineCount_;
  text_.firstEvent = eventCount_;
  text_.firstCheckpoint = checkpointCount_;
}

void IndexWriter::AddCheckpoint(const ProjectIndex::Checkpoint& checkpoint) {
  Put(*out_.checkpoints, checkpoint);
  ++text_.checkpointCount;
  ++checkpointCount_;
}

// The values the lines read since last asked set, taking effect at token `token` of the text.
void IndexWriter::AddValuesSet(const ScanContext& context, int64_t token) {
  if (!marks_.AnyValueSet(context)) return;
  for (int letter = 1; letter <= kLetterCount; ++letter) {
    if (marks_.ValueSet(context, letter)) {
      AddEvent(token, letter, context.references.ReferenceLetterValue[static_cast<size_t>(letter)]);
    }
  }
}

void IndexWriter::AddLine(const ProjectIndex::Line& line) {
  Put(*out_.lines, line);
  ++text_.lineCount;
  ++lineCount_;
}

void IndexWriter::AddEvent(int64_t token, int letter, std::string_view value) {
  Put(*out_.events, ProjectIndex::Event{token, static_cast<uint32_t>(letter), static_cast<uint32_t>(value.size()),
                                        stringBytes_});
  out_.strings->Write(value);
  stringBytes_ += value.size();
  ++text_.eventCount;
  ++eventCount_;
}

}  // namespace wordloom
