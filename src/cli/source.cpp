#include <utility>

#include "base/paths.h"
#include "cli/command.h"
#include "index/index.h"
#include "lists/keyword_selection.h"
#include "project/project_actions.h"

namespace wordloom::cli {

void ApplyRuleOptions(const RuleOptions& options, Project& project, ReferenceLetters& letters) {
  ScanRules& rules = project.rules;
  if (options.title) project.Title = *options.title;
  if (options.alphabet) rules.alphabet = *options.alphabet;
  if (options.endOfLine) rules.endOfLine = *options.endOfLine;
  if (options.join) rules.join = *options.join;
  if (options.endHyphen) rules.endHyphen = *options.endHyphen;
  if (options.referenceType) rules.referenceType = *options.referenceType;
  if (options.leftReference) rules.leftReference = *options.leftReference;
  if (options.rightReference) rules.rightReference = *options.rightReference;
  for (const auto& [letter, value] : options.defines) letters.SetCell(letter, 1, value);
  if (options.encoding) rules.encoding = *options.encoding;
  // A UTF-8 project asked for by name takes the UTF-8 default alphabet, as a settled one does.
  if (rules.encoding == TextEncoding::Utf8 && !options.alphabet && rules.alphabet == kDefaultAlphabet) {
    rules.alphabet = kDefaultUtf8Alphabet;
  }
  if (options.unicodeLetters) rules.unicodeLetters = *options.unicodeLetters;
  if (options.needLetter) rules.needLetter = *options.needLetter;
  if (options.language) rules.language = *options.language;
  if (options.words) rules.words = *options.words;
}

int WriteTableFile(const ScratchFolder& scratch, Output& output, const std::string& summary,
                   const std::function<Status(FileWriter&)>& write) {
  FileWriter out;
  Status status = scratch.OpenForWrite("1", out);
  if (status.ok()) status = write(out);
  Status closed = out.Close();
  if (status.ok()) status = closed;
  if (!status.ok()) return Fail(output, status);
  output.outFile = scratch.PathOf("1");
  output.err += summary + "\n";
  return 0;
}

int Fail(Output& output, const Status& status) {
  output.err += status.message() + "\n";
  return 1;
}

Status TextFiles(const std::vector<std::string>& operands, size_t first, std::vector<std::string>& files) {
  files.clear();
  for (size_t i = first; i < operands.size(); ++i) {
    Status status = AbsoluteNormalPath(operands[i], files.emplace_back());
    if (!status.ok()) return status;
  }
  return Status::Ok();
}

void ApplyKeyWordEdits(const std::vector<KeyWordEdit>& edits, Session& session) {
  if (edits.empty()) return;
  KeyWordsEditor editor(session.lists, session.tables);
  for (const KeyWordEdit& edit : edits) {
    switch (edit.kind) {
      case KeyWordEdit::Kind::Clear:
        editor.Clear();
        break;
      case KeyWordEdit::Kind::Pattern:
        editor.PatternMove(edit.direction, edit.pattern, edit.text);
        break;
      case KeyWordEdit::Kind::Frequency:
        editor.FrequencyMove(edit.direction, edit.test, edit.text);
        break;
      case KeyWordEdit::Kind::Word:
        editor.WordMove(edit.direction, edit.text);
        break;
    }
  }
  editor.Commit();
}

Status ScanAndCommit(Session& session, const Status& prepared, ProjectCandidate& candidate,
                     const ScratchFolder& scratch, const Arguments& args, Output& output, bool words,
                     bool forIndex) {
  Status status = prepared;
  const bool scans = status.ok() && candidate.NeedsScan();
  ScanOutcome scanned;
  VocabularyOptions options;
  options.threads = args.threads;
  // An automatic encoding is settled from the texts, as the scan reads them when it can.
  const auto settle = [&args](ProjectCandidate& settled) { SettleEncoding(settled, args.threads); };
  if (scans && words) {
    status = ScanSettlingEncoding(session, candidate, scratch, scanned, options, settle, forIndex);
  } else if (status.ok()) {
    settle(candidate);
  }
  if (scans && !words) ReadCandidateLines(session, candidate, scanned);
  output.err += session.scan.ErrorReportText + scanned.scan.ErrorReportText;
  if (status.ok()) CommitProject(session, std::move(candidate), scans ? &scanned : nullptr);
  return status;
}

namespace {

bool AnswersFromIndex(const std::string& command) {
  return IsAnalysis(command) || command == "wordlist" || command == "kwic" || command == "line";
}

}  // namespace

void KeepProjectIndex(Session& session, const ScratchFolder& scratch, int threads) {
  // An index that cannot be written (a read-only folder) only means the texts are read instead.
  (void)UpdateProjectIndex(session, IndexPathFor(session.project.FileName), scratch, session.index, nullptr,
                           IndexBuildOptions{.threads = threads});
  session.recording.reset();  // used, or of no more use: its scratch files go
}

Status LoadSource(const Arguments& args, const ScratchFolder& scratch, Session& session, Output& output) {
  const std::string& first = args.operands.front();
  if (IsProjectPath(first)) {
    std::string path;
    Status located = AbsoluteNormalPath(first, path);
    if (!located.ok()) return located;
    ProjectFileReport report = OpenProject(session, path, ProgramFolder(), CurrentFolder());
    for (const std::string& message : report.messages) output.err += message + "\n";
    if (report.status.ok()) ApplyKeyWordEdits(args.query.keyWordEdits, session);
    if (report.status.ok() && AnswersFromIndex(args.command)) KeepProjectIndex(session, scratch, args.threads);
    return report.status;
  }
  std::vector<std::string> files;
  Status located = TextFiles(args.operands, 0, files);
  if (!located.ok()) return located;
  Project created = NewProjectFromTextFile(session, files.front(), CurrentFolder());
  created.AddFiles(files);  // the first is there already
  ApplyRuleOptions(args.rules, created, session.referenceLetters);
  ProjectCandidate candidate;
  const Status prepared = PrepareNewProject(session, created, candidate);
  // A concordance of given keys reads only the texts' lines: it needs no vocabulary.
  const bool keysGiven = (args.command == "kwic" || args.command == "line") && args.query.keys &&
                         !args.query.keyWords && args.query.keyWordEdits.empty();
  Status status = ScanAndCommit(session, prepared, candidate, scratch, args, output, !keysGiven);
  if (status.ok()) ApplyKeyWordEdits(args.query.keyWordEdits, session);
  return status;
}

}  // namespace wordloom::cli
