#include "concordance/indexed_texts.h"

#include <algorithm>
#include <memory>

#include "base/cp1252.h"
#include "index/index_format.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

constexpr int64_t kMostCandidateShare = 64;  // beyond one token in this many, every text is read whole
constexpr int64_t kFewStretchBytes = 256 << 10;  // stretches this short are read whatever the text's length

// Windows-1252 words are keyed a byte a character; two word characters of one key byte make
// words of equal keys, which the vocabulary keeps as one entry.
bool KeysMayMeet(const CharTables& tables) {
  std::array<bool, 256> taken{};
  for (int c = 0; c < 256; ++c) {
    if (tables.CharClassTable[static_cast<size_t>(c)] % 10 != kWordClass) continue;
    const uint8_t key = static_cast<uint8_t>(tables.CollationTable[static_cast<size_t>(c)] & 0xFF);
    if (taken[key]) return true;
    taken[key] = true;
  }
  return false;
}

bool IsWordChar(const CharTables& tables, unsigned char c) {
  return tables.CharClassTable[ToLower1252(c)] % 10 == kWordClass;
}

bool EndHyphenJoinsWords(const Session& session) {
  const std::string& endHyphen = session.project.rules.endHyphen;
  return endHyphen.size() == 1 && IsWordChar(session.tables, static_cast<unsigned char>(endHyphen[0]));
}

// A UTF-8 line is matched lower-cased, its runs of word characters being Unicode's, with the
// characters beyond ASCII that are no word characters masked. When the words are cut at the
// alphabet's runs, and no rule character stands in for one beyond ASCII, a line's run then lies
// in a token lower-cased alike, but for a capital sigma, whose final form depends on what follows.
bool Utf8LineRunsAreTokens(const Session& session) {
  const ScanRules& rules = session.project.rules;
  const UnicodeText& unicode = *session.tables.unicode;
  if (unicode.boundaries() != WordBoundaries::Alphabet) return false;
  // A token is cut where its characters are word characters, a line where their lower cases
  // are. Without Unicode's letters these may differ for the dotted capital I (lower-cased to an
  // "i" and a dot above) and for a sigma (lower-cased by what follows it): a line could then hold
  // a run no token does. The texts are in NFC, which holds no Kelvin sign.
  const bool dottedI = unicode.IsWordChar(U'\u0130');
  if (dottedI != unicode.IsWordChar(U'i') || (!dottedI && unicode.IsWordChar(U'\u0307'))) return false;
  const bool sigma = unicode.IsWordChar(U'\u03A3');
  if (sigma != unicode.IsWordChar(U'\u03C3') || sigma != unicode.IsWordChar(U'\u03C2')) return false;
  for (const std::string* rule : {&rules.endOfLine, &rules.join, &rules.endHyphen, &rules.leftReference,
                                  &rules.rightReference}) {
    if (!IsAscii(*rule)) return false;
  }
  return true;
}

// A lower-case sigma, final or not: a capital sigma lower-cases to either by what follows it.
bool HoldsSigma(std::string_view text) {
  return text.find("\xCF\x82") != std::string_view::npos || text.find("\xCF\x83") != std::string_view::npos;
}

// A UTF-8 token as the whole-line passes match a line: its characters beyond ASCII that are no
// word characters masked (a dotted capital I lower-cases to an i and a dot above).
std::string_view MaskedAsInLines(const UnicodeText& unicode, std::string_view word, std::string& masked) {
  const auto masks = [&](char32_t c) { return c >= 128 && !unicode.IsWordChar(c); };
  size_t at = 0;
  while (at < word.size() && static_cast<unsigned char>(word[at]) < 128) ++at;
  for (size_t next = at; at < word.size() && !masks(NextCodePoint(word, next));) at = next;
  if (at == word.size()) return word;  // as nearly every token: nothing to mask
  masked.assign(word, 0, at);
  while (at < word.size()) {
    const size_t start = at;
    if (masks(NextCodePoint(word, at))) {
      masked += kNotWordByte;
    } else {
      masked.append(word, start, at - start);
    }
  }
  return masked;
}

