// A reference corpus for keyness: word frequencies and a token total from a project file, from
// text files scanned under the target's rules, or from a word list. Every word is stored as
// the target's vocabulary would hold it (its encoding and lower case), so a lookup by the
// target's word finds it; a word the target's encoding cannot write is only counted in d.
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "analysis/analysis.h"
#include "base/paths.h"
#include "base/cp1252.h"
#include "base/line_source.h"
#include "project/project_file.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

bool IsUtf8Target(const Session& target) { return target.tables.unicode != nullptr; }

// The character of each byte 0x80-0xFF of Windows-1252, taken from its UTF-8 form, so the two
// directions of conversion share one table.
const std::array<char32_t, 128>& HighCharacters() {
  static const std::array<char32_t, 128> table = [] {
    std::array<char32_t, 128> chars{};
    for (int byte = 0x80; byte < 0x100; ++byte) {
      std::string utf8;
      AppendWindows1252AsUtf8(std::string(1, static_cast<char>(byte)), utf8);
      size_t at = 0;
      chars[static_cast<size_t>(byte - 0x80)] = NextCodePoint(utf8, at);
    }
    return chars;
  }();
  return table;
}

// The Windows-1252 form of UTF-8 text; false when a character has no Windows-1252 byte.
bool Utf8AsWindows1252(std::string_view text, std::string& out) {
  out.clear();
  const auto& high = HighCharacters();
  for (size_t at = 0; at < text.size();) {
    const char32_t c = NextCodePoint(text, at);
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    size_t byte = 0;
    while (byte < high.size() && high[byte] != c) ++byte;
    if (byte == high.size()) return false;
    out += static_cast<char>(0x80 + byte);
  }
  return true;
}

Status AddTokens(int64_t tokens, ReferenceCorpus& reference) {
  if (tokens < 0 || __builtin_add_overflow(reference.tokens, tokens, &reference.tokens)) {
    return Status::Error("The reference corpus holds too many tokens to count.");
  }
  return Status::Ok();
}

// The entry ReportUnreadableFile (scan/error_report.h) leaves for a text it could not read:
// "Could not read the reference text <path>: <reason>.", or nothing.
std::string UnreadableTextMessage(const std::string& report) {
  static constexpr std::string_view kFile = "FILE: ";
  static constexpr std::string_view kError = "\r\nERROR: cannot read the file: ";
  const size_t error = report.find(kError);
  if (error == std::string::npos) return "";
  const size_t file = report.rfind(kFile, error);
  const size_t pathStart = file == std::string::npos ? 0 : file + kFile.size();
  const size_t reasonStart = error + kError.size();
  const std::string path = report.substr(pathStart, error - pathStart);
  const std::string reason = report.substr(reasonStart, report.find("\r\n", reasonStart) - reasonStart);
  return "Could not read the reference text " + path + ": " + reason + ".";
}

// Reads word lists a line at a time into a map of their own, so a malformed line adds nothing.
class WordListReader {
 public:
  WordListReader(const Session& target, const std::string& path) : target_(target), path_(path) {}

  Status Read(ReferenceCorpus& reference) {
    // A Windows-1252 target reads a list that is all valid UTF-8 with characters beyond ASCII
    // as UTF-8, as a new project settles its texts' encoding; otherwise bytes are the target's.
    utf8_ = IsUtf8Target(target_) || DetectEncoding({path_}, 1) == TextEncoding::Utf8;
    LineSource file;
    Status status = file.Open(path_);
    if (!status.ok()) return Status::Error("Could not read the word list " + path_ + ": " + status.message() + ".");
    std::string line;
    for (int64_t number = 1; file.ReadLine(line); ++number) {
      std::string_view text = line;
      if (number == 1 && utf8_ && text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
      }
      status = AddLine(text);
      if (!status.ok()) return Status::Error(path_ + ": line " + std::to_string(number) + ": " + status.message());
    }
    if (!file.error().ok()) {
      return Status::Error("Could not read the word list " + path_ + ": " + file.error().message() + ".");
    }
    status = AddTokens(tokens_, reference);
    if (!status.ok()) return status;
    reference.frequencies.reserve(reference.frequencies.size() + frequencies_.size());
    for (auto& [word, frequency] : frequencies_) reference.frequencies[word] += frequency;
    return Status::Ok();
  }

 private:
  Status AddLine(std::string_view line) {
    if (line.find_first_not_of(" \t") == std::string_view::npos) return Status::Ok();  // blank
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return Status::Error("no tab between the word and its frequency.");
    if (tab == 0) return Status::Error("the word is empty.");
    int64_t frequency = 0;
    Status status = ParseFrequency(line.substr(tab + 1), frequency);
    if (!status.ok()) return status;
    if (__builtin_add_overflow(tokens_, frequency, &tokens_)) {
      return Status::Error("the frequencies add up to more than " + std::to_string(INT64_MAX) + ".");
    }
    std::string word;
    if (!Fold(line.substr(0, tab), word)) return Status::Error("the word is not valid UTF-8.");
    if (!word.empty()) frequencies_[word] += frequency;  // empty: no Windows-1252 form; only in d
    return Status::Ok();
  }

