#include "scan/vocabulary.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

#include "base/cp1252.h"
#include "base/line_source.h"
#include "base/regular_file.h"
#include "scan/error_report.h"
#include "scan/parallel_scan.h"
#include "scan/text_pieces.h"
#include "scan/text_reader.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

// ASCII letter case for UTF-8 text: bytes beyond ASCII are parts of characters, left alone.
const std::array<unsigned char, 256>& AsciiLowerTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) t[static_cast<size_t>(c)] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return t;
  }();
  return table;
}

// Cuts the words of logical lines; a word open at the end of a line runs on into the next.
// Windows-1252 text is cut byte by byte. UTF-8 text is cut the same way on the bytes that may
// belong to a word (its ASCII word characters and every byte beyond ASCII), which is exact for
// ASCII; a run that holds a character beyond ASCII is cut again by the Unicode side. The
// words go to a WordCounter, or to a TokenCounter when their places in a vocabulary are wanted.
template <bool kUtf8, typename Counter>
class Tokenizer {
 public:
  Tokenizer(const ScanState& state, Counter& counter)
      : lower_(kUtf8 ? AsciiLowerTable().data() : LowerCaseTable().data()), counter_(counter),
        needLetter_(counter.tables().needLetter), unicode_(counter.tables().unicode.get()) {
    for (int c = 0; c < 256; ++c) isWord_[c] = state.classOfLower[c] == kWordClass || (kUtf8 && c >= 128);
    for (int c = 'a'; c <= 'z'; ++c) asciiLetters_ = asciiLetters_ && isWord_[c];
    for (int c = 0; c < 128; ++c) letterOrDigit_[c] = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
  }