// A key whose finds lie inside runs of word characters that are tokens: its characters are
// word characters, one of them a letter or a digit under the need-letter rule (which keeps such
// a token), and in UTF-8 the key is as the line's matching has it and holds no sigma.
bool FindsLieInTokens(const CharTables& tables, const std::string& key) {
  const auto isWord = [&](char c) { return IsWordChar(tables, static_cast<unsigned char>(c)); };
  const UnicodeText* unicode = tables.unicode.get();
  if (key.empty()) return false;
  if (!unicode) return std::all_of(key.begin(), key.end(), isWord) && (!tables.needLetter || HasLetterOrDigit1252(key));
  const auto isWordByte = [&](char c) { return static_cast<unsigned char>(c) >= 128 || isWord(c); };
  return unicode->MatchingText(key) == key && std::all_of(key.begin(), key.end(), isWordByte) && !HoldsSigma(key) &&
         unicode->KeepsWord(key);
}

}  // namespace

bool LineWordsAreTokens(const Session& session) {
  return !EndHyphenJoinsWords(session) && !session.tables.needLetter;
}

bool LineWordsMatchAsTokens(const Session& session) {
  if (!LineWordsAreTokens(session)) return false;
  const UnicodeText* unicode = session.tables.unicode.get();
  if (unicode == nullptr) return true;
  if (!Utf8LineRunsAreTokens(session)) return false;
  std::string masked;
  for (const Entry& entry : session.lists.Vocabulary) {
    const std::string_view word = entry.word;
    if (HoldsSigma(word) || MaskedAsInLines(*unicode, word, masked).data() != word.data()) return false;
  }
  return true;
}

std::function<bool(std::string_view word)> LineCandidates(const Session& session, MatchKind kind,
                                                          const std::vector<std::string>& keys) {
  const CharTables& tables = session.tables;
  if (tables.unicode && !Utf8LineRunsAreTokens(session)) return {};
  for (const std::string& key : keys) {
    if (!FindsLieInTokens(tables, key)) return {};
  }
  // A run that is part of a token matches a key the token holds anywhere. A UTF-8 token is
  // matched as the line's matching sees its run: masked, its bytes beyond ASCII inside words.
  auto table = std::make_shared<KeyTable>(EndHyphenJoinsWords(session) ? MatchKind::Anywhere : kind, keys);
  auto isWord = std::make_shared<WordCharTable>();
  for (int c = 0; c < 256; ++c) {
    const bool beyondAscii = tables.unicode && c >= 128;
    (*isWord)[static_cast<size_t>(c)] = beyondAscii || IsWordChar(tables, static_cast<unsigned char>(c));
  }
  (*isWord)[static_cast<unsigned char>(kNotWordByte)] = false;
  return [table, isWord, unicode = tables.unicode, masked = std::string(),
          found = std::vector<size_t>()](std::string_view word) mutable {
    table->Match(unicode ? MaskedAsInLines(*unicode, word, masked) : word, *isWord, found);
    return !found.empty();
  };
}

IndexedTexts::IndexedTexts(const Session& session, Pass pass, const std::function<bool(std::string_view word)>& mayFind,
                           int64_t reachBack, int64_t lookBack)
    : session_(session), pass_(pass), wordsInOwnLines_(pass == Pass::Lines && LineWordsAreTokens(session)),
      longWordsLieBetweenPoints_(IsAscii(session.project.rules.endHyphen) && !EndHyphenJoinsWords(session)),
      lookBack_(lookBack) {
  const ProjectIndex* index = session.index.get();
  // An end-of-line text of one space counts the end padding's spaces as line ends, and the
  // passes pad more than the scan did.
  const std::string& endOfLine = session.project.rules.endOfLine;
  const bool unicode = session.tables.unicode != nullptr;
  if (index == nullptr || endOfLine.empty() || endOfLine == " " ||
      (!unicode && KeysMayMeet(session.tables)) || !index->Matches(session)) {
    return;
  }
  const EntryList& vocabulary = session.lists.Vocabulary;
  const int64_t mostCandidates = index->tokenCount() / kMostCandidateShare;
  int64_t count = 0;
  std::vector<EntryPosition> entries;
  for (size_t p = 0; p < vocabulary.size(); ++p) {
    if (!mayFind(vocabulary[p].word)) continue;
    entries.push_back(static_cast<EntryPosition>(p));
    count += vocabulary[p].count * (1 + reachBack);
    if (count > mostCandidates) return;
  }
  // A find starts in the text of the token that picks it out.
  std::vector<int64_t> textStarts;
  for (size_t file = 0; file < index->fileCount(); ++file) textStarts.push_back(index->TextRecord(file).firstToken);
  std::vector<int64_t> positions;
  for (EntryPosition entry : entries) {
    if (!index->Positions(entry, positions)) return;
    for (int64_t position : positions) {
      const auto text = std::upper_bound(textStarts.begin(), textStarts.end(), position);
      const int64_t start = text == textStarts.begin() ? 0 : *(text - 1);
      for (int64_t back = std::min(reachBack, position - start); back >= 0; --back) candidates_.push_back(position - back);
    }
  }
  std::sort(candidates_.begin(), candidates_.end());
  candidates_.erase(std::unique(candidates_.begin(), candidates_.end()), candidates_.end());
  index_ = index;
}