  static Status ParseFrequency(std::string_view text, int64_t& frequency) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
      return Status::Error("the frequency \"" + std::string(text) + "\" is not a whole number of 0 or more.");
    }
    frequency = 0;
    for (char digit : text) {
      if (__builtin_mul_overflow(frequency, 10, &frequency) ||
          __builtin_add_overflow(frequency, digit - '0', &frequency)) {
        return Status::Error("the frequency " + std::string(text) + " is too large.");
      }
    }
    return Status::Ok();
  }

  // The word as the target's scan folds it: Windows-1252 bytes through the code page's lower
  // case; UTF-8 in NFC, then Unicode's lower case. False for invalid UTF-8; `word` is left
  // empty when a Windows-1252 target cannot write it.
  bool Fold(std::string_view raw, std::string& word) {
    if (!utf8_) {
      word = Lower1252(raw);
      return true;
    }
    if (DecodeLine(raw, decoded_) != std::string::npos) return false;
    if (const UnicodeText* unicode = target_.tables.unicode.get()) {
      unicode->AppendLower(decoded_, word);
    } else if (Utf8AsWindows1252(decoded_, converted_)) {
      word = Lower1252(converted_);
    }
    return true;
  }

  const Session& target_;
  const std::string& path_;
  bool utf8_ = false;
  int64_t tokens_ = 0;
  std::unordered_map<std::string, int64_t> frequencies_;
  std::string decoded_;
  std::string converted_;
};

}  // namespace

Status AddReferenceProject(const Session& target, const std::string& path, ReferenceCorpus& reference) {
  Session opened;
  ProjectFileReport report = ReadProjectFile(path, "", "", opened);
  if (!report.status.ok()) return report.status;
  if (!report.messages.empty()) return Status::Error(report.messages.front());
  if (opened.totals.tokenCount < 0) return Status::Error(path + ": the project's token count is damaged.");
  Status status = AddTokens(opened.totals.tokenCount, reference);
  if (!status.ok()) return status;

  const bool fromUtf8 = opened.project.rules.encoding == TextEncoding::Utf8;
  const bool toUtf8 = IsUtf8Target(target);
  EntryList& vocabulary = opened.lists.Vocabulary;
  reference.frequencies.reserve(reference.frequencies.size() + vocabulary.size());
  std::string converted;
  for (Entry& entry : vocabulary) {
    if (fromUtf8 == toUtf8) {
      reference.frequencies[std::move(entry.word)] += entry.count;
    } else if (toUtf8) {
      converted.clear();
      AppendWindows1252AsUtf8(entry.word, converted);
      reference.frequencies[converted] += entry.count;
    } else if (Utf8AsWindows1252(entry.word, converted)) {
      reference.frequencies[converted] += entry.count;
    }  // else no target word can be this one: its tokens count in d alone
  }
  return Status::Ok();
}

Status AddReferenceTexts(const Session& target, const std::vector<std::string>& files, const ScratchFolder& scratch,
                         ReferenceCorpus& reference, ProgressSink* progress, int threads) {
  ScanContext context = target.scan.PassCopy();
  ScanTotals totals;
  EntryList vocabulary;
  VocabularyOptions options;
  options.progress = progress;
  options.threads = threads;
  Status status = BuildVocabulary(files, target.project.rules, target.tables, scratch, context, totals, vocabulary,
                                  options);
  if (!status.ok()) return status;
  if (progress && progress->StopRequested()) return Status::Error("The scan of the reference texts was stopped.");
  const std::string unreadable = UnreadableTextMessage(context.ErrorReportText);
  if (!unreadable.empty()) return Status::Error(unreadable);
  status = AddTokens(totals.tokenCount, reference);
  if (!status.ok()) return status;
  reference.frequencies.reserve(reference.frequencies.size() + vocabulary.size());
  for (Entry& entry : vocabulary) reference.frequencies[std::move(entry.word)] += entry.count;
  return Status::Ok();
}

Status AddReferenceWordList(const Session& target, const std::string& path, ReferenceCorpus& reference) {
  return WordListReader(target, path).Read(reference);
}

Status AddReferences(const Session& target, const std::vector<std::string>& paths, const ScratchFolder& scratch,
                     ReferenceCorpus& reference, ProgressSink* progress, int threads) {
  std::vector<std::string> texts;
  for (const std::string& path : paths) {
    Status status;
    if (EndsWithNoCase(path, ".wlm")) {
      status = AddReferenceProject(target, path, reference);
    } else if (EndsWithNoCase(path, ".tsv")) {
      status = AddReferenceWordList(target, path, reference);
    } else {
      status = AbsoluteNormalPath(path, texts.emplace_back());
    }
    if (!status.ok()) return status;
  }
  return texts.empty() ? Status::Ok() : AddReferenceTexts(target, texts, scratch, reference, progress, threads);
}

}  // namespace wordloom