  // The characters of one logical line up to `length`. An empty logical line stands for the
  // one empty character the reader hands out for it, which ends an open word.
  void Line(const char* text, size_t length, bool emptyLine) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    if (!open_.empty()) {
      // UTF-8 keeps the open word as written, Windows-1252 lower-cased.
      while (i < length && isWord_[p[i]]) open_ += static_cast<char>(kUtf8 ? p[i++] : lower_[p[i++]]);
      if (i == length && !emptyLine) {  // still open at the end of this line
        if constexpr (kUtf8) ExtendOpen(i);
        return;
      }
      if constexpr (kUtf8) {
        CutCharacters(open_);
      } else if (Keeps(open_)) {
        Counted(open_.size());
        counter_.Add(open_);
      }
      open_.clear();
    }
    const bool* isWord = isWord_;
    const unsigned char* lower = lower_;
    for (;;) {
      while (i < length && !isWord[p[i]]) ++i;
      if (i == length) return;
      const size_t start = i;
      // Fold the word straight into the counter, hashing it 8 bytes at a time as it is read.
      size_t room = kFirstRoom;
      char* out = counter_.BeginWord(room);
      size_t n = 0;
      uint64_t chunk = 0;
      uint64_t hash = WordHash::kStart;
      unsigned shift = 0;
      if (asciiLetters_) {
        // Eight bytes at a time while they are ASCII letters, which fold by setting bit 5.
        while (i + 8 <= length) {
          uint64_t block;
          std::memcpy(&block, p + i, 8);
          uint64_t folded = block | 0x2020202020202020ULL;
          uint64_t others = BytesBelow(folded, 'a') | BytesAbove(folded, 'z');
          if (others == 0) {
            if (n + 8 > room) out = counter_.BeginWord(room *= 2);
            std::memcpy(out + n, &folded, 8);
            hash = WordHash::Step(hash, folded);
            n += 8;
            i += 8;
            continue;
          }
          unsigned letters = static_cast<unsigned>(std::countr_zero(others)) / 8;
          if (letters > 0) {
            chunk = folded & ((1ULL << (8 * letters)) - 1);
            shift = 8 * letters;
            i += letters;
          }
          break;
        }
      }
      while (i < length && isWord[p[i]]) {
        chunk |= static_cast<uint64_t>(lower[p[i++]]) << shift;
        shift += 8;
        if (shift == 64) {
          if (n + 8 > room) out = counter_.BeginWord(room *= 2);
          std::memcpy(out + n, &chunk, 8);
          hash = WordHash::Step(hash, chunk);
          n += 8;
          chunk = 0;
          shift = 0;
        }
      }
      std::memcpy(out + n, &chunk, 8);
      std::memset(out + n + 8, 0, 16);
      if (shift != 0) hash = WordHash::Step(hash, chunk);
      n += shift / 8;
      if (i == length) {
        // The word may run on into the next line.
        if constexpr (kUtf8) {
          KeepOpen(std::string_view(text + start, i - start));
        } else {
          open_.assign(out, n);
        }
        return;
      }
      if constexpr (kUtf8) {
        if (HasByteBeyondAscii(out, n)) {  // begun and not ended: the Unicode side cuts it instead
          CutCharacters(std::string_view(text + start, i - start));
          continue;
        }
        if (needLetter_ && !HasAsciiLetterOrDigit(out, n)) continue;
      } else if (!Keeps(std::string_view(out, n))) {
        continue;  // begun and not ended: dropped
      }
      Counted(n);
      counter_.EndWord(n, WordHash::Finish(hash, n));
    }
  }

  int64_t tokens() const { return tokens_; }
  int64_t longest() const { return longest_; }

 private:
  // The need-letter rule: a word of apostrophes and hyphens only is no word.
  bool Keeps(std::string_view word) const { return !needLetter_ || HasLetterOrDigit1252(word); }

  void Counted(size_t length) {
    ++tokens_;
    if (static_cast<int64_t>(length) > longest_) longest_ = static_cast<int64_t>(length);
  }

  // A word as written into the counter, zero-padded to whole blocks of eight bytes.
  static bool HasByteBeyondAscii(const char* word, size_t length) {
    for (size_t at = 0; at < length; at += 8) {
      uint64_t block;
      std::memcpy(&block, word + at, 8);
      if (block & 0x8080808080808080ULL) return true;
    }
    return false;
  }
  bool HasAsciiLetterOrDigit(const char* word, size_t length) const {
    for (size_t at = 0; at < length; ++at) {
      if (letterOrDigit_[static_cast<unsigned char>(word[at]) & 0x7F]) return true;
    }
    return false;
  }

  // A UTF-8 run that reaches the end of a line: its last word stays open for the next line,
  // and the words before it are counted now, for the file may end here. A run of ASCII word
  // characters is one word.
  void KeepOpen(std::string_view run) {
    size_t lastWord = 0;  // where the word that ends the run starts; run.size() when none does
    if (!IsAscii(run)) {
      bool inWord = false;
      for (size_t at = 0; at < run.size();) {
        const size_t start = at;
        const bool word = unicode_->IsWordChar(NextCodePoint(run, at));
        if (word && !inWord) lastWord = start;
        inWord = word;
      }
      if (!inWord) lastWord = run.size();
      CutCharacters(run.substr(0, lastWord));
    }
    open_.assign(run.substr(lastWord));
  }

  // The open word went on with the first `added` bytes of this line, which reach its end:
  // only those are looked at. Where they end the word and start another, the word is counted
  // and the new one stays open.
  void ExtendOpen(size_t added) {
    const size_t before = open_.size() - added;
    if (IsAscii(std::string_view(open_).substr(before))) return;  // ASCII word characters: it goes on
    size_t lastWord = std::string::npos;
    bool inWord = true;
    for (size_t at = before; at < open_.size();) {
      const size_t start = at;
      const bool word = unicode_->IsWordChar(NextCodePoint(open_, at));
      if (word && !inWord) lastWord = start;
      inWord = word;
    }
    if (inWord && lastWord == std::string::npos) return;  // one word still
    const size_t keepFrom = inWord ? lastWord : open_.size();
    const std::string run = std::move(open_);
    CutCharacters(std::string_view(run).substr(0, keepFrom));
    open_.assign(run, keepFrom);
  }

  // UTF-8 text that holds characters beyond ASCII: maximal runs of word characters, lower-cased
  // by the Unicode side, each counted unless the need-letter rule drops it. The longest word
  // is measured in display columns.
  void CutCharacters(std::string_view text) {
    size_t at = 0;
    while (at < text.size()) {
      size_t start = at;
      size_t next = at;
      while (at < text.size() && !unicode_->IsWordChar(NextCodePoint(text, next))) at = next;
      start = at;
      while (at < text.size() && unicode_->IsWordChar(NextCodePoint(text, next = at))) at = next;
      if (at == start) break;
      const std::string_view word = text.substr(start, at - start);
      if (!unicode_->KeepsWord(word)) continue;
      lowered_.clear();
      unicode_->AppendLower(word, lowered_);
      ++tokens_;
      // A word is never wider than its bytes: only a longer one may be the longest.
      if (static_cast<int64_t>(lowered_.size()) > longest_) longest_ = std::max(longest_, DisplayWidth(lowered_));
      counter_.Add(lowered_);
    }
  }

  // Byte flags (0x80) of an 8-byte block: bytes below `limit`, or above it (bytes of 0x80 and
  // more count as above). A flag can be wrong only above a true one, so the lowest is exact.
  static uint64_t BytesBelow(uint64_t x, unsigned limit) {
    return (x - 0x0101010101010101ULL * limit) & ~x & 0x8080808080808080ULL;
  }
  static uint64_t BytesAbove(uint64_t x, unsigned limit) {
    return ((x + 0x0101010101010101ULL * (127 - limit)) | x) & 0x8080808080808080ULL;
  }

  static constexpr size_t kFirstRoom = 64;  // bytes of a word before its room must grow

  bool isWord_[256];
  bool asciiLetters_ = true;  // every ASCII letter is a word character
  const unsigned char* lower_;
  Counter& counter_;
  bool needLetter_;
  const UnicodeText* unicode_;   // UTF-8 only
  bool letterOrDigit_[128] = {};  // UTF-8: the ASCII letters and digits, lower case
  std::string open_;
  std::string lowered_;
  int64_t tokens_ = 0;
  int64_t longest_ = 0;
};