Status IndexedTexts::Gather(size_t file, ScanContext& context, ProgressSink* progress, const ReadWhole& whole,
                            const ReadStretch& stretch) {
  const ProjectIndex::Text& text = index_->TextRecord(file);
  const bool previousEndsJoined = previousEndsJoined_;
  previousEndsJoined_ = (text.flags & kEndsJoined) != 0;
  uint32_t readWhole = pass_ == Pass::Lines ? kReadWhole | kLineNumberSet : kReadWhole;
  // A UTF-8 pass cuts its words as the scan cut the tokens, with no ring for a long word to
  // run round; but a word that an end hyphen carries over several long lines may run over
  // more than one restart point.
  if (session_.tables.unicode && longWordsLieBetweenPoints_) readWhole &= ~kLongWord;
  if (text.size < 0 || (text.flags & readWhole) != 0 || previousEndsJoined) return whole();
  const TextStart start{context.state.physicalLineTotal, context.state.logicalLineTotal,
                        context.state.currentLineNumber, context.references.ReferenceLetterValue};
  // Restart point k is the text's start for 0, checkpoint k - 1 after it.
  const std::span<const ProjectIndex::Checkpoint> checkpoints = index_->TextCheckpoints(file);
  const size_t points = checkpoints.size() + 1;
  // The restart point a token was handed out after; its word starts after the point before.
  const auto pointOf = [&](int64_t position) {
    const int64_t token = position - text.firstToken;
    const auto after = std::upper_bound(checkpoints.begin(), checkpoints.end(), token,
                                        [](int64_t t, const ProjectIndex::Checkpoint& c) { return t < c.token; });
    return static_cast<size_t>(after - checkpoints.begin());
  };
  const auto byteOf = [&](size_t point) {
    return point == 0 ? 0 : point < points ? checkpoints[point - 1].offset : text.size;
  };
  std::vector<std::pair<size_t, size_t>> plan;  // examine after point first up to point second
  int64_t planned = 0;                          // the bytes the stretches read, at least
  auto candidate = std::lower_bound(candidates_.begin(), candidates_.end(), text.firstToken);
  const auto last = std::lower_bound(candidate, candidates_.end(), text.firstToken + text.tokenCount);
  while (candidate != last) {
    const size_t first = pointOf(*candidate);
    size_t end = first + 1;
    for (; candidate != last; ++candidate) {
      const size_t k = pointOf(*candidate);
      if (k > end) break;  // its stretch starts after this one ends (they may meet, not overlap)
      end = std::max(end, k + 1);
    }
    // A token lies between the restart point it was handed out after and the next one, but
    // for a word an end hyphen carries over from the line before.
    const size_t from = first == 0 || wordsInOwnLines_ ? first : first - 1;
    plan.emplace_back(from, std::min(end, points));
    const auto readFrom = static_cast<size_t>(ReadStart(checkpoints, static_cast<int64_t>(from)));
    planned += byteOf(std::min(end, points)) - byteOf(readFrom);
  }
  // Stretches that would read much of a long text cost more than reading it once.
  if (planned > kFewStretchBytes && planned * 2 > text.size) return whole();
  Status status;
  for (const auto& [from, to] : plan) {
    status = GatherStretch(file, context, start, static_cast<int64_t>(from), static_cast<int64_t>(to), stretch);
    if (!status.ok() || (progress && progress->StopRequested())) break;
  }
  // The reader as the whole text leaves it.
  context.state.physicalLineTotal = start.physicalLines + text.physicalLines;
  context.state.logicalLineTotal = start.logicalLines + text.logicalLines;
  context.state.currentLineNumber =
      (text.flags & kLineNumberSet) != 0 ? text.lineNumber : start.lineNumber + text.lineNumber;
  context.references.ReferenceLetterValue = start.values;
  for (const ProjectIndex::Event& event : index_->TextEvents(file)) {
    context.references.ReferenceLetterValue[event.letter] = std::string(index_->EventValue(event));
  }
  return status;
}

