#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "base/paths.h"
#include "base/regular_file.h"
#include "project/field_reader.h"
#include "project/project_file.h"

namespace wordloom {
namespace {

constexpr int64_t kInt16Min = std::numeric_limits<int16_t>::min();
constexpr int64_t kInt16Max = std::numeric_limits<int16_t>::max();
constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

Status ReadWholeFile(const std::string& path, std::string& data) {
  int fd = -1;
  Status opened = OpenRegularFile(path, fd);
  if (!opened.ok()) return opened;
  data.clear();
  struct stat info {};
  if (::fstat(fd, &info) == 0 && info.st_size > 0) data.reserve(static_cast<size_t>(info.st_size));
  char buffer[1 << 16];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
      data.append(buffer, static_cast<size_t>(got));
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      int error = errno;
      ::close(fd);
      return Status::Error(ErrnoText(error));
    }
  }
  ::close(fd);
  return Status::Ok();
}

// Option buttons: setting one clears the others; clearing one leaves the others alone.
template <typename Choice>
void ApplyOption(Choice& current, Choice button, bool value, Choice cleared) {
  if (value) {
    current = button;
  } else if (current == button) {
    current = cleared;
  }
}

class ProjectReader {
 public:
  ProjectReader(FieldReader& in, const std::string& path, const std::string& programFolder, Session& session)
      : in_(in), path_(path), programFolder_(programFolder), session_(session) {}

  // The records after the first; `unicodeRules` for the "wlm32" layout.
  void ReadAfterTag(bool unicodeRules, std::vector<std::string>& messages) {
    Project& project = session_.project;
    project.FileName = path_;
    project.rules.encoding = TextEncoding::Windows1252;  // what "wlm30" holds, and a damaged "wlm32"
    if (unicodeRules) ReadUnicodeRules();
    in_.ReadString(project.Title);
    std::string discarded;
    in_.ReadString(discarded);  // date of saving
    in_.ReadString(discarded);  // time of saving
    int64_t check = static_cast<int64_t>(project.SaveVocabulary);
    in_.ReadInteger(check, static_cast<int64_t>(VocabularyCheck::Clear), static_cast<int64_t>(VocabularyCheck::Greyed));
    project.SaveVocabulary = static_cast<VocabularyCheck>(check);
    ReadScope(VocabularyScope::All);
    ReadScope(VocabularyScope::None);
    ReadScope(VocabularyScope::Matches);
    in_.ReadString(project.PrefixPattern);
    in_.ReadString(project.SuffixPattern);
    in_.ReadString(project.AnywherePattern);
    ReadFiles();
    ReadCounts();
    ReadRulesAndFont();
    ReadReferenceLetters();
    ReadTables();
    ReadSentinel(messages);
    ReadVocabulary();
    ReadLetterFlags();
    ReadSentinel(messages);
    FinishTables();
  }

 private:
  // A name the file does not know is a damaged record: the value stays as it was.
  template <typename T, size_t N>
  void ReadName(const std::pair<T, std::string_view> (&names)[N], T& value) {
    std::string text;
    if (!in_.ReadString(text)) return;
    for (const auto& [meaning, name] : names) {
      if (text == name) value = meaning;
    }
  }

  void ReadUnicodeRules() {
    ScanRules& rules = session_.project.rules;
    ReadName(kEncodingNames, rules.encoding);
    in_.ReadString(rules.language);
    ReadName(kWordBoundaryNames, rules.words);
    in_.ReadBoolean(rules.unicodeLetters);
    // Stored as it applies; the project keeps it unset while it is the encoding's default.
    bool needLetter = false;
    if (in_.ReadBoolean(needLetter) && needLetter != rules.NeedsLetter()) rules.needLetter = needLetter;
    // The join and end-hyphen texts, which the byte tables can hold only as single bytes.
    joinAndHyphen_.emplace();
    in_.ReadString(joinAndHyphen_->first);
    in_.ReadString(joinAndHyphen_->second);
  }

  // The stored byte tables stand for a Windows-1252 project; a UTF-8 project's tables come
  // from its rules, which give them their Unicode side.
  void FinishTables() {
    ScanRules& rules = session_.project.rules;
    if (joinAndHyphen_) std::tie(rules.join, rules.endHyphen) = *joinAndHyphen_;
    if (rules.encoding == TextEncoding::Utf8) {
      session_.tables = BuildCharTables(rules);
      return;
    }
    session_.tables.unicode = nullptr;
    session_.tables.needLetter = rules.NeedsLetter();
  }

  void ReadScope(VocabularyScope button) {
    bool value = false;
    if (in_.ReadBoolean(value)) ApplyOption(session_.project.scope, button, value, VocabularyScope::Unselected);
  }

  void ReadReferenceType(ReferenceType button) {
    bool value = false;
    if (in_.ReadBoolean(value)) {
      ApplyOption(session_.project.rules.referenceType, button, value, ReferenceType::Unselected);
    }
  }

  void ReadFiles() {
    int64_t count = 0;
    in_.ReadInteger(count, kInt32Min, kInt32Max);
    std::vector<std::string>& files = session_.project.Files;
    files.clear();
    for (int64_t i = 0; i < count && !in_.AtEnd(); ++i) {
      std::string path;
      in_.ReadString(path);
      // A stored path that is not absolute lies in the program's folder.
      files.push_back(!path.empty() && path[0] == '/' ? path : JoinPath(programFolder_, path));
    }
  }