// Tells a counter that hands words on (a TokenCounter), or one that records them (a
// WordCounter), that a logical line has been read.
template <typename Counter>
void LineRead(Counter& counter, const ScanContext& context) {
  if constexpr (requires { counter.sink(); }) {
    counter.sink().LineRead(context);
  } else {
    counter.RecordLine(context);
  }
}

// True while a piece has text left: a piece cut before the end of its file ends with the line
// that reaches `end` (-1 for a piece that runs to the end of its file).
bool MoreInPiece(const ScanState& state, const LineSource& file, int64_t end) {
  return end < 0 || state.linePosition <= state.lineLength || file.nextLineOffset() < end;
}

// The words of a UTF-8 text by Unicode's word boundaries, counted in their lower case. The
// longest word is measured in display columns, as the lists lay words out.
template <typename Counter>
void ScanUnicodeSegments(ScanContext& context, LineSource& file, int64_t end, const UnicodeText& unicode,
                         Counter& counter, ScanTotals& totals, ProgressSink* progress) {
  int64_t tokens = 0;
  int64_t longest = 0;
  WordCutter cutter(unicode, [&](int64_t, std::string_view, std::string_view lower) {
    ++tokens;
    longest = std::max(longest, DisplayWidth(lower));
    counter.Add(lower);
  });
  CharacterRun run;
  while (MoreInPiece(context.state, file, end) &&
         ReadCharacterRun(context, file, ReaderMode::Vocabulary, run, progress)) {
    LineRead(counter, context);
    if (run.emptyLine) {
      cutter.Break();
    } else {
      cutter.Feed(run.text);
    }
  }
  cutter.Discard();
  totals.tokenCount += tokens;
  totals.longestWord = std::max(totals.longestWord, longest);
}

// A counter that hands words on (a TokenCounter), or one that records them, hears of each line.
template <typename Counter>
bool HearsOfLines(const Counter& counter) {
  if constexpr (requires { counter.recording(); }) {
    return counter.recording();
  } else {
    return true;
  }
}

