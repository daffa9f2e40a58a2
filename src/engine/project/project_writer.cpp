#include <charconv>
#include <ctime>

#include "base/atomic_file.h"
#include "project/project_file.h"

namespace wordloom {
namespace {

class RecordWriter {
 public:
  explicit RecordWriter(FileWriter& out) : out_(out) {}

  void String(const std::string& text) {
    out_.Put('"');
    size_t start = 0;
    for (size_t quote = text.find('"'); quote != std::string::npos; quote = text.find('"', start)) {
      out_.Write(std::string_view(text).substr(start, quote + 1 - start));
      out_.Put('"');
      start = quote + 1;
    }
    out_.Write(std::string_view(text).substr(start));
    out_.Put('"');
  }
  void Integer(int64_t value) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    out_.Write(std::string_view(digits, static_cast<size_t>(end - digits)));
  }
  void Boolean(bool value) { out_.Write(value ? "#TRUE#" : "#FALSE#"); }
  void Double(double value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out_.Write(std::string_view(buffer, static_cast<size_t>(end - buffer)));
  }
  void Raw(std::string_view text) { out_.Write(text); }
  void Comma() { out_.Put(','); }
  void End() { out_.Write("\r\n"); }

  void StringLine(const std::string& text) { String(text), End(); }
  void IntegerLine(int64_t value) { Integer(value), End(); }
  void BooleanLine(bool value) { Boolean(value), End(); }

 private:
  FileWriter& out_;
};

template <typename T, size_t N>
std::string NameOf(const std::pair<T, std::string_view> (&names)[N], T value) {
  for (const auto& [meaning, name] : names) {
    if (meaning == value) return std::string(name);
  }
  return std::string(names[0].second);  // Automatic: the file knows only settled encodings
}

// The records "wlm32" adds after its first.
void WriteUnicodeRules(const ScanRules& rules, RecordWriter& w) {
  w.StringLine(NameOf(kEncodingNames, rules.encoding));
  w.StringLine(rules.language);
  w.StringLine(NameOf(kWordBoundaryNames, rules.words));
  w.BooleanLine(rules.unicodeLetters);
  w.BooleanLine(rules.NeedsLetter());
  w.StringLine(rules.join);
  w.StringLine(rules.endHyphen);
}

void WriteRecords(const Session& session, RecordWriter& w) {
  const Project& project = session.project;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[32], time[32];
  std::strftime(date, sizeof date, "#%Y-%m-%d#", &local);
  std::strftime(time, sizeof time, "#%H:%M:%S#", &local);

  const std::string_view tag = ProjectFileTag(project.rules);
  w.StringLine(std::string(tag));
  if (tag == kUnicodeProjectTag) WriteUnicodeRules(project.rules, w);
  w.StringLine(project.Title);
  w.Raw(date), w.End();
  w.Raw(time), w.End();
  w.IntegerLine(static_cast<int64_t>(project.SaveVocabulary));
  w.BooleanLine(project.scope == VocabularyScope::All);
  w.BooleanLine(project.scope == VocabularyScope::None);
  w.BooleanLine(project.scope == VocabularyScope::Matches);
  w.StringLine(project.PrefixPattern);
  w.StringLine(project.SuffixPattern);
  w.StringLine(project.AnywherePattern);
  w.IntegerLine(static_cast<int64_t>(project.Files.size()));
  for (const std::string& file : project.Files) w.StringLine(file);

  w.IntegerLine(session.scan.state.logicalLineTotal);
  w.IntegerLine(session.scan.state.physicalLineTotal);
  w.IntegerLine(session.totals.tokenCount);
  w.IntegerLine(static_cast<int64_t>(session.lists.Vocabulary.size()));
  w.IntegerLine(session.totals.longestWord);
  w.StringLine(project.rules.endOfLine);
  const AlphabetFont& font = project.font;
  w.BooleanLine(font.bold);
  w.BooleanLine(font.italic);
  w.StringLine(font.name);
  w.Double(font.size), w.End();
  w.BooleanLine(font.strikethrough);
  w.BooleanLine(font.underline);
  w.IntegerLine(font.weight);
  w.StringLine(project.rules.alphabet);
  w.BooleanLine(project.rules.referenceType == ReferenceType::None);
  w.BooleanLine(project.rules.referenceType == ReferenceType::Type1);
  w.StringLine(project.rules.leftReference);
  w.StringLine(project.rules.rightReference);

  const ReferenceLetters& letters = session.referenceLetters;
  w.IntegerLine(letters.rows());
  w.IntegerLine(letters.columns());
  for (int row = 0; row < letters.rows(); ++row) {
    for (int column = 0; column < letters.columns(); ++column) w.StringLine(letters.Cell(row, column));
  }
  const CharTables& tables = session.tables;
  for (int code = 0; code < kTableSize; ++code) {
    w.Integer(tables.CollationTable[code]);
    w.Comma();
    w.Integer(tables.CharClassTable[code]);
    w.End();
  }
  w.IntegerLine(kProjectSentinel);
  w.IntegerLine(static_cast<int64_t>(session.lists.Vocabulary.size()));
  for (const Entry& entry : session.lists.Vocabulary) {
    w.Integer(entry.count);
    w.Comma();
    w.String(entry.word);
    w.End();
  }
  for (int letter = 1; letter <= kLetterCount; ++letter) {
    w.IntegerLine(session.scan.references.ReferenceLetterUsed[letter]);
  }
  w.IntegerLine(kProjectSentinel);
}

}  // namespace

std::string_view ProjectFileTag(const ScanRules& rules) {
  const bool defaults = rules.encoding != TextEncoding::Utf8 && !rules.NeedsLetter() && rules.unicodeLetters &&
                        rules.language.empty() && rules.words == WordBoundaries::Alphabet;
  return defaults ? kProjectTag : kUnicodeProjectTag;
}

Status WriteProjectFile(const Session& session, const std::string& path) {
  auto failed = [&](const Status& status) {
    return Status::Error("Could not save the project to " + path + ": " + status.message() + ".");
  };
  AtomicFile file;
  Status status = file.Open(path);
  if (!status.ok()) return failed(status);
  RecordWriter writer(file.writer());
  WriteRecords(session, writer);
  status = file.Commit();
  if (!status.ok()) return failed(status);
  return Status::Ok();
}

}  // namespace wordloom