  void ReadCounts() {
    ScanState& state = session_.scan.state;
    ScanTotals& totals = session_.totals;
    in_.ReadInteger(state.logicalLineTotal, kInt64Min, kInt64Max);
    if (in_.ReadInteger(state.physicalLineTotal, kInt64Min, kInt64Max)) totals.linesShown = state.physicalLineTotal;
    in_.ReadInteger(totals.tokenCount, kInt64Min, kInt64Max);
    in_.ReadInteger(totals.vocabularySize, kInt64Min, kInt64Max);
    in_.ReadInteger(totals.longestWord, kInt64Min, kInt64Max);
  }

  void ReadRulesAndFont() {
    ScanRules& rules = session_.project.rules;
    AlphabetFont& font = session_.project.font;
    in_.ReadString(rules.endOfLine);
    in_.ReadBoolean(font.bold);
    in_.ReadBoolean(font.italic);
    in_.ReadString(font.name);
    in_.ReadDouble(font.size);
    in_.ReadBoolean(font.strikethrough);
    in_.ReadBoolean(font.underline);
    double weight = 0;
    if (in_.ReadDouble(weight) && weight >= kInt16Min && weight <= kInt16Max) {
      font.weight = static_cast<int64_t>(std::nearbyint(weight));
    }
    in_.ReadString(rules.alphabet);
    ReadReferenceType(ReferenceType::None);
    ReadReferenceType(ReferenceType::Type1);
    in_.ReadString(rules.leftReference);
    in_.ReadString(rules.rightReference);
  }

  void ReadReferenceLetters() {
    int64_t rows = 0, columns = 0;
    in_.ReadInteger(rows, kInt16Min, kInt16Max);
    in_.ReadInteger(columns, kInt16Min, kInt16Max);
    for (int64_t row = 0; row < rows && !in_.AtEnd(); ++row) {
      for (int64_t column = 0; column < columns && !in_.AtEnd(); ++column) {
        std::string text;
        if (in_.ReadString(text)) session_.referenceLetters.SetCell(static_cast<int>(row), static_cast<int>(column), text);
      }
    }
  }

  void ReadTables() {
    CharTables& tables = session_.tables;
    ScanRules& rules = session_.project.rules;
    for (int code = 0; code < kTableSize; ++code) {
      int64_t order = 0, charClass = 0;
      if (in_.ReadInteger(order, kInt16Min, kInt16Max)) tables.CollationTable[code] = static_cast<int16_t>(order);
      if (!in_.ReadInteger(charClass, kInt16Min, kInt16Max)) continue;
      tables.CharClassTable[code] = static_cast<int16_t>(charClass % 10);
      if (code == 256) continue;  // no single character stands for code 256
      std::string character(1, static_cast<char>(code));
      if (charClass == kJoinClass) rules.join = character;
      if (charClass == kEndOfLineClass) rules.endOfLine = character;
      if (charClass / 10 == 1) rules.endHyphen = character;
    }
  }

  void ReadSentinel(std::vector<std::string>& messages) {
    int64_t sentinel = 0;
    if (!in_.ReadInteger(sentinel, kInt32Min, kInt32Max) || sentinel != kProjectSentinel) {
      messages.push_back("Unknown fault with " + path_);
    }
  }

  void ReadVocabulary() {
    int64_t count = 0;
    in_.ReadInteger(count, kInt32Min, kInt32Max);
    WordLists& lists = session_.lists;
    lists.Vocabulary.clear();
    // A record that fails keeps the value read before it, as each field does.
    int64_t frequency = 0;
    std::string word;
    // A record takes at least four bytes, so a damaged count reserves no more than the file holds.
    lists.Vocabulary.reserve(static_cast<size_t>(std::clamp<int64_t>(count, 0, in_.Remaining() / 4)));
    for (int64_t i = 0; i < count && !in_.AtEnd(); ++i) {
      in_.ReadInteger(frequency, kInt64Min, kInt64Max);
      if (in_.ReadString(word)) {
        lists.Vocabulary.push_back(Entry{std::move(word), frequency});
      } else {
        const std::string kept = lists.Vocabulary.empty() ? std::string() : lists.Vocabulary.back().word;
        lists.Vocabulary.push_back(Entry{kept, frequency});
      }
    }
    lists.ResetViews();
  }

  void ReadLetterFlags() {
    for (int letter = 1; letter <= kLetterCount; ++letter) {
      in_.ReadInteger(session_.scan.references.ReferenceLetterUsed[letter], kInt16Min, kInt16Max);
    }
  }

  FieldReader& in_;
  const std::string& path_;
  const std::string& programFolder_;
  std::optional<std::pair<std::string, std::string>> joinAndHyphen_;  // "wlm32" only
  Session& session_;
};

}  // namespace

ProjectFileReport ReadProjectFile(const std::string& path, const std::string& programFolder,
                                  const std::string& currentFolder, Session& session) {
  ProjectFileReport report;
  std::string data;
  Status read = ReadWholeFile(path, data);
  if (IsNotRegularFile(read)) {
    report.status = Status::Error(path + " is not a regular file.");
    return report;
  }
  if (!read.ok()) {
    report.status = Status::Error("Could not read the project " + path + ": " + read.message() + ".");
    return report;
  }
  FieldReader in(data);
  std::string tag;
  if (!in.ReadString(tag) || (tag != kProjectTag && tag != kUnicodeProjectTag)) {
    report.status = Status::Error(path + " is not a Wordloom project file.");
    return report;
  }
  ResetToNewProjectDefaults(session.project, currentFolder);
  ProjectReader reader(in, path, programFolder, session);
  reader.ReadAfterTag(tag == kUnicodeProjectTag, report.messages);
  return report;
}

}  // namespace wordloom