template <typename Cutter, typename Counter>
void CutWords(Cutter&& tokenizer, Counter& counter, ScanContext& context, LineSource& file, int64_t end,
              ScanTotals& totals, ProgressSink* progress) {
  // Under plain rules whole lines are cut as they stand in the file's buffer, many at a time,
  // or one by one when the counter hears of each.
  const bool plain = ReadsPlainLines(context.state);
  const bool hears = HearsOfLines(counter);
  const std::function<void(std::string_view)> eachLine = [&](std::string_view line) {
    LineRead(counter, context);
    tokenizer.Line(line.data(), line.size(), false);
  };
  CharacterRun run;
  std::string_view lines;
  while (MoreInPiece(context.state, file, end)) {
    if (plain && !hears && ReadPlainLines(context, file, end, lines, progress)) {
      tokenizer.Line(lines.data(), lines.size(), false);
      continue;
    }
    if (plain && hears && ReadPlainLinesEach(context, file, end, eachLine, progress)) continue;
    if (!ReadCharacterRun(context, file, ReaderMode::Vocabulary, run, progress)) break;
    LineRead(counter, context);
    tokenizer.Line(run.text.data(), run.text.size(), run.emptyLine);
  }
  totals.tokenCount += tokenizer.tokens();
  if (tokenizer.longest() > totals.longestWord) totals.longestWord = tokenizer.longest();
}

// Opens a piece's file where the piece begins. A whole file that cannot be opened is reported.
PieceRead OpenPiece(const std::string& path, const TextPiece& piece, ScanContext& context, LineSource& file) {
  Status opened = file.OpenAt(path, piece.begin);
  if (!opened.ok()) {
    if (!piece.WholeFile()) return PieceRead::Changed;
    ReportUnreadableFile(context, path, opened.message());
    return PieceRead::Unreadable;
  }
  if (piece.FirstOfFile()) BeginFile(context, path);
  return PieceRead::Read;
}

// After a piece's lines: a whole file whose data ended early is reported; a piece of a cut file
// must have been read to its planned end, with no join running on.
PieceRead EndPiece(const std::string& path, const TextPiece& piece, ScanContext& context, const LineSource& file) {
  if (piece.WholeFile()) {
    if (!file.error().ok()) ReportUnreadableFile(context, path, file.error().message());
    return PieceRead::Read;
  }
  if (!file.error().ok()) return PieceRead::Changed;
  const bool endsAsPlanned = piece.LastOfFile() || (file.nextLineOffset() == piece.end && !context.state.joinPending);
  return endsAsPlanned ? PieceRead::Read : PieceRead::Changed;
}

template <typename Counter>
PieceRead ScanWords(const std::string& path, const TextPiece& piece, ScanContext& context, Counter& counter,
                    ScanTotals& totals, ProgressSink* progress) {
  LineSource file;
  const PieceRead opened = OpenPiece(path, piece, context, file);
  if (opened != PieceRead::Read) return opened;
  const UnicodeText* unicode = counter.tables().unicode.get();
  if (unicode && unicode->boundaries() == WordBoundaries::Unicode) {
    ScanUnicodeSegments(context, file, piece.end, *unicode, counter, totals, progress);
  } else if (unicode) {
    CutWords(Tokenizer<true, Counter>(context.state, counter), counter, context, file, piece.end, totals, progress);
  } else {
    CutWords(Tokenizer<false, Counter>(context.state, counter), counter, context, file, piece.end, totals, progress);
  }
  totals.beyondAscii = totals.beyondAscii || file.beyondAscii();
  return EndPiece(path, piece, context, file);
}

// A whole file as a piece.
TextPiece WholeFile(size_t file) { return TextPiece{static_cast<uint32_t>(file), 0, -1}; }

// The words of a pass looked up in a vocabulary and handed to a TokenSink: the counter the
// tokenizer writes into when the words' places in the vocabulary are wanted.
class TokenCounter {
 public:
  TokenCounter(const VocabularyLookup& lookup, TokenSink& sink) : lookup_(lookup), sink_(sink) {}