// Reads the text from restart point `from` - 1 (or its start; a whole-line pass from point
// `from`), or from further back when the pass asks, examining the characters after point `from` up to point `to` (`to` == the number
// of points: to the text's end).
Status IndexedTexts::GatherStretch(size_t file, ScanContext& context, const TextStart& start, int64_t from, int64_t to,
                                   const ReadStretch& read) {
  const std::span<const ProjectIndex::Checkpoint> checkpoints = index_->TextCheckpoints(file);
  const int64_t points = static_cast<int64_t>(checkpoints.size()) + 1;
  TextStretch stretch;
  stretch.examineFrom = from == 0 ? 1 : checkpoints[static_cast<size_t>(from - 1)].chars + 1;
  stretch.examineTo = to >= points ? INT64_MAX : checkpoints[static_cast<size_t>(to - 1)].chars;
  const std::string& path = session_.project.Files[file];
  int64_t readFrom = ReadStart(checkpoints, from);
  for (int64_t back = 1;; back *= 2) {
    const ProjectIndex::Checkpoint* restart = readFrom == 0 ? nullptr : &checkpoints[static_cast<size_t>(readFrom - 1)];
    RestoreAt(file, start, restart, context);
    stretch.offset = restart ? restart->offset : 0;
    stretch.charsBefore = restart ? restart->chars : 0;
    stretch.fileLine = restart ? restart->fileLine : 1;
    // A text is opened once for all its stretches.
    Status status =
        openText_ == file ? text_.Restart(stretch.offset) : text_.OpenAt(path, stretch.offset, kStretchBufferBytes);
    openText_ = status.ok() ? file : SIZE_MAX;
    if (!status.ok()) return status;
    bool further = false;
    status = read(text_, stretch, further);
    if (!further || !status.ok() || readFrom == 0) return status;
    readFrom = std::max<int64_t>(0, readFrom - back);
  }
}

// The restart point a stretch examining the characters after point `from` starts reading at.
// A numbered line never runs over a restart point (see GatherLineStretch); the other passes
// need a point more of text before the first character they examine, and `lookBack_`
// characters at least.
int64_t IndexedTexts::ReadStart(std::span<const ProjectIndex::Checkpoint> checkpoints, int64_t from) const {
  int64_t point = pass_ == Pass::Lines ? from : std::max<int64_t>(0, from - 1);
  const int64_t need = (from == 0 ? 0 : checkpoints[static_cast<size_t>(from - 1)].chars) - lookBack_;
  while (point > 0 && checkpoints[static_cast<size_t>(point - 1)].chars > need) --point;
  return point;
}

// The reader's counters and reference values at `checkpoint` of the text (its start when null).
void IndexedTexts::RestoreAt(size_t file, const TextStart& start, const ProjectIndex::Checkpoint* checkpoint,
                             ScanContext& context) const {
  context.state.physicalLineTotal = start.physicalLines;
  context.state.logicalLineTotal = start.logicalLines;
  context.state.currentLineNumber = start.lineNumber;
  context.references.ReferenceLetterValue = start.values;
  if (checkpoint == nullptr) return;
  context.state.physicalLineTotal += checkpoint->physicalLines;
  context.state.logicalLineTotal += checkpoint->logicalLines;
  context.state.currentLineNumber =
      (checkpoint->flags & kLineNumberSet) != 0 ? checkpoint->lineNumber : start.lineNumber + checkpoint->lineNumber;
  const std::span<const ProjectIndex::Event> events = index_->TextEvents(file);
  for (int64_t e = 0; e < checkpoint->event; ++e) {
    const ProjectIndex::Event& event = events[static_cast<size_t>(e)];
    context.references.ReferenceLetterValue[event.letter] = std::string(index_->EventValue(event));
  }
}

}  // namespace wordloom