  const CharTables& tables() const { return lookup_.tables(); }
  // The sink, once the words waiting in the batch have gone to it.
  TokenSink& sink() {
    Flush();
    return sink_;
  }
  // As WordCounter's: room for a word and the 24 bytes the tokenizer zero-fills after it. Words
  // wait in a batch, their slots fetched from memory together, and go to the sink in order.
  char* BeginWord(size_t room) {
    if (batchBytes_.size() < batchUsed_ + room + 24) batchBytes_.resize(2 * (batchUsed_ + room + 24));
    return batchBytes_.data() + batchUsed_;
  }
  void EndWord(size_t length, uint64_t hash) {
    lookup_.Prefetch(hash);
    batch_[batchSize_++] = Waiting{batchUsed_, length, hash};
    batchUsed_ += length + 16;  // each word keeps 16 zeros after it, for reading its prefix whole
    if (batchSize_ == kBatch) Flush();
  }
  void Add(std::string_view word) {
    char* out = BeginWord(word.size());
    std::memcpy(out, word.data(), word.size());
    std::memset(out + word.size(), 0, 16);  // as the tokenizer leaves a word
    EndWord(word.size(), WordHash::Of(word.data(), word.size()));
  }
  // Hands the waiting words to the sink.
  void Flush() {
    EntryPosition entries[kBatch];
    for (size_t i = 0; i < batchSize_; ++i) {
      const Waiting& word = batch_[i];
      entries[i] = lookup_.Find(std::string_view(batchBytes_.data() + word.start, word.length), word.hash);
    }
    sink_.Tokens(entries, batchSize_);
    batchSize_ = 0;
    batchUsed_ = 0;
  }

 private:
  const VocabularyLookup& lookup_;
  TokenSink& sink_;
  struct Waiting {
    size_t start;  // in batchBytes_
    size_t length;
    uint64_t hash;
  };
  static constexpr size_t kBatch = 16;
  Waiting batch_[kBatch] = {};
  size_t batchSize_ = 0;
  std::vector<char> batchBytes_ = std::vector<char>(4096);
  size_t batchUsed_ = 0;
};

// Counts each entry's range: the files its words were met in.
class RangeSink : public TokenSink {
 public:
  RangeSink(size_t entries, std::vector<uint32_t>& ranges) : ranges_(ranges), lastFile_(entries, 0) {
    ranges_.assign(entries, 0);
  }
  void BeginFile(uint32_t file) override { file_ = file + 1; }
  void Token(EntryPosition entry) override {
    if (entry == kNoEntry || lastFile_[entry] == file_) return;
    lastFile_[entry] = file_;
    ++ranges_[entry];
  }

 private:
  std::vector<uint32_t>& ranges_;
  std::vector<uint32_t> lastFile_;  // per entry: the last file it was met in, plus one; 0 for none
  uint32_t file_ = 0;
};

// What BuildVocabulary and CountWordRanges do first: a fresh reader and totals.
void BeginVocabularyPass(ScanContext& context, const ScanRules& rules, const CharTables& tables, ScanTotals& totals) {
  context.references.ReferenceLetterUsed.fill(0);
  BeginPass(context, rules, tables, std::string(200, ' '));
  totals.tokenCount = 0;
  totals.longestWord = 0;
  totals.beyondAscii = false;
  context.state.physicalLineTotal = 0;
  context.state.logicalLineTotal = 0;
}

// The single pass: every file in turn into one counter.
Status ScanInOnePass(const std::vector<std::string>& files, const CharTables& tables, const ScratchFolder& scratch,
                     ScanContext& context, ScanTotals& totals, EntryList& vocabulary, std::vector<uint32_t>& ranges,
                     const VocabularyOptions& options) {
  WordCounter counter(scratch, tables, options.budgetBytes);
  uint64_t bytes = 0;
  for (const std::string& path : files) bytes += static_cast<uint64_t>(RegularFileSize(path));
  counter.ExpectBytes(bytes);
  Status status = counter.Begin();
  if (!status.ok()) return status;
  for (size_t i = 0; i < files.size(); ++i) {
    counter.BeginFile(static_cast<uint32_t>(i));
    (void)ScanWords(files[i], WholeFile(i), context, counter, totals, options.progress);
    if (options.progress) options.progress->Progress(static_cast<int64_t>(i + 1), static_cast<int64_t>(files.size()));
  }
  return counter.Finish(vocabulary, &ranges);
}

constexpr size_t kInlineWord = 16;  // bytes of a word its lookup slot holds

uint32_t LookupMark(uint64_t hash, size_t length) {
  return ((static_cast<uint32_t>(hash >> 40) | 1u) << 8) | static_cast<uint32_t>(length <= kInlineWord ? length : 255);
}

}  // namespace

VocabularyLookup::VocabularyLookup(const CharTables& tables, const EntryList& vocabulary)
    : tables_(tables), vocabulary_(vocabulary), keys_(tables, 0) {
  size_t size = 16;
  while (size < vocabulary.size() + vocabulary.size() / 2) size *= 2;
  slots_ = MapTable<Slot>(size);
  if (!slots_) throw std::bad_alloc();
  size_ = size;
  // Each word's slot is fetched from memory a few words ahead of its insertion.
  constexpr size_t kAhead = 16;
  std::array<uint64_t, kAhead> hashes{};
  const auto hashOf = [&](size_t p) {
    const std::string& word = vocabulary[p].word;
    const uint64_t hash = WordHash::Of(word.data(), word.size());
    wordloom::Prefetch(&slots_[hash & (size - 1)]);
    return hash;
  };
  for (size_t p = 0; p < std::min(kAhead, vocabulary.size()); ++p) hashes[p] = hashOf(p);
  for (size_t p = 0; p < vocabulary.size(); ++p) {
    const std::string& word = vocabulary[p].word;
    const uint64_t hash = hashes[p % kAhead];
    if (p + kAhead < vocabulary.size()) hashes[p % kAhead] = hashOf(p + kAhead);
    size_t i = hash & (size - 1);
    while (slots_[i].mark != 0) i = (i + 1) & (size - 1);
    Slot& slot = slots_[i];
    std::memcpy(slot.prefix.data(), word.data(), std::min(word.size(), kInlineWord));
    slot.mark = LookupMark(hash, word.size());
    slot.position = static_cast<uint32_t>(p);
  }
}

void VocabularyLookup::Prefetch(uint64_t hash) const { wordloom::Prefetch(&slots_[hash & (size_ - 1)]); }

EntryPosition VocabularyLookup::Find(std::string_view word, uint64_t hash) const {
  const size_t mask = size_ - 1;
  const uint32_t mark = LookupMark(hash, word.size());
  std::array<uint64_t, 2> prefix;
  std::memcpy(prefix.data(), word.data(), sizeof prefix);
  for (size_t i = hash & mask; slots_[i].mark != 0; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.mark != mark || slot.prefix[0] != prefix[0] || slot.prefix[1] != prefix[1]) continue;
    if (word.size() <= kInlineWord || vocabulary_[slot.position].word == word) return slot.position;
  }
  auto at = std::lower_bound(vocabulary_.begin(), vocabulary_.end(), word,
                             [&](const Entry& entry, std::string_view w) { return keys_.Less(entry.word, w); });
  if (at == vocabulary_.end() || keys_.Compare(at->word, word) != 0) return kNoEntry;
  return static_cast<EntryPosition>(at - vocabulary_.begin());
}

void ScanFileWords(const std::string& path, ScanContext& context, WordCounter& counter, ScanTotals& totals,
                   ProgressSink* progress) {
  (void)ScanWords(path, WholeFile(0), context, counter, totals, progress);
}

PieceRead ScanPieceWords(const std::string& path, const TextPiece& piece, ScanContext& context, WordCounter& counter,
                         ScanTotals& totals) {
  return ScanWords(path, piece, context, counter, totals, nullptr);
}

PieceRead StreamPieceTokens(const std::string& path, const TextPiece& piece, ScanContext& context,
                            const VocabularyLookup& lookup, TokenSink& sink) {
  TokenCounter counter(lookup, sink);
  ScanTotals totals;
  const PieceRead read = ScanWords(path, piece, context, counter, totals, nullptr);
  counter.Flush();
  return read;
}

ScanContext BeginTokenPass(const ScanContext& reader, const ScanRules& rules, const CharTables& tables) {
  ScanContext context = reader.PassCopy();
  ScanTotals totals;
  BeginVocabularyPass(context, rules, tables, totals);
  return context;
}

PieceRead ReadPieceLines(const std::string& path, const TextPiece& piece, ScanContext& context,
                         ProgressSink* progress) {
  LineSource file;
  const PieceRead opened = OpenPiece(path, piece, context, file);
  if (opened != PieceRead::Read) return opened;
  CharacterRun run;
  while (MoreInPiece(context.state, file, piece.end) &&
         ReadCharacterRun(context, file, ReaderMode::Vocabulary, run, progress)) {
  }
  return EndPiece(path, piece, context, file);
}

Status BuildVocabulary(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                       const ScratchFolder& scratch, ScanContext& context, ScanTotals& totals, EntryList& vocabulary,
                       const VocabularyOptions& options) {
  std::vector<uint32_t> ranges;
  return BuildVocabulary(files, rules, tables, scratch, context, totals, vocabulary, ranges, options);
}

Status BuildVocabulary(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                       const ScratchFolder& scratch, ScanContext& context, ScanTotals& totals, EntryList& vocabulary,
                       std::vector<uint32_t>& ranges, const VocabularyOptions& options) {
  BeginVocabularyPass(context, rules, tables, totals);
  vocabulary.clear();
  ranges.clear();

  Status status;
  if (!ScanInPieces(files, tables, scratch, context, totals, vocabulary, ranges, options, status)) {
    status = ScanInOnePass(files, tables, scratch, context, totals, vocabulary, ranges, options);
  }
  if (options.recorder) options.recorder->EndScan();
  if (!status.ok()) return status;
  if (vocabulary.size() > kMostEntries) {
    vocabulary.clear();
    ranges.clear();
    return Status::Error("The texts hold more than " + std::to_string(kMostEntries) + " different words.");
  }
  totals.vocabularySize = static_cast<int64_t>(vocabulary.size());
  totals.linesShown = context.state.physicalLineTotal;
  return Status::Ok();
}

void ReadTextLines(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                   ScanContext& context, ScanTotals& totals, ProgressSink* progress) {
  BeginVocabularyPass(context, rules, tables, totals);
  for (size_t i = 0; i < files.size(); ++i) {
    (void)ReadPieceLines(files[i], WholeFile(i), context, progress);
    if (progress) progress->Progress(static_cast<int64_t>(i + 1), static_cast<int64_t>(files.size()));
  }
  totals.linesShown = context.state.physicalLineTotal;
}

void CountTextLines(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                    ScanContext& context, ScanTotals& totals) {
  if (tables.unicode || rules.referenceType == ReferenceType::Type1) return ReadTextLines(files, rules, tables, context, totals);
  BeginVocabularyPass(context, rules, tables, totals);
  for (const std::string& path : files) {
    LineSource file;
    const Status opened = file.Open(path);
    if (!opened.ok()) {
      ReportUnreadableFile(context, path, opened.message());
      continue;
    }
    context.state.physicalLineTotal += file.CountLines();
    if (!file.error().ok()) ReportUnreadableFile(context, path, file.error().message());
  }
  totals.linesShown = context.state.physicalLineTotal;
}

bool StreamTokens(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                  const ScanContext& reader, const EntryList& vocabulary, TokenSink& sink, ProgressSink* progress) {
  ScanContext context = BeginTokenPass(reader, rules, tables);
  ScanTotals totals;
  const VocabularyLookup lookup(tables, vocabulary);
  TokenCounter counter(lookup, sink);
  for (size_t i = 0; i < files.size(); ++i) {
    if (progress && progress->StopRequested()) return false;
    sink.BeginFile(static_cast<uint32_t>(i));
    (void)ScanWords(files[i], WholeFile(i), context, counter, totals, progress);
    counter.Flush();
    sink.TextRead(context);
    sink.EndFile();
    if (progress) progress->Progress(static_cast<int64_t>(i + 1), static_cast<int64_t>(files.size()));
  }
  return !(progress && progress->StopRequested());
}

bool CountWordRanges(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                     const ScanContext& reader, const EntryList& vocabulary, std::vector<uint32_t>& ranges,
                     ProgressSink* progress) {
  RangeSink sink(vocabulary.size(), ranges);
  if (StreamTokens(files, rules, tables, reader, vocabulary, sink, progress)) return true;
  ranges.clear();
  return false;
}

}  // namespace wordloom
